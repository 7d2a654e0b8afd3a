#include "tools/mkmovies/BuiltinMovies.h"

#include <cmath>
#include <numbers>

#include "tools/mkmovies/Drawing.h"

namespace plavex::mkmovies {

using namespace swf;

namespace {

constexpr std::int32_t kTwips = 20;

SwfHeader header(int version, int widthPx, int heightPx, int frames) {
  SwfHeader h;
  h.signature = "CWS";
  h.version = version;
  h.stage = Rect{0, widthPx * kTwips, 0, heightPx * kTwips};
  h.frameRate = 12;
  h.frameCount = static_cast<std::uint16_t>(frames);
  return h;
}

Tag dotShape(std::uint16_t id, std::int32_t radius, Rgba color) {
  DefineShape s;
  s.version = 3;
  s.id = id;
  s.bounds = Rect{-radius, radius, -radius, radius};
  s.shape.fills.push_back(solidFill(color));
  appendCircle(s.shape.records, 0, 0, radius, 1);
  return Tag{s};
}

Tag place(std::uint16_t depth, std::optional<std::uint16_t> id, Matrix m, bool move = false) {
  PlaceObject p;
  p.version = 2;
  p.depth = depth;
  p.characterId = id;
  p.matrix = m;
  p.move = move;
  return Tag{p};
}

Matrix at(std::int32_t x, std::int32_t y) {
  Matrix m;
  m.translateX = x;
  m.translateY = y;
  return m;
}

}  // namespace

Movie makeLoadingMovie() {
  Movie m;
  m.header = header(8, 24, 24, 8);
  m.tags.push_back(Tag{SetBackgroundColor{Rgba{255, 255, 255, 255}}});
  m.tags.push_back(dotShape(1, 36, Rgba{200, 206, 214, 255}));  // resting dot
  m.tags.push_back(dotShape(2, 44, Rgba{40, 110, 200, 255}));   // highlighted dot
  m.tags.push_back(dotShape(3, 40, Rgba{120, 160, 215, 255}));  // the trail behind it
  constexpr int kDots = 8;
  const std::int32_t centre = 12 * kTwips, radius = 8 * kTwips;
  auto dotAt = [&](int i) {
    double a = 2 * std::numbers::pi * i / kDots - std::numbers::pi / 2;
    return at(centre + static_cast<std::int32_t>(std::lround(radius * std::cos(a))),
              centre + static_cast<std::int32_t>(std::lround(radius * std::sin(a))));
  };
  for (int i = 0; i < kDots; ++i) m.tags.push_back(place(static_cast<std::uint16_t>(1 + i), 1, dotAt(i)));
  for (int frame = 0; frame < kDots; ++frame) {
    const int trail = (frame + kDots - 1) % kDots;
    m.tags.push_back(place(20, frame == 0 ? std::optional<std::uint16_t>(3) : std::nullopt, dotAt(trail), frame != 0));
    m.tags.push_back(place(21, frame == 0 ? std::optional<std::uint16_t>(2) : std::nullopt, dotAt(frame), frame != 0));
    m.tags.push_back(Tag{ShowFrame{}});
  }
  return m;
}

Movie makeZavazMovie() {
  Movie m;
  m.header = header(10, 340, 95, 1);
  m.tags.push_back(Tag{FileAttributes{0}});
  m.tags.push_back(Tag{SetBackgroundColor{Rgba{16, 40, 80, 255}}});
  const std::int32_t w = 340 * kTwips, h = 95 * kTwips;

  DefineShape bg;
  bg.version = 3;
  bg.id = 1;
  bg.bounds = Rect{0, w, 0, h};
  bg.shape.fills.push_back(linearGradient(0, 0, w, h,
                                          {{0, Rgba{14, 38, 92, 255}}, {140, Rgba{22, 96, 160, 255}}, {255, Rgba{30, 170, 180, 255}}}));
  appendRect(bg.shape.records, 0, 0, w, h, 1);
  m.tags.push_back(Tag{bg});

  // Soft translucent bubbles drifting across the banner.
  DefineShape bubbles;
  bubbles.version = 3;
  bubbles.id = 2;
  bubbles.bounds = Rect{0, w, 0, h};
  bubbles.shape.fills.push_back(solidFill(Rgba{255, 255, 255, 40}));
  bubbles.shape.fills.push_back(solidFill(Rgba{255, 255, 255, 70}));
  const std::int32_t spots[][3] = {{4700, 600, 900}, {5600, 1500, 500}, {6200, 500, 300}, {3900, 1600, 380}, {900, 300, 260}};
  for (std::size_t i = 0; i < std::size(spots); ++i)
    appendCircle(bubbles.shape.records, spots[i][0], spots[i][1], spots[i][2], static_cast<std::uint32_t>(1 + i % 2));
  m.tags.push_back(Tag{bubbles});

  // A wave along the bottom edge.
  DefineShape wave;
  wave.version = 3;
  wave.id = 3;
  wave.bounds = Rect{0, w, 1300, h};
  wave.shape.fills.push_back(solidFill(Rgba{255, 255, 255, 50}));
  {
    auto& r = wave.shape.records;
    StyleChange start;
    start.moveTo = MoveTo{0, 1500};
    start.fillStyle1 = 1;
    r.emplace_back(start);
    const std::int32_t span = w / 4;
    for (int i = 0; i < 4; ++i) r.emplace_back(CurvedEdge{span / 2, (i % 2 ? 260 : -260), span / 2, (i % 2 ? -260 : 260)});
    r.emplace_back(StraightEdge{0, h - 1500});
    r.emplace_back(StraightEdge{-w, 0});
    r.emplace_back(StraightEdge{0, -(h - 1500)});
  }
  m.tags.push_back(Tag{wave});

  // A round "play" badge with a radial gradient and a triangle.
  DefineShape badge;
  badge.version = 3;
  badge.id = 4;
  const std::int32_t bx = 1000, by = h / 2, br = 640;
  badge.bounds = Rect{bx - br - 40, bx + br + 40, by - br - 40, by + br + 40};
  badge.shape.fills.push_back(radialGradient(bx - 200, by - 200, br * 2,
                                             {{0, Rgba{255, 214, 90, 255}}, {255, Rgba{236, 120, 30, 255}}}));
  badge.shape.fills.push_back(solidFill(Rgba{255, 255, 255, 255}));
  LineStyle ring;
  ring.width = 60;
  ring.color = Rgba{255, 255, 255, 200};
  badge.shape.lines.push_back(ring);
  appendCircle(badge.shape.records, bx, by, br, 1, 1);
  appendPolygon(badge.shape.records, {{bx - 200, by - 330}, {bx + 330, by}, {bx - 200, by + 330}}, 2);
  m.tags.push_back(Tag{badge});

  // Three bars to the right of the badge, like the lines of a title.
  DefineShape bars;
  bars.version = 3;
  bars.id = 5;
  bars.bounds = Rect{2000, 5200, 500, 1500};
  bars.shape.fills.push_back(solidFill(Rgba{255, 255, 255, 230}));
  bars.shape.fills.push_back(solidFill(Rgba{255, 255, 255, 120}));
  appendRect(bars.shape.records, 2000, 560, 3000, 240, 1);
  appendRect(bars.shape.records, 2000, 960, 2300, 160, 2);
  appendRect(bars.shape.records, 2000, 1240, 1700, 160, 2);
  m.tags.push_back(Tag{bars});

  for (std::uint16_t id = 1; id <= 5; ++id) m.tags.push_back(place(id, id, Matrix{}));
  m.tags.push_back(Tag{ShowFrame{}});
  return m;
}

Movie makeStartMovie() {
  constexpr int kFrames = 24;
  Movie m;
  m.header = header(8, 400, 300, kFrames);
  m.tags.push_back(Tag{SetBackgroundColor{Rgba{236, 240, 246, 255}}});
  const std::int32_t w = 400 * kTwips, h = 300 * kTwips, cx = w / 2, cy = h / 2;

  DefineShape bg;
  bg.version = 3;
  bg.id = 1;
  bg.bounds = Rect{0, w, 0, h};
  bg.shape.fills.push_back(linearGradient(0, 0, w, h, {{0, Rgba{250, 252, 255, 255}}, {255, Rgba{210, 222, 238, 255}}},
                                          std::numbers::pi / 2));
  appendRect(bg.shape.records, 0, 0, w, h, 1);
  m.tags.push_back(Tag{bg});

  // The disc with a play triangle, drawn around its own origin so it can pulse.
  DefineShape logo;
  logo.version = 3;
  logo.id = 2;
  const std::int32_t r = 1400;
  logo.bounds = Rect{-r - 60, r + 60, -r - 60, r + 60};
  logo.shape.fills.push_back(radialGradient(-300, -300, r * 2, {{0, Rgba{110, 180, 255, 255}}, {255, Rgba{20, 70, 160, 255}}}));
  logo.shape.fills.push_back(solidFill(Rgba{255, 255, 255, 240}));
  LineStyle edge;
  edge.width = 80;
  edge.color = Rgba{255, 255, 255, 255};
  logo.shape.lines.push_back(edge);
  appendCircle(logo.shape.records, 0, 0, r, 1, 1);
  appendPolygon(logo.shape.records, {{-420, -640}, {680, 0}, {-420, 640}}, 2);
  m.tags.push_back(Tag{logo});

  // A ring of segments that turns slowly around the disc.
  DefineShape ring;
  ring.version = 3;
  ring.id = 3;
  const std::int32_t inner = 1700, outer = 1950;
  ring.bounds = Rect{-outer, outer, -outer, outer};
  ring.shape.fills.push_back(solidFill(Rgba{40, 110, 200, 200}));
  ring.shape.fills.push_back(solidFill(Rgba{40, 110, 200, 90}));
  constexpr int kSegments = 12;
  for (int i = 0; i < kSegments; ++i) {
    double a0 = 2 * std::numbers::pi * i / kSegments, a1 = a0 + 2 * std::numbers::pi / kSegments * 0.6;
    auto pt = [](double rad, double a) {
      return std::pair<std::int32_t, std::int32_t>{static_cast<std::int32_t>(std::lround(rad * std::cos(a))),
                                                   static_cast<std::int32_t>(std::lround(rad * std::sin(a)))};
    };
    appendPolygon(ring.shape.records, {pt(inner, a0), pt(outer, a0), pt(outer, a1), pt(inner, a1)},
                  static_cast<std::uint32_t>(1 + i % 2));
  }
  m.tags.push_back(Tag{ring});

  m.tags.push_back(place(1, 1, Matrix{}));
  for (int frame = 0; frame < kFrames; ++frame) {
    double phase = 2 * std::numbers::pi * frame / kFrames;
    auto id = [&](std::uint16_t v) { return frame == 0 ? std::optional<std::uint16_t>(v) : std::nullopt; };
    m.tags.push_back(place(2, id(3), transform(1.0, phase / 3, cx, cy), frame != 0));
    m.tags.push_back(place(3, id(2), transform(1.0 + 0.04 * std::sin(phase), 0, cx, cy), frame != 0));
    m.tags.push_back(Tag{ShowFrame{}});
  }
  return m;
}

}  // namespace plavex::mkmovies
