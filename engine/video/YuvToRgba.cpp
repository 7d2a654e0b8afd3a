#include "engine/video/YuvToRgba.h"

#include <algorithm>
#include <cmath>

namespace plavex::engine::video {

namespace {
// Each component's share of the result in 16.16 fixed point: the BT.601 studio-range
// coefficients rounded to 1/65536, the sum rounded once (half up) and clamped.
struct Tables {
  std::array<std::int32_t, 256> yToGray{}, vToR{}, vToG{}, uToG{}, uToB{};
  Tables() {
    const std::int32_t ky = fixed(255.0 / 219.0), kvr = fixed(1.402 * 255.0 / 224.0),
                       kvg = fixed(1.402 * (0.299 / 0.587) * 255.0 / 224.0),
                       kug = fixed(1.772 * (0.114 / 0.587) * 255.0 / 224.0), kub = fixed(1.772 * 255.0 / 224.0);
    for (int i = 0; i < 256; ++i) {
      yToGray[i] = ky * (i - 16) + (1 << 15);
      vToR[i] = kvr * (i - 128);
      vToG[i] = -kvg * (i - 128);
      uToG[i] = -kug * (i - 128);
      uToB[i] = kub * (i - 128);
    }
  }
  static std::int32_t fixed(double v) { return static_cast<std::int32_t>(std::lround(v * 65536.0)); }
};

const Tables& tables() {
  static const Tables t;
  return t;
}

// `fixed` already holds the rounding half.
std::uint8_t toByte(std::int32_t fixed) { return static_cast<std::uint8_t>(std::clamp(fixed >> 16, 0, 255)); }

bool covers(const PlaneView& p, int w, int h) {
  return p.data && p.width >= w && p.height >= h && p.stride >= w;
}
}  // namespace

Rgb yuvToRgb(std::uint8_t y, std::uint8_t u, std::uint8_t v) {
  const Tables& t = tables();
  const std::int32_t gray = t.yToGray[y];
  return {toByte(gray + t.vToR[v]), toByte(gray + t.vToG[v] + t.uToG[u]), toByte(gray + t.uToB[u])};
}

Picture yuv420ToPicture(const Yuv420View& planes, int width, int height) {
  Picture out;
  if (width <= 0 || height <= 0) return out;
  const int cw = (width + 1) / 2, ch = (height + 1) / 2;
  if (!covers(planes.y, width, height) || !covers(planes.u, cw, ch) || !covers(planes.v, cw, ch)) return out;
  const bool withAlpha = planes.alpha.data != nullptr;
  if (withAlpha && !covers(planes.alpha, width, height)) return out;
  const Tables& t = tables();
  out.width = width;
  out.height = height;
  out.pixels.resize(static_cast<std::size_t>(width) * height);
  for (int row = 0; row < height; ++row) {
    const std::uint8_t* ys = planes.y.data + static_cast<std::ptrdiff_t>(row) * planes.y.stride;
    const std::uint8_t* us = planes.u.data + static_cast<std::ptrdiff_t>(row / 2) * planes.u.stride;
    const std::uint8_t* vs = planes.v.data + static_cast<std::ptrdiff_t>(row / 2) * planes.v.stride;
    const std::uint8_t* as =
        withAlpha ? planes.alpha.data + static_cast<std::ptrdiff_t>(row) * planes.alpha.stride : nullptr;
    std::uint32_t* dst = out.pixels.data() + static_cast<std::size_t>(row) * width;
    for (int x = 0; x < width; ++x) {
      const int u = us[x / 2], v = vs[x / 2];
      const std::int32_t gray = t.yToGray[ys[x]];
      int r = toByte(gray + t.vToR[v]);
      int g = toByte(gray + t.vToG[v] + t.uToG[u]);
      int b = toByte(gray + t.uToB[u]);
      int a = 255;
      if (as) {
        a = as[x];
        r = std::min(r, a);
        g = std::min(g, a);
        b = std::min(b, a);
      }
      dst[x] = static_cast<std::uint32_t>(a) << 24 | static_cast<std::uint32_t>(r) << 16 |
               static_cast<std::uint32_t>(g) << 8 | static_cast<std::uint32_t>(b);
    }
  }
  return out;
}

}  // namespace plavex::engine::video
