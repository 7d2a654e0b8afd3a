#pragma once
// The process's audio output: pulls the process mixer through Qt Multimedia. Without
// an audio device (a server, CI), or when the device fails, a timer pulls the mixer at
// the real-time pace and drops the samples, so that movies play on silently.

#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>

#include "engine/sound/Mixer.h"

class QAudioSink;
class QIODevice;

namespace plavex::sound {

using LevelSource = std::function<MixLevel()>;

class AudioOutput : public QObject {
  Q_OBJECT
 public:
  // `useDevice` false: never open a device (tests, tools).
  AudioOutput(Mixer& mixer, LevelSource level, bool useDevice = true, QObject* parent = nullptr);
  ~AudioOutput() override;
  bool usingDevice() const { return sink_ != nullptr; }

 private:
  void startSilentClock();
  void silentTick();

  Mixer& mixer_;
  LevelSource level_;
  std::unique_ptr<QIODevice> generator_;
  QAudioSink* sink_ = nullptr;  // owned by this object (Qt parent)
  QTimer silentClock_;
  std::chrono::steady_clock::time_point silentStart_{};
  std::uint64_t silentFrames_ = 0;
};

// The one mixer of the process and its output, created on first use (needs a Qt
// application for the output). `levels` is read for every pulled block.
Mixer& processMixer();
void startProcessOutput(LevelSource levels);

}  // namespace plavex::sound
