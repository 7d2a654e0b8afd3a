#pragma once
// The Sound class for scripts: a Sound object controls the sounds of one clip (or, made
// without a target, of the whole movie): the exported sound it attached, starting and
// stopping it, and the volume, pan and channel transform the mixer applies to the
// clip's sounds. Those settings belong to the clip, so every Sound object made for the
// same clip shares them, and they read as undefined once the clip has gone.

#include "engine/sound/Mixer.h"

namespace plavex::script {

class PlayerScripts;

// The pan a transform reports (the reference player derives it from the straight
// shares only).
int panOf(const sound::ChannelTransform& t);
// The transform setPan makes: the far side turned down by the pan's amount.
sound::ChannelTransform withPan(sound::ChannelTransform t, int pan);
// A volume or pan argument as a whole number: NaN and out-of-range values become the
// lowest integer, as in the reference player.
int saturatedInt(double n);

// Installs Sound into the machine of `scripts`.
void installSoundObject(PlayerScripts& scripts);

}  // namespace plavex::script
