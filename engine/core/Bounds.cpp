#include "engine/core/Bounds.h"

#include <algorithm>

#include "engine/core/Button.h"
#include "engine/core/PlayContext.h"
#include "engine/core/Timeline.h"

namespace plavex::engine {

void Box::add(double x, double y) {
  if (empty) {
    xMin = xMax = x;
    yMin = yMax = y;
    empty = false;
    return;
  }
  xMin = std::min(xMin, x);
  xMax = std::max(xMax, x);
  yMin = std::min(yMin, y);
  yMax = std::max(yMax, y);
}

void Box::add(const Box& other) {
  if (other.empty) return;
  add(other.xMin, other.yMin);
  add(other.xMax, other.yMax);
}

namespace {

Box mapped(const swf::Rect& r, const Affine& m) {
  Box box;
  if (r.xMin > r.xMax || r.yMin > r.yMax) return box;
  double x = 0, y = 0;
  for (auto [px, py] : {std::pair<double, double>{r.xMin, r.yMin}, {r.xMax, r.yMin}, {r.xMin, r.yMax}, {r.xMax, r.yMax}}) {
    m.map(px, py, x, y);
    box.add(x, y);
  }
  return box;
}

swf::Rect morphRect(const swf::Rect& a, const swf::Rect& b, std::uint16_t ratio) {
  const double t = ratio / 65535.0;
  auto mix = [t](std::int32_t p, std::int32_t q) { return static_cast<std::int32_t>(p + (q - p) * t); };
  return {mix(a.xMin, b.xMin), mix(a.xMax, b.xMax), mix(a.yMin, b.yMin), mix(a.yMax, b.yMax)};
}

}  // namespace

Box listBounds(const DisplayList& list, const Affine& space, const MovieData& movie, int depth) {
  Box box;
  if (depth > kMaxNesting) return box;
  for (const auto& [d, child] : list.objects()) {
    if (child.placement.clipDepth > 0) continue;
    box.add(objectBounds(child, space * Affine::from(child.placement.matrix), movie, depth + 1));
  }
  return box;
}

Box objectBounds(const DisplayObject& object, const Affine& space, const MovieData& movie, int depth) {
  Box box;
  const Character* character = object.placement.character.get();
  if (!character || depth > kMaxNesting) return box;
  if (object.sprite) return listBounds(object.sprite->displayList(), space, movie, depth);
  if (object.button) return listBounds(object.button->children, space, movie, depth);
  if (const auto* shape = std::get_if<swf::DefineShape>(&character->body)) return mapped(shape->bounds, space);
  if (const auto* morph = std::get_if<swf::DefineMorphShape>(&character->body))
    return mapped(morphRect(morph->startBounds, morph->endBounds, object.placement.ratio), space);
  if (const auto* text = std::get_if<swf::DefineText>(&character->body))
    return mapped(text->bounds, space * Affine::from(text->matrix));
  if (const auto* edit = std::get_if<swf::DefineEditText>(&character->body)) return mapped(edit->bounds, space);
  return box;
}

}  // namespace plavex::engine
