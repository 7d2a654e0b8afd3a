#pragma once
// The activation record of one action block run by the machine (internal).

#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "engine/script/Vm.h"

namespace plavex::script {

struct Vm::Block {
  enum class Kind { With, Try } kind = Kind::With;
  enum class State { InTry, InCatch, InFinally } state = State::InTry;
  std::size_t start = 0, catchStart = 0, finallyStart = 0, end = 0;
  bool hasCatch = false, hasFinally = false, catchInRegister = false;
  std::uint8_t catchRegister = 0;
  std::string catchName;
  std::shared_ptr<const Scope> savedScope;
  std::size_t stackSize = 0;
  bool rethrow = false;
  Value thrown;
  bool returning = false;  // a return waits for this finally part
  Value returned;
};

struct Vm::Frame {
  std::span<const std::uint8_t> code;
  std::size_t pc = 0;
  std::shared_ptr<const std::vector<std::string>> constants;
  std::shared_ptr<const Scope> scope;
  std::vector<Value> registers;
  Value thisValue;
  Object* target = nullptr;      // the timeline SetTarget addresses
  Object* baseTarget = nullptr;  // the timeline the block belongs to
  Object* local = nullptr;       // where local variables live
  Object* callee = nullptr;
  Object* superObject = nullptr;
  bool inFunction = false;
  bool haltWhenRemoved = false;  // a frame script of a clip on the stage: it stops when the clip goes
  int version = 0;
  std::size_t stackBase = 0;
  std::vector<Block> blocks;
};

// Bounded reading of an action's payload: a failed read marks the reader bad.
class PayloadReader {
 public:
  explicit PayloadReader(std::span<const std::uint8_t> data) : data_(data) {}
  bool ok() const { return ok_; }
  std::size_t remaining() const { return pos_ <= data_.size() ? data_.size() - pos_ : 0; }
  bool atEnd() const { return pos_ >= data_.size(); }
  std::uint8_t u8() {
    if (pos_ + 1 > data_.size()) return fail<std::uint8_t>();
    return data_[pos_++];
  }
  std::uint16_t u16() {
    if (pos_ + 2 > data_.size()) return fail<std::uint16_t>();
    std::uint16_t v = static_cast<std::uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
    pos_ += 2;
    return v;
  }
  std::int16_t s16() { return static_cast<std::int16_t>(u16()); }
  std::uint32_t u32() {
    std::uint32_t lo = u16();
    std::uint32_t hi = u16();
    return lo | (hi << 16);
  }
  float f32() {
    std::uint32_t bits = u32();
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
  }
  // Doubles are stored as two little-endian 32-bit words, the high word first.
  double f64() {
    std::uint64_t hi = u32();
    std::uint64_t lo = u32();
    std::uint64_t bits = (hi << 32) | lo;
    double d;
    std::memcpy(&d, &bits, 8);
    return d;
  }
  std::string string() {
    std::size_t start = pos_;
    while (pos_ < data_.size() && data_[pos_] != 0) ++pos_;
    if (pos_ >= data_.size()) {
      ok_ = false;
      return {};
    }
    std::string s(reinterpret_cast<const char*>(data_.data()) + start, pos_ - start);
    ++pos_;
    return s;
  }

 private:
  template <class T>
  T fail() {
    ok_ = false;
    pos_ = data_.size();
    return T{};
  }
  std::span<const std::uint8_t> data_;
  std::size_t pos_ = 0;
  bool ok_ = true;
};

}  // namespace plavex::script
