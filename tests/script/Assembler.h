#pragma once
// A small assembler for action bytecode, so tests read as the scripts they run.

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <variant>
#include <vector>

namespace plavex::script::testing {

struct Reg {
  std::uint8_t n;
};
struct Undef {};
struct NullV {};
struct Const {
  std::uint16_t index;
};
using PushItem = std::variant<std::string, const char*, double, int, bool, Reg, Undef, NullV, Const>;

class Asm {
 public:
  std::vector<std::uint8_t> bytes() const {
    std::vector<std::uint8_t> out = code_;
    for (const auto& [at, label] : fixups_) {
      auto it = labels_.find(label);
      int offset = it == labels_.end() ? 0 : static_cast<int>(it->second) - static_cast<int>(at + 2);
      out[at] = static_cast<std::uint8_t>(offset & 0xFF);
      out[at + 1] = static_cast<std::uint8_t>((offset >> 8) & 0xFF);
    }
    return out;
  }
  std::size_t size() const { return code_.size(); }

  Asm& op(std::uint8_t code) {
    code_.push_back(code);
    return *this;
  }
  Asm& action(std::uint8_t code, const std::vector<std::uint8_t>& payload) {
    code_.push_back(code);
    u16(code_, payload.size());
    code_.insert(code_.end(), payload.begin(), payload.end());
    return *this;
  }
  Asm& push(std::initializer_list<PushItem> items) {
    std::vector<std::uint8_t> p;
    for (const auto& item : items) {
      if (auto* s = std::get_if<std::string>(&item)) p.push_back(0), str(p, *s);
      else if (auto* c = std::get_if<const char*>(&item)) p.push_back(0), str(p, *c);
      else if (auto* d = std::get_if<double>(&item)) p.push_back(6), f64(p, *d);
      else if (auto* i = std::get_if<int>(&item)) p.push_back(7), u32(p, static_cast<std::uint32_t>(*i));
      else if (auto* b = std::get_if<bool>(&item)) p.push_back(5), p.push_back(*b ? 1 : 0);
      else if (auto* r = std::get_if<Reg>(&item)) p.push_back(4), p.push_back(r->n);
      else if (std::holds_alternative<Undef>(item)) p.push_back(3);
      else if (std::holds_alternative<NullV>(item)) p.push_back(2);
      else if (auto* k = std::get_if<Const>(&item)) {
        if (k->index < 256) p.push_back(8), p.push_back(static_cast<std::uint8_t>(k->index));
        else p.push_back(9), u16(p, k->index);
      }
    }
    return action(0x96, p);
  }
  // Common shapes.
  Asm& trace() { return op(0x26); }
  Asm& traceVar(const std::string& name) { return push({name}).op(0x1C).trace(); }
  Asm& set(const std::string& name) { return op(0x1D); }  // expects name, value on the stack
  Asm& getVar() { return op(0x1C); }
  Asm& setVar() { return op(0x1D); }
  Asm& getMember() { return op(0x4E); }
  Asm& setMember() { return op(0x4F); }
  Asm& callFunction() { return op(0x3D); }
  Asm& callMethod() { return op(0x52); }
  Asm& add2() { return op(0x47); }
  Asm& ret() { return op(0x3E); }
  Asm& pop() { return op(0x17); }
  Asm& constantPool(const std::vector<std::string>& names) {
    std::vector<std::uint8_t> p;
    u16(p, names.size());
    for (const auto& n : names) str(p, n);
    return action(0x88, p);
  }
  Asm& storeRegister(std::uint8_t r) { return action(0x87, {r}); }
  Asm& label(const std::string& name) {
    labels_[name] = code_.size();
    return *this;
  }
  Asm& jump(const std::string& to) { return branch(0x99, to); }
  Asm& ifTrue(const std::string& to) { return branch(0x9D, to); }

  Asm& defineFunction(const std::string& name, const std::vector<std::string>& params, const Asm& body) {
    std::vector<std::uint8_t> p;
    str(p, name);
    u16(p, params.size());
    for (const auto& n : params) str(p, n);
    auto b = body.bytes();
    u16(p, b.size());
    action(0x9B, p);
    code_.insert(code_.end(), b.begin(), b.end());
    return *this;
  }
  struct Param2 {
    std::uint8_t reg;
    std::string name;
  };
  Asm& defineFunction2(const std::string& name, std::uint8_t registers, std::uint16_t flags,
                       const std::vector<Param2>& params, const Asm& body) {
    std::vector<std::uint8_t> p;
    str(p, name);
    u16(p, params.size());
    p.push_back(registers);
    u16(p, flags);
    for (const auto& prm : params) p.push_back(prm.reg), str(p, prm.name);
    auto b = body.bytes();
    u16(p, b.size());
    action(0x8E, p);
    code_.insert(code_.end(), b.begin(), b.end());
    return *this;
  }
  // try { tryBody } catch (name) { catchBody } finally { finallyBody }
  Asm& tryBlock(const Asm& tryBody, const std::string* catchName, const Asm* catchBody, const Asm* finallyBody) {
    auto t = tryBody.bytes();
    std::vector<std::uint8_t> c = catchBody ? catchBody->bytes() : std::vector<std::uint8_t>{};
    std::vector<std::uint8_t> f = finallyBody ? finallyBody->bytes() : std::vector<std::uint8_t>{};
    std::vector<std::uint8_t> p;
    p.push_back(static_cast<std::uint8_t>((catchBody ? 1 : 0) | (finallyBody ? 2 : 0)));
    u16(p, t.size());
    u16(p, c.size());
    u16(p, f.size());
    str(p, catchName ? *catchName : std::string());
    action(0x8F, p);
    code_.insert(code_.end(), t.begin(), t.end());
    code_.insert(code_.end(), c.begin(), c.end());
    code_.insert(code_.end(), f.begin(), f.end());
    return *this;
  }
  Asm& with(const Asm& body) {
    auto b = body.bytes();
    std::vector<std::uint8_t> p;
    u16(p, b.size());
    action(0x94, p);
    code_.insert(code_.end(), b.begin(), b.end());
    return *this;
  }
  Asm& raw(const std::vector<std::uint8_t>& bytes) {
    code_.insert(code_.end(), bytes.begin(), bytes.end());
    return *this;
  }

 private:
  Asm& branch(std::uint8_t code, const std::string& to) {
    code_.push_back(code);
    u16(code_, 2);
    fixups_.emplace_back(code_.size(), to);
    code_.push_back(0);
    code_.push_back(0);
    return *this;
  }
  static void u16(std::vector<std::uint8_t>& v, std::size_t x) {
    v.push_back(static_cast<std::uint8_t>(x & 0xFF));
    v.push_back(static_cast<std::uint8_t>((x >> 8) & 0xFF));
  }
  static void u32(std::vector<std::uint8_t>& v, std::uint32_t x) {
    for (int i = 0; i < 4; ++i) v.push_back(static_cast<std::uint8_t>((x >> (8 * i)) & 0xFF));
  }
  static void f64(std::vector<std::uint8_t>& v, double d) {
    std::uint64_t bits;
    std::memcpy(&bits, &d, 8);
    u32(v, static_cast<std::uint32_t>(bits >> 32));
    u32(v, static_cast<std::uint32_t>(bits));
  }
  static void str(std::vector<std::uint8_t>& v, const std::string& s) {
    v.insert(v.end(), s.begin(), s.end());
    v.push_back(0);
  }

  std::vector<std::uint8_t> code_;
  std::map<std::string, std::size_t> labels_;
  std::vector<std::pair<std::size_t, std::string>> fixups_;
};

}  // namespace plavex::script::testing
