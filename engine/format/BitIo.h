#pragma once
// Bounds-checked bit and byte reading and writing in SWF order (little-endian bytes,
// bit fields most significant bit first). Internal to the format layer.

#include <bit>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/format/Records.h"

namespace plavex::swf::detail {

struct ParseError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct EncodeError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class BitReader {
 public:
  BitReader(const std::uint8_t* begin, const std::uint8_t* end) : begin_(begin), p_(begin), end_(end) {}

  std::size_t pos() const { return static_cast<std::size_t>(p_ - begin_); }
  std::size_t remaining() const { return static_cast<std::size_t>(end_ - p_); }
  const std::uint8_t* cursor() const { return p_; }
  const std::uint8_t* end() const { return end_; }
  void align() { bits_ = 0; }
  void seek(std::size_t pos) {
    if (pos > static_cast<std::size_t>(end_ - begin_)) throw ParseError("offset beyond the end of the tag");
    p_ = begin_ + pos;
    bits_ = 0;
  }

  std::uint32_t ub(int n) {
    if (n == 0) return 0;
    while (bits_ < n) {
      if (p_ == end_) throw ParseError("bit field runs past the end of the tag");
      buf_ = (buf_ << 8) | *p_++;
      bits_ += 8;
    }
    bits_ -= n;
    return static_cast<std::uint32_t>((buf_ >> bits_) & ((std::uint64_t{1} << n) - 1));
  }
  std::int32_t sb(int n) {
    if (n == 0) return 0;
    std::uint32_t v = ub(n);
    if (n < 32 && (v >> (n - 1)) & 1u) v |= ~((std::uint32_t{1} << n) - 1);
    return static_cast<std::int32_t>(v);
  }
  bool flag() { return ub(1) != 0; }

  void need(std::size_t n) const {
    if (static_cast<std::size_t>(end_ - p_) < n) throw ParseError("value runs past the end of the tag");
  }
  std::uint8_t u8() {
    align();
    need(1);
    return *p_++;
  }
  std::uint16_t u16() {
    align();
    need(2);
    std::uint16_t v = static_cast<std::uint16_t>(p_[0] | (p_[1] << 8));
    p_ += 2;
    return v;
  }
  std::int16_t s16() { return static_cast<std::int16_t>(u16()); }
  std::uint32_t u32() {
    align();
    need(4);
    std::uint32_t v = std::uint32_t{p_[0]} | (std::uint32_t{p_[1]} << 8) | (std::uint32_t{p_[2]} << 16) |
                      (std::uint32_t{p_[3]} << 24);
    p_ += 4;
    return v;
  }
  std::int32_t s32() { return static_cast<std::int32_t>(u32()); }
  float f32() { return std::bit_cast<float>(u32()); }
  std::uint32_t encodedU32() {
    std::uint32_t v = 0;
    for (int i = 0; i < 5; ++i) {
      std::uint8_t b = u8();
      v |= std::uint32_t{b & 0x7Fu} << (7 * i);
      if (!(b & 0x80)) break;
    }
    return v;
  }
  std::string str() {
    align();
    const void* nul = std::memchr(p_, 0, static_cast<std::size_t>(end_ - p_));
    if (!nul) throw ParseError("string without its terminating NUL");
    const auto* z = static_cast<const std::uint8_t*>(nul);
    std::string s(reinterpret_cast<const char*>(p_), static_cast<std::size_t>(z - p_));
    p_ = z + 1;
    return s;
  }
  std::string chars(std::size_t n) {
    align();
    need(n);
    std::string s(reinterpret_cast<const char*>(p_), n);
    p_ += n;
    return s;
  }
  Bytes bytes(std::size_t n) {
    align();
    need(n);
    Bytes b(p_, p_ + n);
    p_ += n;
    return b;
  }
  Bytes rest() { return bytes(remaining()); }

  Rgba rgb() {
    Rgba c;
    align();
    need(3);
    c.r = p_[0];
    c.g = p_[1];
    c.b = p_[2];
    p_ += 3;
    return c;
  }
  Rgba rgba() {
    Rgba c = rgb();
    c.a = u8();
    return c;
  }

 private:
  const std::uint8_t* begin_;
  const std::uint8_t* p_;
  const std::uint8_t* end_;
  std::uint64_t buf_ = 0;
  int bits_ = 0;
};

class BitWriter {
 public:
  explicit BitWriter(Bytes& out) : out_(out) {}

  std::size_t size() {
    return out_.size();
  }
  void align() {
    if (bits_ > 0) {
      out_.push_back(static_cast<std::uint8_t>(acc_ << (8 - bits_)));
      acc_ = 0;
      bits_ = 0;
    }
  }
  void ub(std::uint32_t v, int n) {
    for (int i = n - 1; i >= 0; --i) {
      acc_ = (acc_ << 1) | ((v >> i) & 1u);
      if (++bits_ == 8) {
        out_.push_back(static_cast<std::uint8_t>(acc_));
        acc_ = 0;
        bits_ = 0;
      }
    }
  }
  void sb(std::int32_t v, int n) { ub(static_cast<std::uint32_t>(v), n); }
  void flag(bool b) { ub(b ? 1 : 0, 1); }
  void u8(std::uint8_t v) {
    align();
    out_.push_back(v);
  }
  void u16(std::uint16_t v) {
    align();
    out_.push_back(static_cast<std::uint8_t>(v));
    out_.push_back(static_cast<std::uint8_t>(v >> 8));
  }
  void s16(std::int16_t v) { u16(static_cast<std::uint16_t>(v)); }
  void u32(std::uint32_t v) {
    align();
    for (int i = 0; i < 4; ++i) out_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  void s32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
  void f32(float v) { u32(std::bit_cast<std::uint32_t>(v)); }
  void encodedU32(std::uint32_t v) {
    align();
    do {
      std::uint8_t b = v & 0x7F;
      v >>= 7;
      if (v) b |= 0x80;
      out_.push_back(b);
    } while (v);
  }
  void str(const std::string& s) {
    if (s.find('\0') != std::string::npos) throw EncodeError("string contains a NUL character");
    chars(s);
    out_.push_back(0);
  }
  void chars(const std::string& s) {
    align();
    out_.insert(out_.end(), s.begin(), s.end());
  }
  void bytes(const Bytes& b) {
    align();
    out_.insert(out_.end(), b.begin(), b.end());
  }
  void rgb(const Rgba& c) {
    u8(c.r);
    u8(c.g);
    u8(c.b);
  }
  void rgba(const Rgba& c) {
    rgb(c);
    u8(c.a);
  }
  // Overwrites a 16/32-bit little-endian value written earlier.
  void patch16(std::size_t at, std::uint16_t v) {
    out_[at] = static_cast<std::uint8_t>(v);
    out_[at + 1] = static_cast<std::uint8_t>(v >> 8);
  }
  void patch32(std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out_[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  }
  Bytes& out() { return out_; }

 private:
  Bytes& out_;
  std::uint32_t acc_ = 0;
  int bits_ = 0;
};

// Bits a signed value needs in two's complement (0 for 0).
inline int signedBits(std::int64_t v) {
  if (v == 0) return 0;
  std::uint64_t m = v < 0 ? static_cast<std::uint64_t>(~v) : static_cast<std::uint64_t>(v);
  return static_cast<int>(std::bit_width(m)) + 1;
}
inline int unsignedBits(std::uint64_t v) { return static_cast<int>(std::bit_width(v)); }

}  // namespace plavex::swf::detail
