#include "engine/render/ShapeBuilder.h"

#include <unordered_map>

namespace plavex::engine::render {

namespace {

struct Point {
  std::int32_t x = 0, y = 0;
  bool operator==(const Point&) const = default;
};

struct Edge {
  Point from, control, to;
  bool curved = false;
  Edge reversed() const { return {to, control, from, curved}; }
};

std::uint64_t keyOf(Point p) { return (std::uint64_t(std::uint32_t(p.x)) << 32) | std::uint32_t(p.y); }

void appendEdge(QPainterPath& path, const Edge& e) {
  if (e.curved)
    path.quadTo(e.control.x, e.control.y, e.to.x, e.to.y);
  else
    path.lineTo(e.to.x, e.to.y);
}

// Joins a fill style's edges into closed contours.
QPainterPath joinContours(const std::vector<Edge>& edges, bool nonZero) {
  QPainterPath path;
  path.setFillRule(nonZero ? Qt::WindingFill : Qt::OddEvenFill);
  std::unordered_multimap<std::uint64_t, std::size_t> byStart;
  byStart.reserve(edges.size());
  for (std::size_t i = 0; i < edges.size(); ++i) byStart.emplace(keyOf(edges[i].from), i);
  std::vector<bool> used(edges.size(), false);
  for (std::size_t first = 0; first < edges.size(); ++first) {
    if (used[first]) continue;
    const Point start = edges[first].from;
    path.moveTo(start.x, start.y);
    std::size_t current = first;
    while (true) {
      used[current] = true;
      appendEdge(path, edges[current]);
      Point end = edges[current].to;
      if (end == start) break;
      // Prefer the edge that follows in drawing order (keeps contours as drawn).
      std::size_t next = edges.size();
      if (current + 1 < edges.size() && !used[current + 1] && edges[current + 1].from == end) {
        next = current + 1;
      } else {
        auto [lo, hi] = byStart.equal_range(keyOf(end));
        for (auto it = lo; it != hi; ++it)
          if (!used[it->second]) {
            next = it->second;
            break;
          }
      }
      if (next == edges.size()) break;
      current = next;
    }
    path.closeSubpath();
  }
  return path;
}

struct LayerBuilder {
  std::vector<std::vector<Edge>> fillEdges;  // per fill style (0-based)
  std::vector<QPainterPath> linePaths;       // per line style
  std::vector<Point> lineEnds;               // where each line path's pen stands
  std::vector<bool> lineStarted;
  ShapeLayer layer;

  void reset(std::vector<swf::FillStyle> fills, std::vector<swf::LineStyle> lines) {
    layer = ShapeLayer{};
    layer.fills = std::move(fills);
    layer.lines = std::move(lines);
    fillEdges.assign(layer.fills.size(), {});
    linePaths.assign(layer.lines.size(), QPainterPath{});
    lineEnds.assign(layer.lines.size(), Point{});
    lineStarted.assign(layer.lines.size(), false);
  }
  void addEdge(const Edge& e, std::uint32_t fill0, std::uint32_t fill1, std::uint32_t line) {
    if (fill0 && fill0 <= fillEdges.size() && fill0 != fill1) fillEdges[fill0 - 1].push_back(e.reversed());
    if (fill1 && fill1 <= fillEdges.size() && fill0 != fill1) fillEdges[fill1 - 1].push_back(e);
    if (line && line <= linePaths.size()) {
      auto& p = linePaths[line - 1];
      if (!lineStarted[line - 1] || !(lineEnds[line - 1] == e.from)) {
        p.moveTo(e.from.x, e.from.y);
        lineStarted[line - 1] = true;
      }
      appendEdge(p, e);
      lineEnds[line - 1] = e.to;
    }
  }
  void finish(bool nonZero, std::vector<ShapeLayer>& out) {
    for (std::size_t i = 0; i < fillEdges.size(); ++i)
      if (!fillEdges[i].empty()) layer.fillPaths.push_back({joinContours(fillEdges[i], nonZero), i});
    for (std::size_t i = 0; i < linePaths.size(); ++i)
      if (!linePaths[i].isEmpty()) layer.linePaths.push_back({linePaths[i], i});
    if (!layer.fillPaths.empty() || !layer.linePaths.empty()) out.push_back(std::move(layer));
  }
};

}  // namespace

bool BuiltShape::contains(double x, double y) const {
  if (!bounds.contains(x, y)) return false;
  for (const auto& layer : layers)
    for (const auto& f : layer.fillPaths)
      if (f.path.contains(QPointF(x, y))) return true;
  return false;
}

BuiltShape buildShape(const std::vector<swf::FillStyle>& fills, const std::vector<swf::LineStyle>& lines,
                      const std::vector<swf::ShapeRecord>& records, bool nonZeroWinding) {
  BuiltShape shape;
  LayerBuilder builder;
  builder.reset(fills, lines);
  Point pen;
  std::uint32_t fill0 = 0, fill1 = 0, line = 0;
  for (const auto& record : records) {
    if (const auto* sc = std::get_if<swf::StyleChange>(&record)) {
      if (sc->newStyles) {
        builder.finish(nonZeroWinding, shape.layers);
        builder.reset(sc->newStyles->fills, sc->newStyles->lines);
        fill0 = fill1 = line = 0;
      }
      if (sc->fillStyle0) fill0 = *sc->fillStyle0;
      if (sc->fillStyle1) fill1 = *sc->fillStyle1;
      if (sc->lineStyle) line = *sc->lineStyle;
      if (sc->moveTo) pen = {sc->moveTo->x, sc->moveTo->y};
    } else if (const auto* se = std::get_if<swf::StraightEdge>(&record)) {
      Point to{pen.x + se->dx, pen.y + se->dy};
      builder.addEdge({pen, {}, to, false}, fill0, fill1, line);
      pen = to;
    } else if (const auto* ce = std::get_if<swf::CurvedEdge>(&record)) {
      Point control{pen.x + ce->controlDx, pen.y + ce->controlDy};
      Point to{control.x + ce->anchorDx, control.y + ce->anchorDy};
      builder.addEdge({pen, control, to, true}, fill0, fill1, line);
      pen = to;
    }
  }
  builder.finish(nonZeroWinding, shape.layers);
  for (const auto& layer : shape.layers) {
    for (const auto& f : layer.fillPaths) shape.bounds |= f.path.boundingRect();
    for (const auto& l : layer.linePaths) {
      double w = layer.lines[l.style].width;
      shape.bounds |= l.path.boundingRect().adjusted(-w, -w, w, w);
    }
  }
  return shape;
}

QPainterPath buildGlyph(const swf::Shape& glyph) {
  std::vector<swf::FillStyle> fills(1);
  BuiltShape s = buildShape(fills, {}, glyph.records, false);
  QPainterPath out;
  out.setFillRule(Qt::OddEvenFill);
  for (const auto& layer : s.layers)
    for (const auto& f : layer.fillPaths) out.addPath(f.path);
  // Glyphs drawn with fill 0 only (some tools do) still need an outline.
  if (out.isEmpty()) {
    std::vector<swf::ShapeRecord> records = glyph.records;
    for (auto& r : records)
      if (auto* sc = std::get_if<swf::StyleChange>(&r)) {
        if (sc->fillStyle0 && !sc->fillStyle1) sc->fillStyle1 = sc->fillStyle0, sc->fillStyle0 = 0u;
      }
    BuiltShape t = buildShape(fills, {}, records, false);
    for (const auto& layer : t.layers)
      for (const auto& f : layer.fillPaths) out.addPath(f.path);
  }
  return out;
}

// ---- morphs ------------------------------------------------------------------

namespace {

double lerp(double a, double b, double t) { return a + (b - a) * t; }
std::int32_t lerpi(std::int32_t a, std::int32_t b, double t) { return static_cast<std::int32_t>(std::lround(lerp(a, b, t))); }

swf::Rgba lerpColor(const swf::Rgba& a, const swf::Rgba& b, double t) {
  auto c = [&](std::uint8_t x, std::uint8_t y) { return static_cast<std::uint8_t>(std::lround(lerp(x, y, t))); };
  return {c(a.r, b.r), c(a.g, b.g), c(a.b, b.b), c(a.a, b.a)};
}

swf::Matrix lerpMatrix(const swf::Matrix& a, const swf::Matrix& b, double t) {
  return {lerpi(a.scaleX, b.scaleX, t), lerpi(a.scaleY, b.scaleY, t), lerpi(a.rotateSkew0, b.rotateSkew0, t),
          lerpi(a.rotateSkew1, b.rotateSkew1, t), lerpi(a.translateX, b.translateX, t),
          lerpi(a.translateY, b.translateY, t)};
}

swf::FillStyle morphFill(const swf::MorphFillStyle& m, double t) {
  swf::FillStyle f;
  f.type = m.type;
  f.color = lerpColor(m.startColor, m.endColor, t);
  f.matrix = lerpMatrix(m.startMatrix, m.endMatrix, t);
  f.gradient.spreadMode = m.spreadMode;
  f.gradient.interpolationMode = m.interpolationMode;
  f.gradient.focalPoint = m.focalPoint;
  for (const auto& g : m.gradient)
    f.gradient.records.push_back(
        {static_cast<std::uint8_t>(std::lround(lerp(g.startRatio, g.endRatio, t))), lerpColor(g.startColor, g.endColor, t)});
  f.bitmapId = m.bitmapId;
  return f;
}

struct Absolute {  // an edge in absolute coordinates
  bool curved;
  Point from, control, to;
};

// The edges of a shape with absolute points, and the style changes between them.
struct Walk {
  std::vector<swf::ShapeRecord> records;
  std::vector<Absolute> edges;  // index aligned with edge records
};

}  // namespace

BuiltShape buildMorph(const swf::DefineMorphShape& morph, std::uint16_t ratio) {
  const double t = ratio / 65535.0;
  std::vector<swf::FillStyle> fills;
  for (const auto& f : morph.fills) fills.push_back(morphFill(f, t));
  std::vector<swf::LineStyle> lines;
  for (const auto& l : morph.lines) {
    swf::LineStyle s;
    s.width = static_cast<std::uint16_t>(std::lround(lerp(l.startWidth, l.endWidth, t)));
    s.color = lerpColor(l.startColor, l.endColor, t);
    s.startCapStyle = l.startCapStyle;
    s.endCapStyle = l.endCapStyle;
    s.joinStyle = l.joinStyle;
    s.miterLimitFactor = l.miterLimitFactor;
    if (l.fill) s.fill = morphFill(*l.fill, t);
    lines.push_back(s);
  }
  // Walk both edge lists side by side: the start list carries the styles, the end list
  // gives the end positions; a straight edge paired with a curve becomes a curve.
  const auto& a = morph.startEdges.records;
  const auto& b = morph.endEdges.records;
  std::vector<swf::ShapeRecord> out;
  Point penA, penB, penOut;
  std::size_t j = 0;
  auto nextEndEdge = [&]() -> const swf::ShapeRecord* {
    while (j < b.size()) {
      const auto& r = b[j];
      if (const auto* sc = std::get_if<swf::StyleChange>(&r)) {
        if (sc->moveTo) penB = {sc->moveTo->x, sc->moveTo->y};
        ++j;
        continue;
      }
      return &b[j++];
    }
    return nullptr;
  };
  for (const auto& r : a) {
    if (const auto* sc = std::get_if<swf::StyleChange>(&r)) {
      swf::StyleChange copy = *sc;
      copy.newStyles.reset();
      if (sc->moveTo) {
        penA = {sc->moveTo->x, sc->moveTo->y};
        // The end shape's matching move, if it has one here.
        if (j < b.size())
          if (const auto* esc = std::get_if<swf::StyleChange>(&b[j]); esc && esc->moveTo) {
            penB = {esc->moveTo->x, esc->moveTo->y};
            ++j;
          }
        Point p{lerpi(penA.x, penB.x, t), lerpi(penA.y, penB.y, t)};
        copy.moveTo = swf::MoveTo{p.x, p.y};
        penOut = p;
      }
      out.push_back(copy);
      continue;
    }
    Absolute ea{}, eb{};
    if (const auto* se = std::get_if<swf::StraightEdge>(&r)) {
      Point to{penA.x + se->dx, penA.y + se->dy};
      ea = {false, penA, {(penA.x + to.x) / 2, (penA.y + to.y) / 2}, to};
    } else {
      const auto& ce = std::get<swf::CurvedEdge>(r);
      Point c{penA.x + ce.controlDx, penA.y + ce.controlDy};
      Point to{c.x + ce.anchorDx, c.y + ce.anchorDy};
      ea = {true, penA, c, to};
    }
    penA = ea.to;
    const swf::ShapeRecord* er = nextEndEdge();
    if (!er) {
      eb = ea;
    } else if (const auto* se = std::get_if<swf::StraightEdge>(er)) {
      Point to{penB.x + se->dx, penB.y + se->dy};
      eb = {false, penB, {(penB.x + to.x) / 2, (penB.y + to.y) / 2}, to};
    } else {
      const auto& ce = std::get<swf::CurvedEdge>(*er);
      Point c{penB.x + ce.controlDx, penB.y + ce.controlDy};
      Point to{c.x + ce.anchorDx, c.y + ce.anchorDy};
      eb = {true, penB, c, to};
    }
    penB = eb.to;
    Point to{lerpi(ea.to.x, eb.to.x, t), lerpi(ea.to.y, eb.to.y, t)};
    if (!ea.curved && !eb.curved) {
      out.push_back(swf::StraightEdge{to.x - penOut.x, to.y - penOut.y});
    } else {
      Point c{lerpi(ea.control.x, eb.control.x, t), lerpi(ea.control.y, eb.control.y, t)};
      out.push_back(swf::CurvedEdge{c.x - penOut.x, c.y - penOut.y, to.x - c.x, to.y - c.y});
    }
    penOut = to;
  }
  return buildShape(fills, lines, out, false);
}

}  // namespace plavex::engine::render
