#pragma once
// What the renderer builds once per character and keeps: shape paths, morph paths per
// ratio, decoded bitmaps, glyph outlines. Entries hold their character alive.

#include <QImage>
#include <QPainterPath>
#include <array>
#include <map>
#include <memory>
#include <unordered_map>

#include "engine/core/Movie.h"
#include "engine/render/ShapeBuilder.h"

namespace plavex::engine::render {

class RenderCache {
 public:
  const BuiltShape& shape(const std::shared_ptr<const Character>& character, std::uint16_t ratio);
  const BuiltShape* shapeOf(const Character& character, std::uint16_t ratio);
  // A bitmap by character id, decoded on first use; null image when missing or broken.
  const QImage& bitmap(const MovieData& movie, std::uint16_t id);
  const QPainterPath& glyph(const Character& font, std::size_t index);
  // Shapes drawn at high quality are kept as small images per character, ratio, colour
  // transform, linear part of the transform and half-pixel offset, so that a shape that
  // only moves is blitted instead of filled again.
  struct RasterKey {
    const Character* character;
    std::uint16_t ratio;
    std::array<double, 4> linear;
    std::array<double, 8> cx;
    int halfX, halfY;
    auto operator<=>(const RasterKey&) const = default;
  };
  struct Raster {
    QImage image;
    QPoint offset;  // of the image's top left from the whole-pixel translation
  };
  const Raster* raster(const RasterKey& key) const;
  const Raster& storeRaster(const RasterKey& key, Raster raster);

  void clear();

 private:
  std::map<RasterKey, Raster> rasters_;
  std::size_t rasterBytes_ = 0;
  struct ShapeEntry {
    std::shared_ptr<const Character> keep;
    BuiltShape shape;
  };
  std::unordered_map<const Character*, ShapeEntry> shapes_;
  std::map<std::pair<const Character*, std::uint16_t>, ShapeEntry> morphs_;
  std::unordered_map<std::uint16_t, QImage> bitmaps_;
  std::map<std::pair<const Character*, std::size_t>, QPainterPath> glyphs_;
  const MovieData* bitmapsOf_ = nullptr;
};

}  // namespace plavex::engine::render
