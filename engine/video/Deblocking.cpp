#include "engine/video/Deblocking.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace plavex::engine::video {

namespace {
constexpr std::array<std::uint8_t, 32> kStrengthOfQuantizer = {0, 1, 1, 2, 2, 3, 3, 4, 4, 4, 5, 5, 6, 6, 7, 7,
                                                               7, 8, 8, 8, 9, 9, 9, 10, 10, 10, 11, 11, 11, 12, 12, 12};

// The ramp that lets small steps through and leaves large ones (real edges) alone.
int upDownRamp(int x, int strength) {
  const int ax = std::abs(x);
  const int v = std::max(ax - std::max(2 * (ax - strength), 0), 0);
  return x < 0 ? -v : v;
}

// Arithmetic shifts (rounding towards minus infinity), as the reference filter computes.
int floorShift(int x, int n) { return x >= 0 ? x >> n : -((-x + (1 << n) - 1) >> n); }
}  // namespace

int deblockingStrength(int quantizer) {
  if (quantizer < 1 || quantizer > 31) return 0;
  return kStrengthOfQuantizer[static_cast<std::size_t>(quantizer)];
}

void deblockSamples(std::uint8_t& a, std::uint8_t& b, std::uint8_t& c, std::uint8_t& d, int strength) {
  const int A = a, B = b, C = c, D = d;
  const int delta = floorShift(A - 4 * B + 4 * C - D, 3);
  const int d1 = upDownRamp(delta, strength);
  const int limit = std::abs(floorShift(d1, 1));
  const int d2 = std::clamp(floorShift(A - D, 2), -limit, limit);
  a = static_cast<std::uint8_t>(A - d2);
  b = static_cast<std::uint8_t>(std::clamp(B + d1, 0, 255));
  c = static_cast<std::uint8_t>(std::clamp(C - d1, 0, 255));
  d = static_cast<std::uint8_t>(D + d2);
}

void deblockPlane(std::uint8_t* data, int stride, int width, int height, int strength) {
  if (!data || strength <= 0 || width <= 0 || height <= 0) return;
  auto at = [&](int x, int y) -> std::uint8_t& { return data[static_cast<std::ptrdiff_t>(y) * stride + x]; };
  // Horizontal edges: the rows above and below each multiple of 8.
  for (int edge = 8; edge + 1 < height; edge += 8)
    for (int x = 0; x < width; ++x) deblockSamples(at(x, edge - 2), at(x, edge - 1), at(x, edge), at(x, edge + 1), strength);
  // Vertical edges: the columns left and right of each multiple of 8 that has two columns after it.
  for (int y = 0; y < height; ++y)
    for (int edge = 8; edge + 2 <= width; edge += 8)
      deblockSamples(at(edge - 2, y), at(edge - 1, y), at(edge, y), at(edge + 1, y), strength);
}

}  // namespace plavex::engine::video
