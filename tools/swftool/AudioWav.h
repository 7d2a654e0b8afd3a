#pragma once
// WAV files of the mixer's format (44.1 kHz, 16-bit, stereo, little-endian PCM).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace plavex::swftool {

bool writeWav(const std::string& path, const std::vector<std::int16_t>& interleavedStereo);
// Reads back what writeWav wrote (the samples of the data chunk); nullopt for other files.
std::optional<std::vector<std::int16_t>> readWav(const std::string& path);

}  // namespace plavex::swftool
