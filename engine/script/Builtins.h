#pragma once
// Installers of the built-in classes (internal to the machine).

#include "engine/script/Vm.h"

namespace plavex::script {

void installArray(Vm& vm, Object* global);
void installString(Vm& vm, Object* global);
void installDate(Vm& vm, Object* global);
void installMovieClip(Vm& vm, Object* global);
void installXml(Vm& vm, Object* global);
void installBroadcaster(Vm& vm, Object* global);
void installGeom(Vm& vm, Object* global);
// Gives `target` the listener list and the AsBroadcaster methods (Key, Mouse, Stage …).
void initializeBroadcaster(Vm& vm, Object* target);

}  // namespace plavex::script
