#include "engine/render/DisplayRenderer.h"

#include <cmath>

#include "engine/core/Button.h"
#include "engine/core/EditTextState.h"
#include "engine/core/Geometry.h"
#include "engine/core/Timeline.h"
#include "engine/render/Effects.h"
#include "engine/render/Gradient.h"
#include "engine/render/ScanFill.h"
#include "engine/render/Text.h"
#include "engine/render/VideoPicture.h"

namespace plavex::engine::render {

QTransform toQTransform(const swf::Matrix& m) {
  Affine a = Affine::from(m);
  return QTransform(a.a, a.b, a.c, a.d, a.tx, a.ty);
}

namespace {
const DisplayList* childrenOf(const DisplayObject& object) {
  if (object.sprite) return &object.sprite->displayList();
  if (object.button) return &object.button->children;
  return nullptr;
}
bool needsLayer(const DisplayObject& object) {
  const auto& p = object.placement;
  return !p.filters.empty() || (p.blendMode > 2 && p.blendMode <= 14);
}
}  // namespace

DisplayRenderer::DisplayRenderer(RenderCache& cache, const MovieData& movie, bool antialias, double stageScale)
    : cache_(cache), movie_(movie), antialias_(antialias), stageScale_(stageScale) {}

void DisplayRenderer::drawList(QPainter& painter, const DisplayList& list, const QTransform& world, const CxForm& cx) {
  struct ActiveMask {
    int until;
  };
  std::vector<ActiveMask> masks;
  for (const auto& [depth, object] : list.objects()) {
    while (!masks.empty() && depth > masks.back().until) {
      painter.restore();
      masks.pop_back();
    }
    if (object.placement.clipDepth > 0) {
      QTransform objectWorld = toQTransform(object.placement.matrix) * world;
      QPainterPath area =
          coverage(object, antialias_ ? objectWorld : objectWorld * QTransform::fromTranslate(-1.0 / 256, 1.0 / 256));
      painter.save();
      painter.resetTransform();
      painter.setClipPath(area, Qt::IntersectClip);
      masks.push_back({object.placement.clipDepth});
      continue;
    }
    drawObject(painter, object, world, cx);
  }
  while (!masks.empty()) {
    painter.restore();
    masks.pop_back();
  }
}

void DisplayRenderer::drawObject(QPainter& painter, const DisplayObject& object, const QTransform& world,
                                 const CxForm& cx) {
  if (!object.placement.visible || !object.placement.character) return;
  QTransform objectWorld = toQTransform(object.placement.matrix) * world;
  CxForm objectCx = cx * CxForm::from(object.placement.cxform);
  if (object.button && object.placement.character->buttonCxform)
    objectCx = objectCx * CxForm::from(*object.placement.character->buttonCxform);
  if (objectCx.ma <= 0 && objectCx.aa <= 0) return;  // fully transparent
  if (needsLayer(object)) {
    drawWithEffects(painter, object, objectWorld, objectCx);
    return;
  }
  drawContent(painter, object, objectWorld, objectCx);
}

void DisplayRenderer::drawContent(QPainter& painter, const DisplayObject& object, const QTransform& world,
                                  const CxForm& cx) {
  const Character& c = *object.placement.character;
  if (std::holds_alternative<swf::DefineShape>(c.body) || std::holds_alternative<swf::DefineMorphShape>(c.body)) {
    const BuiltShape* shape = cache_.shapeOf(c, object.placement.ratio);
    if (shape && !(antialias_ && drawShapeFromRaster(painter, c, object.placement.ratio, *shape, world, cx)))
      drawShape(painter, *shape, world, cx);
  } else if (const auto* text = std::get_if<swf::DefineText>(&c.body)) {
    drawStaticText(painter, cache_, movie_, *text, world, cx);
  } else if (const auto* edit = std::get_if<swf::DefineEditText>(&c.body)) {
    // Scripts and input change a field's text model; the definition is only its start.
    drawEditText(painter, cache_, movie_, object.editText ? object.editText->forDrawing(*edit) : *edit, world, cx);
  } else if (const auto* bitmap = std::get_if<BitmapDefinition>(&c.body)) {
    (void)bitmap;
    const QImage& image = cache_.bitmap(movie_, c.id);
    if (!image.isNull()) {
      painter.setTransform(QTransform::fromScale(20, 20) * world);
      if (cx.isIdentity()) {
        painter.drawImage(0, 0, image);
      } else {
        QImage tinted = image;
        applyToImage(tinted, cx);
        painter.drawImage(0, 0, tinted);
      }
    }
  }
  if (object.video) drawVideoPicture(painter, *object.video, world, cx, antialias_);
  if (const DisplayList* children = childrenOf(object)) drawList(painter, *children, world, cx);
}

QBrush DisplayRenderer::brushFor(const swf::FillStyle& fill, const CxForm& cx, bool& smooth) {
  smooth = false;
  if (fill.type == swf::fill::kSolid) return QBrush(cx.apply(fill.color));
  if (swf::fill::isGradient(fill.type)) return gradientBrush(fill.type, fill.gradient, fill.matrix, cx);
  if (swf::fill::isBitmap(fill.type)) {
    const QImage& image = cache_.bitmap(movie_, fill.bitmapId);
    if (image.isNull()) return QBrush(Qt::NoBrush);
    smooth = fill.type == swf::fill::kRepeatingBitmap || fill.type == swf::fill::kClippedBitmap;
    QBrush brush;
    if (cx.isIdentity()) {
      brush = QBrush(image);
    } else {
      QImage tinted = image;
      applyToImage(tinted, cx);
      brush = QBrush(tinted);
    }
    brush.setTransform(toQTransform(fill.matrix));
    return brush;
  }
  return QBrush(Qt::NoBrush);
}

void DisplayRenderer::drawShape(QPainter& painter, const BuiltShape& shape, const QTransform& shapeWorld,
                                const CxForm& cx) {
  // Aliased drawing: a pixel whose centre lies exactly on an edge is decided the other way
  // round in the movie's rasterizer than in the painter's; a tiny shift settles ties as the
  // movie does (fills: left and down, lines: left and up).
  const QTransform world = antialias_ ? shapeWorld : shapeWorld * QTransform::fromTranslate(-1.0 / 256, 1.0 / 256);
  painter.setTransform(world);
  const double scale = std::sqrt(std::abs(world.determinant()));
  for (const auto& layer : shape.layers) {
    painter.setPen(Qt::NoPen);
    for (const auto& f : layer.fillPaths) {
      const auto& style = layer.fills[f.style];
      bool smooth = false;
      QBrush brush = brushFor(style, cx, smooth);
      if (brush.style() == Qt::NoBrush) continue;
      if (swf::fill::isBitmap(style.type)) painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth && antialias_);
      if (style.type == swf::fill::kClippedBitmap || style.type == swf::fill::kHardClippedBitmap) {
        // Clipped bitmaps: the image once, inside the shape.
        painter.save();
        painter.setClipPath(f.path, Qt::IntersectClip);
        painter.fillPath(f.path, QBrush(brush.textureImage().pixelColor(0, 0)));
        painter.setTransform(brush.transform() * world);
        painter.drawImage(0, 0, brush.textureImage());
        painter.restore();
        painter.setTransform(world);
        continue;
      }
      if (!antialias_) {
        fillAliased(painter, f.path, shapeWorld, brush);
        continue;
      }
      painter.fillPath(f.path, brush);
    }
    for (const auto& l : layer.linePaths) {
      const auto& style = layer.lines[l.style];
      QPen pen;
      if (style.fill) {
        bool smooth = false;
        pen.setBrush(brushFor(*style.fill, cx, smooth));
      } else {
        pen.setColor(cx.apply(style.color));
      }
      double devicePixels = style.width * scale;
      bool hairline = devicePixels <= 1.0;
      if (hairline && antialias_) {
        pen.setCosmetic(true);
        pen.setWidthF(1.0);
      } else if (hairline) {
        // Aliased hairlines: a one-pixel band around the line, its pixels chosen by their centres.
        pen.setWidthF(scale > 0 ? 1.0 / scale : 1.0);
      } else {
        pen.setWidthF(style.width);
      }
      pen.setCapStyle(hairline && !antialias_ ? Qt::FlatCap
                      : style.startCapStyle == 1 ? Qt::FlatCap
                      : style.startCapStyle == 2 ? Qt::SquareCap
                                                 : Qt::RoundCap);
      pen.setJoinStyle(hairline && !antialias_ ? Qt::BevelJoin
                       : style.joinStyle == 1 ? Qt::BevelJoin
                       : style.joinStyle == 2 ? Qt::MiterJoin
                                              : Qt::RoundJoin);
      if (style.joinStyle == 2) pen.setMiterLimit(std::max(1.0, style.miterLimitFactor / 256.0));
      painter.setPen(pen);
      painter.setBrush(Qt::NoBrush);
      if (!antialias_) painter.setTransform(shapeWorld * QTransform::fromTranslate(-1.0 / 256, -1.0 / 256));
      painter.drawPath(l.path);
      painter.setTransform(world);
    }
  }
  painter.setPen(Qt::NoPen);
}

void DisplayRenderer::fillAliased(QPainter& painter, const QPainterPath& path, const QTransform& world,
                                  const QBrush& brush) {
  const QPaintDevice* device = painter.device();
  if (!device) return;
  QRegion area = aliasedCoverage(world.map(path), QRect(0, 0, device->width(), device->height()));
  if (area.isEmpty()) return;
  QBrush deviceBrush = brush;
  deviceBrush.setTransform(brush.transform() * world);
  const QTransform previous = painter.transform();
  painter.save();
  painter.resetTransform();
  painter.setClipRegion(area, painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
  painter.fillRect(area.boundingRect(), deviceBrush);
  painter.restore();
  painter.setTransform(previous);
}

bool DisplayRenderer::drawShapeFromRaster(QPainter& painter, const Character& character, std::uint16_t ratio,
                                          const BuiltShape& shape, const QTransform& world, const CxForm& cx) {
  constexpr double kMaxArea = 256.0 * 256.0;
  QRectF device = world.mapRect(shape.bounds);
  if (device.isEmpty() || device.width() * device.height() > kMaxArea) return false;
  const double dx = world.dx(), dy = world.dy();
  double wholeX = std::floor(dx), wholeY = std::floor(dy);
  int halfX = static_cast<int>(std::lround((dx - wholeX) * 2)), halfY = static_cast<int>(std::lround((dy - wholeY) * 2));
  if (halfX == 2) halfX = 0, wholeX += 1;
  if (halfY == 2) halfY = 0, wholeY += 1;
  RenderCache::RasterKey key{&character, ratio, {world.m11(), world.m12(), world.m21(), world.m22()},
                             {cx.mr, cx.mg, cx.mb, cx.ma, cx.ar, cx.ag, cx.ab, cx.aa}, halfX, halfY};
  const RenderCache::Raster* raster = cache_.raster(key);
  if (!raster) {
    QTransform local(world.m11(), world.m12(), world.m21(), world.m22(), halfX / 2.0, halfY / 2.0);
    QRectF area = local.mapRect(shape.bounds).adjusted(-2, -2, 2, 2);
    QPoint origin(static_cast<int>(std::floor(area.left())), static_cast<int>(std::floor(area.top())));
    QSize size(static_cast<int>(std::ceil(area.right())) - origin.x() + 1,
               static_cast<int>(std::ceil(area.bottom())) - origin.y() + 1);
    RenderCache::Raster made;
    made.image = QImage(size, QImage::Format_ARGB32_Premultiplied);
    made.image.fill(Qt::transparent);
    made.offset = origin;
    {
      QPainter p(&made.image);
      p.setRenderHint(QPainter::Antialiasing, true);
      p.setRenderHint(QPainter::SmoothPixmapTransform, true);
      drawShape(p, shape, local * QTransform::fromTranslate(-origin.x(), -origin.y()), cx);
    }
    raster = &cache_.storeRaster(key, std::move(made));
  }
  painter.save();
  painter.resetTransform();
  painter.drawImage(QPoint(static_cast<int>(wholeX) + raster->offset.x(), static_cast<int>(wholeY) + raster->offset.y()),
                    raster->image);
  painter.restore();
  return true;
}

void DisplayRenderer::drawWithEffects(QPainter& painter, const DisplayObject& object, const QTransform& world,
                                      const CxForm& cx) {
  QImage* target = dynamic_cast<QImage*>(painter.device());
  if (!target) {
    drawContent(painter, object, world, cx);
    return;
  }
  // The object alone on a transparent layer the size of the target.
  QImage layer(target->size(), QImage::Format_ARGB32_Premultiplied);
  layer.fill(Qt::transparent);
  {
    QPainter lp(&layer);
    lp.setRenderHint(QPainter::Antialiasing, antialias_);
    lp.setRenderHint(QPainter::SmoothPixmapTransform, antialias_);
    drawContent(lp, object, world, cx);
  }
  if (!object.placement.filters.empty()) applyFilters(layer, object.placement.filters, stageScale_);
  painter.save();
  painter.resetTransform();
  if (object.placement.blendMode <= 2 || object.placement.blendMode > 14) {
    painter.drawImage(0, 0, layer);
  } else {
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    switch (object.placement.blendMode) {
      case 3: mode = QPainter::CompositionMode_Multiply; break;
      case 4: mode = QPainter::CompositionMode_Screen; break;
      case 5: mode = QPainter::CompositionMode_Lighten; break;
      case 6: mode = QPainter::CompositionMode_Darken; break;
      case 7: mode = QPainter::CompositionMode_Difference; break;
      case 8: mode = QPainter::CompositionMode_Plus; break;
      case 13: mode = QPainter::CompositionMode_Overlay; break;
      case 14: mode = QPainter::CompositionMode_HardLight; break;
      default: {
        // Modes without a painter equivalent: our own pixel code on the target.
        painter.restore();
        blendInto(*target, layer, QPoint(0, 0), object.placement.blendMode);
        return;
      }
    }
    painter.setCompositionMode(mode);
    painter.drawImage(0, 0, layer);
  }
  painter.restore();
}

void DisplayRenderer::listCoverage(const DisplayList& list, const QTransform& world, QPainterPath& out) {
  for (const auto& [depth, child] : list.objects()) {
    if (child.placement.clipDepth > 0) continue;
    out.addPath(coverage(child, toQTransform(child.placement.matrix) * world));
  }
}

QPainterPath DisplayRenderer::coverage(const DisplayObject& object, const QTransform& world) {
  QPainterPath out;
  out.setFillRule(Qt::WindingFill);
  if (!object.placement.character) return out;
  const Character& c = *object.placement.character;
  if (const BuiltShape* shape = cache_.shapeOf(c, object.placement.ratio)) {
    for (const auto& layer : shape->layers)
      for (const auto& f : layer.fillPaths) out.addPath(world.map(f.path).simplified());
  } else if (const auto* text = std::get_if<swf::DefineText>(&c.body)) {
    QTransform t = toQTransform(text->matrix) * world;
    for (const auto& run : staticTextRuns(cache_, movie_, *text)) out.addPath(t.map(run.path).simplified());
  } else if (const auto* edit = std::get_if<swf::DefineEditText>(&c.body)) {
    QRectF r(edit->bounds.xMin, edit->bounds.yMin, edit->bounds.xMax - edit->bounds.xMin,
             edit->bounds.yMax - edit->bounds.yMin);
    QPainterPath p;
    p.addRect(r);
    out.addPath(world.map(p));
  } else if (std::holds_alternative<BitmapDefinition>(c.body)) {
    const QImage& image = cache_.bitmap(movie_, c.id);
    QPainterPath p;
    p.addRect(0, 0, image.width() * 20.0, image.height() * 20.0);
    out.addPath(world.map(p));
  }
  if (object.video) out.addPath(videoCoverage(*object.video, world));
  if (const DisplayList* children = childrenOf(object)) listCoverage(*children, world, out);
  return out;
}

}  // namespace plavex::engine::render
