#pragma once
// The picture header of a Sorenson H.263 frame: what the player needs beside the decoder
// (the frame type for seeking, the deblocking flag and the quantizer for the post-filter).

#include <cstdint>
#include <optional>
#include <span>

namespace plavex::engine::video {

struct SorensonHeader {
  enum class Type { Intra, Inter, DisposableInter };
  int width = 0, height = 0;
  Type type = Type::Intra;
  bool deblocking = false;
  int quantizer = 0;
};

// nullopt when the data does not start with a valid picture header.
std::optional<SorensonHeader> parseSorensonHeader(std::span<const std::uint8_t> data);

}  // namespace plavex::engine::video
