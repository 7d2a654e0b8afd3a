#pragma once
// An ActionScript 1/2 value and the conversions of primitives as the reference
// player performs them, including the differences between SWF versions.

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace plavex::script {

class Object;

enum class Type : std::uint8_t { Undefined, Null, Boolean, Number, String, Object };

struct Null {
  bool operator==(const Null&) const = default;
};

class Value {
 public:
  Value() = default;  // undefined
  Value(Null) : v_(Null{}) {}
  Value(bool b) : v_(b) {}
  Value(double n) : v_(n) {}
  Value(int n) : v_(static_cast<double>(n)) {}
  Value(std::string s) : v_(std::move(s)) {}
  Value(std::string_view s) : v_(std::string(s)) {}
  Value(const char* s) : v_(std::string(s)) {}
  Value(Object* o) { if (o) v_ = o; }  // a null object pointer is undefined

  static Value null() { return Value(Null{}); }

  Type type() const { return static_cast<Type>(v_.index()); }
  bool isUndefined() const { return type() == Type::Undefined; }
  bool isNull() const { return type() == Type::Null; }
  bool isNullish() const { return v_.index() <= 1; }
  bool isBoolean() const { return type() == Type::Boolean; }
  bool isNumber() const { return type() == Type::Number; }
  bool isString() const { return type() == Type::String; }
  bool isObject() const { return type() == Type::Object; }

  bool boolean() const { return std::get<bool>(v_); }
  double number() const { return std::get<double>(v_); }
  const std::string& string() const { return std::get<std::string>(v_); }
  Object* object() const { return isObject() ? std::get<Object*>(v_) : nullptr; }

  bool operator==(const Value&) const = default;

 private:
  std::variant<std::monostate, Null, bool, double, std::string, Object*> v_;
};

// ---- conversions of primitives (objects go through the machine's ToPrimitive) ----

// The text the reference player writes for a number: 15 significant digits, exponent
// form from 1e15 and below 1e-5 without leading zeros in the exponent ("1e-7", "1e+21").
std::string numberToString(double n);
// Number.toString(radix) for radix 2..36 (integers; fractions are truncated as the player does).
std::string numberToRadixString(double n, int radix);
// ToNumber of a string. Before SWF 5 the number at the start of the text counts ("150a"
// is 150, no number is 0); from 5 the whole text must be a number, else NaN, with "0x"
// hexadecimal and leading-zero octal. Leading white space is skipped.
double stringToNumber(std::string_view s, int swfVersion);
// ToNumber of a primitive: undefined and null are 0 before SWF 7 and NaN from 7.
double primitiveToNumber(const Value& v, int swfVersion);
// ToString of a primitive: undefined is "" before SWF 7 and "undefined" from 7.
std::string primitiveToString(const Value& v, int swfVersion);
// ToBoolean: before SWF 7 a string is true when it converts to a non-zero number;
// from 7 when it is not empty. Objects are true.
bool toBoolean(const Value& v, int swfVersion);
// ECMA ToInt32 / ToUint32: modulo 2^32, NaN and infinities give 0.
std::int32_t toInt32(double n);
std::uint32_t toUint32(double n);
// ToInteger: truncation toward zero, NaN gives 0.
double toInteger(double n);
// A frame number, depth or index from a number: truncated, NaN gives 0, clamped to ±2^30.
int clampToInt(double n);

// Property names: folded to lower case when identifiers are case-insensitive (before SWF 7).
std::string foldName(std::string_view name);
bool namesEqual(std::string_view a, std::string_view b, bool caseSensitive);

// UTF-8 <-> UTF-16 for the string methods, which count in UTF-16 units as the player does.
std::u16string toUtf16(std::string_view s);
std::string fromUtf16(std::u16string_view s);

}  // namespace plavex::script
