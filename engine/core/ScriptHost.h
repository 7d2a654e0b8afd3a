#pragma once
// The seam for ActionScript: the timelines, the buttons and the player hand their
// actions and display-object events to a script host. The default host ignores them.

#include <cstdint>

#include "engine/format/Records.h"

namespace plavex::engine {

class Timeline;
struct DisplayObject;

// Mouse events the player reports to scripts (clip events and the listeners' handlers).
enum class MouseEventKind { Down, Up, Move };

// Button and clip pointer events, in the order the reference player names them.
enum class PointerEvent { RollOver, RollOut, Press, Release, ReleaseOutside, DragOver, DragOut };

class ScriptHost {
 public:
  virtual ~ScriptHost() = default;
  // The DoAction tags of a frame, after the frame's objects have been placed. A host may
  // queue them and run them in frameDone().
  virtual void runFrameActions(Timeline& timeline, const swf::DoAction& actions) {}
  // A frame's DoInitAction tags, before its DoAction tags (the host runs each sprite's once).
  virtual void runInitActions(Timeline& timeline, const swf::DoInitAction& actions) {}
  // A button's actions for a state transition (condition bits as stored in DefineButton2).
  virtual void runButtonActions(DisplayObject& button, const swf::Bytes& actions) {}
  // A display object was made (its sprite timeline exists but has not run its first frame).
  virtual void objectCreated(DisplayObject& object) {}
  // A display object leaves the stage (the host fires its unload events).
  virtual void objectRemoving(DisplayObject& object) {}
  // A sprite (or, with null, the root) begins a frame: its enterFrame (or first load) event.
  virtual void enterFrame(DisplayObject* sprite) {}
  // The mouse did something: clip events and listeners.
  virtual void mouseEvent(MouseEventKind kind) {}
  // A pointer event on a button or a clip with handlers.
  virtual void pointerEvent(DisplayObject& target, PointerEvent event) {}
  // Whether a sprite takes pointer events like a button (it has handlers for them).
  virtual bool actsAsButton(const DisplayObject& sprite) { return false; }
  // A tick or an input event is done: queued actions run now.
  virtual void frameDone() {}
};

// Scripts are not run: every hook does nothing.
class NoScriptHost final : public ScriptHost {};

}  // namespace plavex::engine
