#pragma once
// What the machine needs from the player: the display objects scripts address
// (movie clips, buttons, text fields) and the player-wide services (trace output,
// getURL, fscommand, the clock). The player core implements these.

#include <string>
#include <string_view>

#include "engine/script/Value.h"

namespace plavex::script {

// The properties GetProperty/SetProperty address by number, in their order.
enum class StageProperty : int {
  X, Y, XScale, YScale, CurrentFrame, TotalFrames, Alpha, Visible, Width, Height, Rotation,
  Target, FramesLoaded, Name, DropTarget, Url, HighQuality, FocusRect, SoundBufTime, Quality,
  XMouse, YMouse, Count
};
// The property of a name such as "_x" (case-insensitive), or Count.
StageProperty stagePropertyByName(std::string_view name);

// A display object as scripts see it. The core keeps it alive while it is on the stage
// and tells the machine (Vm::forgetStageObject) before it goes.
class StageObject {
 public:
  virtual ~StageObject() = default;
  virtual bool isMovieClip() const { return true; }
  // The built-in prototype the machine gives its script object ("MovieClip", "Button", ...).
  virtual const char* prototypeName() const { return isMovieClip() ? "MovieClip" : "Button"; }
  virtual std::string name() const = 0;
  virtual StageObject* parent() = 0;
  virtual StageObject* child(std::string_view name, bool caseSensitive) = 0;
  virtual Value property(StageProperty p) = 0;
  virtual void setProperty(StageProperty p, const Value& v) = 0;
  // Frames are 0-based; the play state stays as it is. gotoLabel is false without such a label.
  virtual void gotoFrame(int frame) = 0;
  virtual bool gotoLabel(std::string_view label) = 0;
  virtual void setPlaying(bool playing) = 0;
  virtual int currentFrame() const = 0;
  virtual int framesLoaded() const = 0;
  virtual int totalFrames() const = 0;
  virtual void removeSelf() {}
  // Whether it has left the stage (its frame scripts stop where they are).
  virtual bool removed() const { return false; }
  // `depth` as scripts count it (0 is the lowest scripted depth).
  virtual void duplicate(std::string_view newName, int depth) {}
};

class MovieHost {
 public:
  virtual ~MovieHost() = default;
  virtual StageObject* root() = 0;
  virtual StageObject* level(int n) { return n == 0 ? root() : nullptr; }
  virtual void trace(const std::string& line) = 0;
  // http and https addresses go to the user's browser; others are the host's choice.
  virtual void openUrl(const std::string& url, const std::string& window) {}
  virtual void fscommand(const std::string& command, const std::string& args) {}
  virtual void toggleQuality() {}
  virtual void stopSounds() {}
};

}  // namespace plavex::script
