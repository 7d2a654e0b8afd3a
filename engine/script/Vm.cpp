// The machine's object services: conversions that involve objects, member access with
// the special members of arrays, strings and display objects, calls and construction.
#include "engine/script/Vm.h"

#include <cmath>
#include <unordered_set>

#include "engine/script/Frame.h"

namespace plavex::script {

namespace {

// A non-negative array index written canonically ("0", "12"), or -1.
long long arrayIndex(std::string_view name) {
  if (name.empty() || name.size() > 10) return -1;
  if (name.size() > 1 && name[0] == '0') return -1;
  long long v = 0;
  for (char c : name) {
    if (c < '0' || c > '9') return -1;
    v = v * 10 + (c - '0');
  }
  return v < 0xFFFFFFFFLL ? v : -1;
}

constexpr const char* kPropertyNames[] = {
    "_x", "_y", "_xscale", "_yscale", "_currentframe", "_totalframes", "_alpha", "_visible",
    "_width", "_height", "_rotation", "_target", "_framesloaded", "_name", "_droptarget", "_url",
    "_highquality", "_focusrect", "_soundbuftime", "_quality", "_xmouse", "_ymouse"};

}  // namespace

StageProperty stagePropertyByName(std::string_view name) {
  if (name.size() < 2 || name[0] != '_') return StageProperty::Count;
  for (int i = 0; i < static_cast<int>(StageProperty::Count); ++i) {
    if (namesEqual(name, kPropertyNames[i], false)) return static_cast<StageProperty>(i);
  }
  return StageProperty::Count;
}

Vm::Vm(int swfVersion, MovieHost* host, ScriptLimits limits)
    : version_(swfVersion), host_(host), limits_(limits), heap_(swfVersion >= 7, prop::versionHiddenFlags(swfVersion)),
      started_(std::chrono::steady_clock::now()) {
  installBuiltins();
}

Vm::~Vm() = default;

double Vm::now() const {
  if (clock_) return clock_();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started_).count();
}

void Vm::installBuiltins() {
  Object* objectProto = heap_.make(ObjectKind::Plain, nullptr);
  protos_["Object"] = objectProto;
  Object* functionProto = heap_.make(ObjectKind::Function, objectProto);
  functionProto->native = [](Vm&, const CallArgs&) { return Value(); };
  protos_["Function"] = functionProto;
  global_ = heap_.make(ObjectKind::Plain, objectProto);
  for (const char* name : {"Array", "String", "Number", "Boolean", "Date", "Error", "MovieClip", "XMLNode", "XML"}) {
    protos_[name] = heap_.make(ObjectKind::Plain, objectProto);
  }
  installCoreBuiltins(*this);
}

Object* Vm::protoOf(std::string_view builtin) const {
  auto it = protos_.find(std::string(builtin));
  return it == protos_.end() ? nullptr : it->second;
}

Object* Vm::newObject() { return heap_.make(ObjectKind::Plain, protoOf("Object")); }

Object* Vm::newArray(std::vector<Value> elements) {
  Object* a = heap_.make(ObjectKind::Array, protoOf("Array"));
  a->elements = std::move(elements);
  return a;
}

Object* Vm::newFunction(NativeFunction fn, Object* prototypeObject) {
  Object* f = heap_.make(ObjectKind::Function, protoOf("Function"));
  f->native = std::move(fn);
  if (prototypeObject) {
    f->setOwn("prototype", prototypeObject, prop::kDontEnum | prop::kDontDelete);
    prototypeObject->setOwn("constructor", f, prop::kDontEnum);
  }
  return f;
}

void Vm::defineMethod(Object* on, std::string_view name, NativeFunction fn) {
  on->setOwn(name, newFunction(std::move(fn)), prop::kDontEnum);
}

Object* Vm::newError(const std::string& message) {
  Object* e = heap_.make(ObjectKind::Error, protoOf("Error"));
  e->setOwn("message", message);
  return e;
}

// ---- conversions ----

Value Vm::toPrimitive(const Value& v, bool preferString) {
  Object* o = v.object();
  if (!o) return v;
  if (o->kind() == ObjectKind::Date) preferString = true;
  auto callMethod = [&](const char* name, Value& out) {
    Value fn = getMember(v, name);
    Object* f = fn.object();
    if (!f || !f->isFunction() || aborted() || hasPendingThrow()) return false;
    out = callValue(fn, v, {});
    return !aborted() && !hasPendingThrow();
  };
  Value r;
  if (!preferString) {
    // valueOf alone: an object it returns stays an object (a number from it is NaN).
    if (callMethod("valueOf", r)) return r;
    return v;
  }
  if (o->kind() == ObjectKind::Stage && o->stage && !o->find("toString")) return targetPath(o->stage);
  if (callMethod("toString", r) && !r.isObject()) return r;
  if (callMethod("valueOf", r) && !r.isObject()) return r;
  if (o->isFunction()) return Value("[type Function]");
  return Value("[type Object]");
}

double Vm::toNumber(const Value& v) {
  if (v.isNumber()) return v.number();
  if (!v.isObject()) return primitiveToNumber(v, version_);
  Value p = toPrimitive(v);
  if (p.isObject()) return version_ < 5 ? 0.0 : std::nan("");
  return primitiveToNumber(p, version_);
}

std::string Vm::toString(const Value& v) {
  if (v.isString()) return v.string();
  if (!v.isObject()) return primitiveToString(v, version_);
  Value p = toPrimitive(v, true);
  return p.isObject() ? std::string("[object Object]") : primitiveToString(p, version_);
}

std::string Vm::typeOf(const Value& v) const {
  switch (v.type()) {
    case Type::Undefined: return "undefined";
    case Type::Null: return "null";
    case Type::Boolean: return "boolean";
    case Type::Number: return "number";
    case Type::String: return "string";
    case Type::Object: {
      Object* o = v.object();
      if (o->isFunction()) return "function";
      if (o->kind() == ObjectKind::Stage && o->stage && o->stage->isMovieClip()) return "movieclip";
      return "object";
    }
  }
  return "undefined";
}

bool Vm::equalsStrict(const Value& a, const Value& b) {
  if (a.type() != b.type()) return false;
  if (a.isNumber()) return a.number() == b.number();
  return a == b;
}

bool Vm::equalsLoose(const Value& a, const Value& b) {
  if (a.type() == b.type()) return equalsStrict(a, b);
  if (a.isNullish() && b.isNullish()) return true;
  if (a.isNullish() || b.isNullish()) return false;
  if (a.isNumber() && b.isString()) return a.number() == stringToNumber(b.string(), version_);
  if (a.isString() && b.isNumber()) return stringToNumber(a.string(), version_) == b.number();
  if (a.isBoolean()) return equalsLoose(Value(a.boolean() ? 1.0 : 0.0), b);
  if (b.isBoolean()) return equalsLoose(a, Value(b.boolean() ? 1.0 : 0.0));
  if (a.isObject() && !b.isObject()) {
    Value p = toPrimitive(a);
    return !p.isObject() && equalsLoose(p, b);
  }
  if (b.isObject() && !a.isObject()) {
    Value p = toPrimitive(b);
    return !p.isObject() && equalsLoose(a, p);
  }
  return false;
}

// ---- members ----

Value Vm::stringMember(const std::string& s, std::string_view name) {
  if (namesEqual(name, "length", caseSensitive())) return Value(static_cast<double>(toUtf16(s).size()));
  Property* p = protoOf("String")->find(name);
  if (!p) return Value();
  if (p->isAccessor()) return callValue(p->getter, Value(s), {});
  return p->value;
}

Value Vm::stageMember(Object* o, std::string_view name, bool& found) {
  found = true;
  StageObject* s = o->stage;
  StageProperty sp = stagePropertyByName(name);
  if (sp == StageProperty::Target) {
    // The slash path: "/" for the root, "/a/b" below it.
    std::vector<std::string> names;
    for (StageObject* p = s; p && p->parent(); p = p->parent()) names.push_back(p->name());
    std::string path;
    for (auto it = names.rbegin(); it != names.rend(); ++it) path += "/" + *it;
    return Value(path.empty() ? std::string("/") : path);
  }
  if (sp != StageProperty::Count) return s->property(sp);
  if (namesEqual(name, "_parent", false)) {
    StageObject* p = s->parent();
    return p ? Value(scriptObject(p)) : Value();
  }
  if (namesEqual(name, "_root", false) && host_) return Value(scriptObject(host_->root()));
  if (name.size() > 6 && namesEqual(name.substr(0, 6), "_level", false) && host_) {
    int n = 0;
    for (char c : name.substr(6)) {
      if (c < '0' || c > '9') { found = false; return Value(); }
      n = n * 10 + (c - '0');
    }
    StageObject* level = host_->level(n);
    return level ? Value(scriptObject(level)) : Value();
  }
  if (StageObject* child = s->child(name, caseSensitive())) return Value(scriptObject(child));
  found = false;
  return Value();
}

bool Vm::lookupMember(Object* o, std::string_view name, Value& out) {
  if (o->kind() == ObjectKind::Array) {
    if (namesEqual(name, "length", caseSensitive())) {
      out = Value(static_cast<double>(o->elements.size()));
      return true;
    }
    long long i = arrayIndex(name);
    if (i >= 0) {
      if (static_cast<std::size_t>(i) < o->elements.size()) {
        out = o->elements[i];
        return true;
      }
    }
  }
  if (o->kind() == ObjectKind::String && namesEqual(name, "length", caseSensitive()) && o->primitive.isString()) {
    out = Value(static_cast<double>(toUtf16(o->primitive.string()).size()));
    return true;
  }
  if (name == "__proto__") {
    out = o->proto() ? Value(o->proto()) : Value();
    return o->proto() != nullptr;
  }
  if (o->kind() == ObjectKind::Stage && o->stage && name.size() > 1 && name[0] == '_' &&
      stagePropertyByName(name) != StageProperty::Count) {
    bool found = false;
    out = stageMember(o, name, found);
    return found;
  }
  if (Property* p = o->find(name)) {
    out = p->isAccessor() ? callValue(p->getter, Value(o), {}) : p->value;
    return true;
  }
  if (o->kind() == ObjectKind::Stage && o->stage) {
    bool found = false;
    out = stageMember(o, name, found);
    return found;
  }
  return false;
}

Value Vm::getMemberValue(const Value& base, const Value& name) {
  if (name.isNumber() && base.isObject() && base.object()->kind() == ObjectKind::Array) {
    double d = name.number();
    const auto& el = base.object()->elements;
    if (d >= 0 && d == std::floor(d) && d < static_cast<double>(el.size())) return el[static_cast<std::size_t>(d)];
  }
  return getMember(base, toString(name));
}

Value Vm::getMember(const Value& base, std::string_view name) {
  switch (base.type()) {
    case Type::Object: {
      Value out;
      lookupMember(base.object(), name, out);
      return out;
    }
    case Type::String: return stringMember(base.string(), name);
    case Type::Number:
    case Type::Boolean: {
      Object* proto = protoOf(base.isNumber() ? "Number" : "Boolean");
      Property* p = proto->find(name);
      if (!p) return Value();
      return p->isAccessor() ? callValue(p->getter, base, {}) : p->value;
    }
    default: return Value();
  }
}

void Vm::setMember(const Value& base, std::string_view name, Value value) {
  Object* o = base.object();
  if (!o || name.empty()) return;  // the player makes no property without a name
  if (name == "__proto__") {
    if (value.isObject()) o->setProto(value.object());
    else if (value.isNull()) o->setProto(nullptr);
    return;
  }
  if (o->kind() == ObjectKind::Stage && o->stage) {
    StageProperty sp = stagePropertyByName(name);
    if (sp != StageProperty::Count) {
      if (sp == StageProperty::Name) value = Value(toString(value));
      o->stage->setProperty(sp, value);
      return;
    }
  }
  // watch(): the callback decides the stored value.
  for (auto& [watched, w] : o->watchers) {
    if (!namesEqual(watched, name, caseSensitive())) continue;
    Value old;
    lookupMember(o, name, old);
    Value args[] = {Value(std::string(name)), old, value, w.userData};
    Watcher copy = w;
    value = callValue(copy.callback, Value(o), args);
    if (aborted() || hasPendingThrow()) return;
    break;
  }
  if (o->kind() == ObjectKind::Array) {
    auto& el = o->elements;
    if (namesEqual(name, "length", caseSensitive())) {
      double n = toNumber(value);
      if (n >= 0 && n < 1e7) el.resize(static_cast<std::size_t>(n));
      return;
    }
    long long i = arrayIndex(name);
    if (i >= 0 && i < 10'000'000) {
      if (static_cast<std::size_t>(i) >= el.size()) el.resize(static_cast<std::size_t>(i) + 1);
      el[static_cast<std::size_t>(i)] = std::move(value);
      return;
    }
  }
  if (Property* own = o->findOwn(name)) {
    if (o->hiddenByVersion(*own)) {
      // A property this version cannot see is replaced by a new plain one.
      *own = Property{std::move(value)};
      return;
    }
    if (own->isAccessor()) {
      if (own->setter) {
        Value args[] = {value};
        callValue(own->setter, Value(o), args);
      }
      return;
    }
    if (own->flags & prop::kReadOnly) return;
    own->value = std::move(value);
    return;
  }
  // An inherited accessor runs its setter on this object.
  if (Property* inherited = o->proto() ? o->proto()->find(name) : nullptr; inherited && inherited->isAccessor()) {
    if (inherited->setter) {
      Value args[] = {value};
      callValue(inherited->setter, Value(o), args);
    }
    return;
  }
  o->setOwn(name, std::move(value));
}

bool Vm::deleteMember(const Value& base, std::string_view name) {
  Object* o = base.object();
  if (!o) return false;
  if (o->kind() == ObjectKind::Array) {
    long long i = arrayIndex(name);
    if (i >= 0 && static_cast<std::size_t>(i) < o->elements.size()) {
      o->elements[static_cast<std::size_t>(i)] = Value();
      return true;
    }
  }
  return o->removeOwn(name);
}

std::vector<std::string> Vm::enumerate(Object* o) {
  std::vector<std::string> out;
  std::unordered_set<std::string> seen;
  auto add = [&](const std::string& name) {
    std::string key = caseSensitive() ? name : foldName(name);
    if (seen.insert(key).second) out.push_back(name);
  };
  int guard = 0;
  for (Object* p = o; p && guard < 256; p = p->proto(), ++guard) {
    if (p->kind() == ObjectKind::Array) {
      for (std::size_t i = 0; i < p->elements.size(); ++i)
        if (!p->elements[i].isUndefined()) add(std::to_string(i));
    }
    for (const auto& [name, flags] : p->ownNames()) {
      if (flags & prop::kDontEnum) {
        seen.insert(caseSensitive() ? name : foldName(name));  // hides inherited ones of that name
        continue;
      }
      add(name);
    }
  }
  return out;
}

bool Vm::instanceOf(const Value& v, Object* constructor) {
  Object* o = v.object();
  if (!o || !constructor) return false;
  Value protoValue = getMember(Value(constructor), "prototype");
  Object* target = protoValue.object();
  if (!target) return false;
  int guard = 0;
  for (Object* p = o->proto(); p && guard < 256; p = p->proto(), ++guard) {
    if (p == target) return true;
    // Interfaces declared with ImplementsOp on a prototype along the chain.
    std::vector<Object*> pending(p->interfaces.begin(), p->interfaces.end());
    for (int n = 0; !pending.empty() && n < 256; ++n) {
      Object* iface = pending.back();
      pending.pop_back();
      if (iface == constructor) return true;
      Value ip = getMember(Value(iface), "prototype");
      if (Object* ipo = ip.object()) pending.insert(pending.end(), ipo->interfaces.begin(), ipo->interfaces.end());
    }
  }
  return false;
}

// ---- calls ----

Value Vm::callValue(const Value& function, const Value& thisValue, std::span<const Value> args) {
  Object* fn = function.object();
  if (!fn || !fn->isFunction() || aborted()) return Value();
  Value result;
  Status s = callObject(fn, thisValue, args, result, nullptr);
  if (s == Status::Throw) throwValue(result);
  return s == Status::Throw || s == Status::Abort ? Value() : result;
}

Vm::Status Vm::callObject(Object* fn, const Value& thisValue, std::span<const Value> args, Value& result,
                          Object* superObject) {
  if (depth_ >= limits_.maxRecursion) {
    abortWith(RunOutcome::TooDeep, "256 levels of recursion were exceeded in one action list");
    return Status::Abort;
  }
  if (fn->code) return callCode(fn, thisValue, args, result, superObject);
  if (!fn->native) {
    result = Value();
    return Status::Normal;
  }
  ++depth_;
  CallArgs call{thisValue, args, fn};
  result = fn->native(*this, call);
  --depth_;
  if (abort_) return Status::Abort;
  if (hasPending_) {
    result = std::move(pending_);
    pending_ = Value();
    hasPending_ = false;
    return Status::Throw;
  }
  return Status::Normal;
}

Value Vm::construct(const Value& constructor, std::span<const Value> args) {
  Object* fn = constructor.object();
  if (!fn || !fn->isFunction()) return Value();
  if (fn->nativeConstructor) {
    ++depth_;
    CallArgs call{Value(), args, fn};
    Value r = fn->nativeConstructor(*this, call);
    --depth_;
    return r;
  }
  Value protoValue = getMember(constructor, "prototype");
  Object* o = heap_.make(ObjectKind::Plain, protoValue.object() ? protoValue.object() : protoOf("Object"));
  o->setOwn("__constructor__", fn, prop::kDontEnum);
  if (version_ < 7) o->setOwn("constructor", fn, prop::kDontEnum);
  Value result;
  Status s = callObject(fn, Value(o), args, result, nullptr);
  if (s == Status::Throw) throwValue(result);
  // Built-in constructors called through a subclass return the object they made.
  if (s == Status::Normal && fn->native && result.isObject() && result.object() != o) return result;
  return Value(o);
}

Object* Vm::makeSuper(const Value& thisValue, Object* calledThrough) {
  // The home is the prototype whose parent `super` addresses: this.__proto__ for an
  // ordinary call, one level higher for each call made through super.
  Object* self = thisValue.object();
  Object* home = calledThrough ? calledThrough->proto() : (self ? self->proto() : nullptr);
  if (!home) return nullptr;
  Object* s = heap_.make(ObjectKind::Super, home->proto());
  s->home = home;
  s->primitive = thisValue;
  return s;
}

void Vm::abortWith(RunOutcome outcome, std::string message) {
  if (!abort_) abort_ = std::make_pair(outcome, std::move(message));
}

bool Vm::checkClock() {
  if (std::chrono::steady_clock::now() - runStarted_ > limits_.timeout) {
    abortWith(RunOutcome::TimedOut, "A script has been running too long and was stopped");
    return true;
  }
  return false;
}

void Vm::trace(const std::string& line) {
  if (host_) host_->trace(line);
  if (traceSink_) traceSink_(line);
}

// ---- display objects ----

Object* Vm::scriptObject(StageObject* stage) {
  if (!stage) return nullptr;
  auto it = stageObjects_.find(stage);
  if (it != stageObjects_.end()) return it->second;
  Object* proto = protoOf(stage->prototypeName());
  Object* o = heap_.make(ObjectKind::Stage, proto ? proto : protoOf("Object"));
  o->stage = stage;
  stageObjects_.emplace(stage, o);
  return o;
}

void Vm::forgetStageObject(StageObject* stage) {
  auto it = stageObjects_.find(stage);
  if (it == stageObjects_.end()) return;
  it->second->stage = nullptr;
  stageObjects_.erase(it);
}

std::string Vm::targetPath(StageObject* stage) {
  std::vector<std::string> names;
  StageObject* p = stage;
  for (; p && p->parent(); p = p->parent()) names.push_back(p->name());
  std::string path = "_level0";
  if (host_ && p) {
    for (int n = 0; n < 64; ++n) {
      if (host_->level(n) == p) {
        path = "_level" + std::to_string(n);
        break;
      }
    }
  }
  for (auto it = names.rbegin(); it != names.rend(); ++it) path += "." + *it;
  return path;
}

StageObject* Vm::stageOf(const Value& v) const {
  Object* o = v.object();
  return o && o->kind() == ObjectKind::Stage ? o->stage : nullptr;
}

// ---- garbage and timers ----

void Vm::collectGarbage() {
  if (depth_ > 0) return;
  std::vector<Object*> roots{global_};
  for (auto& [name, p] : protos_) roots.push_back(p);
  for (auto& [stage, o] : stageObjects_) roots.push_back(o);
  std::vector<Value> values(stack_.begin(), stack_.end());
  for (auto& [id, t] : timers_) {
    values.push_back(t.function);
    values.push_back(t.thisValue);
    values.insert(values.end(), t.args.begin(), t.args.end());
  }
  heap_.collect(roots, values);
}

int Vm::addTimer(Value function, Value thisValue, std::string method, double intervalMs, std::vector<Value> args,
                 bool once) {
  int id = nextTimer_++;
  double interval = std::isfinite(intervalMs) && intervalMs > 0 ? intervalMs : 0;
  timers_[id] = Timer{std::move(function), std::move(thisValue), std::move(method), interval, now() + interval,
                      std::move(args), once};
  return id;
}

void Vm::removeTimer(int id) { timers_.erase(id); }

void Vm::runTimers() {
  double t = now();
  std::vector<int> due;
  for (auto& [id, timer] : timers_)
    if (timer.due <= t) due.push_back(id);
  std::sort(due.begin(), due.end());
  for (int id : due) {
    auto it = timers_.find(id);
    if (it == timers_.end()) continue;
    Timer timer = it->second;
    if (timer.once) timers_.erase(it);
    else it->second.due = t + std::max(timer.interval, 1.0);
    Value fn = timer.function;
    if (!timer.method.empty()) fn = getMember(timer.thisValue, timer.method);
    call(fn, timer.thisValue, timer.args);
  }
}

std::optional<Value> Vm::call(const Value& function, const Value& thisValue, std::span<const Value> args) {
  if (depth_ == 0) {
    runStarted_ = std::chrono::steady_clock::now();
    abort_.reset();
    hasPending_ = false;
  }
  Value r = callValue(function, thisValue, args);
  bool failed = abort_.has_value() || hasPending_;
  if (depth_ == 0) {
    abort_.reset();
    hasPending_ = false;
    pending_ = Value();
  }
  if (failed) return std::nullopt;
  return r;
}

}  // namespace plavex::script
