// The YUV to RGB conversion, the deblocking filter and the H.263 picture header.

#include <gtest/gtest.h>

#include "engine/video/Deblocking.h"
#include "engine/video/SorensonHeader.h"
#include "engine/video/YuvToRgba.h"
#include "tests/video/EncodedVideo.h"

namespace plavex::engine::video {
namespace {

struct YuvCase {
  std::uint8_t y, u, v;
  Rgb rgb;
};

TEST(YuvToRgb, StudioRangeBt601RoundedOnce) {
  const YuvCase cases[] = {
      {16, 128, 128, {0, 0, 0}},        {15, 128, 128, {0, 0, 0}},        {0, 128, 128, {0, 0, 0}},
      {17, 128, 128, {1, 1, 1}},        {235, 128, 128, {255, 255, 255}}, {255, 128, 128, {255, 255, 255}},
      {125, 128, 128, {127, 127, 127}}, {126, 128, 128, {128, 128, 128}},
      // 180.479: one rounding gives 180, rounding each table entry first would give 181.
      {171, 128, 128, {180, 180, 180}}, {98, 128, 128, {95, 95, 95}},
      // Red, green and blue of the studio range (rounded to whole YUV steps), and mixtures near the clamp.
      {81, 90, 240, {254, 0, 0}},       {145, 54, 34, {0, 255, 1}},       {41, 240, 110, {0, 0, 255}},
      {92, 90, 227, {246, 23, 12}},     {159, 111, 180, {249, 131, 132}}, {57, 225, 100, {3, 33, 243}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << int(c.y) << "," << int(c.u) << "," << int(c.v));
    EXPECT_EQ(yuvToRgb(c.y, c.u, c.v), c.rgb);
  }
}

TEST(YuvToRgb, EachChromaSampleCoversItsTwoByTwoBlock) {
  // 3x3 luma, 2x2 chroma: the odd last row and column use the last chroma samples.
  const std::uint8_t y[] = {81, 81, 145, 81, 81, 145, 41, 41, 126};
  const std::uint8_t u[] = {90, 54, 240, 128};
  const std::uint8_t v[] = {240, 34, 110, 128};
  Yuv420View view{{y, 3, 3, 3}, {u, 2, 2, 2}, {v, 2, 2, 2}, {}};
  Picture p = yuv420ToPicture(view, 3, 3);
  ASSERT_EQ(p.width, 3);
  auto rgbAt = [&](int x, int yy) { return p.pixels[static_cast<std::size_t>(yy) * 3 + x]; };
  EXPECT_EQ(rgbAt(0, 0), 0xFFFE0000u);
  EXPECT_EQ(rgbAt(1, 1), 0xFFFE0000u);
  EXPECT_EQ(rgbAt(2, 0), 0xFF00FF01u);
  EXPECT_EQ(rgbAt(2, 1), 0xFF00FF01u);
  EXPECT_EQ(rgbAt(0, 2), 0xFF0000FFu);
  EXPECT_EQ(rgbAt(2, 2), 0xFF808080u);
}

TEST(YuvToRgb, AlphaClampsColoursToPremultiplied) {
  const std::uint8_t y[] = {235, 235, 52, 16};
  const std::uint8_t u[] = {128}, v[] = {128};
  const std::uint8_t a[] = {255, 40, 236, 0};
  Yuv420View view{{y, 2, 2, 2}, {u, 1, 1, 1}, {v, 1, 1, 1}, {a, 2, 2, 2}};
  Picture p = yuv420ToPicture(view, 2, 2);
  ASSERT_EQ(p.pixels.size(), 4u);
  EXPECT_EQ(p.pixels[0], 0xFFFFFFFFu);
  EXPECT_EQ(p.pixels[1], 0x28282828u);  // white at alpha 40 stays a valid premultiplied colour
  EXPECT_EQ(p.pixels[2], 0xEC2A2A2Au);  // 42 grey is below its alpha: kept
  EXPECT_EQ(p.pixels[3], 0x00000000u);
}

TEST(YuvToRgb, PlanesSmallerThanThePictureGiveNothing) {
  const std::uint8_t y[4] = {}, c[1] = {};
  Yuv420View view{{y, 2, 2, 2}, {c, 1, 1, 1}, {c, 1, 1, 1}, {}};
  EXPECT_TRUE(yuv420ToPicture(view, 4, 2).empty());
  EXPECT_TRUE(yuv420ToPicture(view, 0, 0).empty());
  EXPECT_FALSE(yuv420ToPicture(view, 2, 2).empty());
}

struct EdgeCase {
  std::array<std::uint8_t, 4> in;
  int strength;
  std::array<std::uint8_t, 4> out;
};

TEST(Deblocking, SmoothsSmallStepsAndKeepsRealEdges) {
  const EdgeCase cases[] = {
      {{0, 0, 1, 1}, 12, {0, 0, 1, 1}},      // too small a step to change
      {{0, 0, 4, 4}, 1, {0, 1, 3, 4}},       // smoothed
      {{0, 0, 6, 6}, 1, {0, 0, 6, 6}},       // too large for strength 1: a real edge
      {{0, 0, 8, 8}, 2, {0, 1, 7, 8}},       // softened a little
      {{0, 0, 8, 8}, 3, {1, 3, 5, 7}},       // smoothed
      {{0, 0, 10, 10}, 12, {1, 3, 7, 9}},    // smoothed
      {{10, 10, 0, 0}, 3, {9, 8, 2, 1}},     // downwards: the steps round towards minus infinity
      {{50, 50, 50, 50}, 12, {50, 50, 50, 50}},
      {{0, 200, 200, 0}, 12, {0, 200, 200, 0}},  // a ridge, not an edge
  };
  for (const auto& c : cases) {
    auto v = c.in;
    deblockSamples(v[0], v[1], v[2], v[3], c.strength);
    EXPECT_EQ(v, c.out) << int(c.in[0]) << "," << int(c.in[1]) << "," << int(c.in[2]) << "," << int(c.in[3])
                        << " strength " << c.strength;
  }
}

TEST(Deblocking, StrengthFollowsTheQuantizer) {
  EXPECT_EQ(deblockingStrength(0), 0);
  EXPECT_EQ(deblockingStrength(1), 1);
  EXPECT_EQ(deblockingStrength(2), 1);
  EXPECT_EQ(deblockingStrength(11), 5);
  EXPECT_EQ(deblockingStrength(22), 9);
  EXPECT_EQ(deblockingStrength(31), 12);
  EXPECT_EQ(deblockingStrength(32), 0);
}

TEST(Deblocking, FiltersOnlyAcrossTheEightPixelGrid) {
  // Columns step by 4 at every 4th column: only the steps at multiples of 8 are block edges.
  const int w = 24, h = 16;
  std::vector<std::uint8_t> plane(static_cast<std::size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) plane[static_cast<std::size_t>(y) * w + x] = static_cast<std::uint8_t>(100 + 4 * (x / 4));
  auto filtered = plane;
  deblockPlane(filtered.data(), w, w, h, 4);
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* row = filtered.data() + static_cast<std::size_t>(y) * w;
    const std::uint8_t* src = plane.data() + static_cast<std::size_t>(y) * w;
    for (int x : {0, 1, 2, 3, 4, 5, 10, 11, 12, 13, 18, 19, 20, 21, 22, 23}) EXPECT_EQ(row[x], src[x]) << x << "," << y;
    EXPECT_NE(std::vector<std::uint8_t>(row + 6, row + 10), std::vector<std::uint8_t>(src + 6, src + 10)) << y;
  }
  // Rows are all equal: the horizontal edges have nothing to do, so all rows stay equal.
  for (int y = 1; y < h; ++y)
    EXPECT_TRUE(std::equal(filtered.begin(), filtered.begin() + w, filtered.begin() + static_cast<std::ptrdiff_t>(y) * w));
}

TEST(SorensonHeader, ReadsTheEncodersPictureHeaders) {
  std::vector<test::YuvImage> pictures(3, test::YuvImage(48, 32, 120));
  auto frames = test::encodeH263(pictures, {.keyInterval = 2, .quantizer = 7});
  ASSERT_EQ(frames.size(), 3u);
  const SorensonHeader::Type types[] = {SorensonHeader::Type::Intra, SorensonHeader::Type::Inter,
                                        SorensonHeader::Type::Intra};
  for (std::size_t i = 0; i < frames.size(); ++i) {
    auto h = parseSorensonHeader(frames[i]);
    ASSERT_TRUE(h) << i;
    EXPECT_EQ(h->width, 48);
    EXPECT_EQ(h->height, 32);
    EXPECT_EQ(h->type, types[i]);
    EXPECT_EQ(h->quantizer, 7);
  }
}

TEST(SorensonHeader, RejectsWhatIsNoPictureHeader) {
  const std::vector<std::vector<std::uint8_t>> broken = {
      {}, {0x00}, {0x00, 0x00, 0x84}, {0xff, 0xff, 0xff, 0xff, 0xff, 0xff}, {0x00, 0x00, 0xA0, 0, 0, 0, 0, 0}};
  for (const auto& b : broken) EXPECT_FALSE(parseSorensonHeader(b)) << b.size();
}

}  // namespace
}  // namespace plavex::engine::video
