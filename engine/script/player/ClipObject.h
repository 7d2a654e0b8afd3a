#pragma once
// A sprite instance, a button instance or the root timeline as scripts see it. It holds
// the display object's handle, so a clip that has left the stage reads as empty instead
// of touching freed memory.

#include <optional>

#include "engine/core/Bounds.h"
#include "engine/core/DisplayList.h"
#include "engine/core/Geometry.h"
#include "engine/script/Host.h"

namespace plavex::engine {
class Timeline;
}

namespace plavex::script {

class PlayerScripts;

class ClipObject final : public StageObject {
 public:
  // A null handle stands for the root timeline.
  ClipObject(PlayerScripts& owner, engine::ObjectHandle handle);

  bool isRoot() const { return !handle_; }
  bool alive() const;
  engine::DisplayObject* object() const { return handle_ ? *handle_ : nullptr; }
  const engine::ObjectHandle& handle() const { return handle_; }
  engine::Timeline* timeline() const;      // the root's or the sprite's; null for buttons
  engine::DisplayList* children() const;   // the list holding this clip's children
  engine::Timeline* parentTimeline() const;  // the timeline whose list holds this clip
  // From this clip's coordinates to the stage's (twips).
  engine::Affine worldMatrix() const;
  // Depth as scripts count it.
  int scriptDepth() const;

  // StageObject
  bool isMovieClip() const override { return wasSprite_; }
  std::string name() const override;
  StageObject* parent() override;
  StageObject* child(std::string_view name, bool caseSensitive) override;
  Value property(StageProperty p) override;
  void setProperty(StageProperty p, const Value& v) override;
  void gotoFrame(int frame) override;
  bool gotoLabel(std::string_view label) override;
  void setPlaying(bool playing) override;
  int currentFrame() const override;
  int framesLoaded() const override;
  int totalFrames() const override;
  void removeSelf() override;
  bool removed() const override { return !isRoot() && !alive(); }
  void duplicate(std::string_view newName, int depth) override;

 private:
  std::optional<double> number(const Value& v);
  void setMatrixParts(std::optional<double> xscale, std::optional<double> yscale, std::optional<double> rotation);

  PlayerScripts& owner_;
  engine::ObjectHandle handle_;
  bool wasSprite_ = true;
};

}  // namespace plavex::script
