#pragma once
// A running timeline (the root movie or a sprite instance): its current frame, its
// play state and its display list. Going forward applies the frames in between; going
// back rebuilds the display list from frame 1, keeping the instances that persist.

#include <optional>
#include <vector>

#include "engine/core/DisplayList.h"
#include "engine/core/PlayContext.h"

namespace plavex::engine {

class Timeline {
 public:
  // `isRoot`: the root movie waits for frames still loading and loops only when asked.
  Timeline(const TimelineDefinition& definition, bool isRoot);

  int currentFrame() const { return current_; }  // 0-based; -1 before the first frame
  int loadedFrames() const { return static_cast<int>(definition_.frames.size()); }
  const TimelineDefinition& definition() const { return definition_; }
  bool playing() const { return playing_; }
  void setPlaying(bool playing) { playing_ = playing; }
  const DisplayList& displayList() const { return list_; }
  DisplayList& displayList() { return list_; }

  // Shows the first frame when it is there and not shown yet.
  void enterFirstFrame(PlayContext& ctx);
  // One frame period: advance this timeline when playing, then its older children.
  void tick(PlayContext& ctx, bool loop);
  // One frame period of this timeline alone (its children tick on their own turn).
  void advance(PlayContext& ctx, bool loop);
  // Shows the frame (0-based; clamped to the loaded frames) without changing the play state.
  void gotoFrame(int frame, PlayContext& ctx);
  // Whether a tick could change anything (playing with somewhere to go, or a child that animates).
  bool animates(bool loop, bool movieComplete) const;

  // The sprite instance this timeline belongs to (empty for the root).
  const WeakObjectHandle& owner() const { return owner_; }
  void setOwner(WeakObjectHandle owner) { owner_ = std::move(owner); }

  // Display-list changes scripts make. Depths are the list's own (script depth + 16384).
  // Places an instance of `character` made by a script; null when none could be made.
  DisplayObject* placeScripted(int depth, std::shared_ptr<const Character> character, std::string name,
                               PlayContext& ctx, const Placement* like = nullptr);
  // Removes the object at `depth`, telling the script host first.
  void removeAt(int depth, PlayContext& ctx);

 private:
  void runFrame(int frame, PlayContext& ctx, bool runActions);
  void rewindTo(int frame, PlayContext& ctx);
  void place(const swf::PlaceObject& tag, int frame, PlayContext& ctx);
  void runActions(int frame, PlayContext& ctx);
  void runInitActions(int frame, PlayContext& ctx);
  void applyMove(DisplayObject& object, const swf::PlaceObject& tag, PlayContext& ctx);
  void runSounds(int frame, PlayContext& ctx);
  DisplayObject instantiate(int depth, Placement placement, PlayContext& ctx);

  const TimelineDefinition& definition_;
  WeakObjectHandle owner_;
  bool isRoot_;
  bool playing_ = true;
  int current_ = -1;
  DisplayList list_;
};

// Creates the instance behind a placement: a sprite gets its timeline (showing its
// first frame), a button its state children. `parent` is the sprite or button that holds it.
DisplayObject instantiateObject(int depth, Placement placement, PlayContext& ctx,
                                const WeakObjectHandle& parent = {});
// Tells the script host that an object and everything inside it leaves the stage.
void announceRemoval(DisplayObject& object, PlayContext& ctx);
// Advances the sprites inside an object (its own timeline or a button's children).
void tickObject(DisplayObject& object, PlayContext& ctx);
bool objectAnimates(const DisplayObject& object);

}  // namespace plavex::engine
