#pragma once
// Video frames encoded at run time with libavcodec's encoders (Sorenson H.263 and Screen
// Video), for the video tests and the decoding benchmark.

#include <cstdint>
#include <functional>
#include <vector>

namespace plavex::engine::video::test {

using Bytes = std::vector<std::uint8_t>;

// Planes of one 4:2:0 source picture.
struct YuvImage {
  int width = 0, height = 0;
  std::vector<std::uint8_t> y, u, v;
  YuvImage(int w, int h, std::uint8_t yv = 16, std::uint8_t uv = 128, std::uint8_t vv = 128);
  void fillRect(int x, int y, int w, int h, std::uint8_t yv, std::uint8_t uv, std::uint8_t vv);
};

struct H263Options {
  int keyInterval = 12;  // a key frame every that many frames
  int quantizer = 4;     // fixed quantizer 1..31
};

// Encodes the pictures in order; one packet per picture (empty when the encoder failed).
std::vector<Bytes> encodeH263(const std::vector<YuvImage>& pictures, const H263Options& options = {});

// Screen Video 1 or 2 frames of BGR pictures (3 bytes a pixel, rows top-down).
struct BgrImage {
  int width = 0, height = 0;
  std::vector<std::uint8_t> bgr;
};
std::vector<Bytes> encodeScreenVideo(const std::vector<BgrImage>& pictures, bool version2, int keyInterval = 10);

}  // namespace plavex::engine::video::test
