#include "engine/video/AvHandles.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
}

namespace plavex::engine::video {

void CodecContextDeleter::operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
void FrameDeleter::operator()(AVFrame* f) const { av_frame_free(&f); }
void PacketDeleter::operator()(AVPacket* p) const { av_packet_free(&p); }

FrameHandle makeFrame() { return FrameHandle(av_frame_alloc()); }
PacketHandle makePacket() { return PacketHandle(av_packet_alloc()); }

}  // namespace plavex::engine::video
