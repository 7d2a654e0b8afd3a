#include "engine/core/DisplayList.h"

#include "engine/core/Button.h"
#include "engine/core/Timeline.h"

namespace plavex::engine {

bool Placement::apply(const swf::PlaceObject& tag) {
  bool changed = false;
  if (tag.matrix && !(matrix == *tag.matrix)) matrix = *tag.matrix, changed = true;
  if (tag.cxform && !(cxform == *tag.cxform)) cxform = *tag.cxform, changed = true;
  if (tag.ratio && ratio != *tag.ratio) ratio = *tag.ratio, changed = true;
  if (tag.name) name = *tag.name;
  if (tag.clipDepth && clipDepth != *tag.clipDepth) clipDepth = *tag.clipDepth, changed = true;
  if (tag.blendMode && blendMode != *tag.blendMode) blendMode = *tag.blendMode, changed = true;
  if (tag.filters) filters = *tag.filters, changed = true;
  if (tag.bitmapCache) cacheAsBitmap = *tag.bitmapCache != 0;
  if (tag.visible && visible != (*tag.visible != 0)) visible = *tag.visible != 0, changed = true;
  return changed;
}

DisplayObject::DisplayObject() = default;
DisplayObject::DisplayObject(DisplayObject&&) noexcept = default;
DisplayObject& DisplayObject::operator=(DisplayObject&&) noexcept = default;
DisplayObject::~DisplayObject() = default;

DisplayObject* DisplayList::at(int depth) {
  auto it = objects_.find(depth);
  return it == objects_.end() ? nullptr : &it->second;
}
const DisplayObject* DisplayList::at(int depth) const {
  auto it = objects_.find(depth);
  return it == objects_.end() ? nullptr : &it->second;
}
DisplayObject* DisplayList::byName(const std::string& name) {
  for (auto& [depth, object] : objects_)
    if (object.placement.name == name) return &object;
  return nullptr;
}

}  // namespace plavex::engine
