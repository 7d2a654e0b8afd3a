#include "engine/video/VideoDecoder.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/video/Deblocking.h"
#include "engine/video/SorensonHeader.h"
#include "engine/video/YuvToRgba.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/error.h>
#include <libavutil/frame.h>
#include <libavutil/pixfmt.h>
}

namespace plavex::engine::video {

namespace {
AVCodecID codecIdFor(std::uint8_t id) {
  switch (static_cast<Codec>(id)) {
    case Codec::SorensonH263: return AV_CODEC_ID_FLV1;
    case Codec::ScreenVideo: return AV_CODEC_ID_FLASHSV;
    case Codec::Vp6: return AV_CODEC_ID_VP6F;
    case Codec::Vp6Alpha: return AV_CODEC_ID_VP6A;
    case Codec::ScreenVideo2: return AV_CODEC_ID_FLASHSV2;
  }
  return AV_CODEC_ID_NONE;
}

std::string avError(int code) {
  char buf[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, buf, sizeof buf);
  return buf;
}

std::uint32_t readBe16(std::span<const std::uint8_t> d, std::size_t at) {
  return static_cast<std::uint32_t>(d[at]) << 8 | d[at + 1];
}

// Screen Video: every block of the frame is present (v2: and none refers to the last frame).
bool screenFrameIsComplete(std::span<const std::uint8_t> data, bool version2) {
  if (data.size() < 4) return false;
  const std::uint32_t w0 = readBe16(data, 0), h0 = readBe16(data, 2);
  const int blockW = 16 * (static_cast<int>(w0 >> 12) + 1), imageW = static_cast<int>(w0 & 0xfff);
  const int blockH = 16 * (static_cast<int>(h0 >> 12) + 1), imageH = static_cast<int>(h0 & 0xfff);
  if (imageW == 0 || imageH == 0) return false;
  std::size_t pos = 4;
  if (version2) {
    if (pos >= data.size()) return false;
    const std::uint8_t flags = data[pos++];
    if (flags & 0x01) return false;  // has palette info: not handled as a key frame
  }
  const int blocks = ((imageW + blockW - 1) / blockW) * ((imageH + blockH - 1) / blockH);
  for (int i = 0; i < blocks; ++i) {
    if (pos + 2 > data.size()) return false;
    const std::uint32_t size = readBe16(data, pos);
    pos += 2;
    if (size == 0) return false;
    if (version2) {
      if (pos >= data.size()) return false;
      const std::uint8_t flags = data[pos];
      if (flags & 0x04 || flags & 0x02 || flags & 0x01) return false;  // diff block or primed by another
    }
    pos += size;
  }
  return true;
}

PlaneView plane(const AVFrame& f, int index, int width, int height) {
  return PlaneView{f.data[index], f.linesize[index], width, height};
}

// A copy of one plane, `width` x `height` from its top-left corner.
std::vector<std::uint8_t> copyPlane(const AVFrame& f, int index, int width, int height) {
  std::vector<std::uint8_t> out(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    std::memcpy(out.data() + static_cast<std::size_t>(y) * width, f.data[index] + static_cast<std::ptrdiff_t>(y) * f.linesize[index],
                static_cast<std::size_t>(width));
  return out;
}

Picture fromBgr24(const AVFrame& f, int width, int height) {
  Picture p;
  p.width = width;
  p.height = height;
  p.pixels.resize(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = f.data[0] + static_cast<std::ptrdiff_t>(y) * f.linesize[0];
    for (int x = 0; x < width; ++x)
      p.pixels[static_cast<std::size_t>(y) * width + x] = 0xff000000u | static_cast<std::uint32_t>(row[3 * x + 2]) << 16 |
                                                          static_cast<std::uint32_t>(row[3 * x + 1]) << 8 | row[3 * x];
  }
  return p;
}
}  // namespace

bool isSupportedCodec(std::uint8_t codecId) { return codecIdFor(codecId) != AV_CODEC_ID_NONE; }

VideoDecoder::Created VideoDecoder::create(const StreamFormat& format) {
  const AVCodecID id = codecIdFor(format.codecId);
  if (id == AV_CODEC_ID_NONE) return {nullptr, "unsupported video codec " + std::to_string(format.codecId)};
  if (!avcodec_find_decoder(id)) return {nullptr, std::string("no decoder for ") + avcodec_get_name(id)};
  std::unique_ptr<VideoDecoder> decoder(new VideoDecoder(format, nullptr));
  if (!decoder->frame_ || !decoder->packet_) return {nullptr, "out of memory"};
  if (!decoder->openContext()) return {nullptr, std::string("cannot open the ") + avcodec_get_name(id) + " decoder"};
  return {std::move(decoder), {}};
}

VideoDecoder::VideoDecoder(StreamFormat format, CodecContextHandle context)
    : format_(format), context_(std::move(context)), frame_(makeFrame()), packet_(makePacket()) {}

VideoDecoder::~VideoDecoder() = default;

bool VideoDecoder::openContext() {
  const AVCodec* codec = avcodec_find_decoder(codecIdFor(format_.codecId));
  CodecContextHandle context(avcodec_alloc_context3(codec));
  if (!context) return false;
  context->thread_count = 1;  // one picture out for each packet in, at once
  context->max_pixels = static_cast<std::int64_t>(kMaxVideoSide) * kMaxVideoSide;
  // The integer IDCT rounds H.263 blocks as the reference player does (the default does not).
  if (static_cast<Codec>(format_.codecId) == Codec::SorensonH263) context->idct_algo = FF_IDCT_INT;
  if (format_.width > 0 && format_.height > 0 && format_.width <= kMaxVideoSide && format_.height <= kMaxVideoSide) {
    context->width = format_.width;
    context->height = format_.height;
  }
  if (avcodec_open2(context.get(), codec, nullptr) < 0) return false;
  context_ = std::move(context);
  return true;
}

void VideoDecoder::reset() {
  last_ = Picture{};
  if (context_) avcodec_flush_buffers(context_.get());
}

bool VideoDecoder::isKeyFrame(std::uint8_t codecId, std::span<const std::uint8_t> data) {
  switch (static_cast<Codec>(codecId)) {
    case Codec::SorensonH263: {
      auto h = parseSorensonHeader(data);
      return h && h->type == SorensonHeader::Type::Intra;
    }
    case Codec::Vp6: return !data.empty() && (data[0] & 0x80) == 0;
    case Codec::Vp6Alpha: return data.size() > 3 && (data[3] & 0x80) == 0;
    case Codec::ScreenVideo: return screenFrameIsComplete(data, false);
    case Codec::ScreenVideo2: return screenFrameIsComplete(data, true);
  }
  return false;
}

DecodeResult VideoDecoder::decode(std::span<const std::uint8_t> data) {
  const bool skip = data.empty() || (static_cast<Codec>(format_.codecId) == Codec::Vp6Alpha && data.size() <= 3);
  if (skip) {
    if (last_.empty()) return {{}, "a skipped frame before any picture"};
    return {last_, {}};
  }
  if (static_cast<Codec>(format_.codecId) == Codec::SorensonH263) {
    auto h = parseSorensonHeader(data);
    if (!h) return {{}, "broken H.263 picture header"};
    if (h->width > kMaxVideoSide || h->height > kMaxVideoSide) return {{}, "H.263 picture too large"};
  }
  DecodeResult result = convert(data);
  if (result.ok()) last_ = result.picture;
  return result;
}

DecodeResult VideoDecoder::convert(std::span<const std::uint8_t> data) {
  // libavcodec reads up to AV_INPUT_BUFFER_PADDING_SIZE bytes past the end: give it a padded copy.
  if (data.size() > static_cast<std::size_t>(INT32_MAX - AV_INPUT_BUFFER_PADDING_SIZE)) return {{}, "frame too large"};
  av_packet_unref(packet_.get());
  if (av_new_packet(packet_.get(), static_cast<int>(data.size())) < 0) return {{}, "out of memory"};
  std::memcpy(packet_->data, data.data(), data.size());
  int rc = avcodec_send_packet(context_.get(), packet_.get());
  av_packet_unref(packet_.get());
  if (rc < 0) return {{}, "decoding failed: " + avError(rc)};
  rc = avcodec_receive_frame(context_.get(), frame_.get());
  if (rc < 0) return {{}, rc == AVERROR(EAGAIN) ? std::string("no picture in the frame") : "decoding failed: " + avError(rc)};
  struct Unref {
    AVFrame* f;
    ~Unref() { av_frame_unref(f); }
  } unref{frame_.get()};
  const AVFrame& f = *frame_;
  if (f.width <= 0 || f.height <= 0) return {{}, "empty picture"};
  const int width = format_.width > 0 ? std::min(format_.width, f.width) : f.width;
  const int height = format_.height > 0 ? std::min(format_.height, f.height) : f.height;
  const int fcw = (f.width + 1) / 2, fch = (f.height + 1) / 2;
  switch (f.format) {
    case AV_PIX_FMT_BGR24: return {fromBgr24(f, width, height), {}};
    case AV_PIX_FMT_YUVA420P:
    case AV_PIX_FMT_YUV420P: {
      Yuv420View view{plane(f, 0, f.width, f.height), plane(f, 1, fcw, fch), plane(f, 2, fcw, fch), {}};
      if (f.format == AV_PIX_FMT_YUVA420P) view.alpha = plane(f, 3, f.width, f.height);
      bool deblock = false;
      int strength = 0;
      if (static_cast<Codec>(format_.codecId) == Codec::SorensonH263 && format_.deblocking != 1) {
        auto h = parseSorensonHeader(data);
        deblock = h && (format_.deblocking >= 2 || h->deblocking);
        if (h) strength = deblockingStrength(h->quantizer);
      }
      if (!deblock || strength == 0) {
        Picture p = yuv420ToPicture(view, width, height);
        if (p.empty()) return {{}, "unexpected picture layout"};
        return {std::move(p), {}};
      }
      // The filter runs over the whole coded picture, on copies (the decoder keeps its references).
      auto y = copyPlane(f, 0, f.width, f.height);
      auto u = copyPlane(f, 1, fcw, fch);
      auto v = copyPlane(f, 2, fcw, fch);
      deblockPlane(y.data(), f.width, f.width, f.height, strength);
      deblockPlane(u.data(), fcw, fcw, fch, strength);
      deblockPlane(v.data(), fcw, fcw, fch, strength);
      Yuv420View filtered{{y.data(), f.width, f.width, f.height}, {u.data(), fcw, fcw, fch}, {v.data(), fcw, fcw, fch}, {}};
      Picture p = yuv420ToPicture(filtered, width, height);
      if (p.empty()) return {{}, "unexpected picture layout"};
      return {std::move(p), {}};
    }
    default: return {{}, std::string("unexpected pixel format ") + std::to_string(f.format)};
  }
}

}  // namespace plavex::engine::video
