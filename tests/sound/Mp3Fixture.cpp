#include "tests/sound/Mp3Fixture.h"

#include <cmath>
#include <memory>
#include <numbers>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
}

namespace plavex::sound {

std::optional<std::vector<std::uint8_t>> encodeMp3Tone(double hertz, int rate, int seconds) {
  const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MP3);
  if (!codec) return std::nullopt;
  struct Free {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
    void operator()(AVFrame* f) const { av_frame_free(&f); }
    void operator()(AVPacket* p) const { av_packet_free(&p); }
  };
  std::unique_ptr<AVCodecContext, Free> context(avcodec_alloc_context3(codec));
  if (!context) return std::nullopt;
  AVCodecContext* ctx = context.get();
  ctx->sample_rate = rate;
  ctx->bit_rate = 128000;
  av_channel_layout_default(&ctx->ch_layout, 1);
  ctx->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16P;
  if (avcodec_open2(ctx, codec, nullptr) < 0) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  std::unique_ptr<AVFrame, Free> frameHolder(av_frame_alloc());
  std::unique_ptr<AVPacket, Free> packetHolder(av_packet_alloc());
  AVFrame* frame = frameHolder.get();
  AVPacket* packet = packetHolder.get();
  if (!frame || !packet) return std::nullopt;
  auto drain = [&] {
    while (avcodec_receive_packet(ctx, packet) == 0) {
      bytes.insert(bytes.end(), packet->data, packet->data + packet->size);
      av_packet_unref(packet);
    }
  };
  const int total = rate * seconds;
  for (int at = 0; at < total; at += ctx->frame_size) {
    frame->nb_samples = ctx->frame_size;
    frame->format = ctx->sample_fmt;
    av_channel_layout_copy(&frame->ch_layout, &ctx->ch_layout);
    av_frame_get_buffer(frame, 0);
    for (int i = 0; i < frame->nb_samples; ++i) {
      const double v = 0.5 * std::sin(2 * std::numbers::pi * hertz * (at + i) / rate);
      if (ctx->sample_fmt == AV_SAMPLE_FMT_S16P || ctx->sample_fmt == AV_SAMPLE_FMT_S16)
        reinterpret_cast<std::int16_t*>(frame->data[0])[i] = static_cast<std::int16_t>(v * 32767);
      else if (ctx->sample_fmt == AV_SAMPLE_FMT_FLTP || ctx->sample_fmt == AV_SAMPLE_FMT_FLT)
        reinterpret_cast<float*>(frame->data[0])[i] = static_cast<float>(v);
      else
        reinterpret_cast<std::int32_t*>(frame->data[0])[i] = static_cast<std::int32_t>(v * 2147483647.0);
    }
    avcodec_send_frame(ctx, frame);
    av_frame_unref(frame);
    drain();
  }
  avcodec_send_frame(ctx, nullptr);
  drain();
  return bytes;
}

std::vector<std::vector<std::uint8_t>> mp3Frames(const std::vector<std::uint8_t>& data) {
  static constexpr int kBitrates[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
  std::vector<std::vector<std::uint8_t>> frames;
  std::size_t at = 0;
  while (at + 4 <= data.size()) {
    if (data[at] != 0xFF || (data[at + 1] & 0xFE) != 0xFA) {
      ++at;
      continue;
    }
    const int bitrate = kBitrates[data[at + 2] >> 4];
    const std::size_t length = bitrate ? 144000u * static_cast<unsigned>(bitrate) / 44100u + ((data[at + 2] >> 1) & 1u) : 0;
    if (length == 0 || at + length > data.size()) break;
    frames.emplace_back(data.begin() + static_cast<std::ptrdiff_t>(at), data.begin() + static_cast<std::ptrdiff_t>(at + length));
    at += length;
  }
  return frames;
}

swf::Movie mp3StreamMovie(const std::vector<std::vector<std::uint8_t>>& frames, double fps, int movieFrames) {
  const auto samplesPerFrame = static_cast<std::size_t>(44100 / fps);
  swf::SoundStreamHead head;
  head.playbackRate = head.streamRate = 3;
  head.playback16Bit = head.stream16Bit = true;
  head.compression = 2;
  head.sampleCount = static_cast<std::uint16_t>(samplesPerFrame);
  std::vector<swf::Tag> tags{swf::Tag{head}};
  std::size_t next = 0;
  for (int k = 0; k < movieFrames; ++k) {
    swf::SoundStreamBlock block;
    std::uint16_t count = 0;
    block.data = {0, 0, 0, 0};
    while (next < frames.size() && next * 1152 < (static_cast<std::size_t>(k) + 1) * samplesPerFrame) {
      block.data.insert(block.data.end(), frames[next].begin(), frames[next].end());
      ++next;
      count = static_cast<std::uint16_t>(count + 1152);
    }
    block.data[0] = static_cast<std::uint8_t>(count & 0xff);
    block.data[1] = static_cast<std::uint8_t>(count >> 8);
    tags.push_back(swf::Tag{block});
    tags.push_back(swf::Tag{swf::ShowFrame{}});
  }
  swf::Movie movie;
  movie.header.signature = "FWS";
  movie.header.version = 8;
  movie.header.frameRate = fps;
  movie.header.frameCount = static_cast<std::uint16_t>(movieFrames);
  movie.tags = std::move(tags);
  return movie;
}

}  // namespace plavex::sound
