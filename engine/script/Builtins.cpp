// The core built-ins: Object, Function, Boolean, Number, Math, Error, the global
// functions and the timers. Arrays, strings, dates and movie clips have their own files.
#include <cmath>
#include <limits>
#include <random>

#include "engine/script/Builtins.h"

namespace plavex::script {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

Object* thisObject(const CallArgs& a) { return a.thisValue.object(); }

double parseIntValue(const std::string& text, const Value& radixArg, Vm& vm) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int radix = radixArg.isUndefined() ? 0 : toInt32(vm.toNumber(radixArg));
  if (radix != 0 && (radix < 2 || radix > 36)) return kNaN;
  if (radix == 0 || radix == 16) {
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
      i += 2;
      radix = 16;
    }
  }
  if (radix == 0) {
    // A leading zero means octal when no radix is given.
    radix = (i + 1 < text.size() && text[i] == '0') ? 8 : 10;
  }
  double v = 0;
  bool any = false;
  for (; i < text.size(); ++i) {
    char c = text[i];
    int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'z' ? c - 'a' + 10 : c >= 'A' && c <= 'Z' ? c - 'A' + 10 : 99;
    if (d >= radix) break;
    v = v * radix + d;
    any = true;
  }
  if (!any) return kNaN;
  return negative ? -v : v;
}

double parseFloatValue(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r')) ++i;
  std::size_t start = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
  }
  if (digits == 0) return kNaN;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t e = i + 1;
    if (e < text.size() && (text[e] == '+' || text[e] == '-')) ++e;
    std::size_t expDigits = 0;
    while (e < text.size() && std::isdigit(static_cast<unsigned char>(text[e]))) ++e, ++expDigits;
    if (expDigits) i = e;
  }
  return std::strtod(text.substr(start, i - start).c_str(), nullptr);
}

std::string escapeText(const std::string& s) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : s) {
    if (std::isalnum(c)) out.push_back(static_cast<char>(c));
    else {
      out.push_back('%');
      out.push_back(hex[c >> 4]);
      out.push_back(hex[c & 15]);
    }
  }
  return out;
}

std::string unescapeText(const std::string& s) {
  auto hexValue = [](char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() && hexValue(s[i + 1]) >= 0 && hexValue(s[i + 2]) >= 0) {
      out.push_back(static_cast<char>(hexValue(s[i + 1]) * 16 + hexValue(s[i + 2])));
      i += 2;
    } else {
      out.push_back(s[i]);
    }
  }
  return out;
}

// ASSetPropFlags(object, names, set, clear): names is a comma list, an array or null (all).
Value setPropFlags(Vm& vm, const CallArgs& a) {
  Object* o = a[0].object();
  if (!o) return Value();
  std::vector<std::string> names;
  if (a[1].isNull()) {
    for (auto& [name, flags] : o->ownNames()) names.push_back(name);
  } else if (Object* list = a[1].object(); list && list->kind() == ObjectKind::Array) {
    for (const Value& v : list->elements) names.push_back(vm.toString(v));
  } else {
    std::string text = vm.toString(a[1]);
    std::size_t start = 0;
    while (start <= text.size()) {
      std::size_t comma = text.find(',', start);
      if (comma == std::string::npos) comma = text.size();
      names.push_back(text.substr(start, comma - start));
      start = comma + 1;
    }
  }
  auto set = static_cast<std::uint16_t>(toInt32(vm.toNumber(a[2])));
  auto clear = static_cast<std::uint16_t>(a.size() > 3 ? toInt32(vm.toNumber(a[3])) : 0);
  for (const auto& n : names) o->setFlags(n, set, clear);
  return Value();
}

void installObject(Vm& vm, Object* g) {
  Object* proto = vm.protoOf("Object");
  Object* ctor = vm.newFunction([](Vm& vm, const CallArgs& a) -> Value {
    if (a[0].isObject()) return a[0];
    // A primitive comes back wrapped in its class's object.
    const char* className = a[0].isNumber() ? "Number" : a[0].isString() ? "String" : a[0].isBoolean() ? "Boolean" : nullptr;
    if (!className) return vm.newObject();
    ObjectKind kind = a[0].isNumber() ? ObjectKind::Number : a[0].isString() ? ObjectKind::String : ObjectKind::Boolean;
    Object* wrapper = vm.make(kind, vm.protoOf(className));
    wrapper->primitive = a[0];
    return wrapper;
  }, proto);
  ctor->nativeConstructor = ctor->native;
  g->setOwn("Object", ctor, prop::kDontEnum);
  vm.defineMethod(proto, "toString", [](Vm& vm, const CallArgs& a) -> Value {
    Object* o = thisObject(a);
    if (o && o->isFunction()) return Value("[type Function]");
    return Value("[object Object]");
  });
  vm.defineMethod(proto, "toLocaleString", [](Vm& vm, const CallArgs& a) -> Value { return Value("[object Object]"); });
  vm.defineMethod(proto, "valueOf", [](Vm&, const CallArgs& a) -> Value { return a.thisValue; });
  vm.defineMethod(proto, "hasOwnProperty", [](Vm& vm, const CallArgs& a) -> Value {
    Object* o = thisObject(a);
    if (!o || a.size() == 0) return false;
    std::string name = vm.toString(a[0]);
    if (name == "__proto__") return o->proto() != nullptr;
    if (o->kind() == ObjectKind::Array) {
      char* end = nullptr;
      unsigned long i = std::strtoul(name.c_str(), &end, 10);
      if (!name.empty() && *end == 0 && i < o->elements.size()) return true;
    }
    return o->findOwn(name) != nullptr;
  });
  vm.defineMethod(proto, "isPropertyEnumerable", [](Vm& vm, const CallArgs& a) -> Value {
    Object* o = thisObject(a);
    if (!o) return false;
    const Property* p = o->findOwn(vm.toString(a[0]));
    return p && !(p->flags & prop::kDontEnum);
  });
  vm.defineMethod(proto, "isPrototypeOf", [](Vm&, const CallArgs& a) -> Value {
    Object* self = thisObject(a);
    Object* o = a[0].object();
    for (Object* p = o ? o->proto() : nullptr; p; p = p->proto())
      if (p == self) return true;
    return false;
  });
  vm.defineMethod(proto, "addProperty", [](Vm& vm, const CallArgs& a) -> Value {
    Object* o = thisObject(a);
    std::string name = vm.toString(a[0]);
    Object* getter = a[1].object();
    Object* setter = a[2].object();
    if (!o || name.empty() || !getter || !getter->isFunction()) return false;
    if (setter && !setter->isFunction()) {
      if (!a[2].isNull()) return false;
      setter = nullptr;
    }
    o->defineAccessor(name, getter, setter);
    return true;
  });
  vm.defineMethod(proto, "watch", [](Vm& vm, const CallArgs& a) -> Value {
    Object* o = thisObject(a);
    Object* callback = a[1].object();
    if (!o || !callback || !callback->isFunction()) return false;
    std::string name = vm.toString(a[0]);
    for (auto& [n, w] : o->watchers) {
      if (namesEqual(n, name, vm.caseSensitive())) {
        w = Watcher{callback, a[2]};
        return true;
      }
    }
    o->watchers.emplace_back(name, Watcher{callback, a[2]});
    return true;
  });
  vm.defineMethod(proto, "unwatch", [](Vm& vm, const CallArgs& a) -> Value {
    Object* o = thisObject(a);
    if (!o) return false;
    std::string name = vm.toString(a[0]);
    auto before = o->watchers.size();
    std::erase_if(o->watchers, [&](const auto& w) { return namesEqual(w.first, name, vm.caseSensitive()); });
    return o->watchers.size() != before;
  });
  vm.defineMethod(ctor, "registerClass", [](Vm& vm, const CallArgs& a) -> Value {
    // Symbols attached to a class: the core asks for the registration when it places them.
    Object* registry = vm.global()->findOwn("__registeredClasses")
                           ? vm.global()->findOwn("__registeredClasses")->value.object()
                           : nullptr;
    if (!registry) {
      registry = vm.newObject();
      vm.global()->setOwn("__registeredClasses", registry, prop::kDontEnum);
    }
    registry->setOwn(vm.toString(a[0]), a[1]);
    return true;
  });
  g->setOwn("ASSetPropFlags", vm.newFunction(setPropFlags), prop::kDontEnum);
}

void installFunction(Vm& vm, Object* g) {
  Object* proto = vm.protoOf("Function");
  Object* ctor = vm.newFunction([](Vm& vm, const CallArgs&) -> Value { return vm.newObject(); }, proto);
  g->setOwn("Function", ctor, prop::kDontEnum);
  vm.defineMethod(proto, "call", [](Vm& vm, const CallArgs& a) -> Value {
    std::span<const Value> rest = a.args.size() > 1 ? a.args.subspan(1) : std::span<const Value>();
    Value self = a[0];
    return vm.callValue(a.thisValue, self, rest);
  });
  vm.defineMethod(proto, "apply", [](Vm& vm, const CallArgs& a) -> Value {
    std::vector<Value> args;
    if (Object* list = a[1].object()) {
      if (list->kind() == ObjectKind::Array) args = list->elements;
    }
    return vm.callValue(a.thisValue, a[0], args);
  });
}

Value primitiveOf(const CallArgs& a, ObjectKind kind) {
  Object* o = a.thisValue.object();
  if (o && o->kind() == kind) return o->primitive;
  return a.thisValue;
}

void installBooleanNumber(Vm& vm, Object* g) {
  Object* bproto = vm.protoOf("Boolean");
  bproto->primitive = false;
  Object* bctor = vm.newFunction([](Vm& vm, const CallArgs& a) -> Value { return vm.toBool(a[0]); }, bproto);
  bctor->nativeConstructor = [](Vm& vm, const CallArgs& a) -> Value {
    Object* o = vm.make(ObjectKind::Boolean, vm.protoOf("Boolean"));
    o->primitive = a.size() ? vm.toBool(a[0]) : false;
    return o;
  };
  g->setOwn("Boolean", bctor, prop::kDontEnum);
  vm.defineMethod(bproto, "toString", [](Vm& vm, const CallArgs& a) -> Value {
    Value p = primitiveOf(a, ObjectKind::Boolean);
    return p.isBoolean() ? Value(p.boolean() ? "true" : "false") : Value();
  });
  vm.defineMethod(bproto, "valueOf", [](Vm&, const CallArgs& a) -> Value { return primitiveOf(a, ObjectKind::Boolean); });

  Object* nproto = vm.protoOf("Number");
  Object* nctor = vm.newFunction([](Vm& vm, const CallArgs& a) -> Value {
    return a.size() ? vm.toNumber(a[0]) : 0.0;
  }, nproto);
  nctor->nativeConstructor = [](Vm& vm, const CallArgs& a) -> Value {
    Object* o = vm.make(ObjectKind::Number, vm.protoOf("Number"));
    o->primitive = a.size() ? vm.toNumber(a[0]) : 0.0;
    return o;
  };
  g->setOwn("Number", nctor, prop::kDontEnum);
  const std::uint8_t constant = prop::kDontEnum | prop::kDontDelete | prop::kReadOnly;
  nctor->setOwn("MAX_VALUE", std::numeric_limits<double>::max(), constant);
  nctor->setOwn("MIN_VALUE", std::numeric_limits<double>::denorm_min(), constant);
  nctor->setOwn("NaN", kNaN, constant);
  nctor->setOwn("POSITIVE_INFINITY", std::numeric_limits<double>::infinity(), constant);
  nctor->setOwn("NEGATIVE_INFINITY", -std::numeric_limits<double>::infinity(), constant);
  vm.defineMethod(nproto, "toString", [](Vm& vm, const CallArgs& a) -> Value {
    Value p = primitiveOf(a, ObjectKind::Number);
    if (!p.isNumber()) return Value();
    int radix = a.size() && !a[0].isUndefined() ? toInt32(vm.toNumber(a[0])) : 10;
    return numberToRadixString(p.number(), radix);
  });
  vm.defineMethod(nproto, "valueOf", [](Vm&, const CallArgs& a) -> Value { return primitiveOf(a, ObjectKind::Number); });
  g->setOwn("NaN", kNaN, prop::kDontEnum);
  g->setOwn("Infinity", std::numeric_limits<double>::infinity(), prop::kDontEnum);
}

void installMath(Vm& vm, Object* g) {
  Object* math = vm.newObject();
  g->setOwn("Math", math, prop::kDontEnum);
  const std::uint8_t constant = prop::kDontEnum | prop::kDontDelete | prop::kReadOnly;
  math->setOwn("E", M_E, constant);
  math->setOwn("LN10", M_LN10, constant);
  math->setOwn("LN2", M_LN2, constant);
  math->setOwn("LOG10E", M_LOG10E, constant);
  math->setOwn("LOG2E", M_LOG2E, constant);
  math->setOwn("PI", M_PI, constant);
  math->setOwn("SQRT1_2", M_SQRT1_2, constant);
  math->setOwn("SQRT2", M_SQRT2, constant);
  auto unary = [&](const char* name, double (*fn)(double)) {
    vm.defineMethod(math, name, [fn](Vm& vm, const CallArgs& a) -> Value {
      return a.size() ? fn(vm.toNumber(a[0])) : kNaN;
    });
  };
  unary("abs", [](double x) { return std::fabs(x); });
  unary("acos", [](double x) { return std::acos(x); });
  unary("asin", [](double x) { return std::asin(x); });
  unary("atan", [](double x) { return std::atan(x); });
  unary("ceil", [](double x) { return std::ceil(x); });
  unary("cos", [](double x) { return std::cos(x); });
  unary("exp", [](double x) { return std::exp(x); });
  unary("floor", [](double x) { return std::floor(x); });
  unary("log", [](double x) { return std::log(x); });
  unary("round", [](double x) { return std::floor(x + 0.5); });
  unary("sin", [](double x) { return std::sin(x); });
  unary("sqrt", [](double x) { return std::sqrt(x); });
  unary("tan", [](double x) { return std::tan(x); });
  vm.defineMethod(math, "atan2", [](Vm& vm, const CallArgs& a) -> Value {
    return std::atan2(vm.toNumber(a[0]), vm.toNumber(a[1]));
  });
  vm.defineMethod(math, "pow", [](Vm& vm, const CallArgs& a) -> Value {
    return std::pow(vm.toNumber(a[0]), vm.toNumber(a[1]));
  });
  auto minmax = [&](const char* name, bool isMax) {
    vm.defineMethod(math, name, [isMax](Vm& vm, const CallArgs& a) -> Value {
      if (a.size() == 0) return isMax ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
      if (a.size() == 1) return kNaN;  // the player compares the first two arguments
      double r = vm.toNumber(a[0]);
      for (std::size_t i = 1; i < a.size(); ++i) {
        double v = vm.toNumber(a[i]);
        if (std::isnan(v) || std::isnan(r)) r = kNaN;
        else r = isMax ? std::max(r, v) : std::min(r, v);
      }
      return r;
    });
  };
  minmax("max", true);
  minmax("min", false);
  vm.defineMethod(math, "random", [](Vm&, const CallArgs&) -> Value {
    thread_local std::mt19937_64 engine{std::random_device{}()};
    return std::uniform_real_distribution<double>(0, 1)(engine);
  });
}

void installError(Vm& vm, Object* g) {
  Object* proto = vm.protoOf("Error");
  Object* ctor = vm.newFunction([](Vm& vm, const CallArgs& a) -> Value {
    Object* self = a.thisValue.object();
    if (self && !a[0].isUndefined()) self->setOwn("message", vm.toString(a[0]));
    return Value();
  }, proto);
  g->setOwn("Error", ctor, prop::kDontEnum);
  proto->setOwn("name", "Error", prop::kDontEnum);
  proto->setOwn("message", "Error", prop::kDontEnum);
  vm.defineMethod(proto, "toString", [](Vm& vm, const CallArgs& a) -> Value {
    return vm.toString(vm.getMember(a.thisValue, "message"));
  });
}

void installGlobals(Vm& vm, Object* g) {
  vm.defineMethod(g, "parseInt", [](Vm& vm, const CallArgs& a) -> Value { return parseIntValue(vm.toString(a[0]), a[1], vm); });
  vm.defineMethod(g, "parseFloat", [](Vm& vm, const CallArgs& a) -> Value { return parseFloatValue(vm.toString(a[0])); });
  vm.defineMethod(g, "isNaN", [](Vm& vm, const CallArgs& a) -> Value { return std::isnan(vm.toNumber(a[0])); });
  vm.defineMethod(g, "isFinite", [](Vm& vm, const CallArgs& a) -> Value { return std::isfinite(vm.toNumber(a[0])); });
  vm.defineMethod(g, "escape", [](Vm& vm, const CallArgs& a) -> Value { return escapeText(vm.toString(a[0])); });
  vm.defineMethod(g, "unescape", [](Vm& vm, const CallArgs& a) -> Value { return unescapeText(vm.toString(a[0])); });
  vm.defineMethod(g, "getTimer", [](Vm& vm, const CallArgs&) -> Value { return std::floor(vm.now()); });
  vm.defineMethod(g, "trace", [](Vm& vm, const CallArgs& a) -> Value {
    vm.trace(a[0].isUndefined() ? std::string("undefined") : vm.toString(a[0]));
    return Value();
  });
  auto timer = [](bool once) {
    return [once](Vm& vm, const CallArgs& a) -> Value {
      // setInterval(function, ms, args…) or setInterval(object, "method", ms, args…)
      if (Object* fn = a[0].object(); fn && fn->isFunction()) {
        if (a.size() < 2 || a[1].isUndefined()) return Value();
        std::vector<Value> rest(a.args.begin() + 2, a.args.end());
        return vm.addTimer(a[0], Value(), {}, vm.toNumber(a[1]), std::move(rest), once);
      }
      if (a[0].isObject() && a.size() >= 3) {
        std::vector<Value> rest(a.args.begin() + 3, a.args.end());
        return vm.addTimer(Value(), a[0], vm.toString(a[1]), vm.toNumber(a[2]), std::move(rest), once);
      }
      return Value();
    };
  };
  vm.defineMethod(g, "setInterval", timer(false));
  vm.defineMethod(g, "setTimeout", timer(true));
  auto clear = [](Vm& vm, const CallArgs& a) -> Value {
    vm.removeTimer(toInt32(vm.toNumber(a[0])));
    return Value();
  };
  vm.defineMethod(g, "clearInterval", clear);
  vm.defineMethod(g, "clearTimeout", clear);
}

}  // namespace

void installCoreBuiltins(Vm& vm) {
  Object* g = vm.global();
  installObject(vm, g);
  installFunction(vm, g);
  installBooleanNumber(vm, g);
  installMath(vm, g);
  installError(vm, g);
  installGlobals(vm, g);
  installArray(vm, g);
  installString(vm, g);
  installDate(vm, g);
  installMovieClip(vm, g);
  installXml(vm, g);
  installBroadcaster(vm, g);
  installGeom(vm, g);
}

}  // namespace plavex::script
