#include "engine/sound/Decoders.h"

#include <mpg123.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/frame.h>
}

#include <algorithm>
#include <mutex>

#include "engine/sound/Resampler.h"

namespace plavex::sound {

namespace {

class RawDecoder final : public AudioDecoder {
 public:
  RawDecoder(const SoundShape& shape, bool bigEndian) : shape_(shape), bigEndian_(bigEndian) {}
  void decode(std::span<const std::uint8_t> data, std::vector<std::int16_t>& out) override {
    auto samples = decodeRaw(data, shape_.is16Bit, bigEndian_);
    out.insert(out.end(), samples.begin(), samples.end());
  }
  int channels() const override { return shape_.stereo ? 2 : 1; }
  int halfHertz() const override { return halfHertzForRateCode(shape_.rateCode); }

 private:
  SoundShape shape_;
  bool bigEndian_;
};

class AdpcmDecoder final : public AudioDecoder {
 public:
  explicit AdpcmDecoder(const SoundShape& shape) : shape_(shape) {}
  // Every sound body and every stream block starts the codec afresh.
  void decode(std::span<const std::uint8_t> data, std::vector<std::int16_t>& out) override {
    auto samples = decodeAdpcm(data, shape_.stereo);
    out.insert(out.end(), samples.begin(), samples.end());
  }
  int channels() const override { return shape_.stereo ? 2 : 1; }
  int halfHertz() const override { return halfHertzForRateCode(shape_.rateCode); }

 private:
  SoundShape shape_;
};

// MP3 through libmpg123 in feed mode; the decoder keeps its state across stream blocks
// (the bit reservoir may reach into the previous block).
class Mp3Decoder final : public AudioDecoder {
 public:
  explicit Mp3Decoder(const SoundShape& shape) : channels_(shape.stereo ? 2 : 1), halfHertz_(halfHertzForRateCode(shape.rateCode)) {
    static std::once_flag initialised;
    std::call_once(initialised, [] { mpg123_init(); });
    int error = 0;
    handle_ = mpg123_new(nullptr, &error);
    if (!handle_) return;
    mpg123_param(handle_, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    mpg123_format_none(handle_);
    for (long rate : {8000L, 11025L, 12000L, 16000L, 22050L, 24000L, 32000L, 44100L, 48000L})
      mpg123_format(handle_, rate, MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open_feed(handle_) != MPG123_OK) {
      mpg123_delete(handle_);
      handle_ = nullptr;
    }
  }
  ~Mp3Decoder() override {
    if (handle_) mpg123_delete(handle_);
  }
  Mp3Decoder(const Mp3Decoder&) = delete;
  Mp3Decoder& operator=(const Mp3Decoder&) = delete;

  void decode(std::span<const std::uint8_t> data, std::vector<std::int16_t>& out) override {
    if (!handle_ || data.empty()) return;
    if (mpg123_feed(handle_, data.data(), data.size()) != MPG123_OK) return;
    std::int16_t buffer[4608];
    for (int guard = 0; guard < 100000; ++guard) {
      std::size_t done = 0;
      const int result = mpg123_read(handle_, reinterpret_cast<unsigned char*>(buffer), sizeof buffer, &done);
      if (result == MPG123_NEW_FORMAT) {
        long rate = 0;
        int channels = 0, encoding = 0;
        mpg123_getformat(handle_, &rate, &channels, &encoding);
        if (!out.empty() || decodedAny_) {
          // A format change mid-sound would mix rates; keep the first format.
        } else {
          channels_ = std::clamp(channels, 1, 2);
          halfHertz_ = static_cast<int>(rate * 2);
        }
        continue;
      }
      if (done > 0) {
        decodedAny_ = true;
        out.insert(out.end(), buffer, buffer + done / sizeof(std::int16_t));
      }
      if (result != MPG123_OK) break;  // needs more data, done, or an error
    }
  }
  int channels() const override { return channels_; }
  int halfHertz() const override { return halfHertz_; }

 private:
  mpg123_handle* handle_ = nullptr;
  int channels_;
  int halfHertz_;
  bool decodedAny_ = false;
};

constexpr int kNellymoserBlock = 64;  // 256 samples

// Nellymoser, Speex and G.711 through libavcodec.
class AvDecoder final : public AudioDecoder {
 public:
  AvDecoder(AVCodecID id, int sampleRate, int channels, int packetBytes)
      : halfHertz_(sampleRate * 2), channels_(channels), packetBytes_(packetBytes) {
    const AVCodec* codec = avcodec_find_decoder(id);
    if (!codec) return;
    context_ = avcodec_alloc_context3(codec);
    if (!context_) return;
    context_->sample_rate = sampleRate;
    av_channel_layout_default(&context_->ch_layout, channels);
    if (avcodec_open2(context_, codec, nullptr) < 0) avcodec_free_context(&context_);
    frame_ = av_frame_alloc();
    packet_ = av_packet_alloc();
  }
  ~AvDecoder() override {
    av_packet_free(&packet_);
    av_frame_free(&frame_);
    avcodec_free_context(&context_);
  }
  AvDecoder(const AvDecoder&) = delete;
  AvDecoder& operator=(const AvDecoder&) = delete;

  void decode(std::span<const std::uint8_t> data, std::vector<std::int16_t>& out) override {
    if (!context_ || !frame_ || !packet_) return;
    // Nellymoser goes in whole 64-byte blocks; Speex frames are found by the decoder.
    const std::size_t step = packetBytes_ > 0 ? static_cast<std::size_t>(packetBytes_) : data.size();
    for (std::size_t at = 0; at < data.size(); at += step) {
      const std::size_t size = std::min(step, data.size() - at);
      if (packetBytes_ == kNellymoserBlock && size < step) break;  // a partial block cannot be decoded
      if (av_new_packet(packet_, static_cast<int>(size)) < 0) return;
      std::copy_n(data.data() + at, size, packet_->data);
      const int sent = avcodec_send_packet(context_, packet_);
      av_packet_unref(packet_);
      if (sent < 0) continue;
      while (avcodec_receive_frame(context_, frame_) == 0) {
        append(out);
        av_frame_unref(frame_);
      }
    }
  }
  int channels() const override { return channels_; }
  int halfHertz() const override { return halfHertz_; }

 private:
  void append(std::vector<std::int16_t>& out) {
    const int channels = std::max(1, frame_->ch_layout.nb_channels);
    const int used = std::min(channels, channels_);
    for (int i = 0; i < frame_->nb_samples; ++i) {
      for (int c = 0; c < channels_; ++c) {
        const int source = std::min(c, used - 1);
        float v = 0;
        switch (frame_->format) {
          case AV_SAMPLE_FMT_FLT: v = reinterpret_cast<const float*>(frame_->data[0])[i * channels + source]; break;
          case AV_SAMPLE_FMT_FLTP: v = reinterpret_cast<const float*>(frame_->data[source])[i]; break;
          case AV_SAMPLE_FMT_S16:
            out.push_back(reinterpret_cast<const std::int16_t*>(frame_->data[0])[i * channels + source]);
            continue;
          case AV_SAMPLE_FMT_S16P:
            out.push_back(reinterpret_cast<const std::int16_t*>(frame_->data[source])[i]);
            continue;
          default: break;
        }
        out.push_back(static_cast<std::int16_t>(std::clamp(v * 32768.0f, -32768.0f, 32767.0f)));
      }
    }
  }

  AVCodecContext* context_ = nullptr;
  AVFrame* frame_ = nullptr;
  AVPacket* packet_ = nullptr;
  int halfHertz_;
  int channels_;
  int packetBytes_;
};

}  // namespace

std::unique_ptr<AudioDecoder> makeDecoder(const SoundShape& shape) {
  const int channels = shape.stereo ? 2 : 1;
  switch (static_cast<SoundCodec>(shape.codec)) {
    case SoundCodec::RawNative: return std::make_unique<RawDecoder>(shape, false);
    case SoundCodec::RawLittleEndian: return std::make_unique<RawDecoder>(shape, false);
    case SoundCodec::Adpcm: return std::make_unique<AdpcmDecoder>(shape);
    case SoundCodec::Mp3: return std::make_unique<Mp3Decoder>(shape);
    // Nellymoser is mono in SWF; the rate code gives the rate of the general variant.
    case SoundCodec::Nellymoser16k: return std::make_unique<AvDecoder>(AV_CODEC_ID_NELLYMOSER, 16000, 1, kNellymoserBlock);
    case SoundCodec::Nellymoser8k: return std::make_unique<AvDecoder>(AV_CODEC_ID_NELLYMOSER, 8000, 1, kNellymoserBlock);
    case SoundCodec::Nellymoser:
      return std::make_unique<AvDecoder>(AV_CODEC_ID_NELLYMOSER, halfHertzForRateCode(shape.rateCode) / 2, 1, kNellymoserBlock);
    // G.711 (A-law 7, mu-law 8) as some encoders store it, at the declared rate.
    case SoundCodec::G711ALaw:
      return std::make_unique<AvDecoder>(AV_CODEC_ID_PCM_ALAW, halfHertzForRateCode(shape.rateCode) / 2, channels, 1024);
    case SoundCodec::G711MuLaw:
      return std::make_unique<AvDecoder>(AV_CODEC_ID_PCM_MULAW, halfHertzForRateCode(shape.rateCode) / 2, channels, 1024);
    // Speex in SWF is wideband, 16 kHz mono, whatever the header says.
    case SoundCodec::Speex: return std::make_unique<AvDecoder>(AV_CODEC_ID_SPEEX, 16000, 1, 0);
  }
  return nullptr;
}

}  // namespace plavex::sound
