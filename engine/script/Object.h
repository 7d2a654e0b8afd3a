#pragma once
// Script objects: properties in creation order with the reference player's flags,
// getters/setters from addProperty, watchers, the prototype link, and the payloads of
// the built-in kinds (functions, arrays, wrappers of primitives, dates, stage objects).
// Objects live in a Heap that collects the unreachable ones between scripts.

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/script/Value.h"

namespace plavex::script {

class Vm;
class StageObject;

namespace prop {
inline constexpr std::uint16_t kDontEnum = 1, kDontDelete = 2, kReadOnly = 4;
// Bits that hide a property from lookups in movies of the versions named in versionHiddenFlags().
inline constexpr std::uint16_t kVersion5 = 0x80, kVersion6 = 0x100, kVersion7 = 0x400, kVersion8 = 0x1000,
                               kVersion9 = 0x2000, kVersion10 = 0x4000;
// The version bits that hide a property in a movie of `swfVersion`.
constexpr std::uint16_t versionHiddenFlags(int swfVersion) {
  std::uint16_t m = 0;
  if (swfVersion < 6) m |= kVersion5;
  if (swfVersion == 6) m |= kVersion6;
  if (swfVersion < 7) m |= kVersion7;
  if (swfVersion < 8) m |= kVersion8;
  if (swfVersion < 9) m |= kVersion9;
  if (swfVersion < 10) m |= kVersion10;
  return m;
}
}

struct Property {
  Value value;
  Object* getter = nullptr;  // addProperty
  Object* setter = nullptr;
  std::uint16_t flags = 0;
  bool isAccessor() const { return getter != nullptr; }
};

struct Watcher {
  Object* callback = nullptr;
  Value userData;
};

// A link of the scope chain: innermost first.
struct Scope {
  Object* object = nullptr;
  std::shared_ptr<const Scope> parent;
};

// The bytecode of a function defined by DefineFunction or DefineFunction2.
struct FunctionCode {
  std::string name;
  std::vector<std::uint8_t> body;
  struct Param {
    std::uint8_t reg = 0;  // 0: by name in the activation
    std::string name;
  };
  std::vector<Param> params;
  bool isFunction2 = false;
  std::uint8_t registerCount = 0;
  std::uint16_t flags = 0;  // DefineFunction2 preload/suppress bits
  std::shared_ptr<const std::vector<std::string>> constants;
  int swfVersion = 0;
};

// Arguments handed to a native method.
struct CallArgs {
  Value thisValue;
  std::span<const Value> args;
  Object* callee = nullptr;
  const Value& operator[](std::size_t i) const {
    static const Value undefinedValue;
    return i < args.size() ? args[i] : undefinedValue;
  }
  std::size_t size() const { return args.size(); }
};

using NativeFunction = std::function<Value(Vm&, const CallArgs&)>;

// The tree behind an XMLNode object; the script sees it through XMLNode.prototype's
// properties.
struct XmlNodeData {
  int type = 1;   // 1 element (or document), 3 text
  Value name;     // null for text nodes and documents
  Value value;    // null for elements
  Object* attributes = nullptr;
  Object* childArray = nullptr;  // childNodes, kept in step with `children`
  Object* parent = nullptr;
  std::vector<Object*> children;
};

enum class ObjectKind : std::uint8_t { Plain, Function, Array, String, Number, Boolean, Date, Error, Stage, Super };

class Object {
 public:
  Object(ObjectKind kind, Object* proto, bool caseSensitive) : kind_(kind), proto_(proto), caseSensitive_(caseSensitive) {}
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  ObjectKind kind() const { return kind_; }
  bool isFunction() const { return kind_ == ObjectKind::Function; }
  Object* proto() const { return proto_; }
  void setProto(Object* proto) { proto_ = proto; }
  bool caseSensitive() const { return caseSensitive_; }

  // Own properties.
  Property* findOwn(std::string_view name);
  const Property* findOwn(std::string_view name) const;
  // Adds or replaces the own property's value (keeping its flags when it exists).
  void setOwn(std::string_view name, Value value, std::uint16_t flagsIfNew = 0);
  void defineAccessor(std::string_view name, Object* getter, Object* setter);
  bool removeOwn(std::string_view name);  // false when DontDelete or absent
  // Own property names in creation order (with their flags).
  std::vector<std::pair<std::string, std::uint16_t>> ownNames() const;
  // The own property or the first along the prototype chain, skipping the ones this
  // movie's version hides.
  Property* find(std::string_view name);
  void setFlags(std::string_view name, std::uint16_t set, std::uint16_t clear);
  bool hiddenByVersion(const Property& p) const { return (p.flags & hiddenFlags_) != 0; }
  void setHiddenFlags(std::uint16_t mask) { hiddenFlags_ = mask; }

  // ---- payloads ----
  // Functions.
  NativeFunction native;
  std::shared_ptr<const FunctionCode> code;
  std::shared_ptr<const Scope> scope;  // captured at definition
  NativeFunction nativeConstructor;    // `new` of a built-in class, when it differs from a call
  // Arrays.
  std::vector<Value> elements;
  // Wrappers of primitives and dates.
  Value primitive;
  // Display objects.
  StageObject* stage = nullptr;
  // watch().
  std::vector<std::pair<std::string, Watcher>> watchers;
  // super: the prototype the running method belongs to (its `this` is in `primitive`).
  Object* home = nullptr;
  // Interfaces an AS2 class implements (ImplementsOp).
  std::vector<Object*> interfaces;
  // XMLNode and XML objects.
  std::unique_ptr<XmlNodeData> xml;

  bool marked = false;

 private:
  struct Entry {
    std::string name;
    Property property;
  };
  std::string key(std::string_view name) const { return caseSensitive_ ? std::string(name) : foldName(name); }
  void reindex();

  ObjectKind kind_;
  Object* proto_;
  bool caseSensitive_;
  std::uint16_t hiddenFlags_ = 0;
  std::vector<Entry> entries_;
  std::unordered_map<std::string, std::uint32_t> index_;
};

// Owns every object of a machine; collects the ones not reachable from the roots.
class Heap {
 public:
  explicit Heap(bool caseSensitive, std::uint16_t hiddenFlags = 0)
      : caseSensitive_(caseSensitive), hiddenFlags_(hiddenFlags) {}
  Object* make(ObjectKind kind, Object* proto);
  std::size_t size() const { return objects_.size(); }
  // Frees every object not reachable from `roots` (and their scopes and payloads).
  void collect(std::span<Object* const> roots, std::span<const Value> extraValues);

 private:
  std::vector<std::unique_ptr<Object>> objects_;
  bool caseSensitive_;
  std::uint16_t hiddenFlags_;
};

}  // namespace plavex::script
