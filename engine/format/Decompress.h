#pragma once
// Bounded decompression of SWF bodies. The length a file states is only a hint for the
// first allocation (itself capped by what the compressed data can plausibly hold); the
// buffer grows by what really comes out, up to a hard limit.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace plavex::swf::detail {

struct Decompressed {
  std::unique_ptr<std::uint8_t[]> buffer;
  std::size_t size = 0;
  std::string error;
  const std::uint8_t* data() const { return buffer.get(); }
};

// prefixOnly: stop without error once `limit` bytes are out (header reading).
Decompressed inflateZlib(std::span<const std::uint8_t> in, std::size_t sizeHint, std::size_t limit, bool prefixOnly);
// The "ZWS" payload: 4-byte compressed length, 5-byte LZMA properties, raw LZMA1 data.
Decompressed decodeSwfLzma(std::span<const std::uint8_t> in, std::size_t sizeHint, std::size_t limit, bool prefixOnly);

}  // namespace plavex::swf::detail
