#include "engine/render/RenderCache.h"

#include "engine/render/Bitmaps.h"

namespace plavex::engine::render {

namespace {
const BuiltShape kEmptyShape;
const QImage kNoImage;
const QPainterPath kNoPath;
constexpr std::size_t kMaxMorphEntries = 4096;
}  // namespace

const BuiltShape* RenderCache::shapeOf(const Character& character, std::uint16_t ratio) {
  if (const auto* s = std::get_if<swf::DefineShape>(&character.body)) {
    auto it = shapes_.find(&character);
    if (it == shapes_.end()) {
      ShapeEntry e;
      e.shape = buildShape(s->shape.fills, s->shape.lines, s->shape.records, s->version == 4 && s->usesFillWindingRule);
      it = shapes_.emplace(&character, std::move(e)).first;
    }
    return &it->second.shape;
  }
  if (const auto* m = std::get_if<swf::DefineMorphShape>(&character.body)) {
    auto key = std::make_pair(&character, ratio);
    auto it = morphs_.find(key);
    if (it == morphs_.end()) {
      if (morphs_.size() > kMaxMorphEntries) morphs_.clear();
      ShapeEntry e;
      e.shape = buildMorph(*m, ratio);
      it = morphs_.emplace(key, std::move(e)).first;
    }
    return &it->second.shape;
  }
  return nullptr;
}

const BuiltShape& RenderCache::shape(const std::shared_ptr<const Character>& character, std::uint16_t ratio) {
  const BuiltShape* s = shapeOf(*character, ratio);
  if (!s) return kEmptyShape;
  if (std::holds_alternative<swf::DefineShape>(character->body))
    shapes_[character.get()].keep = character;
  else
    morphs_[{character.get(), ratio}].keep = character;
  return *s;
}

const QImage& RenderCache::bitmap(const MovieData& movie, std::uint16_t id) {
  if (bitmapsOf_ != &movie) {
    bitmaps_.clear();
    bitmapsOf_ = &movie;
  }
  auto it = bitmaps_.find(id);
  if (it != bitmaps_.end()) return it->second;
  auto c = movie.character(id);
  QImage image;
  if (c)
    if (const auto* b = std::get_if<BitmapDefinition>(&c->body)) image = decodeBitmap(*b);
  return bitmaps_.emplace(id, std::move(image)).first->second;
}

const QPainterPath& RenderCache::glyph(const Character& font, std::size_t index) {
  const auto* f = std::get_if<FontDefinition>(&font.body);
  if (!f || index >= f->glyphs.size()) return kNoPath;
  auto key = std::make_pair(&font, index);
  auto it = glyphs_.find(key);
  if (it == glyphs_.end()) it = glyphs_.emplace(key, buildGlyph(f->glyphs[index])).first;
  return it->second;
}

const RenderCache::Raster* RenderCache::raster(const RasterKey& key) const {
  auto it = rasters_.find(key);
  return it == rasters_.end() ? nullptr : &it->second;
}

const RenderCache::Raster& RenderCache::storeRaster(const RasterKey& key, Raster raster) {
  constexpr std::size_t kBudget = std::size_t{64} << 20;
  std::size_t bytes = std::size_t(raster.image.sizeInBytes());
  if (rasterBytes_ + bytes > kBudget) {
    rasters_.clear();
    rasterBytes_ = 0;
  }
  rasterBytes_ += bytes;
  return rasters_.insert_or_assign(key, std::move(raster)).first->second;
}

void RenderCache::clear() {
  rasters_.clear();
  rasterBytes_ = 0;
  shapes_.clear();
  morphs_.clear();
  bitmaps_.clear();
  glyphs_.clear();
  bitmapsOf_ = nullptr;
}

}  // namespace plavex::engine::render
