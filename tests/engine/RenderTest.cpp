// Render checks on small writer-made movies: fill colours at pixels, the fill rules,
// gradient ends, the stage's scale modes and alignment, masks and colour transforms.

#include <gtest/gtest.h>

#include <QGuiApplication>

#include "engine/core/Player.h"
#include "engine/render/StageRenderer.h"
#include "tests/engine/Fixtures.h"

namespace plavex::engine {
namespace {

using namespace test;
using render::ScaleMode;

const Tag kShow{swf::ShowFrame{}};

QImage renderMovie(const swf::Movie& movie, QSize size = {}, ScaleMode mode = ScaleMode::ShowAll,
                   const QString& align = {}, bool antialias = false) {
  Player player(buildMovie(movie));
  render::StageRenderer renderer;
  render::StageOptions o;
  o.viewport = size.isEmpty() ? QSize(int(movie.header.stageWidthPixels()), int(movie.header.stageHeightPixels())) : size;
  o.scaleMode = mode;
  o.align = render::Alignment::parse(align);
  o.antialias = antialias;
  return renderer.render(player, o).copy();
}

QRgb at(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFFu; }

Tag background(std::uint8_t r, std::uint8_t g, std::uint8_t b) { return Tag{swf::SetBackgroundColor{{r, g, b, 255}}}; }

TEST(Render, SolidFillAndBackground) {
  auto movie = makeMovie(40, 40, {background(0, 0, 255), Tag{rectShape(1, 200, 200, 400, 400, solid(255, 0, 0))},
                                  Tag{place(1, 1)}, kShow});
  QImage image = renderMovie(movie);
  EXPECT_EQ(at(image, 20, 20), 0xFF0000u);
  EXPECT_EQ(at(image, 5, 5), 0x0000FFu);
  EXPECT_EQ(at(image, 35, 35), 0x0000FFu);
}

// Two overlapping squares drawn in the same direction with the same fill: the overlap
// is a hole under even-odd and filled under non-zero (DefineShape4's winding flag).
swf::DefineShape overlapping(bool nonZero) {
  swf::DefineShape s = rectShape(1, 0, 0, 400, 400, solid(255, 0, 0), 4);
  s.usesFillWindingRule = nonZero;
  swf::StyleChange second;
  second.moveTo = swf::MoveTo{200, 200};
  s.shape.records.push_back(second);
  for (auto e : {swf::StraightEdge{400, 0}, swf::StraightEdge{0, 400}, swf::StraightEdge{-400, 0},
                 swf::StraightEdge{0, -400}})
    s.shape.records.push_back(e);
  return s;
}

TEST(Render, EvenOddAndNonZeroFillRules) {
  for (bool nonZero : {false, true}) {
    auto movie = makeMovie(40, 40, {background(255, 255, 255), Tag{overlapping(nonZero)}, Tag{place(1, 1)}, kShow});
    QImage image = renderMovie(movie);
    EXPECT_EQ(at(image, 5, 5), 0xFF0000u);
    EXPECT_EQ(at(image, 25, 25), 0xFF0000u);
    EXPECT_EQ(at(image, 15, 15), nonZero ? 0xFF0000u : 0xFFFFFFu) << "non-zero " << nonZero;
  }
}

TEST(Render, LinearGradientEndsAndPad) {
  // Black at ratio 0 to white at 255 across the middle half of a 100 px wide shape.
  swf::FillStyle g;
  g.type = swf::fill::kLinear;
  g.gradient.records = {{0, {0, 0, 0, 255}}, {255, {255, 255, 255, 255}}};
  // The 32768-twip gradient square scaled to 1000 twips (50 px), centred at x = 50 px.
  g.matrix.scaleX = g.matrix.scaleY = static_cast<std::int32_t>(1000.0 / 32768 * 65536);
  g.matrix.translateX = 1000;
  g.matrix.translateY = 200;
  auto movie = makeMovie(100, 20, {Tag{rectShape(1, 0, 0, 2000, 400, g)}, Tag{place(1, 1)}, kShow});
  QImage image = renderMovie(movie);
  EXPECT_EQ(at(image, 2, 10), 0x000000u) << "padded start";
  EXPECT_EQ(at(image, 97, 10), 0xFFFFFFu) << "padded end";
  int mid = qRed(image.pixel(50, 10));
  EXPECT_NEAR(mid, 128, 12);
  EXPECT_LT(qRed(image.pixel(40, 10)), qRed(image.pixel(60, 10)));
}

TEST(Render, ColourTransformOfAPlacement) {
  swf::PlaceObject p = place(1, 1);
  swf::ColorTransform cx;
  cx.multR = 0;        // red removed
  cx.addG = 255;       // green added
  p.cxform = cx;
  auto movie = makeMovie(20, 20, {Tag{rectShape(1, 0, 0, 400, 400, solid(255, 0, 0))}, Tag{p}, kShow});
  EXPECT_EQ(at(renderMovie(movie), 10, 10), 0x00FF00u);
}

TEST(Render, MaskClipsTheDepthsItCovers) {
  // Depth 1: mask, the left half; depths 2 and 3: full red squares; only depth 2 is masked.
  swf::PlaceObject mask = place(1, 1);
  mask.clipDepth = 2;
  swf::PlaceObject above = place(3, 3);
  auto movie = makeMovie(40, 40,
                         {background(255, 255, 255), Tag{rectShape(1, 0, 0, 400, 800, solid(0, 0, 0))},
                          Tag{rectShape(2, 0, 0, 800, 800, solid(255, 0, 0))},
                          Tag{rectShape(3, 0, 600, 800, 200, solid(0, 0, 255))}, Tag{mask}, Tag{place(2, 2)}, Tag{above},
                          kShow});
  QImage image = renderMovie(movie);
  EXPECT_EQ(at(image, 10, 10), 0xFF0000u) << "inside the mask";
  EXPECT_EQ(at(image, 30, 10), 0xFFFFFFu) << "outside the mask";
  EXPECT_EQ(at(image, 30, 35), 0x0000FFu) << "above the masked depths";
}

TEST(Render, StaticFrameDrawnAgainIsTheCachedImage) {
  auto movie = makeMovie(20, 20, {Tag{rectShape(1, 0, 0, 400, 400, solid(255, 0, 0))}, Tag{place(1, 1)}, kShow});
  Player player(buildMovie(movie));
  render::StageRenderer renderer;
  render::StageOptions o;
  o.viewport = QSize(20, 20);
  const QImage& first = renderer.render(player, o);
  const uchar* bits = first.constBits();
  EXPECT_FALSE(renderer.isStale(player, o));
  EXPECT_EQ(renderer.render(player, o).constBits(), bits);
  o.viewport = QSize(30, 30);
  EXPECT_TRUE(renderer.isStale(player, o)) << "a new size redraws";
}

struct GeometryCase {
  ScaleMode mode;
  const char* align;
  QSize viewport;
  QRectF expected;  // where the 100 x 50 stage lands
};

class StageGeometry : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(StageGeometry, StageLandsWhereTheModeAndAlignmentSay) {
  const auto& c = GetParam();
  swf::Rect stage{0, 2000, 0, 1000};
  QTransform t = render::stageTransform(stage, c.viewport, c.mode, render::Alignment::parse(c.align));
  QRectF r = t.mapRect(QRectF(0, 0, 2000, 1000));
  EXPECT_NEAR(r.left(), c.expected.left(), 1e-6);
  EXPECT_NEAR(r.top(), c.expected.top(), 1e-6);
  EXPECT_NEAR(r.width(), c.expected.width(), 1e-6);
  EXPECT_NEAR(r.height(), c.expected.height(), 1e-6);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, StageGeometry,
    ::testing::Values(GeometryCase{ScaleMode::ShowAll, "", {200, 200}, {0, 50, 200, 100}},
                      GeometryCase{ScaleMode::ShowAll, "T", {200, 200}, {0, 0, 200, 100}},
                      GeometryCase{ScaleMode::ShowAll, "b", {200, 200}, {0, 100, 200, 100}},
                      GeometryCase{ScaleMode::NoBorder, "", {200, 200}, {-100, 0, 400, 200}},
                      GeometryCase{ScaleMode::NoBorder, "L", {200, 200}, {0, 0, 400, 200}},
                      GeometryCase{ScaleMode::NoBorder, "R", {200, 200}, {-200, 0, 400, 200}},
                      GeometryCase{ScaleMode::ExactFit, "", {200, 200}, {0, 0, 200, 200}},
                      GeometryCase{ScaleMode::NoScale, "", {200, 200}, {50, 75, 100, 50}},
                      GeometryCase{ScaleMode::NoScale, "TR", {200, 200}, {100, 0, 100, 50}},
                      GeometryCase{ScaleMode::NoScale, "LB", {200, 200}, {0, 150, 100, 50}}));

TEST(Render, ScaleModeShowsBackgroundOutsideTheStage) {
  auto movie = makeMovie(10, 10, {background(0, 255, 0), Tag{rectShape(1, 0, 0, 200, 200, solid(255, 0, 0))},
                                  Tag{place(1, 1)}, kShow});
  QImage noScale = renderMovie(movie, {40, 40}, ScaleMode::NoScale, "LT");
  EXPECT_EQ(at(noScale, 5, 5), 0xFF0000u);
  EXPECT_EQ(at(noScale, 20, 20), 0x00FF00u) << "the background fills the whole view";
  QImage fit = renderMovie(movie, {40, 40}, ScaleMode::ExactFit);
  EXPECT_EQ(at(fit, 35, 35), 0xFF0000u);
}

}  // namespace
}  // namespace plavex::engine

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
