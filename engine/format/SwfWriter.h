#pragma once
// Writing SWF movies from records. The header's signature picks the compression
// ("FWS" none, "CWS" zlib, "ZWS" LZMA); the file length, bit widths, offsets and tag
// lengths are computed here.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/format/Records.h"

namespace plavex::swf {

struct WriteResult {
  std::vector<std::uint8_t> bytes;
  std::string error;  // a value that the format cannot hold (e.g. an edge delta wider than 17 bits)
  bool ok() const { return error.empty(); }
};

WriteResult writeSwf(const Movie& movie);

}  // namespace plavex::swf
