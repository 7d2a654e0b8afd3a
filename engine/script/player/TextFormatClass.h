#pragma once
// The TextFormat class: a format as a script object, converted to and from the text
// model's character format. Its fields live in the object's element slots behind
// accessors on TextFormat.prototype, so the setters coerce values as the player does.

#include "engine/core/EditTextState.h"
#include "engine/script/Vm.h"

namespace plavex::script {

// Installs TextFormat into the machine's global object.
void installTextFormat(Vm& vm);
// A new TextFormat object holding `format` (unset fields read as null).
Value makeTextFormat(Vm& vm, const engine::CharFormat& format);
// The fields a TextFormat object sets (null ones unset); nothing when `v` is not one.
std::optional<engine::CharFormat> readTextFormat(Vm& vm, const Value& v);
// Text metrics of the engine's measuring model (pixels).
struct TextExtent {
  double width = 0, height = 0, ascent = 0, descent = 0;
};
TextExtent measureText(const engine::CharFormat& format, std::u16string_view text);

}  // namespace plavex::script
