#pragma once
// Reading SWF movies: the header alone (cheap, for movie information) or the whole
// movie into typed records. Broken input never throws: the result says where reading
// stopped and why, alongside everything read up to that point.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/format/Records.h"

namespace plavex::swf {

struct ReadOptions {
  // Hard limit for the uncompressed movie; the length the header states is only a hint.
  std::size_t maxMovieBytes = std::size_t{256} << 20;
  // DefineSprite inside DefineSprite is not valid SWF; a few levels are tolerated.
  int maxSpriteDepth = 4;
};

// Where a problem was found: offset in the uncompressed movie (file offset for "FWS",
// counting the 8-byte file header), and what was wrong.
struct ReadProblem {
  std::size_t offset = 0;
  std::string message;
};

struct ReadResult {
  bool headerRead = false;  // false: not a SWF file at all (see stop)
  Movie movie;
  std::optional<ReadProblem> stop;    // set when reading ended before the End tag
  std::vector<ReadProblem> warnings;  // tags kept raw because their contents were broken
  bool complete() const { return headerRead && !stop; }
};

struct HeaderResult {
  std::optional<SwfHeader> header;
  std::string error;  // set when header is empty
};

// Reads only what the header needs (for compressed movies only the first bytes are inflated).
HeaderResult readSwfHeader(std::span<const std::uint8_t> fileBytes);
HeaderResult readSwfHeader(const std::filesystem::path& path);

ReadResult readSwf(std::span<const std::uint8_t> fileBytes, const ReadOptions& options = {});
ReadResult readSwfFile(const std::filesystem::path& path, const ReadOptions& options = {});

// The uncompressed movie after the 8-byte file header (the part "CWS"/"ZWS" compress).
struct BodyResult {
  std::vector<std::uint8_t> body;
  std::string error;  // damaged or over-long compressed data; body holds what was recovered
};
BodyResult decompressBody(std::span<const std::uint8_t> fileBytes, const ReadOptions& options = {});

// Reads a whole file into memory; std::nullopt with an error text when it cannot be read.
std::optional<std::vector<std::uint8_t>> readFileBytes(const std::filesystem::path& path, std::string& error);

}  // namespace plavex::swf
