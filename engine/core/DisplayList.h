#pragma once
// The display list of one timeline: the instances at their depths with the properties
// the timeline gave them (matrix, colour transform, ratio, name, clip depth, blend mode,
// filters, cache-as-bitmap).

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/Movie.h"

namespace plavex::engine {

class Timeline;
struct ButtonInstance;

// The properties a PlaceObject sets, without the instance behind them.
struct Placement {
  std::shared_ptr<const Character> character;
  swf::Matrix matrix;
  swf::ColorTransform cxform;
  std::uint16_t ratio = 0;
  std::string name;
  int clipDepth = 0;
  std::uint8_t blendMode = 0;  // 0 and 1 normal
  std::vector<swf::Filter> filters;
  bool cacheAsBitmap = false;
  bool visible = true;
  int placedFrame = -1;  // frame of the parent timeline that created the instance

  // Applies the fields a PlaceObject carries; returns whether anything visible changed.
  bool apply(const swf::PlaceObject& tag);
};

struct DisplayObject {
  int depth = 0;
  Placement placement;
  std::uint64_t createdTick = 0;        // tick in which the instance was created
  std::uint64_t serial = 0;             // identity of the instance, kept when it persists
  std::unique_ptr<Timeline> sprite;     // a sprite's own timeline
  std::unique_ptr<ButtonInstance> button;

  DisplayObject();
  DisplayObject(DisplayObject&&) noexcept;
  DisplayObject& operator=(DisplayObject&&) noexcept;
  ~DisplayObject();
  std::uint16_t characterId() const { return placement.character ? placement.character->id : 0; }
};

class DisplayList {
 public:
  using Objects = std::map<int, DisplayObject>;
  const Objects& objects() const { return objects_; }
  Objects& objects() { return objects_; }
  DisplayObject* at(int depth);
  const DisplayObject* at(int depth) const;
  DisplayObject* byName(const std::string& name);
  void remove(int depth) { objects_.erase(depth); }
  void clear() { objects_.clear(); }
  bool empty() const { return objects_.empty(); }

 private:
  Objects objects_;
};

}  // namespace plavex::engine
