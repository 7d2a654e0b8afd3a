#pragma once
// Buttons (DefineButton 1 and 2): the state shown (up, over, down) and the children
// that state places.

#include "engine/core/DisplayList.h"
#include "engine/core/PlayContext.h"

namespace plavex::engine {

enum class ButtonState { Up, Over, Down };

struct ButtonInstance {
  ButtonState state = ButtonState::Up;
  DisplayList children;
  WeakObjectHandle owner;  // the button's own display object
};

// Rebuilds the children of a button for a state.
void showButtonState(ButtonInstance& button, const swf::DefineButton& definition, ButtonState state,
                     PlayContext& ctx);
// The records that make up a button's hit area.
std::vector<const swf::ButtonRecord*> hitRecords(const swf::DefineButton& definition);
// The actions a state transition runs (DefineButton: on release; DefineButton2: by condition bits).
std::vector<const swf::Bytes*> actionsForTransition(const swf::DefineButton& definition, ButtonState from,
                                                    ButtonState to);

}  // namespace plavex::engine
