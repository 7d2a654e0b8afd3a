#pragma once
// Draws a display list with QPainter: shapes and morphs from their cached paths, fills
// (solid, gradient, bitmap), lines, texts, buttons and sprites, masks (clip depths),
// colour transforms, filters and blend modes.

#include <QPainter>

#include "engine/core/DisplayList.h"
#include "engine/render/ColorTransform.h"
#include "engine/render/RenderCache.h"

namespace plavex::engine::render {

class DisplayRenderer {
 public:
  DisplayRenderer(RenderCache& cache, const MovieData& movie, bool antialias, double stageScale);

  // `world` maps the list's coordinates (twips) to device pixels.
  void drawList(QPainter& painter, const DisplayList& list, const QTransform& world, const CxForm& cx);
  // The area an object covers, in device pixels (for masks).
  QPainterPath coverage(const DisplayObject& object, const QTransform& world);

 private:
  void drawObject(QPainter& painter, const DisplayObject& object, const QTransform& world, const CxForm& cx);
  void drawContent(QPainter& painter, const DisplayObject& object, const QTransform& world, const CxForm& cx);
  void drawShape(QPainter& painter, const BuiltShape& shape, const QTransform& world, const CxForm& cx);
  // Fills `path` (in shape space) without anti-aliasing, pixels chosen by the movie's rule.
  void fillAliased(QPainter& painter, const QPainterPath& path, const QTransform& world, const QBrush& brush);
  bool drawShapeFromRaster(QPainter& painter, const Character& character, std::uint16_t ratio, const BuiltShape& shape,
                           const QTransform& world, const CxForm& cx);
  void drawWithEffects(QPainter& painter, const DisplayObject& object, const QTransform& world, const CxForm& cx);
  QBrush brushFor(const swf::FillStyle& fill, const CxForm& cx, bool& smooth);
  void listCoverage(const DisplayList& list, const QTransform& world, QPainterPath& out);

  RenderCache& cache_;
  const MovieData& movie_;
  bool antialias_;
  double stageScale_;
};

QTransform toQTransform(const swf::Matrix& m);

}  // namespace plavex::engine::render
