#pragma once
// The user's keyboard, mouse and focus as scripts see them: the Key, Mouse, Selection,
// Stage and System objects, key state for isDown/isToggled, the focused object (Tab
// moves it), and typing into the focused input text field.

#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "engine/core/DisplayList.h"
#include "engine/script/Vm.h"

namespace plavex::script {

class PlayerScripts;
class TextFieldObject;

class ScriptInput {
 public:
  // Installs the objects into the scripts' machine; the native functions share the result.
  static std::shared_ptr<ScriptInput> install(PlayerScripts& scripts);
  explicit ScriptInput(PlayerScripts& scripts) : scripts_(scripts) {}

  // Key codes are the player's (65 for A, 13 Enter, 37-40 arrows); `ascii` the character or 0.
  void keyDown(int code, int ascii);
  void keyUp(int code, int ascii);
  // A character typed (after the key went down); goes to the focused input field.
  void textInput(char32_t codepoint);
  // An editing command: "Backspace", "Delete", "Enter", "SelectAll", ...
  void textControl(std::string_view command);
  // Mouse buttons as key codes 1 (left), 2 (right), 4 (middle).
  void mouseButton(int code, bool down, double x, double y);
  void mouseWheel(int delta);

  // The focused stage object; null when nothing has focus.
  StageObject* focus();
  // Moves the focus, with onKillFocus/onSetFocus and the Selection listeners.
  void setFocus(StageObject* target);

 private:
  void install();
  void broadcast(const char* object, const char* message, std::span<const Value> args);
  void tab(bool backwards);
  TextFieldObject* focusedField();
  void fieldEdited(TextFieldObject& field);

  PlayerScripts& scripts_;
  std::array<bool, 256> down_{};
  std::array<bool, 256> toggled_{};
  int lastCode_ = 0, lastAscii_ = 0;
  engine::WeakObjectHandle focus_;
  bool mouseVisible_ = true;
  std::string scaleMode_ = "showAll", align_ = "", displayState_ = "normal";
  bool showMenu_ = true;
  friend struct ScriptInputInstaller;
};

// Calls `message` on every listener of a broadcaster object.
void broadcastTo(Vm& vm, const Value& broadcaster, std::string_view message, std::span<const Value> args);

}  // namespace plavex::script
