#include "engine/render/ScanFill.h"

#include <algorithm>
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
  if (top > bottom) return {};
  // Segments pointing down, with their winding, ordered by their upper end; an active
  // list walks down the scanlines.
  struct Oriented {
    Segment s;
    int winding;
  };
  std::vector<Oriented> edges;
  for (const auto& r : segmentsOf(devicePath)) {
    if (r.y0 == r.y1) continue;
    if (r.y0 < r.y1) edges.push_back({r, 1});
    else edges.push_back({{r.x1, r.y1, r.x0, r.y0}, -1});
  }
  std::sort(edges.begin(), edges.end(), [](const Oriented& a, const Oriented& b) { return a.s.y0 < b.s.y0; });
  const bool nonZero = devicePath.fillRule() == Qt::WindingFill;
  std::vector<QRect> spans;
  std::vector<std::size_t> active;
  std::vector<std::pair<double, int>> crossings;
  std::size_t next = 0;
  for (int y = top; y <= bottom; ++y) {
    const double yc = y + 0.5;
    while (next < edges.size() && edges[next].s.y0 <= yc) active.push_back(next++);
    crossings.clear();
    std::size_t keep = 0;
    for (std::size_t k = 0; k < active.size(); ++k) {
      const Oriented& e = edges[active[k]];
      if (e.s.y1 <= yc) continue;  // finished
      active[keep++] = active[k];
      if (e.s.y0 > yc) continue;
      const double t = (yc - e.s.y0) / (e.s.y1 - e.s.y0);
      crossings.emplace_back(e.s.x0 + (e.s.x1 - e.s.x0) * t, e.winding);
    }
    active.resize(keep);
    if (crossings.size() < 2) continue;
    std::sort(crossings.begin(), crossings.end());
    int winding = 0;
    for (std::size_t k = 0; k + 1 < crossings.size(); ++k) {
      winding += nonZero ? crossings[k].second : 1;
      const bool inside = nonZero ? winding != 0 : (winding & 1) != 0;
      if (!inside) continue;
      // Pixels whose (tie-shifted) centre lies in [left, right).
      const int x0 = std::max(clip.left(), static_cast<int>(std::ceil(crossings[k].first - 0.5)));
      const int x1 = std::min(clip.right() + 1, static_cast<int>(std::ceil(crossings[k + 1].first - 0.5)));
      if (x1 <= x0) continue;
      if (!spans.empty() && spans.back().top() == y && spans.back().right() + 1 >= x0) {
        spans.back().setRight(std::max(spans.back().right(), x1 - 1));
      } else {
        spans.emplace_back(x0, y, x1 - x0, 1);
      }
    }
  }
  QRegion region;
  region.setRects(spans.data(), static_cast<int>(spans.size()));
  return region;
}

}  // namespace plavex::engine::render
