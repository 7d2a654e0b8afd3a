#include "engine/script/Value.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "engine/format/Utf16.h"

namespace plavex::script {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexDigit(char c) {
  if (isDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The decimal grammar: digits [. digits] [e [sign] digits], at least one digit in the mantissa.
bool isDecimal(std::string_view s) {
  std::size_t i = 0, digits = 0;
  while (i < s.size() && isDigit(s[i])) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && isDigit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t expDigits = 0;
    while (i < s.size() && isDigit(s[i])) ++i, ++expDigits;
    if (expDigits == 0) return false;
  }
  return i == s.size();
}

}  // namespace

std::string numberToString(double n) {
  if (std::isnan(n)) return "NaN";
  if (std::isinf(n)) return n > 0 ? "Infinity" : "-Infinity";
  if (n == 0) return "0";
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.15g", n);
  std::string s = buf;
  auto e = s.find('e');
  if (e == std::string::npos) return s;
  // "1e-05" -> "1e-5"; "1e+21" stays.
  std::string mantissa = s.substr(0, e);
  char sign = s[e + 1];
  std::string exponent = s.substr(e + 2);
  while (exponent.size() > 1 && exponent[0] == '0') exponent.erase(0, 1);
  return mantissa + 'e' + sign + exponent;
}

std::string numberToRadixString(double n, int radix) {
  if (radix == 10 || radix < 2 || radix > 36) return numberToString(n);
  if (!std::isfinite(n)) return numberToString(n);
  // The player writes the 32-bit integer part in the radix.
  std::int32_t i = toInt32(n);
  bool negative = i < 0;
  std::uint64_t u = negative ? -static_cast<std::int64_t>(i) : i;
  std::string out;
  do {
    int d = static_cast<int>(u % radix);
    out.insert(out.begin(), static_cast<char>(d < 10 ? '0' + d : 'a' + d - 10));
    u /= radix;
  } while (u != 0);
  if (negative) out.insert(out.begin(), '-');
  return out;
}

// SWF 4 reads the longest number at the start of the text, 0 when there is none.
double leadingNumber(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && isSpace(s[i])) ++i;
  std::size_t start = i;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < s.size() && isDigit(s[i])) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && isDigit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t e = i + 1;
    if (e < s.size() && (s[e] == '+' || s[e] == '-')) ++e;
    std::size_t expDigits = 0;
    while (e < s.size() && isDigit(s[e])) ++e, ++expDigits;
    if (expDigits) i = e;
  }
  return std::strtod(std::string(s.substr(start, i - start)).c_str(), nullptr);
}

double stringToNumber(std::string_view s, int swfVersion) {
  if (swfVersion < 5) return leadingNumber(s);
  const double fail = kNaN;
  std::size_t i = 0;
  while (i < s.size() && isSpace(s[i])) ++i;
  std::string_view rest = s.substr(i);
  if (rest.empty()) return fail;
  bool negative = false;
  std::string_view body = rest;
  if (body[0] == '+' || body[0] == '-') {
    negative = body[0] == '-';
    body.remove_prefix(1);
  }
  if (body.size() > 2 && body[0] == '0' && (body[1] == 'x' || body[1] == 'X')) {
    double v = 0;
    for (char c : body.substr(2)) {
      int d = hexDigit(c);
      if (d < 0) return fail;
      v = v * 16 + d;
    }
    return negative ? -v : v;
  }
  // A leading zero followed by octal digits only is octal ("010" is 8).
  if (body.size() > 1 && body[0] == '0' && body.find_first_not_of("01234567") == std::string_view::npos) {
    double v = 0;
    for (char c : body) v = v * 8 + (c - '0');
    return negative ? -v : v;
  }
  if (!isDecimal(body)) return fail;
  std::string text(rest);
  return std::strtod(text.c_str(), nullptr);
}

double primitiveToNumber(const Value& v, int swfVersion) {
  switch (v.type()) {
    case Type::Undefined:
    case Type::Null: return swfVersion < 7 ? 0.0 : kNaN;
    case Type::Boolean: return v.boolean() ? 1.0 : 0.0;
    case Type::Number: return v.number();
    case Type::String: return stringToNumber(v.string(), swfVersion);
    case Type::Object: return kNaN;
  }
  return kNaN;
}

std::string primitiveToString(const Value& v, int swfVersion) {
  switch (v.type()) {
    case Type::Undefined: return swfVersion < 7 ? "" : "undefined";
    case Type::Null: return "null";
    case Type::Boolean: return v.boolean() ? "true" : "false";
    case Type::Number: return numberToString(v.number());
    case Type::String: return v.string();
    case Type::Object: return "[object Object]";
  }
  return {};
}

bool toBoolean(const Value& v, int swfVersion) {
  switch (v.type()) {
    case Type::Undefined:
    case Type::Null: return false;
    case Type::Boolean: return v.boolean();
    case Type::Number: return v.number() != 0 && !std::isnan(v.number());
    case Type::String: {
      if (swfVersion >= 7) return !v.string().empty();
      double n = stringToNumber(v.string(), swfVersion);
      return n != 0 && !std::isnan(n);
    }
    case Type::Object: return true;
  }
  return false;
}

std::int32_t toInt32(double n) { return static_cast<std::int32_t>(toUint32(n)); }

std::uint32_t toUint32(double n) {
  if (!std::isfinite(n)) return 0;
  if (n >= -2147483648.0 && n < 4294967296.0) {
    return n >= 0 ? static_cast<std::uint32_t>(n) : static_cast<std::uint32_t>(static_cast<std::int64_t>(n));
  }
  double m = std::fmod(std::trunc(n), 4294967296.0);
  if (m < 0) m += 4294967296.0;
  return static_cast<std::uint32_t>(m);
}

int clampToInt(double n) {
  if (std::isnan(n)) return 0;
  constexpr double limit = 1073741824.0;
  return static_cast<int>(std::clamp(std::trunc(n), -limit, limit));
}

double toInteger(double n) {
  if (std::isnan(n)) return 0;
  return std::trunc(n);
}

std::string foldName(std::string_view name) {
  std::string out(name);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

bool namesEqual(std::string_view a, std::string_view b, bool caseSensitive) {
  if (a.size() != b.size()) return false;
  if (caseSensitive) return a == b;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

std::u16string toUtf16(std::string_view s) { return swf::toUtf16(s); }

std::string fromUtf16(std::u16string_view s) { return swf::fromUtf16(s); }

}  // namespace plavex::script
