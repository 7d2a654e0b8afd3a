// libFuzzer entry: the reader must survive any input; what it reads must be writable
// and read back to the same records.

#include <cstdint>
#include <cstdlib>
#include <span>

#include "engine/format/SwfReader.h"
#include "engine/format/SwfWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace plavex::swf;
  std::span<const std::uint8_t> bytes(data, size);
  (void)readSwfHeader(bytes);
  ReadOptions options;
  options.maxMovieBytes = 64u << 20;
  ReadResult r = readSwf(bytes, options);
  if (!r.headerRead) return 0;
  Movie m = r.movie;
  m.header.signature = "FWS";
  WriteResult w = writeSwf(m);
  if (!w.ok()) return 0;
  (void)readSwf(w.bytes, options);
  return 0;
}
