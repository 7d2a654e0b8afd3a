#include "engine/script/player/TextFormatClass.h"

#include <cfenv>
#include <cmath>

namespace plavex::script {

namespace {

enum Field : std::size_t {
  kFont, kSize, kColor, kBold, kItalic, kUnderline, kUrl, kTarget, kAlign, kLeftMargin, kRightMargin, kIndent,
  kLeading, kBlockIndent, kBullet, kKerning, kLetterSpacing, kTabStops, kFieldCount
};
enum class Kind { String, Integer, Color, Boolean, Align, Margin, Signed, Spacing, Stops };

struct FieldInfo {
  const char* name;
  Field field;
  Kind kind;
};
// Creation order: the reference player enumerates the newest first.
constexpr FieldInfo kFields[] = {
    {"align", kAlign, Kind::Align},           {"blockIndent", kBlockIndent, Kind::Signed},
    {"bold", kBold, Kind::Boolean},           {"bullet", kBullet, Kind::Boolean},
    {"color", kColor, Kind::Color},           {"font", kFont, Kind::String},
    {"indent", kIndent, Kind::Signed},        {"italic", kItalic, Kind::Boolean},
    {"kerning", kKerning, Kind::Boolean},     {"leading", kLeading, Kind::Signed},
    {"leftMargin", kLeftMargin, Kind::Margin}, {"letterSpacing", kLetterSpacing, Kind::Spacing},
    {"rightMargin", kRightMargin, Kind::Margin}, {"size", kSize, Kind::Integer},
    {"tabStops", kTabStops, Kind::Stops},     {"target", kTarget, Kind::String},
    {"underline", kUnderline, Kind::Boolean}, {"url", kUrl, Kind::String},
};

bool isTextFormat(Object* o) { return o && o->kind() == ObjectKind::Plain && o->elements.size() == kFieldCount; }

std::optional<std::string> validAlign(const std::string& s) {
  std::string l;
  for (char c : s) l.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  if (l == "left" || l == "right" || l == "center" || l == "justify") return l;
  return std::nullopt;
}

// A value coerced for a field. `fromSetter`: the setters round (SWF 8) and clamp.
Value coerce(Vm& vm, Kind kind, const Value& v, const Value& old, bool fromSetter) {
  if (v.isNullish()) return kind == Kind::Align && fromSetter ? old : Value::null();
  auto integer = [&](double n) {
    if (!std::isfinite(n)) return n;
    if (fromSetter && vm.version() >= 8) return std::nearbyint(n);
    return std::trunc(n);
  };
  switch (kind) {
    case Kind::String: return Value(vm.toString(v));
    case Kind::Boolean: return Value(vm.toBool(v));
    case Kind::Integer: return Value(integer(vm.toNumber(v)));
    case Kind::Color: return Value(static_cast<double>(toUint32(std::trunc(vm.toNumber(v)))));
    case Kind::Align: {
      auto a = validAlign(vm.toString(v));
      if (a) return Value(*a);
      return fromSetter ? old : Value::null();
    }
    case Kind::Margin: {
      double n = integer(vm.toNumber(v));
      return Value(fromSetter && n < 0 ? 0.0 : n);
    }
    case Kind::Signed: {
      double n = integer(vm.toNumber(v));
      return Value(fromSetter && vm.version() < 8 && n < 0 ? 0.0 : n);
    }
    case Kind::Spacing: return Value(vm.toNumber(v));
    case Kind::Stops: {
      Object* a = v.object();
      if (!a || a->kind() != ObjectKind::Array) return Value::null();
      std::vector<Value> stops;
      for (const Value& e : a->elements) stops.emplace_back(std::trunc(vm.toNumber(e)));
      return Value(vm.newArray(std::move(stops)));
    }
  }
  return Value::null();
}

template <typename T>
void readInto(std::optional<T>& out, const Value& v);
template <>
void readInto(std::optional<std::string>& out, const Value& v) {
  if (v.isString()) out = v.string();
}
template <>
void readInto(std::optional<double>& out, const Value& v) {
  if (v.isNumber() && std::isfinite(v.number())) out = v.number();
}
template <>
void readInto(std::optional<bool>& out, const Value& v) {
  if (v.isBoolean()) out = v.boolean();
}

}  // namespace

void installTextFormat(Vm& vm) {
  Object* proto = vm.newObject();
  Object* ctor = vm.newFunction(
      [](Vm& vm, const CallArgs& a) -> Value {
        Object* self = a.thisValue.object();
        if (!self) return Value();
        self->elements.assign(kFieldCount, Value::null());
        // The constructor's arguments in order; the others start null.
        static const FieldInfo order[] = {
            {"font", kFont, Kind::String},        {"size", kSize, Kind::Integer},
            {"color", kColor, Kind::Color},       {"bold", kBold, Kind::Boolean},
            {"italic", kItalic, Kind::Boolean},   {"underline", kUnderline, Kind::Boolean},
            {"url", kUrl, Kind::String},          {"target", kTarget, Kind::String},
            {"align", kAlign, Kind::Align},       {"leftMargin", kLeftMargin, Kind::Margin},
            {"rightMargin", kRightMargin, Kind::Margin}, {"indent", kIndent, Kind::Signed},
            {"leading", kLeading, Kind::Signed},
        };
        for (std::size_t i = 0; i < std::size(order) && i < a.size(); ++i)
          self->elements[order[i].field] = coerce(vm, order[i].kind, a[i], Value::null(), false);
        return Value();
      },
      proto);
  vm.global()->setOwn("TextFormat", ctor, prop::kDontEnum);
  for (const FieldInfo& info : kFields) {
    Field field = info.field;
    Kind kind = info.kind;
    Object* getter = vm.newFunction([field](Vm&, const CallArgs& a) -> Value {
      Object* o = a.thisValue.object();
      return isTextFormat(o) ? o->elements[field] : Value();
    });
    Object* setter = vm.newFunction([field, kind](Vm& vm, const CallArgs& a) -> Value {
      Object* o = a.thisValue.object();
      if (!isTextFormat(o)) return Value();
      o->elements[field] = coerce(vm, kind, a[0], o->elements[field], true);
      return Value();
    });
    proto->defineAccessor(info.name, getter, setter);
  }
  vm.defineMethod(proto, "getTextExtent", [](Vm& vm, const CallArgs& a) -> Value {
    Object* self = a.thisValue.object();
    if (!self || a.size() < 1) return Value();
    engine::CharFormat f;
    if (auto read = readTextFormat(vm, a.thisValue)) f = *read;
    if (!f.size) f.size = 12;
    std::u16string text = toUtf16(vm.toString(a[0]));
    TextExtent e = measureText(f, text);
    double fieldWidth = e.width + 4;
    if (a.size() >= 2 && !a[1].isUndefined()) {
      // A wrap width: the extent of the longest line that fits.
      double wrap = vm.toNumber(a[1]);
      if (std::isfinite(wrap) && wrap > 0) {
        int lines = std::max(1, static_cast<int>(std::ceil(e.width / wrap)));
        e.height = e.height * lines;
        e.width = std::min(e.width, wrap);
        fieldWidth = std::floor(wrap);
      }
    }
    Object* out = vm.newObject();
    out->setOwn("ascent", std::round(e.ascent));
    out->setOwn("descent", std::round(e.descent));
    out->setOwn("width", std::round(e.width));
    out->setOwn("height", std::round(e.height));
    out->setOwn("textFieldHeight", std::round(e.height) + 4);
    out->setOwn("textFieldWidth", std::round(fieldWidth));
    return Value(out);
  });
}

Value makeTextFormat(Vm& vm, const engine::CharFormat& f) {
  Value ctor = vm.getMember(Value(vm.global()), "TextFormat");
  Value proto = vm.getMember(ctor, "prototype");
  Object* o = vm.newObject();
  if (proto.object()) o->setProto(proto.object());
  o->elements.assign(kFieldCount, Value::null());
  auto put = [&](Field field, const auto& v) {
    if (v) o->elements[field] = Value(*v);
  };
  put(kFont, f.font);
  put(kSize, f.size);
  if (f.color) o->elements[kColor] = Value(static_cast<double>(*f.color));
  put(kBold, f.bold);
  put(kItalic, f.italic);
  put(kUnderline, f.underline);
  put(kUrl, f.url);
  put(kTarget, f.target);
  put(kAlign, f.align);
  put(kLeftMargin, f.leftMargin);
  put(kRightMargin, f.rightMargin);
  put(kIndent, f.indent);
  put(kLeading, f.leading);
  put(kBlockIndent, f.blockIndent);
  put(kBullet, f.bullet);
  put(kKerning, f.kerning);
  put(kLetterSpacing, f.letterSpacing);
  if (f.tabStops) {
    std::vector<Value> stops(f.tabStops->begin(), f.tabStops->end());
    o->elements[kTabStops] = Value(vm.newArray(std::move(stops)));
  }
  return Value(o);
}

std::optional<engine::CharFormat> readTextFormat(Vm&, const Value& v) {
  Object* o = v.object();
  if (!isTextFormat(o)) return std::nullopt;
  engine::CharFormat f;
  const auto& e = o->elements;
  readInto(f.font, e[kFont]);
  readInto(f.size, e[kSize]);
  if (e[kColor].isNumber()) f.color = static_cast<std::uint32_t>(toUint32(e[kColor].number()) & 0xFFFFFF);
  readInto(f.bold, e[kBold]);
  readInto(f.italic, e[kItalic]);
  readInto(f.underline, e[kUnderline]);
  readInto(f.url, e[kUrl]);
  readInto(f.target, e[kTarget]);
  readInto(f.align, e[kAlign]);
  readInto(f.leftMargin, e[kLeftMargin]);
  readInto(f.rightMargin, e[kRightMargin]);
  readInto(f.indent, e[kIndent]);
  readInto(f.leading, e[kLeading]);
  readInto(f.blockIndent, e[kBlockIndent]);
  readInto(f.bullet, e[kBullet]);
  readInto(f.kerning, e[kKerning]);
  readInto(f.letterSpacing, e[kLetterSpacing]);
  if (Object* stops = e[kTabStops].object(); stops && stops->kind() == ObjectKind::Array) {
    std::vector<double> s;
    for (const Value& x : stops->elements)
      if (x.isNumber()) s.push_back(x.number());
    f.tabStops = s;
  }
  return f;
}

TextExtent measureText(const engine::CharFormat& format, std::u16string_view text) {
  // The proportions of the common sans-serif device font: ascent and descent of the em,
  // an average advance per character.
  const double size = std::max(0.0, format.size.value_or(12));
  TextExtent e;
  e.ascent = size * 1.069;
  e.descent = size * 0.293;
  e.height = std::round(e.ascent) + std::round(e.descent);
  double width = 0;
  for (char16_t c : text) {
    double w = c == u' ' ? 0.26 : (c == u'i' || c == u'l' || c == u'.' || c == u',') ? 0.26
               : (c == u'm' || c == u'w' || c == u'M' || c == u'W')                  ? 0.85
               : (c >= u'A' && c <= u'Z')                                           ? 0.62
                                                                                    : 0.52;
    width += w * size + format.letterSpacing.value_or(0);
  }
  e.width = width;
  return e;
}

}  // namespace plavex::script
