#pragma once
// Owning handles for libavcodec's context, frame and packet.

#include <memory>

extern "C" {
struct AVCodecContext;
struct AVFrame;
struct AVPacket;
}

namespace plavex::engine::video {

struct CodecContextDeleter {
  void operator()(AVCodecContext* c) const;
};
struct FrameDeleter {
  void operator()(AVFrame* f) const;
};
struct PacketDeleter {
  void operator()(AVPacket* p) const;
};

using CodecContextHandle = std::unique_ptr<AVCodecContext, CodecContextDeleter>;
using FrameHandle = std::unique_ptr<AVFrame, FrameDeleter>;
using PacketHandle = std::unique_ptr<AVPacket, PacketDeleter>;

FrameHandle makeFrame();
PacketHandle makePacket();

}  // namespace plavex::engine::video
