#include "tests/engine/Fixtures.h"

#include "engine/format/SwfWriter.h"

namespace plavex::engine::test {

swf::FillStyle solid(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
  swf::FillStyle f;
  f.type = swf::fill::kSolid;
  f.color = {r, g, b, a};
  return f;
}

swf::DefineShape rectShape(std::uint16_t id, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                           swf::FillStyle fill, std::uint8_t version) {
  swf::DefineShape s;
  s.version = version;
  s.id = id;
  s.bounds = {x, x + w, y, y + h};
  s.edgeBounds = s.bounds;
  s.shape.fills = {std::move(fill)};
  swf::StyleChange start;
  start.moveTo = swf::MoveTo{x, y};
  start.fillStyle1 = 1u;
  s.shape.records = {start, swf::StraightEdge{w, 0}, swf::StraightEdge{0, h}, swf::StraightEdge{-w, 0},
                     swf::StraightEdge{0, -h}};
  return s;
}

swf::Matrix translate(std::int32_t tx, std::int32_t ty) {
  swf::Matrix m;
  m.translateX = tx;
  m.translateY = ty;
  return m;
}

swf::PlaceObject place(std::uint16_t depth, std::uint16_t character, std::int32_t tx, std::int32_t ty) {
  swf::PlaceObject p;
  p.version = 2;
  p.depth = depth;
  p.characterId = character;
  p.matrix = translate(tx, ty);
  return p;
}

swf::PlaceObject move(std::uint16_t depth, std::int32_t tx, std::int32_t ty) {
  swf::PlaceObject p;
  p.version = 2;
  p.move = true;
  p.depth = depth;
  p.matrix = translate(tx, ty);
  return p;
}

swf::RemoveObject removeAt(std::uint16_t depth) {
  swf::RemoveObject r;
  r.version = 2;
  r.depth = depth;
  return r;
}

swf::Movie makeMovie(int widthPx, int heightPx, std::vector<Tag> tags, const char* signature, double frameRate) {
  swf::Movie m;
  m.header.signature = signature;
  m.header.version = 10;
  m.header.stage = {0, widthPx * 20, 0, heightPx * 20};
  m.header.frameRate = frameRate;
  std::uint16_t frames = 0;
  for (const auto& t : tags)
    if (std::holds_alternative<swf::ShowFrame>(t.body)) ++frames;
  m.header.frameCount = frames;
  m.tags = std::move(tags);
  return m;
}

QByteArray toBytes(const swf::Movie& movie) {
  auto written = swf::writeSwf(movie);
  return QByteArray(reinterpret_cast<const char*>(written.bytes.data()), static_cast<qsizetype>(written.bytes.size()));
}

}  // namespace plavex::engine::test
