#pragma once
// Incremental reading of a movie whose bytes arrive in pieces: the header as soon as
// it is there, then every tag once its last byte has arrived. "CWS" bodies are inflated
// as they come; "ZWS" bodies are read once complete.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/format/Records.h"

namespace plavex::engine {

class ProgressiveParser {
 public:
  ProgressiveParser();
  ~ProgressiveParser();
  ProgressiveParser(const ProgressiveParser&) = delete;
  ProgressiveParser& operator=(const ProgressiveParser&) = delete;

  // Appends received bytes.
  void feed(std::span<const std::uint8_t> bytes);
  // The data is complete (or the transfer ended).
  void finish();

  bool failed() const { return !error_.empty(); }
  const std::string& error() const { return error_; }
  const std::optional<swf::SwfHeader>& header() const { return header_; }
  // Tags read since the last call.
  std::vector<swf::Tag> takeTags();
  bool endReached() const { return endReached_; }
  // Uncompressed bytes received against the length the header states, 0..100.
  int percent() const;
  std::size_t receivedBytes() const { return received_; }

 private:
  void appendBody(const std::uint8_t* data, std::size_t size);
  void parseAvailable();
  void fail(std::string message);

  struct Inflater;
  std::unique_ptr<Inflater> inflater_;
  std::vector<std::uint8_t> head_;        // the 8-byte file header
  std::vector<std::uint8_t> raw_;         // "ZWS": compressed bytes until complete
  std::vector<std::uint8_t> body_;        // uncompressed bytes after the 8-byte header, not yet parsed
  std::vector<std::uint8_t> headerBody_;  // rectangle, rate, count
  std::size_t bodyConsumed_ = 0;          // uncompressed body bytes parsed so far
  std::size_t received_ = 0;
  std::size_t bodyTotal_ = 0;
  std::optional<swf::SwfHeader> header_;
  std::vector<swf::Tag> tags_;
  std::string error_;
  bool finished_ = false;
  bool endReached_ = false;
};

// True when the bytes start like a SWF file ("FWS", "CWS" or "ZWS").
bool looksLikeSwf(std::span<const std::uint8_t> bytes);

}  // namespace plavex::engine
