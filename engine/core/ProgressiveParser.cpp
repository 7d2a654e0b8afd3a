#include "engine/core/ProgressiveParser.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "engine/format/SwfReader.h"

namespace plavex::engine {

namespace {
constexpr std::size_t kMaxMovieBytes = std::size_t{256} << 20;

std::uint32_t le32(const std::uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24); }
}  // namespace

bool looksLikeSwf(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 3) return false;
  return (bytes[0] == 'F' || bytes[0] == 'C' || bytes[0] == 'Z') && bytes[1] == 'W' && bytes[2] == 'S';
}

struct ProgressiveParser::Inflater {
  z_stream stream{};
  bool ended = false;
  Inflater() { inflateInit(&stream); }
  ~Inflater() { inflateEnd(&stream); }
};

ProgressiveParser::ProgressiveParser() = default;
ProgressiveParser::~ProgressiveParser() = default;

void ProgressiveParser::fail(std::string message) {
  if (error_.empty()) error_ = std::move(message);
}

int ProgressiveParser::percent() const {
  if (failed() || !header_) return 0;
  if (finished_ || endReached_) return 100;
  if (bodyTotal_ == 0) return 1;
  auto done = bodyConsumed_ + body_.size();
  int p = static_cast<int>(done * 100 / bodyTotal_);
  return std::clamp(p, 1, 99);
}

void ProgressiveParser::feed(std::span<const std::uint8_t> bytes) {
  if (failed() || finished_ || bytes.empty()) return;
  std::size_t i = 0;
  while (head_.size() < 8 && i < bytes.size()) head_.push_back(bytes[i++]);
  if (head_.size() >= 3 && !looksLikeSwf(head_)) {
    fail("not a SWF movie");
    return;
  }
  if (head_.size() < 8) return;
  if (bodyTotal_ == 0) {
    std::uint32_t length = le32(head_.data() + 4);
    bodyTotal_ = length > 8 ? std::min<std::size_t>(length - 8, kMaxMovieBytes) : 1;
  }
  const std::uint8_t* rest = bytes.data() + i;
  std::size_t restSize = bytes.size() - i;
  if (restSize == 0) return;
  switch (head_[0]) {
    case 'F': appendBody(rest, restSize); break;
    case 'C': {
      if (!inflater_) inflater_ = std::make_unique<Inflater>();
      if (inflater_->ended) break;
      auto& s = inflater_->stream;
      s.next_in = const_cast<Bytef*>(rest);
      s.avail_in = static_cast<uInt>(restSize);
      std::uint8_t out[1 << 16];
      while (s.avail_in > 0) {
        s.next_out = out;
        s.avail_out = sizeof out;
        int rc = inflate(&s, Z_NO_FLUSH);
        appendBody(out, sizeof out - s.avail_out);
        if (rc == Z_STREAM_END) {
          inflater_->ended = true;
          break;
        }
        if (rc != Z_OK) {
          // Damaged compressed data: play what came out so far.
          inflater_->ended = true;
          break;
        }
        if (failed()) return;
      }
      break;
    }
    default: raw_.insert(raw_.end(), rest, rest + restSize); break;
  }
  parseAvailable();
}

void ProgressiveParser::appendBody(const std::uint8_t* data, std::size_t size) {
  if (bodyConsumed_ + body_.size() + size > kMaxMovieBytes) {
    fail("movie too large");
    return;
  }
  // Bytes past the length the header states are not part of the movie, as in the
  // reference player (a header that states no length keeps everything).
  if (bodyTotal_ > 1) {
    const std::size_t have = bodyConsumed_ + body_.size();
    size = have >= bodyTotal_ ? 0 : std::min(size, bodyTotal_ - have);
  }
  body_.insert(body_.end(), data, data + size);
  received_ += size;
}

void ProgressiveParser::parseAvailable() {
  if (failed() || endReached_) return;
  if (!header_) {
    if (body_.size() < 1) return;
    int nbits = body_[0] >> 3;
    std::size_t rectBytes = (5 + 4 * static_cast<std::size_t>(nbits) + 7) / 8;
    std::size_t need = rectBytes + 4;
    if (body_.size() < need) return;
    std::vector<std::uint8_t> probe(head_);
    probe[0] = 'F';
    probe.insert(probe.end(), body_.begin(), body_.begin() + static_cast<std::ptrdiff_t>(need));
    auto h = swf::readSwfHeader(std::span<const std::uint8_t>(probe));
    if (!h.header) {
      fail(h.error.empty() ? "damaged movie header" : h.error);
      return;
    }
    header_ = *h.header;
    header_->signature = std::string(1, char(head_[0])) + "WS";
    headerBody_.assign(body_.begin(), body_.begin() + static_cast<std::ptrdiff_t>(need));
    body_.erase(body_.begin(), body_.begin() + static_cast<std::ptrdiff_t>(need));
    bodyConsumed_ = need;
  }
  // Complete tags at the front of what has arrived.
  std::size_t pos = 0;
  bool sawEnd = false;
  while (true) {
    if (body_.size() - pos < 2) break;
    std::uint16_t codeAndLength = static_cast<std::uint16_t>(body_[pos] | (body_[pos + 1] << 8));
    std::uint16_t code = codeAndLength >> 6;
    std::size_t length = codeAndLength & 0x3F;
    std::size_t headerSize = 2;
    if (length == 0x3F) {
      if (body_.size() - pos < 6) break;
      length = le32(&body_[pos + 2]);
      headerSize = 6;
    }
    if (code == 0) {
      sawEnd = true;
      break;
    }
    if (length > body_.size() - pos - headerSize) break;
    pos += headerSize + length;
  }
  if (pos == 0 && !sawEnd) return;
  // The complete tags, read as a movie of their own.
  std::vector<std::uint8_t> chunk;
  chunk.reserve(8 + headerBody_.size() + pos + 2);
  chunk.insert(chunk.end(), {'F', 'W', 'S', head_[3], 0, 0, 0, 0});
  chunk.insert(chunk.end(), headerBody_.begin(), headerBody_.end());
  chunk.insert(chunk.end(), body_.begin(), body_.begin() + static_cast<std::ptrdiff_t>(pos));
  chunk.push_back(0);
  chunk.push_back(0);
  std::uint32_t len = static_cast<std::uint32_t>(chunk.size());
  std::memcpy(&chunk[4], &len, 4);
  auto result = swf::readSwf(std::span<const std::uint8_t>(chunk));
  for (auto& tag : result.movie.tags) tags_.push_back(std::move(tag));
  body_.erase(body_.begin(), body_.begin() + static_cast<std::ptrdiff_t>(pos));
  bodyConsumed_ += pos;
  if (sawEnd) {
    endReached_ = true;
    body_.clear();
  }
}

void ProgressiveParser::finish() {
  if (finished_) return;
  if (!failed() && head_.size() >= 3 && looksLikeSwf(head_) && head_[0] == 'Z' && head_.size() == 8) {
    std::vector<std::uint8_t> whole(head_);
    whole.insert(whole.end(), raw_.begin(), raw_.end());
    auto body = swf::decompressBody(std::span<const std::uint8_t>(whole));
    raw_.clear();
    appendBody(body.body.data(), body.body.size());
  }
  parseAvailable();
  if (!failed() && !header_) fail(head_.size() < 3 ? "no data" : "movie header is truncated");
  finished_ = true;
}

std::vector<swf::Tag> ProgressiveParser::takeTags() {
  std::vector<swf::Tag> out;
  out.swap(tags_);
  return out;
}

}  // namespace plavex::engine
