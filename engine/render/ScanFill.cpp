#include "engine/render/ScanFill.h"

#include <algorithm>
#include <cstdint>
#include <cmath>
#include <vector>

namespace plavex::engine::render {

namespace {

struct Segment {
  double x0, y0, x1, y1;
};

// Curves become chords no further than this from the curve, in pixels.
// (The movie's own flattening is coarse; a tenth of a pixel matches its pixels best.)
constexpr double kFlatness = 0.1;
// Outline points snap to a grid of 1/256 pixel, as in the movie's rasterizer; crossings
// are then decided exactly in whole grid units.
constexpr std::int64_t kGrid = 256;
constexpr double kLimit = 1 << 26;  // grid units; keeps every product below 2^63

void flattenCubic(QPointF p0, QPointF c1, QPointF c2, QPointF p3, std::vector<Segment>& out) {
  // The deviation of a cubic from its chord is bounded by 3/4 of the larger second difference.
  const QPointF d1 = p0 - 2 * c1 + c2, d2 = c1 - 2 * c2 + p3;
  const double dd = std::max(std::hypot(d1.x(), d1.y()), std::hypot(d2.x(), d2.y())) * 0.75;
  const int n = std::clamp(static_cast<int>(std::ceil(std::sqrt(dd / kFlatness))), 1, 256);
  QPointF last = p0;
  for (int i = 1; i <= n; ++i) {
    const double t = double(i) / n, u = 1 - t;
    QPointF p = i == n ? p3 : u * u * u * p0 + 3 * u * u * t * c1 + 3 * u * t * t * c2 + t * t * t * p3;
    out.push_back({last.x(), last.y(), p.x(), p.y()});
    last = p;
  }
}

std::vector<Segment> segmentsOf(const QPainterPath& path) {
  std::vector<Segment> out;
  QPointF start, pen;
  bool open = false;
  auto close = [&] {
    if (open && pen != start) out.push_back({pen.x(), pen.y(), start.x(), start.y()});
  };
  const int count = path.elementCount();
  for (int i = 0; i < count; ++i) {
    const QPainterPath::Element e = path.elementAt(i);
    if (e.isMoveTo()) {
      close();
      start = pen = QPointF(e.x, e.y);
      open = true;
    } else if (e.isLineTo()) {
      out.push_back({pen.x(), pen.y(), e.x, e.y});
      pen = QPointF(e.x, e.y);
    } else if (e.isCurveTo() && i + 2 < count) {
      const QPointF c1(e.x, e.y), c2(path.elementAt(i + 1).x, path.elementAt(i + 1).y),
          p3(path.elementAt(i + 2).x, path.elementAt(i + 2).y);
      flattenCubic(pen, c1, c2, p3, out);
      pen = p3;
      i += 2;
    }
  }
  close();
  return out;
}

}  // namespace

QRegion aliasedCoverage(const QPainterPath& devicePath, const QRect& clip) {
  QRectF bounds = devicePath.controlPointRect();
  const int top = std::max(clip.top(), static_cast<int>(std::floor(bounds.top())) - 1);
  const int bottom = std::min(clip.bottom(), static_cast<int>(std::ceil(bounds.bottom())) + 1);
  if (top > bottom || !std::isfinite(bounds.width()) || !std::isfinite(bounds.height())) return {};
  // Points on the sub-pixel grid, in whole grid units; segments pointing down with their
  // winding, ordered by their upper end. An active list walks down the scanlines.
  struct Oriented {
    std::int64_t x0, y0, x1, y1;
    int winding;
  };
  auto grid = [](double v) { return static_cast<std::int64_t>(std::llround(std::clamp(v * double(kGrid), -kLimit, kLimit))); };
  std::vector<Oriented> edges;
  for (const auto& r : segmentsOf(devicePath)) {
    const std::int64_t x0 = grid(r.x0), y0 = grid(r.y0), x1 = grid(r.x1), y1 = grid(r.y1);
    if (y0 == y1) continue;
    if (y0 < y1) edges.push_back({x0, y0, x1, y1, 1});
    else edges.push_back({x1, y1, x0, y0, -1});
  }
  std::sort(edges.begin(), edges.end(), [](const Oriented& a, const Oriented& b) { return a.y0 < b.y0; });
  const bool nonZero = devicePath.fillRule() == Qt::WindingFill;
  struct Crossing {
    double x;           // where the edge crosses the scanline, pixels
    std::int64_t from;  // first pixel whose centre is at or right of it
    std::int64_t to;    // last pixel whose centre is at or left of it
    int winding;
    bool operator<(const Crossing& o) const { return x < o.x; }
  };
  auto floorDiv = [](std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); };
  std::vector<QRect> spans;
  std::vector<std::size_t> active;
  std::vector<Crossing> crossings;
  std::size_t next = 0;
  const std::int64_t half = kGrid / 2;
  for (int y = top; y <= bottom; ++y) {
    const std::int64_t yc = std::int64_t(y) * kGrid + half;
    while (next < edges.size() && edges[next].y0 <= yc) active.push_back(next++);
    crossings.clear();
    std::size_t keep = 0;
    for (std::size_t k = 0; k < active.size(); ++k) {
      const Oriented& e = edges[active[k]];
      if (e.y1 <= yc) continue;  // finished
      active[keep++] = active[k];
      if (e.y0 > yc) continue;
      // The crossing num / den grid units exactly; centre of pixel x: x * kGrid + half.
      const std::int64_t den = e.y1 - e.y0;
      const std::int64_t num = e.x0 * den + (e.x1 - e.x0) * (yc - e.y0);
      const std::int64_t shifted = num - half * den;
      const std::int64_t from = -floorDiv(-shifted, kGrid * den);
      std::int64_t to = floorDiv(shifted, kGrid * den);
      if (to * kGrid * den == shifted) --to;  // a centre exactly on a right end stays out
      crossings.push_back({double(num) / double(den) / kGrid, from, to, e.winding});
    }
    active.resize(keep);
    if (crossings.size() < 2) continue;
    std::sort(crossings.begin(), crossings.end());
    int winding = 0;
    for (std::size_t k = 0; k + 1 < crossings.size(); ++k) {
      winding += nonZero ? crossings[k].winding : 1;
      const bool inside = nonZero ? winding != 0 : (winding & 1) != 0;
      if (!inside) continue;
      // Pixels whose centres lie in [left, right).
      const int x0 = static_cast<int>(std::max<std::int64_t>(clip.left(), crossings[k].from));
      const int x1 = static_cast<int>(std::min<std::int64_t>(clip.right(), crossings[k + 1].to));
      if (x1 < x0) continue;
      if (!spans.empty() && spans.back().top() == y && spans.back().right() + 1 >= x0) {
        spans.back().setRight(std::max(spans.back().right(), x1));
      } else {
        spans.emplace_back(x0, y, x1 - x0 + 1, 1);
      }
    }
  }
  QRegion region;
  region.setRects(spans.data(), static_cast<int>(spans.size()));
  return region;
}

}  // namespace plavex::engine::render
