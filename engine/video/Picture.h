#pragma once
// A decoded video picture and the planes it is made from.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace plavex::engine::video {

// Premultiplied ARGB pixels, one 0xAARRGGBB word each, rows without padding.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  bool empty() const { return width <= 0 || height <= 0; }
  bool operator==(const Picture&) const = default;
};

// One 8-bit plane seen through its row stride (not owned).
struct PlaneView {
  const std::uint8_t* data = nullptr;
  int stride = 0;
  int width = 0;
  int height = 0;
  std::uint8_t at(int x, int y) const { return data[static_cast<std::ptrdiff_t>(y) * stride + x]; }
};

// A 4:2:0 picture: chroma planes of half the size (rounded up), an optional alpha plane.
struct Yuv420View {
  PlaneView y, u, v;
  PlaneView alpha;  // data == nullptr without alpha
};

}  // namespace plavex::engine::video
