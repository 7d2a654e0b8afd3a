#pragma once
// The post-filter that smooths the 8x8 block edges of a decoded H.263 picture, with the
// strength the picture's quantizer gives. It filters a copy for display: the decoder's
// reference pictures stay unfiltered.

#include <cstdint>

namespace plavex::engine::video {

// Filter strength (1..12) for a quantizer 1..31; 0 (no filtering) outside that range.
int deblockingStrength(int quantizer);

// Filters one plane in place: the horizontal block edges first, then the vertical ones.
void deblockPlane(std::uint8_t* data, int stride, int width, int height, int strength);

// The filter on one line of four samples across an edge (A, B | C, D).
void deblockSamples(std::uint8_t& a, std::uint8_t& b, std::uint8_t& c, std::uint8_t& d, int strength);

}  // namespace plavex::engine::video
