#pragma once
// An edit-text instance as scripts see it (TextField): its live text model sits on the
// display object, so the renderer draws what scripts set. Geometry (_x, _alpha, ...)
// is a clip's; the text properties are accessors on TextField.prototype.

#include <optional>
#include <string>

#include "engine/core/EditTextState.h"
#include "engine/script/player/ClipObject.h"

namespace plavex::script {

class PlayerScripts;

class TextFieldObject final : public StageObject {
 public:
  TextFieldObject(PlayerScripts& owner, engine::ObjectHandle handle);

  bool alive() const { return object() != nullptr; }
  engine::DisplayObject* object() const { return handle_ ? *handle_ : nullptr; }
  // The live text model (made from the definition on first use); null once the field has gone.
  engine::EditTextState* state();
  PlayerScripts& owner() { return owner_; }
  // Whether the text changed since the bound variable was last synchronised.
  std::optional<std::string> boundText;  // the text last written to or read from the variable

  // StageObject
  bool isMovieClip() const override { return false; }
  const char* prototypeName() const override { return "TextField"; }
  std::string name() const override { return geometry_.name(); }
  StageObject* parent() override { return geometry_.parent(); }
  StageObject* child(std::string_view, bool) override { return nullptr; }
  Value property(StageProperty p) override;
  void setProperty(StageProperty p, const Value& v) override;
  void gotoFrame(int) override {}
  bool gotoLabel(std::string_view) override { return false; }
  void setPlaying(bool) override {}
  int currentFrame() const override { return 0; }
  int framesLoaded() const override { return 0; }
  int totalFrames() const override { return 0; }
  void removeSelf() override;
  void duplicate(std::string_view, int) override {}

 private:
  PlayerScripts& owner_;
  engine::ObjectHandle handle_;
  ClipObject geometry_;  // the placement's properties, as for any display object
};

// Registers text fields with the scripts: the TextField and TextFormat classes,
// MovieClip.createTextField, and the variable binding refreshed after every frame.
void installTextFields(PlayerScripts& scripts);
// After the user edited a field: its bound variable takes the new text.
void textFieldEdited(TextFieldObject& field);
// Brings every bound field and its variable up to date (the player does this each frame).
void syncBoundTextFields(PlayerScripts& scripts);

}  // namespace plavex::script
