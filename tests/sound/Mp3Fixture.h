#pragma once
// MP3 data made at run time through libavcodec's encoder, for the sound tests and the
// mixing benchmark (no recorded files needed).

#include <cstdint>
#include <optional>
#include <vector>

#include "engine/format/Records.h"

namespace plavex::sound {

// MP3 frames of a sine tone at half scale, mono; nothing when this libavcodec has no MP3 encoder.
std::optional<std::vector<std::uint8_t>> encodeMp3Tone(double hertz, int rate, int seconds);
// Splits MPEG-1 Layer III data (44.1 kHz) into its frames.
std::vector<std::vector<std::uint8_t>> mp3Frames(const std::vector<std::uint8_t>& data);
// A movie of `movieFrames` frames whose stream sound carries those 44.1 kHz MP3 frames,
// each movie frame the ones that start within its period, as authoring tools write them.
swf::Movie mp3StreamMovie(const std::vector<std::vector<std::uint8_t>>& frames, double fps, int movieFrames);

}  // namespace plavex::sound
