#pragma once
// The decoder of one embedded video stream: Sorenson H.263, Screen Video 1 and 2, VP6
// and VP6 with alpha, through libavcodec. Each call decodes one VideoFrame's data into
// a picture of the stream's size (the coded picture cropped to it).

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "engine/video/AvHandles.h"
#include "engine/video/Picture.h"

namespace plavex::engine::video {

enum class Codec : std::uint8_t { SorensonH263 = 2, ScreenVideo = 3, Vp6 = 4, Vp6Alpha = 5, ScreenVideo2 = 6 };

// What the stream's definition says about its frames.
struct StreamFormat {
  std::uint8_t codecId = 0;
  int width = 0, height = 0;    // the stream's declared size; 0 takes the coded size
  std::uint8_t deblocking = 0;  // 0 as each frame asks, 1 off, 2 and more on
};

struct DecodeResult {
  Picture picture;
  std::string error;  // empty on success
  bool ok() const { return error.empty(); }
};

class VideoDecoder {
 public:
  struct Created {
    std::unique_ptr<VideoDecoder> decoder;
    std::string error;
  };
  static Created create(const StreamFormat& format);

  // Decodes one frame. An empty frame (a VP6 skip frame) repeats the last picture.
  DecodeResult decode(std::span<const std::uint8_t> data);
  // Starts over, as before the first frame (before decoding from a key frame).
  void reset();

  // Whether the frame decodes without the frames before it.
  static bool isKeyFrame(std::uint8_t codecId, std::span<const std::uint8_t> data);

  ~VideoDecoder();

 private:
  VideoDecoder(StreamFormat format, CodecContextHandle context);
  bool openContext();
  DecodeResult convert(std::span<const std::uint8_t> data);

  StreamFormat format_;
  CodecContextHandle context_;
  FrameHandle frame_;
  PacketHandle packet_;
  Picture last_;
};

bool isSupportedCodec(std::uint8_t codecId);
// The largest coded picture accepted, so broken headers cannot ask for huge buffers.
inline constexpr int kMaxVideoSide = 4096;

}  // namespace plavex::engine::video
