#pragma once
// The display list of one timeline: the instances at their depths with the properties
// the timeline gave them (matrix, colour transform, ratio, name, clip depth, blend mode,
// filters, cache-as-bitmap).

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/core/Movie.h"

namespace plavex::engine {

class Timeline;
struct ButtonInstance;
class VideoPlayback;
class EditTextState;

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
  std::optional<swf::ClipActions> clipActions;  // onClipEvent handlers of the placing tag

  // Applies the fields a PlaceObject carries; returns whether anything visible changed.
  bool apply(const swf::PlaceObject& tag);
};

struct DisplayObject;
// Where a display object lives while it exists: the pointer follows the object when it
// moves and becomes null when it goes. Scripts and parents hold it instead of the address.
using ObjectHandle = std::shared_ptr<DisplayObject*>;
using WeakObjectHandle = std::weak_ptr<DisplayObject*>;

// Depths as scripts count them: timeline depths sit 16384 below the scripted ones.
inline constexpr int kScriptDepthOffset = 16384;

// Everything a display object carries but its handle. New members go here: the
// object's moves take them along without being told.
struct DisplayObjectFields {
  int depth = 0;
  Placement placement;
  std::uint64_t createdTick = 0;        // tick in which the instance was created
  std::uint64_t serial = 0;             // identity of the instance, kept when it persists
  std::unique_ptr<Timeline> sprite;     // a sprite's own timeline
  std::unique_ptr<ButtonInstance> button;
  std::unique_ptr<VideoPlayback> video;  // an embedded video's decoder and picture
  std::shared_ptr<EditTextState> editText;  // an edit text's live text, once scripts or input touch it
  WeakObjectHandle parent;              // the sprite or button holding it; empty: the root's list
  bool scripted = false;                // made by a script: the timeline neither moves nor removes it
  bool transformedByScript = false;     // a script set its matrix or colour: the timeline leaves them
  bool enabled = true;                  // buttons and clips with handlers react to the mouse

  DisplayObjectFields();
  DisplayObjectFields(DisplayObjectFields&&) noexcept;
  DisplayObjectFields& operator=(DisplayObjectFields&&) noexcept;
  ~DisplayObjectFields();
  std::uint16_t characterId() const { return placement.character ? placement.character->id : 0; }
};

struct DisplayObject : DisplayObjectFields {
  ObjectHandle handle;  // this object while it lives

  DisplayObject();
  DisplayObject(DisplayObject&&) noexcept;
  DisplayObject& operator=(DisplayObject&&) noexcept;
  ~DisplayObject();
};

// The object behind a handle, or null when it has gone.
inline DisplayObject* resolve(const WeakObjectHandle& handle) {
  auto strong = handle.lock();
  return strong ? *strong : nullptr;
}

class DisplayList {
 public:
  using Objects = std::map<int, DisplayObject>;
  const Objects& objects() const { return objects_; }
  Objects& objects() { return objects_; }
  DisplayObject* at(int depth);
  const DisplayObject* at(int depth) const;
  DisplayObject* byName(const std::string& name);
  void remove(int depth) { objects_.erase(depth); }
  // Moves the object at `from` to `to`, swapping with what is there; the objects keep their addresses.
  void swap(int from, int to);
  // The highest depth in use plus one (0 when there is none at script depths).
  int nextFreeDepth() const;
  void clear() { objects_.clear(); }
  bool empty() const { return objects_.empty(); }

 private:
  Objects objects_;
};

}  // namespace plavex::engine
