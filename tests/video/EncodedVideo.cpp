#include "tests/video/EncodedVideo.h"

#include <cstring>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libavutil/opt.h>
}

namespace plavex::engine::video::test {

namespace {
struct ContextFree {
  void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameFree {
  void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFree {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};

// Runs the encoder over the pictures; `fill` copies picture i into the frame.
std::vector<Bytes> encodeAll(AVCodecID id, AVPixelFormat format, int width, int height, int count, int keyInterval,
                             int quantizer, const std::function<void(AVFrame&, int)>& fill) {
  std::vector<Bytes> out(static_cast<std::size_t>(count));
  const AVCodec* codec = avcodec_find_encoder(id);
  if (!codec) return out;
  std::unique_ptr<AVCodecContext, ContextFree> ctx(avcodec_alloc_context3(codec));
  ctx->width = width;
  ctx->height = height;
  ctx->pix_fmt = format;
  ctx->time_base = {1, 30};
  ctx->gop_size = keyInterval;
  ctx->max_b_frames = 0;
  ctx->thread_count = 1;
  if (quantizer > 0) ctx->flags |= AV_CODEC_FLAG_QSCALE;
  // Key frames only where asked: no extra ones on a change of scene.
  av_opt_set_int(ctx.get(), "sc_threshold", 1000000000, AV_OPT_SEARCH_CHILDREN);
  if (avcodec_open2(ctx.get(), codec, nullptr) < 0) return out;
  std::unique_ptr<AVFrame, FrameFree> frame(av_frame_alloc());
  std::unique_ptr<AVPacket, PacketFree> packet(av_packet_alloc());
  frame->format = format;
  frame->width = width;
  frame->height = height;
  if (av_frame_get_buffer(frame.get(), 0) < 0) return out;
  auto drain = [&] {
    while (avcodec_receive_packet(ctx.get(), packet.get()) == 0) {
      const auto index = static_cast<std::size_t>(packet->pts);
      if (index < out.size()) out[index].assign(packet->data, packet->data + packet->size);
      av_packet_unref(packet.get());
    }
  };
  for (int i = 0; i < count; ++i) {
    if (av_frame_make_writable(frame.get()) < 0) return out;
    fill(*frame, i);
    frame->pts = i;
    frame->pict_type = i % keyInterval == 0 ? AV_PICTURE_TYPE_I : AV_PICTURE_TYPE_NONE;
    if (quantizer > 0) frame->quality = FF_QP2LAMBDA * quantizer;
    if (avcodec_send_frame(ctx.get(), frame.get()) < 0) return out;
    drain();
  }
  avcodec_send_frame(ctx.get(), nullptr);
  drain();
  return out;
}

void copyPlane(AVFrame& f, int index, const std::vector<std::uint8_t>& src, int w, int h) {
  for (int y = 0; y < h; ++y)
    std::memcpy(f.data[index] + static_cast<std::ptrdiff_t>(y) * f.linesize[index], src.data() + static_cast<std::size_t>(y) * w,
                static_cast<std::size_t>(w));
}
}  // namespace

YuvImage::YuvImage(int w, int h, std::uint8_t yv, std::uint8_t uv, std::uint8_t vv)
    : width(w), height(h), y(static_cast<std::size_t>(w) * h, yv),
      u(static_cast<std::size_t>((w + 1) / 2) * ((h + 1) / 2), uv), v(u.size(), vv) {}

void YuvImage::fillRect(int x0, int y0, int w, int h, std::uint8_t yv, std::uint8_t uv, std::uint8_t vv) {
  const int cw = (width + 1) / 2;
  for (int yy = y0; yy < y0 + h && yy < height; ++yy)
    for (int xx = x0; xx < x0 + w && xx < width; ++xx) {
      y[static_cast<std::size_t>(yy) * width + xx] = yv;
      u[static_cast<std::size_t>(yy / 2) * cw + xx / 2] = uv;
      v[static_cast<std::size_t>(yy / 2) * cw + xx / 2] = vv;
    }
}

std::vector<Bytes> encodeH263(const std::vector<YuvImage>& pictures, const H263Options& options) {
  if (pictures.empty()) return {};
  const int w = pictures[0].width, h = pictures[0].height;
  return encodeAll(AV_CODEC_ID_FLV1, AV_PIX_FMT_YUV420P, w, h, static_cast<int>(pictures.size()), options.keyInterval,
                   options.quantizer, [&](AVFrame& f, int i) {
                     const auto& p = pictures[static_cast<std::size_t>(i)];
                     copyPlane(f, 0, p.y, w, h);
                     copyPlane(f, 1, p.u, (w + 1) / 2, (h + 1) / 2);
                     copyPlane(f, 2, p.v, (w + 1) / 2, (h + 1) / 2);
                   });
}

std::vector<Bytes> encodeScreenVideo(const std::vector<BgrImage>& pictures, bool version2, int keyInterval) {
  if (pictures.empty()) return {};
  const int w = pictures[0].width, h = pictures[0].height;
  return encodeAll(version2 ? AV_CODEC_ID_FLASHSV2 : AV_CODEC_ID_FLASHSV, AV_PIX_FMT_BGR24, w, h,
                   static_cast<int>(pictures.size()), keyInterval, 0, [&](AVFrame& f, int i) {
                     copyPlane(f, 0, pictures[static_cast<std::size_t>(i)].bgr, w * 3, h);
                   });
}

}  // namespace plavex::engine::video::test
