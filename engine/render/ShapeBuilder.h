#pragma once
// Turning shape records into paths. Every edge carries a fill style on its left
// (fill 0) and right (fill 1) side: edges are collected per fill style (fill 0 edges
// reversed), joined into closed contours and filled; lines are collected per line
// style in drawing order. New style arrays start a new layer drawn above the last.

#include <QPainterPath>
#include <vector>

#include "engine/format/Records.h"

namespace plavex::engine::render {

struct StyledPath {
  QPainterPath path;
  std::size_t style = 0;  // index into the layer's fills or lines
};

struct ShapeLayer {
  std::vector<swf::FillStyle> fills;
  std::vector<swf::LineStyle> lines;
  std::vector<StyledPath> fillPaths;
  std::vector<StyledPath> linePaths;
};

struct BuiltShape {
  std::vector<ShapeLayer> layers;
  QRectF bounds;  // of the fills and lines, twips
  bool contains(double x, double y) const;
};

BuiltShape buildShape(const std::vector<swf::FillStyle>& fills, const std::vector<swf::LineStyle>& lines,
                      const std::vector<swf::ShapeRecord>& records, bool nonZeroWinding);

// A glyph: one solid fill.
QPainterPath buildGlyph(const swf::Shape& glyph);

// A morph shape at a ratio 0..65535, as a plain shape.
BuiltShape buildMorph(const swf::DefineMorphShape& morph, std::uint16_t ratio);

}  // namespace plavex::engine::render
