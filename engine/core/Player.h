#pragma once
// The player core of one movie: the root timeline, the transport commands with the
// reference player's semantics, the loop setting, and mouse input for buttons.

#include <functional>
#include <memory>
#include <vector>

#include "engine/core/Button.h"
#include "engine/core/Geometry.h"
#include "engine/core/Movie.h"
#include "engine/core/ScriptHost.h"
#include "engine/core/SoundSink.h"
#include "engine/core/Timeline.h"

namespace plavex::engine {

// Whether a point (twips, in the character's own coordinates) lies on a character's shape.
using HitTester = std::function<bool(const Character& character, double x, double y, std::uint16_t ratio)>;

class Player {
 public:
  // `sounds` (not owned, may be null) must outlive the player; it hears the first frame too.
  explicit Player(std::shared_ptr<const MovieData> movie, std::shared_ptr<ScriptHost> scripts = nullptr,
                  SoundSink* sounds = nullptr);

  const MovieData& movie() const { return *movie_; }
  const Timeline& root() const { return root_; }
  Timeline& root() { return root_; }
  PlayContext& context() { return ctx_; }
  const DisplayList& displayList() const { return root_.displayList(); }

  // To be called when the movie got new frames: shows the first one when it arrives.
  void framesArrived();
  // One frame period.
  void tick();
  // The stage's sprites in the order a tick runs them: the newest instance first, the root last.
  std::vector<WeakObjectHandle> executionOrder();

  // Transport: frame numbers are 0-based.
  void play() { root_.setPlaying(true); }
  void stop() { root_.setPlaying(false); }
  void gotoFrame(int frame);
  bool playing() const { return root_.playing(); }
  int currentFrame() const { return std::max(root_.currentFrame(), 0); }
  void setLoop(bool loop) { loop_ = loop; }
  bool loop() const { return loop_; }
  // Whether a tick could change anything; when not, the clock may stop.
  bool needsTicks() const;

  // Mouse input at stage coordinates in twips. They return whether the display changed.
  void setHitTester(HitTester tester) { hitTester_ = std::move(tester); }
  bool mouseMove(double x, double y);
  bool mouseDown(double x, double y);
  bool mouseUp(double x, double y);
  bool overButton() const { return hovered_ != 0; }
  // The last mouse position on the stage, in twips.
  double mouseX() const { return mouseX_; }
  double mouseY() const { return mouseY_; }
  bool mouseIsDown() const { return mouseIsDown_; }
  // Whether the stage point (twips) lies on what the object draws; `world` maps its coordinates to the stage.
  bool objectHit(DisplayObject& object, const Affine& world, double x, double y);

  // Bumped on every visible change (placements, frames, button states).
  std::uint64_t revision() const { return ctx_.revision; }

 private:
  DisplayObject* findButton(DisplayList& list, const Affine& parent, double x, double y, int depth);
  bool hitsContent(DisplayList& list, const Affine& parent, double x, double y, int depth);
  bool buttonHit(DisplayObject& button, const Affine& world, double x, double y);
  void setButtonState(DisplayObject& button, ButtonState state);
  void runButtonConditions(DisplayObject& button, std::uint16_t bits);
  bool updateButtons(double x, double y);

  std::shared_ptr<const MovieData> movie_;
  std::shared_ptr<ScriptHost> scripts_;
  PlayContext ctx_;
  Timeline root_;
  bool loop_ = true;
  HitTester hitTester_;
  std::uint64_t hovered_ = 0;  // serial of the button under the mouse
  std::uint64_t pressed_ = 0;  // serial of the button the mouse went down on
  bool mouseIsDown_ = false;
  bool haveMouse_ = false;
  double mouseX_ = 0, mouseY_ = 0;
};

}  // namespace plavex::engine
