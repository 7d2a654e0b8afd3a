#include "tools/mkmovies/Drawing.h"

#include <cmath>
#include <numbers>

namespace plavex::mkmovies {

using namespace swf;

namespace {
std::int32_t toFixed(double v) { return static_cast<std::int32_t>(std::lround(v * 65536.0)); }

StyleChange startAt(std::int32_t x, std::int32_t y, std::uint32_t fill, std::uint32_t line) {
  StyleChange sc;
  sc.moveTo = MoveTo{x, y};
  if (fill) sc.fillStyle1 = fill;
  if (line) sc.lineStyle = line;
  return sc;
}
}  // namespace

void appendCircle(std::vector<ShapeRecord>& out, std::int32_t cx, std::int32_t cy, std::int32_t radius,
                  std::uint32_t fill, std::uint32_t line) {
  constexpr int kSegments = 8;
  const double step = 2 * std::numbers::pi / kSegments;
  const double controlRadius = radius / std::cos(step / 2);
  std::int32_t px = cx + radius, py = cy;
  out.emplace_back(startAt(px, py, fill, line));
  for (int i = 0; i < kSegments; ++i) {
    double mid = step * (i + 0.5), end = step * (i + 1);
    auto cxp = static_cast<std::int32_t>(std::lround(cx + controlRadius * std::cos(mid)));
    auto cyp = static_cast<std::int32_t>(std::lround(cy + controlRadius * std::sin(mid)));
    auto ex = static_cast<std::int32_t>(std::lround(cx + radius * std::cos(end)));
    auto ey = static_cast<std::int32_t>(std::lround(cy + radius * std::sin(end)));
    if (i == kSegments - 1) {
      ex = cx + radius;
      ey = cy;
    }
    out.emplace_back(CurvedEdge{cxp - px, cyp - py, ex - cxp, ey - cyp});
    px = ex;
    py = ey;
  }
}

void appendPolygon(std::vector<ShapeRecord>& out, const std::vector<std::pair<std::int32_t, std::int32_t>>& points,
                   std::uint32_t fill, std::uint32_t line) {
  if (points.empty()) return;
  out.emplace_back(startAt(points[0].first, points[0].second, fill, line));
  for (std::size_t i = 1; i <= points.size(); ++i) {
    const auto& a = points[i - 1];
    const auto& b = points[i % points.size()];
    out.emplace_back(StraightEdge{b.first - a.first, b.second - a.second});
  }
}

void appendRect(std::vector<ShapeRecord>& out, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                std::uint32_t fill, std::uint32_t line) {
  appendPolygon(out, {{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}}, fill, line);
}

FillStyle solidFill(Rgba c) {
  FillStyle f;
  f.type = fill::kSolid;
  f.color = c;
  return f;
}

Matrix transform(double scale, double angle, std::int32_t tx, std::int32_t ty) {
  Matrix m;
  m.scaleX = toFixed(scale * std::cos(angle));
  m.scaleY = toFixed(scale * std::cos(angle));
  m.rotateSkew0 = toFixed(scale * std::sin(angle));
  m.rotateSkew1 = toFixed(-scale * std::sin(angle));
  m.translateX = tx;
  m.translateY = ty;
  return m;
}

FillStyle linearGradient(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, std::vector<GradientRecord> stops,
                         double angle) {
  FillStyle f;
  f.type = fill::kLinear;
  Matrix m;
  m.scaleX = toFixed(w / 32768.0 * std::cos(angle));
  m.scaleY = toFixed(h / 32768.0 * std::cos(angle));
  m.rotateSkew0 = toFixed(w / 32768.0 * std::sin(angle));
  m.rotateSkew1 = toFixed(-h / 32768.0 * std::sin(angle));
  m.translateX = x + w / 2;
  m.translateY = y + h / 2;
  f.matrix = m;
  f.gradient.records = std::move(stops);
  return f;
}

FillStyle radialGradient(std::int32_t cx, std::int32_t cy, std::int32_t radius, std::vector<GradientRecord> stops) {
  FillStyle f;
  f.type = fill::kRadial;
  Matrix m;
  m.scaleX = m.scaleY = toFixed(radius * 2 / 32768.0);
  m.translateX = cx;
  m.translateY = cy;
  f.matrix = m;
  f.gradient.records = std::move(stops);
  return f;
}

}  // namespace plavex::mkmovies
