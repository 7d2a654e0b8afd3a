#include "engine/sound/AudioOutput.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QCoreApplication>
#include <QIODevice>
#include <QMediaDevices>
#include <algorithm>
#include <cstring>
#include <vector>

namespace plavex::sound {

namespace {

// What the audio device reads: mixed samples, as many as it asks for.
class MixerDevice final : public QIODevice {
 public:
  MixerDevice(Mixer& mixer, LevelSource& level) : mixer_(mixer), level_(level) {}
  bool isSequential() const override { return true; }
  qint64 bytesAvailable() const override { return 4 * 4096 + QIODevice::bytesAvailable(); }

 protected:
  qint64 readData(char* data, qint64 maxSize) override {
    const qint64 frames = std::min<qint64>(maxSize / 4, 16384);
    if (frames <= 0) return 0;
    buffer_.resize(static_cast<std::size_t>(frames) * 2);
    mixer_.pull(buffer_, level_ ? level_() : MixLevel{});
    std::memcpy(data, buffer_.data(), static_cast<std::size_t>(frames) * 4);
    return frames * 4;
  }
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  Mixer& mixer_;
  LevelSource& level_;
  std::vector<std::int16_t> buffer_;
};

}  // namespace

AudioOutput::AudioOutput(Mixer& mixer, LevelSource level, bool useDevice, QObject* parent)
    : QObject(parent), mixer_(mixer), level_(std::move(level)) {
  silentClock_.setInterval(20);
  connect(&silentClock_, &QTimer::timeout, this, &AudioOutput::silentTick);
  const QAudioDevice device = useDevice ? QMediaDevices::defaultAudioOutput() : QAudioDevice();
  QAudioFormat format;
  format.setSampleRate(44100);
  format.setChannelCount(2);
  format.setSampleFormat(QAudioFormat::Int16);
  if (device.isNull() || !device.isFormatSupported(format)) {
    startSilentClock();
    return;
  }
  generator_ = std::make_unique<MixerDevice>(mixer_, level_);
  generator_->open(QIODevice::ReadOnly);
  sink_ = new QAudioSink(device, format, this);
  sink_->setBufferSize(44100 * 4 / 10);  // 100 ms: latency against drop-outs
  connect(sink_, &QAudioSink::stateChanged, this, [this](QAudio::State state) {
    if (state == QAudio::StoppedState && sink_ && sink_->error() != QAudio::NoError) {
      sink_->deleteLater();
      sink_ = nullptr;
      startSilentClock();
    }
  });
  sink_->start(generator_.get());
  if (sink_->error() != QAudio::NoError) {
    sink_->deleteLater();
    sink_ = nullptr;
    startSilentClock();
  }
}

AudioOutput::~AudioOutput() {
  if (sink_) sink_->stop();
}

void AudioOutput::startSilentClock() {
  silentStart_ = std::chrono::steady_clock::now();
  silentFrames_ = 0;
  silentClock_.start();
}

void AudioOutput::silentTick() {
  const auto elapsed = std::chrono::steady_clock::now() - silentStart_;
  const auto due = static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count()) *
                   44100u / 1000000u;
  if (due <= silentFrames_) return;
  // Never more than a second at once (a suspended machine must not mix minutes).
  const std::uint64_t frames = std::min<std::uint64_t>(due - silentFrames_, 44100);
  std::vector<std::int16_t> discard(static_cast<std::size_t>(frames) * 2);
  mixer_.pull(discard, level_ ? level_() : MixLevel{});
  silentFrames_ = due;
}

Mixer& processMixer() {
  static Mixer mixer;
  return mixer;
}

void startProcessOutput(LevelSource levels) {
  static AudioOutput* output = nullptr;
  if (output || !QCoreApplication::instance()) return;
  // Lives as long as the application; the application object deletes it.
  output = new AudioOutput(processMixer(), std::move(levels), true, QCoreApplication::instance());
}

}  // namespace plavex::sound
