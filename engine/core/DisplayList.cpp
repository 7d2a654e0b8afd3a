#include "engine/core/DisplayList.h"

#include "engine/core/Button.h"
#include "engine/core/Timeline.h"
#include "engine/core/VideoPlayback.h"

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

DisplayObjectFields::DisplayObjectFields() = default;
DisplayObjectFields::DisplayObjectFields(DisplayObjectFields&&) noexcept = default;
DisplayObjectFields& DisplayObjectFields::operator=(DisplayObjectFields&&) noexcept = default;
DisplayObjectFields::~DisplayObjectFields() = default;

DisplayObject::DisplayObject() : handle(std::make_shared<DisplayObject*>(this)) {}

DisplayObject::DisplayObject(DisplayObject&& other) noexcept
    : DisplayObjectFields(std::move(other)), handle(std::move(other.handle)) {
  if (handle) *handle = this;
}

DisplayObject& DisplayObject::operator=(DisplayObject&& other) noexcept {
  if (this == &other) return *this;
  if (handle && *handle == this) *handle = nullptr;  // the object held here goes
  DisplayObjectFields::operator=(std::move(other));
  handle = std::move(other.handle);
  if (handle) *handle = this;
  return *this;
}

DisplayObject::~DisplayObject() {
  if (handle && *handle == this) *handle = nullptr;
}

void DisplayList::swap(int from, int to) {
  if (from == to) return;
  auto a = objects_.extract(from);
  auto b = objects_.extract(to);
  if (a) {
    a.key() = to;
    a.mapped().depth = to;
  }
  if (b) {
    b.key() = from;
    b.mapped().depth = from;
  }
  if (a) objects_.insert(std::move(a));
  if (b) objects_.insert(std::move(b));
}

int DisplayList::nextFreeDepth() const {
  if (objects_.empty() || objects_.rbegin()->first < kScriptDepthOffset) return 0;
  return objects_.rbegin()->first - kScriptDepthOffset + 1;
}

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
