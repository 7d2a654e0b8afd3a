#pragma once
// The YUV 4:2:0 to RGB conversion of the reference player: BT.601 studio range in
// 16.16 fixed point, each chroma sample used for its 2x2 luma block
// (no interpolation). With alpha, colours are clamped to the alpha (premultiplied).

#include <array>

#include "engine/video/Picture.h"

namespace plavex::engine::video {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

// One sample triple.
Rgb yuvToRgb(std::uint8_t y, std::uint8_t u, std::uint8_t v);

// The picture `width` x `height` from the top-left of `planes`; an empty picture when the
// planes are smaller than that.
Picture yuv420ToPicture(const Yuv420View& planes, int width, int height);

}  // namespace plavex::engine::video
