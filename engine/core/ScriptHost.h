#pragma once
// The seam for ActionScript: the timeline and the buttons hand their actions to a
// script host. Until scripts run, the default host ignores them.

#include "engine/format/Records.h"

namespace plavex::engine {

class Timeline;
struct DisplayObject;

class ScriptHost {
 public:
  virtual ~ScriptHost() = default;
  // The DoAction tags of a frame, after the frame's objects have been placed.
  virtual void runFrameActions(Timeline& timeline, const swf::DoAction& actions) {}
  // A frame's DoInitAction tags, before its DoAction tags (the host runs each sprite's once).
  virtual void runInitActions(Timeline& timeline, const swf::DoInitAction& actions) {}
  // A button's actions for a state transition (condition bits as stored in DefineButton2).
  virtual void runButtonActions(DisplayObject& button, const swf::Bytes& actions) {}
};

// Scripts are not run yet: every hook does nothing.
class NoScriptHost final : public ScriptHost {};

}  // namespace plavex::engine
