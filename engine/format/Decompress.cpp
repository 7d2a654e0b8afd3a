#include "engine/format/Decompress.h"

#include <lzma.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace plavex::swf::detail {

namespace {

// A growable output buffer that is not zero-filled (every byte is written by the decoder).
class OutputBuffer {
 public:
  OutputBuffer(std::size_t initial, std::size_t limit) : limit_(limit) {
    capacity_ = std::max<std::size_t>(1, std::min(initial, limit));
    buffer_ = std::make_unique_for_overwrite<std::uint8_t[]>(capacity_);
  }
  std::uint8_t* free() { return buffer_.get() + size_; }
  std::size_t freeBytes() const { return capacity_ - size_; }
  void produced(std::size_t n) { size_ += n; }
  std::size_t size() const { return size_; }
  bool atLimit() const { return size_ >= limit_; }
  // Makes room for more output; false when the limit is reached.
  bool grow() {
    if (size_ < capacity_) return true;
    if (capacity_ >= limit_) return false;
    std::size_t next = std::min(limit_, capacity_ * 2);
    auto bigger = std::make_unique_for_overwrite<std::uint8_t[]>(next);
    std::memcpy(bigger.get(), buffer_.get(), size_);
    buffer_ = std::move(bigger);
    capacity_ = next;
    return true;
  }
  Decompressed finish(std::string error) {
    Decompressed d;
    d.buffer = std::move(buffer_);
    d.size = std::min(size_, limit_);
    d.error = std::move(error);
    return d;
  }

 private:
  std::unique_ptr<std::uint8_t[]> buffer_;
  std::size_t size_ = 0, capacity_ = 0, limit_;
};

std::size_t initialSize(std::size_t hint, std::size_t compressed, std::size_t limit) {
  // Trust the stated length only as far as the compressed data could plausibly expand.
  std::size_t plausible = compressed > (SIZE_MAX / 32) ? SIZE_MAX : compressed * 16 + (64u << 10);
  return std::min({hint == 0 ? plausible : hint, plausible, limit});
}

std::string limitMessage(std::size_t limit) {
  return "uncompressed movie exceeds the limit of " + std::to_string(limit >> 20) + " MiB";
}

}  // namespace

Decompressed inflateZlib(std::span<const std::uint8_t> in, std::size_t sizeHint, std::size_t limit, bool prefixOnly) {
  OutputBuffer out(prefixOnly ? limit : initialSize(sizeHint, in.size(), limit), limit);
  z_stream zs{};
  if (inflateInit(&zs) != Z_OK) return out.finish("zlib could not be initialised");
  const std::uint8_t* next = in.data();
  std::size_t left = in.size();
  std::string error;
  for (;;) {
    if (prefixOnly && out.atLimit()) break;
    if (!out.grow()) {
      error = limitMessage(limit);
      break;
    }
    if (zs.avail_in == 0 && left > 0) {
      std::size_t chunk = std::min<std::size_t>(left, 1u << 30);
      zs.next_in = const_cast<Bytef*>(next);
      zs.avail_in = static_cast<uInt>(chunk);
      next += chunk;
      left -= chunk;
    }
    std::size_t room = std::min<std::size_t>(out.freeBytes(), 1u << 30);
    zs.next_out = out.free();
    zs.avail_out = static_cast<uInt>(room);
    int rc = inflate(&zs, Z_NO_FLUSH);
    std::size_t produced = room - zs.avail_out;
    out.produced(produced);
    if (rc == Z_STREAM_END) break;
    if (rc == Z_OK || rc == Z_BUF_ERROR) {
      if (zs.avail_in == 0 && left == 0 && zs.avail_out > 0) {
        error = "compressed data ends early (file truncated)";
        break;
      }
      continue;
    }
    error = "compressed data is damaged";
    break;
  }
  inflateEnd(&zs);
  return out.finish(std::move(error));
}

Decompressed decodeSwfLzma(std::span<const std::uint8_t> in, std::size_t sizeHint, std::size_t limit, bool prefixOnly) {
  if (in.size() < 9) return OutputBuffer(1, 1).finish("LZMA header is truncated");
  const std::uint8_t* props = in.data() + 4;
  auto stream = in.subspan(9);
  OutputBuffer out(prefixOnly ? limit : initialSize(sizeHint, stream.size(), limit), limit);

  lzma_filter filters[2] = {{LZMA_FILTER_LZMA1, nullptr}, {LZMA_VLI_UNKNOWN, nullptr}};
  if (lzma_properties_decode(&filters[0], nullptr, props, 5) != LZMA_OK) return out.finish("LZMA properties are invalid");
  auto* options = static_cast<lzma_options_lzma*>(filters[0].options);
  // The dictionary never needs to exceed what may come out; the file's claim is not trusted.
  std::size_t outBound = std::min(limit, std::max({sizeHint, stream.size() * 16, std::size_t{1} << 20}));
  options->dict_size = static_cast<std::uint32_t>(
      std::clamp<std::size_t>(options->dict_size, LZMA_DICT_SIZE_MIN, std::min<std::size_t>(outBound, UINT32_MAX)));
  lzma_stream ls = LZMA_STREAM_INIT;
  lzma_ret init = lzma_raw_decoder(&ls, filters);
  std::free(filters[0].options);
  if (init != LZMA_OK) return out.finish("LZMA decoder could not be initialised");

  ls.next_in = stream.data();
  ls.avail_in = stream.size();
  std::string error;
  for (;;) {
    if (prefixOnly && out.atLimit()) break;
    if (!out.grow()) {
      error = limitMessage(limit);
      break;
    }
    std::size_t room = out.freeBytes();
    ls.next_out = out.free();
    ls.avail_out = room;
    std::size_t inBefore = ls.avail_in;
    lzma_ret rc = lzma_code(&ls, LZMA_RUN);
    std::size_t produced = room - ls.avail_out;
    out.produced(produced);
    if (rc == LZMA_STREAM_END) break;
    if (rc == LZMA_OK || rc == LZMA_BUF_ERROR) {
      if (produced == 0 && ls.avail_in == inBefore) {
        // The stream has no end marker: what came out is all there is.
        if (out.size() < sizeHint && !prefixOnly) error = "compressed data ends early (file truncated)";
        break;
      }
      continue;
    }
    error = "compressed data is damaged";
    break;
  }
  lzma_end(&ls);
  return out.finish(std::move(error));
}

}  // namespace plavex::swf::detail
