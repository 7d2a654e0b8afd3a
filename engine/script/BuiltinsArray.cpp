// Array and String.
#include <algorithm>
#include <cmath>

#include "engine/script/Builtins.h"

namespace plavex::script {

namespace {

// Array.sort / sortOn options.
constexpr int kCaseInsensitive = 1, kDescending = 2, kUniqueSort = 4, kReturnIndexedArray = 8, kNumeric = 16;

Object* thisArray(const CallArgs& a) {
  Object* o = a.thisValue.object();
  return o && o->kind() == ObjectKind::Array ? o : nullptr;
}

// A relative index as slice/splice take it: negative counts from the end.
std::size_t clampIndex(Vm& vm, const Value& v, std::size_t size, std::size_t fallback) {
  if (v.isUndefined()) return fallback;
  double d = toInteger(vm.toNumber(v));
  if (d < 0) d += static_cast<double>(size);
  return static_cast<std::size_t>(std::clamp(d, 0.0, static_cast<double>(size)));
}

std::string join(Vm& vm, Object* a, const std::string& sep) {
  std::string out;
  for (std::size_t i = 0; i < a->elements.size(); ++i) {
    if (i) out += sep;
    const Value& v = a->elements[i];
    if (!v.isUndefined() || vm.version() >= 7) out += vm.toString(v);
    if (vm.aborted() || vm.hasPendingThrow()) return {};
  }
  return out;
}

// -1, 0, 1 for the sort order of two values with the options.
int compareValues(Vm& vm, const Value& x, const Value& y, int options, const Value& compareFn) {
  if (compareFn.isObject()) {
    Value args[] = {x, y};
    double r = vm.toNumber(vm.callValue(compareFn, Value(), args));
    return r < 0 ? -1 : r > 0 ? 1 : 0;
  }
  if (options & kNumeric) {
    double a = vm.toNumber(x), b = vm.toNumber(y);
    if (std::isnan(a) || std::isnan(b)) {
      if (std::isnan(a) && std::isnan(b)) return 0;
      return std::isnan(a) ? 1 : -1;
    }
    return a < b ? -1 : a > b ? 1 : 0;
  }
  std::u16string a = toUtf16(vm.toString(x)), b = toUtf16(vm.toString(y));
  if (options & kCaseInsensitive) {
    for (auto& c : a) if (c >= 'A' && c <= 'Z') c = static_cast<char16_t>(c + 32);
    for (auto& c : b) if (c >= 'A' && c <= 'Z') c = static_cast<char16_t>(c + 32);
  }
  return a < b ? -1 : a > b ? 1 : 0;
}

// The shared part of sort and sortOn: `key` gives what is compared for each element.
Value sortArray(Vm& vm, Object* array, int options, const std::function<int(const Value&, const Value&)>& cmp) {
  std::vector<std::size_t> order(array->elements.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  bool duplicate = false;
  const auto& el = array->elements;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t i, std::size_t j) {
    if (vm.aborted() || vm.hasPendingThrow()) return false;
    int c = cmp(el[i], el[j]);
    if (c == 0) duplicate = true;
    if (options & kDescending) c = -c;
    return c < 0;
  });
  if (vm.aborted() || vm.hasPendingThrow()) return Value();
  if ((options & kUniqueSort) && duplicate) return 0.0;
  if (options & kReturnIndexedArray) {
    std::vector<Value> indices;
    for (auto i : order) indices.emplace_back(static_cast<double>(i));
    return vm.newArray(std::move(indices));
  }
  std::vector<Value> sorted;
  sorted.reserve(order.size());
  for (auto i : order) sorted.push_back(el[i]);
  array->elements = std::move(sorted);
  return Value(array);
}

}  // namespace

void installArray(Vm& vm, Object* g) {
  Object* proto = vm.protoOf("Array");
  auto make = [](Vm& vm, const CallArgs& a) -> Value {
    if (a.size() == 1 && a[0].isNumber()) {
      double n = a[0].number();
      std::vector<Value> el;
      if (n >= 0 && n < 1e7) el.resize(static_cast<std::size_t>(n));
      return vm.newArray(std::move(el));
    }
    return vm.newArray(std::vector<Value>(a.args.begin(), a.args.end()));
  };
  Object* ctor = vm.newFunction(make, proto);
  ctor->nativeConstructor = make;
  g->setOwn("Array", ctor, prop::kDontEnum);
  const std::uint8_t constant = prop::kDontEnum | prop::kDontDelete | prop::kReadOnly;
  ctor->setOwn("CASEINSENSITIVE", kCaseInsensitive, constant);
  ctor->setOwn("DESCENDING", kDescending, constant);
  ctor->setOwn("UNIQUESORT", kUniqueSort, constant);
  ctor->setOwn("RETURNINDEXEDARRAY", kReturnIndexedArray, constant);
  ctor->setOwn("NUMERIC", kNumeric, constant);

  vm.defineMethod(proto, "push", [](Vm&, const CallArgs& a) -> Value {
    Object* arr = thisArray(a);
    if (!arr) return Value();
    arr->elements.insert(arr->elements.end(), a.args.begin(), a.args.end());
    return static_cast<double>(arr->elements.size());
  });
  vm.defineMethod(proto, "pop", [](Vm&, const CallArgs& a) -> Value {
    Object* arr = thisArray(a);
    if (!arr || arr->elements.empty()) return Value();
    Value v = arr->elements.back();
    arr->elements.pop_back();
    return v;
  });
  vm.defineMethod(proto, "shift", [](Vm&, const CallArgs& a) -> Value {
    Object* arr = thisArray(a);
    if (!arr || arr->elements.empty()) return Value();
    Value v = arr->elements.front();
    arr->elements.erase(arr->elements.begin());
    return v;
  });
  vm.defineMethod(proto, "unshift", [](Vm&, const CallArgs& a) -> Value {
    Object* arr = thisArray(a);
    if (!arr) return Value();
    arr->elements.insert(arr->elements.begin(), a.args.begin(), a.args.end());
    return static_cast<double>(arr->elements.size());
  });
  vm.defineMethod(proto, "join", [](Vm& vm, const CallArgs& a) -> Value {
    Object* arr = thisArray(a);
    if (!arr) return Value();
    return join(vm, arr, a[0].isUndefined() ? std::string(",") : vm.toString(a[0]));
  });
  vm.defineMethod(proto, "toString", [](Vm& vm, const CallArgs& a) -> Value {
    Object* arr = thisArray(a);
    return arr ? Value(join(vm, arr, ",")) : Value("[object Object]");
  });
  vm.defineMethod(proto, "reverse", [](Vm&, const CallArgs& a) -> Value {
    Object* arr = thisArray(a);
    if (!arr) return Value();
    std::reverse(arr->elements.begin(), arr->elements.end());
    return Value(arr);
  });
  vm.defineMethod(proto, "concat", [](Vm& vm, const CallArgs& a) -> Value {
    Object* arr = thisArray(a);
    std::vector<Value> out = arr ? arr->elements : std::vector<Value>{};
    for (const Value& v : a.args) {
      Object* o = v.object();
      if (o && o->kind() == ObjectKind::Array) out.insert(out.end(), o->elements.begin(), o->elements.end());
      else out.push_back(v);
    }
    return vm.newArray(std::move(out));
  });
  vm.defineMethod(proto, "slice", [](Vm& vm, const CallArgs& a) -> Value {
    Object* arr = thisArray(a);
    if (!arr) return Value();
    std::size_t n = arr->elements.size();
    std::size_t start = clampIndex(vm, a[0], n, 0), end = clampIndex(vm, a[1], n, n);
    if (end < start) end = start;
    return vm.newArray(std::vector<Value>(arr->elements.begin() + start, arr->elements.begin() + end));
  });
  vm.defineMethod(proto, "splice", [](Vm& vm, const CallArgs& a) -> Value {
    Object* arr = thisArray(a);
    if (!arr || a.size() == 0) return Value();
    auto& el = arr->elements;
    std::size_t start = clampIndex(vm, a[0], el.size(), 0);
    std::size_t count = el.size() - start;
    if (a.size() > 1) {
      double c = toInteger(vm.toNumber(a[1]));
      count = static_cast<std::size_t>(std::clamp(c, 0.0, static_cast<double>(el.size() - start)));
    }
    std::vector<Value> removed(el.begin() + start, el.begin() + start + count);
    el.erase(el.begin() + start, el.begin() + start + count);
    if (a.size() > 2) el.insert(el.begin() + start, a.args.begin() + 2, a.args.end());
    return vm.newArray(std::move(removed));
  });
  vm.defineMethod(proto, "sort", [](Vm& vm, const CallArgs& a) -> Value {
    Object* arr = thisArray(a);
    if (!arr) return Value();
    Value compareFn;
    int options = 0;
    std::size_t next = 0;
    if (Object* f = a[0].object(); f && f->isFunction()) {
      compareFn = a[0];
      next = 1;
    }
    if (a.size() > next) options = toInt32(vm.toNumber(a[next]));
    return sortArray(vm, arr, options, [&](const Value& x, const Value& y) { return compareValues(vm, x, y, options, compareFn); });
  });
  vm.defineMethod(proto, "sortOn", [](Vm& vm, const CallArgs& a) -> Value {
    Object* arr = thisArray(a);
    if (!arr) return Value();
    std::vector<std::string> fields;
    std::vector<int> fieldOptions;
    if (Object* list = a[0].object(); list && list->kind() == ObjectKind::Array) {
      for (const Value& v : list->elements) fields.push_back(vm.toString(v));
    } else {
      fields.push_back(vm.toString(a[0]));
    }
    int options = 0;
    if (Object* list = a[1].object(); list && list->kind() == ObjectKind::Array) {
      for (const Value& v : list->elements) fieldOptions.push_back(toInt32(vm.toNumber(v)));
    } else if (!a[1].isUndefined()) {
      options = toInt32(vm.toNumber(a[1]));
    }
    return sortArray(vm, arr, options, [&](const Value& x, const Value& y) {
      for (std::size_t i = 0; i < fields.size(); ++i) {
        int o = i < fieldOptions.size() ? fieldOptions[i] : options;
        int c = compareValues(vm, vm.getMember(x, fields[i]), vm.getMember(y, fields[i]), o, Value());
        if (i < fieldOptions.size() && (o & kDescending) && !(options & kDescending)) c = -c;
        if (c != 0) return c;
      }
      return 0;
    });
  });
}

// ---- String ----

namespace {

std::u16string thisText(Vm& vm, const CallArgs& a) {
  Object* o = a.thisValue.object();
  if (o && o->kind() == ObjectKind::String) return toUtf16(vm.toString(o->primitive));
  return toUtf16(vm.toString(a.thisValue));
}

Value text(const std::u16string& s) { return Value(fromUtf16(s)); }

std::u16string upper(std::u16string s, bool toUpper) {
  for (auto& c : s) {
    if (toUpper && c >= 'a' && c <= 'z') c = static_cast<char16_t>(c - 32);
    else if (!toUpper && c >= 'A' && c <= 'Z') c = static_cast<char16_t>(c + 32);
    // Latin-1 letters, as the player maps them.
    else if (toUpper && c >= 0xE0 && c <= 0xFE && c != 0xF7) c = static_cast<char16_t>(c - 32);
    else if (!toUpper && c >= 0xC0 && c <= 0xDE && c != 0xD7) c = static_cast<char16_t>(c + 32);
  }
  return s;
}

}  // namespace

void installString(Vm& vm, Object* g) {
  Object* proto = vm.protoOf("String");
  Object* ctor = vm.newFunction([](Vm& vm, const CallArgs& a) -> Value {
    return a.size() ? Value(vm.toString(a[0])) : Value("");
  }, proto);
  ctor->nativeConstructor = [](Vm& vm, const CallArgs& a) -> Value {
    Object* o = vm.make(ObjectKind::String, vm.protoOf("String"));
    o->primitive = a.size() ? vm.toString(a[0]) : std::string();
    return o;
  };
  g->setOwn("String", ctor, prop::kDontEnum);
  vm.defineMethod(ctor, "fromCharCode", [](Vm& vm, const CallArgs& a) -> Value {
    std::u16string s;
    for (const Value& v : a.args) {
      auto c = static_cast<char16_t>(toUint32(vm.toNumber(v)) & 0xFFFF);
      if (c) s.push_back(c);
    }
    return text(s);
  });
  auto valueOf = [](Vm& vm, const CallArgs& a) -> Value { return text(thisText(vm, a)); };
  vm.defineMethod(proto, "toString", valueOf);
  vm.defineMethod(proto, "valueOf", valueOf);
  vm.defineMethod(proto, "charAt", [](Vm& vm, const CallArgs& a) -> Value {
    std::u16string s = thisText(vm, a);
    double i = toInteger(vm.toNumber(a[0]));
    if (i < 0 || i >= static_cast<double>(s.size())) return Value("");
    return text(s.substr(static_cast<std::size_t>(i), 1));
  });
  vm.defineMethod(proto, "charCodeAt", [](Vm& vm, const CallArgs& a) -> Value {
    std::u16string s = thisText(vm, a);
    double i = toInteger(vm.toNumber(a[0]));
    if (i < 0 || i >= static_cast<double>(s.size())) return std::nan("");
    return static_cast<double>(s[static_cast<std::size_t>(i)]);
  });
  vm.defineMethod(proto, "indexOf", [](Vm& vm, const CallArgs& a) -> Value {
    std::u16string s = thisText(vm, a), needle = toUtf16(vm.toString(a[0]));
    double from = a.size() > 1 ? std::max(toInteger(vm.toNumber(a[1])), 0.0) : 0.0;
    if (from > static_cast<double>(s.size())) return -1.0;
    auto pos = s.find(needle, static_cast<std::size_t>(from));
    return pos == std::u16string::npos ? -1.0 : static_cast<double>(pos);
  });
  vm.defineMethod(proto, "lastIndexOf", [](Vm& vm, const CallArgs& a) -> Value {
    std::u16string s = thisText(vm, a), needle = toUtf16(vm.toString(a[0]));
    std::size_t from = std::u16string::npos;
    if (a.size() > 1) {
      double d = toInteger(vm.toNumber(a[1]));
      if (d < 0) return -1.0;
      from = static_cast<std::size_t>(std::min(d, 1e9));
    }
    auto pos = s.rfind(needle, from);
    return pos == std::u16string::npos ? -1.0 : static_cast<double>(pos);
  });
  vm.defineMethod(proto, "substr", [](Vm& vm, const CallArgs& a) -> Value {
    std::u16string s = thisText(vm, a);
    double size = static_cast<double>(s.size());
    double start = toInteger(vm.toNumber(a[0]));
    if (start < 0) start = std::max(size + start, 0.0);
    start = std::min(start, size);
    double len = a[1].isUndefined() ? size - start : toInteger(vm.toNumber(a[1]));
    if (len < 0) len = 0;
    len = std::min(len, size - start);
    return text(s.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(len)));
  });
  vm.defineMethod(proto, "substring", [](Vm& vm, const CallArgs& a) -> Value {
    std::u16string s = thisText(vm, a);
    double size = static_cast<double>(s.size());
    double start = std::clamp(toInteger(vm.toNumber(a[0])), 0.0, size);
    double end = a[1].isUndefined() ? size : std::clamp(toInteger(vm.toNumber(a[1])), 0.0, size);
    if (end < start) std::swap(start, end);
    return text(s.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start)));
  });
  vm.defineMethod(proto, "slice", [](Vm& vm, const CallArgs& a) -> Value {
    std::u16string s = thisText(vm, a);
    double size = static_cast<double>(s.size());
    auto rel = [&](const Value& v, double fallback) {
      if (v.isUndefined()) return fallback;
      double d = toInteger(vm.toNumber(v));
      return std::clamp(d < 0 ? size + d : d, 0.0, size);
    };
    double start = rel(a[0], 0), end = rel(a[1], size);
    if (end <= start) return Value("");
    return text(s.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start)));
  });
  vm.defineMethod(proto, "split", [](Vm& vm, const CallArgs& a) -> Value {
    std::u16string s = thisText(vm, a);
    std::vector<Value> parts;
    if (a[0].isUndefined()) {
      parts.push_back(text(s));
      return vm.newArray(std::move(parts));
    }
    std::u16string sep = toUtf16(vm.toString(a[0]));
    double limit = a[1].isUndefined() ? 1e9 : toInteger(vm.toNumber(a[1]));
    if (sep.empty()) {
      for (char16_t c : s) {
        if (parts.size() >= limit) break;
        parts.push_back(text(std::u16string(1, c)));
      }
      return vm.newArray(std::move(parts));
    }
    std::size_t start = 0;
    while (parts.size() < limit) {
      auto pos = s.find(sep, start);
      if (pos == std::u16string::npos) {
        parts.push_back(text(s.substr(start)));
        break;
      }
      parts.push_back(text(s.substr(start, pos - start)));
      start = pos + sep.size();
    }
    return vm.newArray(std::move(parts));
  });
  vm.defineMethod(proto, "toUpperCase", [](Vm& vm, const CallArgs& a) -> Value { return text(upper(thisText(vm, a), true)); });
  vm.defineMethod(proto, "toLowerCase", [](Vm& vm, const CallArgs& a) -> Value { return text(upper(thisText(vm, a), false)); });
  vm.defineMethod(proto, "concat", [](Vm& vm, const CallArgs& a) -> Value {
    std::string s = fromUtf16(thisText(vm, a));
    for (const Value& v : a.args) s += vm.toString(v);
    return s;
  });
}

}  // namespace plavex::script
