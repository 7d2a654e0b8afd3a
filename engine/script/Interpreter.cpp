// The action interpreter: the stack machine, control flow, blocks (with, try), function
// definitions and calls, and the timeline actions addressed to the current target.
#include <algorithm>
#include <cmath>
#include <random>

#include "engine/script/Frame.h"
#include "engine/script/Vm.h"

namespace plavex::script {

namespace {

// DefineFunction2 flags.
constexpr std::uint16_t kPreloadThis = 0x01, kSuppressThis = 0x02, kPreloadArguments = 0x04,
                        kSuppressArguments = 0x08, kPreloadSuper = 0x10, kSuppressSuper = 0x20,
                        kPreloadRoot = 0x40, kPreloadParent = 0x80, kPreloadGlobal = 0x100;

constexpr std::size_t kMaxStack = 1 << 20;

// Steps over `count` actions (the frame-loaded waits skip theirs); false when an action
// header is cut off.
bool skipActions(std::span<const std::uint8_t> code, std::size_t& pc, int count) {
  for (int k = 0; k < count && pc < code.size(); ++k) {
    if (code[pc] >= 0x80) {
      if (pc + 3 > code.size()) return false;
      pc += 3 + (code[pc + 1] | (code[pc + 2] << 8));
    } else {
      pc += 1;
    }
  }
  return true;
}

std::mt19937& randomEngine() {
  thread_local std::mt19937 engine{std::random_device{}()};
  return engine;
}

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && namesEqual(s.substr(0, prefix.size()), prefix, false);
}

}  // namespace

RunResult Vm::run(std::span<const std::uint8_t> code, Object* target) {
  const bool topLevel = depth_ == 0;
  if (topLevel) {
    runStarted_ = std::chrono::steady_clock::now();
    instructions_ = 0;
    abort_.reset();
    hasPending_ = false;
  }
  Object* timeline = target ? target : newObject();
  Frame f;
  f.code = code;
  f.constants = std::make_shared<const std::vector<std::string>>();
  f.scope = std::make_shared<const Scope>(Scope{timeline, std::make_shared<const Scope>(Scope{global_, nullptr})});
  f.registers.resize(4);
  f.thisValue = Value(timeline);
  f.target = f.baseTarget = f.local = timeline;
  f.haltWhenRemoved = timeline->stage && !timeline->stage->removed();
  f.version = version_;
  f.stackBase = stack_.size();
  Value result;
  ++depth_;
  Status s = exec(f, result);
  --depth_;
  stack_.resize(f.stackBase);
  RunResult out;
  if (abort_) {
    out.outcome = abort_->first;
    out.message = abort_->second;
  } else if (s == Status::Throw) {
    out.outcome = RunOutcome::Thrown;
    out.message = "Uncaught exception: " + primitiveToString(result.isObject() ? Value("[object]") : result, version_);
  }
  if (topLevel) {
    abort_.reset();
    hasPending_ = false;
    pending_ = Value();
  }
  return out;
}

Vm::Status Vm::callCode(Object* fn, const Value& thisValue, std::span<const Value> args, Value& result,
                        Object* calledThrough) {
  const FunctionCode& code = *fn->code;
  Frame f;
  f.code = code.body;
  f.constants = code.constants;
  f.version = code.swfVersion;
  f.thisValue = thisValue;
  f.callee = fn;
  f.inFunction = true;
  f.stackBase = stack_.size();
  Object* activation = heap_.make(ObjectKind::Plain, nullptr);
  f.local = activation;
  f.scope = std::make_shared<const Scope>(Scope{activation, fn->scope});
  // The timeline: the innermost stage object of the captured chain, else the root.
  for (const Scope* s = fn->scope.get(); s; s = s->parent.get()) {
    if (s->object && s->object->kind() == ObjectKind::Stage) {
      f.target = f.baseTarget = s->object;
      break;
    }
  }
  if (!f.target) f.target = f.baseTarget = host_ ? scriptObject(host_->root()) : global_;
  if (!f.target) f.target = f.baseTarget = global_;

  auto makeArguments = [&] {
    Object* a = newArray(std::vector<Value>(args.begin(), args.end()));
    a->setOwn("callee", fn, prop::kDontEnum);
    a->setOwn("caller", Value::null(), prop::kDontEnum);
    return a;
  };
  if (!code.isFunction2) {
    f.registers.resize(4);
    activation->setOwn("arguments", makeArguments(), prop::kDontEnum);
    for (std::size_t i = 0; i < code.params.size(); ++i)
      activation->setOwn(code.params[i].name, i < args.size() ? args[i] : Value());
  } else {
    f.registers.resize(std::max<std::size_t>(code.registerCount, 1) + 1);
    std::size_t reg = 1;
    auto preload = [&](Value v) {
      if (reg < f.registers.size()) f.registers[reg] = std::move(v);
      ++reg;
    };
    std::uint16_t flags = code.flags;
    if (flags & kPreloadThis) preload(thisValue);
    if (flags & kPreloadArguments) preload(makeArguments());
    else if (!(flags & kSuppressArguments)) activation->setOwn("arguments", makeArguments(), prop::kDontEnum);
    if (flags & kPreloadSuper) preload(makeSuper(thisValue, calledThrough));
    else if (!(flags & kSuppressSuper)) f.superObject = makeSuper(thisValue, calledThrough);
    if (flags & kPreloadRoot) preload(host_ ? Value(scriptObject(host_->root())) : Value());
    if (flags & kPreloadParent) {
      StageObject* t = f.target ? f.target->stage : nullptr;
      preload(t && t->parent() ? Value(scriptObject(t->parent())) : Value());
    }
    if (flags & kPreloadGlobal) preload(global_);
    if (flags & kSuppressThis) f.thisValue = Value();
    for (std::size_t i = 0; i < code.params.size(); ++i) {
      Value v = i < args.size() ? args[i] : Value();
      if (code.params[i].reg != 0 && code.params[i].reg < f.registers.size()) f.registers[code.params[i].reg] = v;
      else activation->setOwn(code.params[i].name, v);
    }
  }
  if (!code.isFunction2) f.superObject = makeSuper(thisValue, calledThrough);

  ++depth_;
  Status s = exec(f, result);
  --depth_;
  stack_.resize(std::min(stack_.size(), f.stackBase));
  if (s == Status::Normal) result = Value();
  if (s == Status::Return) s = Status::Normal;
  return s;
}

// ---- variables and paths ----

Object* Vm::localObject(Frame& f) const { return f.local; }

Value Vm::resolvePath(Frame& f, std::string_view path) {
  Value current;
  std::size_t i = 0;
  if (!path.empty() && path[0] == '/') {
    current = host_ ? Value(scriptObject(host_->root())) : Value(f.baseTarget);
    i = 1;
  } else {
    current = Value(f.target);
  }
  bool first = true;
  while (i < path.size()) {
    std::size_t j = i;
    if (path.substr(i, 2) == "..") {
      j = i + 2;
      current = getMember(current, "_parent");
    } else {
      while (j < path.size() && path[j] != '/' && path[j] != '.' && path[j] != ':') ++j;
      std::string_view seg = path.substr(i, j - i);
      if (!seg.empty()) {
        if (first && path[0] != '/') current = getVariable(f, seg);
        else current = getMember(current, seg);
      }
    }
    first = false;
    if (current.isUndefined()) return current;
    i = j < path.size() ? j + 1 : j;
  }
  return current;
}

StageObject* Vm::resolveTarget(Frame& f, std::string_view path) {
  if (path.empty()) return f.baseTarget ? f.baseTarget->stage : nullptr;
  return stageOf(resolvePath(f, path));
}

Value Vm::getVariable(Frame& f, std::string_view name) {
  if (name.find_first_of("/:.") != std::string_view::npos && name != "..") {
    auto colon = name.rfind(':');
    if (colon != std::string_view::npos) {
      Value base = colon == 0 ? Value(f.target) : resolvePath(f, name.substr(0, colon));
      return getMember(base, name.substr(colon + 1));
    }
    // "a.b.c" and "/a/b": the last segment is a member of what the rest names.
    return resolvePath(f, name);
  }
  const bool cs = caseSensitive();
  if (namesEqual(name, "this", cs)) return f.thisValue;
  if (namesEqual(name, "_global", cs) && version_ >= 6) return Value(global_);
  if (namesEqual(name, "super", cs) && f.superObject) return Value(f.superObject);
  if (namesEqual(name, "_root", cs) && host_) return Value(scriptObject(host_->root()));
  if (startsWithNoCase(name, "_level") && host_) {
    Value v;
    Object* root = scriptObject(host_->root());
    if (root && lookupMember(root, name, v)) return v;
  }
  for (const Scope* s = f.scope.get(); s; s = s->parent.get()) {
    Value v;
    if (s->object && lookupMember(s->object, name, v)) return v;
  }
  return Value();
}

void Vm::setVariable(Frame& f, std::string_view name, Value value) {
  if (name.find_first_of("/:.") != std::string_view::npos) {
    auto split = name.find_last_of(":.");
    if (split != std::string_view::npos) {
      Value base = split == 0 ? Value(f.target) : resolvePath(f, name.substr(0, split));
      setMember(base, name.substr(split + 1), std::move(value));
      return;
    }
  }
  // The innermost scope that has it, the global object excepted; else the local scope.
  for (const Scope* s = f.scope.get(); s && s->parent; s = s->parent.get()) {
    if (!s->object) continue;
    Value v;
    if (s->object->find(name) || (s->object->kind() == ObjectKind::Stage && stagePropertyByName(name) != StageProperty::Count)) {
      setMember(Value(s->object), name, std::move(value));
      return;
    }
  }
  setMember(Value(localObject(f)), name, std::move(value));
}

// ---- timeline actions ----

void Vm::gotoFrameValue(StageObject* target, const Value& frame, bool play, int bias) {
  if (!target) return;
  if (frame.isString()) {
    std::string_view text = frame.string();
    // "path:frame" addresses another timeline; the frame may be a label or a number.
    auto colon = text.rfind(':');
    if (colon != std::string_view::npos) text = text.substr(colon + 1);
    double n = stringToNumber(text, 5);
    if (std::isfinite(n)) target->gotoFrame(clampToInt(n) - 1 + bias);
    else if (!target->gotoLabel(text)) return;
    target->setPlaying(play);
    return;
  }
  double n = toNumber(frame);
  if (!std::isfinite(n)) return;
  target->gotoFrame(clampToInt(n) - 1 + bias);
  target->setPlaying(play);
}

void Vm::getUrl(const std::string& url, const std::string& target) {
  if (startsWithNoCase(url, "fscommand:")) {
    if (host_) host_->fscommand(url.substr(10), target);
    return;
  }
  if (startsWithNoCase(url, "javascript:") || startsWithNoCase(url, "vbscript:")) return;
  if (host_ && (startsWithNoCase(url, "http://") || startsWithNoCase(url, "https://"))) host_->openUrl(url, target);
}

// ---- the machine ----

Vm::Status Vm::exec(Frame& f, Value& result) {
  auto& st = stack_;
  auto pop = [&]() -> Value {
    if (st.size() <= f.stackBase) return Value();
    Value v = std::move(st.back());
    st.pop_back();
    return v;
  };
  auto push = [&](Value v) {
    if (st.size() < kMaxStack) st.push_back(std::move(v));
  };
  auto popNumber = [&] { return toNumber(pop()); };
  auto popString = [&] { return toString(pop()); };
  auto boolResult = [&](bool b) { return f.version < 5 ? Value(b ? 1.0 : 0.0) : Value(b); };
  auto argsFromStack = [&](std::vector<Value>& args) {
    double n = popNumber();
    std::size_t count = n > 0 && std::isfinite(n) ? static_cast<std::size_t>(std::min(n, 65535.0)) : 0;
    count = std::min(count, st.size() - f.stackBase);
    args.clear();
    args.reserve(count);
    for (std::size_t i = 0; i < count; ++i) args.push_back(pop());
  };
  auto malformed = [&](const char* what) {
    abortWith(RunOutcome::Malformed, std::string("Malformed actions: ") + what);
    return Status::Abort;
  };
  // A throw looks for the innermost try of this block; false when it leaves the block.
  auto handleThrow = [&](Value thrown) -> bool {
    while (!f.blocks.empty()) {
      Block& b = f.blocks.back();
      f.scope = b.savedScope;
      if (b.kind == Block::Kind::With) {
        f.blocks.pop_back();
        continue;
      }
      if (st.size() > b.stackSize) st.resize(b.stackSize);
      if (b.state == Block::State::InTry && b.hasCatch) {
        b.state = Block::State::InCatch;
        if (b.catchInRegister) {
          if (b.catchRegister < f.registers.size()) f.registers[b.catchRegister] = thrown;
        } else {
          setMember(Value(f.local), b.catchName, thrown);
        }
        f.pc = b.catchStart;
        return true;
      }
      if (b.state != Block::State::InFinally && b.hasFinally) {
        b.state = Block::State::InFinally;
        b.rethrow = true;
        b.thrown = std::move(thrown);
        f.pc = b.finallyStart;
        return true;
      }
      f.blocks.pop_back();
    }
    result = std::move(thrown);
    return false;
  };

  // A return runs the finally parts it leaves; false when none is left to run.
  auto beginReturn = [&](Value value) -> bool {
    while (!f.blocks.empty()) {
      Block& b = f.blocks.back();
      f.scope = b.savedScope;
      if (b.kind == Block::Kind::Try && b.hasFinally && b.state != Block::State::InFinally) {
        b.state = Block::State::InFinally;
        b.returning = true;
        b.returned = std::move(value);
        f.pc = b.finallyStart;
        return true;
      }
      f.blocks.pop_back();
    }
    result = std::move(value);
    return false;
  };

  std::vector<Value> args;
  const auto code = f.code;
  while (true) {
    // Leaving a with or try block.
    while (!f.blocks.empty()) {
      Block& b = f.blocks.back();
      if (b.kind == Block::Kind::With) {
        if (f.pc >= b.start && f.pc < b.end) break;
        f.scope = b.savedScope;
        f.blocks.pop_back();
        continue;
      }
      if (b.state == Block::State::InTry && f.pc == b.catchStart) {
        // The try part finished: the catch part is skipped.
        if (b.hasFinally) {
          b.state = Block::State::InFinally;
          f.pc = b.finallyStart;
        } else {
          f.pc = b.end;
          f.blocks.pop_back();
          continue;
        }
      } else if (b.state == Block::State::InCatch && f.pc == b.finallyStart && b.hasFinally) {
        b.state = Block::State::InFinally;
      }
      std::size_t from = b.state == Block::State::InTry ? b.start
                         : b.state == Block::State::InCatch ? b.catchStart
                                                            : b.finallyStart;
      std::size_t to = b.state == Block::State::InTry ? b.catchStart
                       : b.state == Block::State::InCatch ? b.finallyStart
                                                          : b.end;
      if (f.pc >= from && f.pc < to) break;
      bool rethrow = b.rethrow && b.state == Block::State::InFinally;
      bool returning = b.returning && b.state == Block::State::InFinally;
      Value thrown = std::move(b.thrown);
      Value returned = std::move(b.returned);
      f.blocks.pop_back();
      if (rethrow && !handleThrow(std::move(thrown))) return Status::Throw;
      if (returning && !beginReturn(std::move(returned))) return Status::Return;
    }
    if (f.pc >= code.size()) break;
    if ((++instructions_ & 0xFFF) == 0 && checkClock()) return Status::Abort;

    const std::size_t at = f.pc;
    const std::uint8_t op = code[at];
    std::span<const std::uint8_t> payload;
    if (op >= 0x80) {
      if (at + 3 > code.size()) return malformed("truncated action header");
      std::size_t len = code[at + 1] | (code[at + 2] << 8);
      if (at + 3 + len > code.size()) return malformed("action longer than its block");
      payload = code.subspan(at + 3, len);
      f.pc = at + 3 + len;
    } else {
      f.pc = at + 1;
    }
    if (op == 0) break;
    StageObject* target = f.target ? f.target->stage : nullptr;
    PayloadReader in(payload);

    switch (op) {
      // ---- SWF 3 ----
      case 0x04:  // NextFrame and PrevFrame stop there
        if (target) target->gotoFrame(target->currentFrame() + 1), target->setPlaying(false);
        break;
      case 0x05:
        if (target) target->gotoFrame(std::max(target->currentFrame() - 1, 0)), target->setPlaying(false);
        break;
      case 0x06: if (target) target->setPlaying(true); break;
      case 0x07: if (target) target->setPlaying(false); break;
      case 0x08: if (host_) host_->toggleQuality(); break;
      case 0x09: if (host_) host_->stopSounds(); break;
      case 0x81: {  // GotoFrame
        std::uint16_t frame = in.u16();
        if (target) target->gotoFrame(frame);
        break;
      }
      case 0x83: {  // GetURL
        std::string url = in.string();
        std::string window = in.string();
        getUrl(url, window);
        break;
      }
      case 0x8A: {  // WaitForFrame
        std::uint16_t frame = in.u16();
        std::uint8_t skip = in.u8();
        if (target && frame >= target->framesLoaded() && target->framesLoaded() < target->totalFrames()) {
          if (!skipActions(code, f.pc, skip)) return malformed("truncated action header");
        }
        break;
      }
      case 0x8B: {  // SetTarget
        std::string path = in.string();
        StageObject* t = resolveTarget(f, path);
        f.target = t ? scriptObject(t) : (path.empty() ? f.baseTarget : f.target);
        if (!t && !path.empty()) f.target = nullptr;
        break;
      }
      case 0x8C: {  // GoToLabel
        std::string label = in.string();
        if (target) target->gotoLabel(label);
        break;
      }

      // ---- SWF 4: arithmetic, logic, strings ----
      case 0x0A: { Value av = pop(), bv = pop(); double b = toNumber(bv), a = toNumber(av); push(b + a); break; }
      case 0x0B: { Value av = pop(), bv = pop(); double b = toNumber(bv), a = toNumber(av); push(b - a); break; }
      case 0x0C: { Value av = pop(), bv = pop(); double b = toNumber(bv), a = toNumber(av); push(b * a); break; }
      case 0x0D: {
        Value av = pop(), bv = pop();
        double b = toNumber(bv), a = toNumber(av);
        if (a == 0 && f.version < 5) push(Value("#ERROR#"));
        else push(b / a);
        break;
      }
      case 0x0E: { Value av = pop(), bv = pop(); double b = toNumber(bv), a = toNumber(av); push(boolResult(b == a)); break; }
      case 0x0F: { Value av = pop(), bv = pop(); double b = toNumber(bv), a = toNumber(av); push(boolResult(b < a)); break; }
      case 0x10: { bool a = toBool(pop()), b = toBool(pop()); push(boolResult(a && b)); break; }
      case 0x11: { bool a = toBool(pop()), b = toBool(pop()); push(boolResult(a || b)); break; }
      case 0x12: push(boolResult(!toBool(pop()))); break;
      case 0x13: { std::string a = popString(), b = popString(); push(boolResult(a == b)); break; }
      case 0x14:
      case 0x31: push(static_cast<double>(toUtf16(popString()).size())); break;
      case 0x15:
      case 0x35: {  // StringExtract: 1-based index
        double count = toInteger(popNumber()), index = toInteger(popNumber());
        std::u16string s = toUtf16(popString());
        double start = std::max(index - 1, 0.0);
        if (start >= static_cast<double>(s.size()) || count == 0) { push(Value("")); break; }
        double n = count < 0 ? static_cast<double>(s.size()) : std::min(count, static_cast<double>(s.size()) - start);
        push(fromUtf16(s.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(n))));
        break;
      }
      case 0x17: pop(); break;
      case 0x18: push(toInteger(popNumber())); break;
      case 0x1C: { Value name = pop(); push(getVariable(f, toString(name))); break; }
      case 0x1D: { Value v = pop(); std::string name = popString(); setVariable(f, name, std::move(v)); break; }
      case 0x20: {  // SetTarget2
        Value t = pop();
        StageObject* so = t.isObject() ? stageOf(t) : resolveTarget(f, toString(t));
        std::string path = t.isObject() ? std::string("x") : toString(t);
        f.target = so ? scriptObject(so) : (path.empty() ? f.baseTarget : nullptr);
        break;
      }
      case 0x21: { std::string a = popString(), b = popString(); push(b + a); break; }
      case 0x22: {  // GetProperty
        double index = popNumber();
        Value t = pop();
        StageObject* so = t.isObject() ? stageOf(t) : resolveTarget(f, toString(t));
        if (!so && toString(t).empty()) so = target;
        int i = clampToInt(index);
        if (!so || i < 0 || i >= static_cast<int>(StageProperty::Count)) { push(Value()); break; }
        Object* o = scriptObject(so);
        bool found = false;
        static constexpr const char* names[] = {"_x", "_y", "_xscale", "_yscale", "_currentframe", "_totalframes",
            "_alpha", "_visible", "_width", "_height", "_rotation", "_target", "_framesloaded", "_name",
            "_droptarget", "_url", "_highquality", "_focusrect", "_soundbuftime", "_quality", "_xmouse", "_ymouse"};
        push(stageMember(o, names[i], found));
        break;
      }
      case 0x23: {  // SetProperty
        Value v = pop();
        double index = popNumber();
        Value t = pop();
        StageObject* so = t.isObject() ? stageOf(t) : resolveTarget(f, toString(t));
        if (!so && toString(t).empty()) so = target;
        int i = clampToInt(index);
        if (so && i >= 0 && i < static_cast<int>(StageProperty::Count)) so->setProperty(static_cast<StageProperty>(i), v);
        break;
      }
      case 0x24: {  // CloneSprite
        double depth = popNumber();
        std::string name = popString();
        Value source = pop();
        StageObject* so = source.isObject() ? stageOf(source) : resolveTarget(f, toString(source));
        if (so) so->duplicate(name, clampToInt(depth) - 16384);  // CloneSprite counts from the timeline depths
        break;
      }
      case 0x25: {  // RemoveSprite
        Value t = pop();
        StageObject* so = t.isObject() ? stageOf(t) : resolveTarget(f, toString(t));
        if (so) so->removeSelf();
        break;
      }
      case 0x26: {  // Trace: undefined is written as "undefined" in every version
        Value v = pop();
        trace(v.isUndefined() ? std::string("undefined") : toString(v));
        break;
      }
      case 0x27: {  // StartDrag
        pop();
        pop();
        if (toBool(pop())) { pop(); pop(); pop(); pop(); }
        break;
      }
      case 0x28: break;  // EndDrag
      case 0x29: { std::string a = popString(), b = popString(); push(boolResult(b < a)); break; }
      case 0x30: {
        double max = toInteger(popNumber());
        if (max <= 0 || !std::isfinite(max)) { push(0.0); break; }
        std::uniform_real_distribution<double> d(0, max);
        push(std::floor(d(randomEngine())));
        break;
      }
      case 0x32:
      case 0x36: {
        std::u16string s = toUtf16(popString());
        push(s.empty() ? 0.0 : static_cast<double>(s[0]));
        break;
      }
      case 0x33:
      case 0x37: {
        std::uint32_t c = toUint32(popNumber()) & 0xFFFF;
        push(c == 0 ? std::string() : fromUtf16(std::u16string(1, static_cast<char16_t>(c))));
        break;
      }
      case 0x34: push(std::floor(now())); break;
      case 0x96: {  // Push
        while (!in.atEnd()) {
          std::uint8_t type = in.u8();
          switch (type) {
            case 0: push(in.string()); break;
            case 1: push(static_cast<double>(in.f32())); break;
            case 2: push(Value::null()); break;
            case 3: push(Value()); break;
            case 4: {
              std::uint8_t r = in.u8();
              push(r < f.registers.size() ? f.registers[r] : Value());
              break;
            }
            case 5: push(in.u8() != 0); break;
            case 6: push(in.f64()); break;
            case 7: push(static_cast<double>(static_cast<std::int32_t>(in.u32()))); break;
            case 8:
            case 9: {
              std::size_t i = type == 8 ? in.u8() : in.u16();
              push(i < f.constants->size() ? Value((*f.constants)[i]) : Value());
              break;
            }
            default: return malformed("unknown push type");
          }
          if (!in.ok()) return malformed("truncated push");
        }
        break;
      }
      case 0x99: {  // Jump
        std::int16_t offset = in.s16();
        long long dest = static_cast<long long>(f.pc) + offset;
        if (dest < 0) return malformed("jump before the block");
        f.pc = static_cast<std::size_t>(dest);
        break;
      }
      case 0x9D: {  // If
        std::int16_t offset = in.s16();
        if (toBool(pop())) {
          long long dest = static_cast<long long>(f.pc) + offset;
          if (dest < 0) return malformed("jump before the block");
          f.pc = static_cast<std::size_t>(dest);
        }
        break;
      }
      case 0x9E: pop(); break;  // Call (frame actions of another frame): not run
      case 0x9A: {  // GetURL2
        std::uint8_t flags = in.u8();
        std::string window = popString();
        std::string url = popString();
        if (flags & 0x80) break;  // loadVariables: not yet
        if (flags & 0x40) break;  // loadMovie into a target: not yet
        getUrl(url, window);
        break;
      }
      case 0x9F: {  // GotoFrame2
        std::uint8_t flags = in.u8();
        int bias = (flags & 0x02) ? in.u16() : 0;
        Value frame = pop();
        StageObject* t = target;
        if (frame.isString()) {
          auto colon = frame.string().rfind(':');
          if (colon != std::string::npos) t = resolveTarget(f, frame.string().substr(0, colon));
        }
        gotoFrameValue(t, frame, flags & 0x01, bias);
        break;
      }
      case 0x8D: {  // WaitForFrame2
        std::uint8_t skip = in.u8();
        Value frame = pop();
        double n = toNumber(frame);
        if (target && std::isfinite(n) && n - 1 >= target->framesLoaded() && target->framesLoaded() < target->totalFrames()) {
          if (!skipActions(code, f.pc, skip)) return malformed("truncated action header");
        }
        break;
      }

      // ---- SWF 5: the object model ----
      case 0x88: {  // ConstantPool
        std::uint16_t count = in.u16();
        auto pool = std::make_shared<std::vector<std::string>>();
        pool->reserve(count);
        for (int i = 0; i < count && in.ok(); ++i) pool->push_back(in.string());
        if (!in.ok()) return malformed("truncated constant pool");
        f.constants = std::move(pool);
        break;
      }
      case 0x87: {  // StoreRegister
        std::uint8_t r = in.u8();
        Value top = st.size() > f.stackBase ? st.back() : Value();
        if (r < f.registers.size()) f.registers[r] = top;
        break;
      }
      case 0x3A: {  // Delete
        std::string name = popString();
        Value o = pop();
        push(deleteMember(o, name));
        break;
      }
      case 0x3B: {  // Delete2
        std::string name = popString();
        bool done = false;
        for (const Scope* s = f.scope.get(); s; s = s->parent.get()) {
          if (s->object && s->object->find(name)) {
            done = s->object->removeOwn(name);
            break;
          }
        }
        push(done);
        break;
      }
      case 0x3C: {  // DefineLocal
        Value v = pop();
        std::string name = popString();
        // Through setMember: a setter or watcher on a timeline variable sees it.
        if (name.find_first_of("/:.") != std::string::npos) setVariable(f, name, std::move(v));
        else setMember(Value(f.local), name, std::move(v));
        break;
      }
      case 0x41: {  // DefineLocal2
        std::string name = popString();
        if (!f.local->findOwn(name)) f.local->setOwn(name, Value());
        break;
      }
      case 0x3D: {  // CallFunction
        std::string name = popString();
        argsFromStack(args);
        // A plain call's `this` is the timeline the script addresses.
        Value fn = getVariable(f, name);
        Value self = f.target ? Value(f.target) : Value();
        if (namesEqual(name, "super", caseSensitive()) && f.superObject) {
          Object* home = f.superObject->home;
          fn = home ? getMember(Value(home), "__constructor__") : Value();
          Value r;
          if (Object* ctor = fn.object(); ctor && ctor->isFunction()) {
            Status s = callObject(ctor, f.thisValue, args, r, f.superObject);
            if (s == Status::Throw) throwValue(r);
          }
          push(r);
          break;
        }
        push(callValue(fn, self, args));
        break;
      }
      case 0x52:    // CallMethod
      case 0x53: {  // NewMethod
        Value nameValue = pop();
        Value base = pop();
        argsFromStack(args);
        std::string name = nameValue.isNullish() ? std::string() : toString(nameValue);
        Object* baseObject = base.object();
        const bool throughSuper = baseObject && baseObject->kind() == ObjectKind::Super;
        Value self = throughSuper ? baseObject->primitive : base;
        Value fn;
        if (name.empty()) {
          fn = base;
          if (throughSuper) fn = baseObject->home ? getMember(Value(baseObject->home), "__constructor__") : Value();
          if (!throughSuper && op == 0x52) self = Value();
        } else {
          fn = getMember(base, name);
        }
        if (op == 0x53) {
          push(construct(fn, args));
          break;
        }
        Value r;
        if (Object* fo = fn.object(); fo && fo->isFunction()) {
          Status s = callObject(fo, self, args, r, throughSuper ? baseObject : nullptr);
          if (s == Status::Throw) throwValue(r);
          if (s != Status::Normal) r = Value();
        }
        push(r);
        break;
      }
      case 0x3E: {  // Return
        if (!beginReturn(pop())) return Status::Return;
        break;
      }
      case 0x3F: { Value av = pop(), bv = pop(); double b = toNumber(bv), a = toNumber(av); push(std::fmod(b, a)); break; }
      case 0x40: {  // NewObject
        std::string name = popString();
        argsFromStack(args);
        push(construct(getVariable(f, name), args));
        break;
      }
      case 0x42:    // InitArray
      case 0x43: {  // InitObject
        // A count beyond what the stack holds makes undefined and leaves the stack alone.
        const bool isObject = op == 0x43;
        double n = popNumber();
        const std::size_t available = st.size() - f.stackBase;
        const double perItem = isObject ? 2.0 : 1.0;
        if (!(n * perItem <= static_cast<double>(available))) {
          push(Value());
          break;
        }
        std::size_t count = n > 0 ? static_cast<std::size_t>(n) : 0;
        if (!isObject) {
          std::vector<Value> items;
          items.reserve(count);
          for (std::size_t i = 0; i < count; ++i) items.push_back(pop());
          push(newArray(std::move(items)));
          break;
        }
        Object* o = newObject();
        for (std::size_t i = 0; i < count; ++i) {
          Value v = pop();
          std::string name = popString();
          setMember(Value(o), name, std::move(v));  // "__proto__" links, inherited setters run
        }
        push(o);
        break;
      }
      case 0x44: push(typeOf(pop())); break;
      case 0x45: {  // TargetPath
        Value v = pop();
        StageObject* so = stageOf(v);
        push(so ? Value(targetPath(so)) : Value());
        break;
      }
      case 0x46:    // Enumerate
      case 0x55: {  // Enumerate2
        Value v = pop();
        if (op == 0x46) v = getVariable(f, toString(v));
        push(Value::null());
        if (Object* o = v.object()) {
          std::vector<std::string> names = enumerate(o);
          if (o->kind() == ObjectKind::Stage && o->stage == nullptr) names.clear();
          for (auto& n : names) push(std::move(n));
        }
        break;
      }
      case 0x47: {  // Add2
        // Operands convert left to right: the deeper one first.
        Value av = pop(), bv = pop();
        Value b = toPrimitive(bv), a = toPrimitive(av);
        if (a.isString() || b.isString()) push(toString(b) + toString(a));
        else push(toNumber(b) + toNumber(a));
        break;
      }
      case 0x48:    // Less2
      case 0x67: {  // Greater
        Value av = pop(), bv = pop();
        Value b = toPrimitive(bv), a = toPrimitive(av);
        if (op == 0x67) std::swap(a, b);
        // b < a
        if (a.isString() && b.isString()) {
          push(toUtf16(b.string()) < toUtf16(a.string()));
          break;
        }
        double x = toNumber(b), y = toNumber(a);
        if (std::isnan(x) || std::isnan(y)) push(Value());
        else push(x < y);
        break;
      }
      case 0x49: { Value a = pop(), b = pop(); push(equalsLoose(b, a)); break; }
      case 0x4A: push(popNumber()); break;
      case 0x4B: push(popString()); break;
      case 0x4C: push(st.size() > f.stackBase ? st.back() : Value()); break;
      case 0x4D: {
        Value a = pop(), b = pop();
        push(std::move(a));
        push(std::move(b));
        break;
      }
      case 0x4E: {  // GetMember
        Value name = pop();
        Value base = pop();
        push(getMemberValue(base, name));
        break;
      }
      case 0x4F: {  // SetMember
        Value v = pop();
        Value name = pop();
        Value base = pop();
        setMember(base, toString(name), std::move(v));
        break;
      }
      case 0x50: push(popNumber() + 1); break;
      case 0x51: push(popNumber() - 1); break;
      case 0x60: { std::int32_t a = toInt32(popNumber()), b = toInt32(popNumber()); push(static_cast<double>(b & a)); break; }
      case 0x61: { std::int32_t a = toInt32(popNumber()), b = toInt32(popNumber()); push(static_cast<double>(b | a)); break; }
      case 0x62: { std::int32_t a = toInt32(popNumber()), b = toInt32(popNumber()); push(static_cast<double>(b ^ a)); break; }
      case 0x63: {
        std::uint32_t count = toUint32(popNumber()) & 31;
        std::int32_t v = toInt32(popNumber());
        push(static_cast<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(v) << count)));
        break;
      }
      case 0x64: {
        std::uint32_t count = toUint32(popNumber()) & 31;
        std::int32_t v = toInt32(popNumber());
        push(static_cast<double>(v >> count));
        break;
      }
      case 0x65: {
        std::uint32_t count = toUint32(popNumber()) & 31;
        std::uint32_t v = toUint32(popNumber());
        // Up to SWF 8 the result is read back as a signed 32-bit integer.
        if (f.version <= 8) push(static_cast<double>(static_cast<std::int32_t>(v >> count)));
        else push(static_cast<double>(v >> count));
        break;
      }
      case 0x94: {  // With
        std::uint16_t size = in.u16();
        Value o = pop();
        Block b;
        b.kind = Block::Kind::With;
        b.start = f.pc;
        b.end = std::min(f.pc + size, code.size());
        b.savedScope = f.scope;
        b.stackSize = st.size();
        if (Object* obj = o.object()) {
          f.scope = std::make_shared<const Scope>(Scope{obj, f.scope});
          f.blocks.push_back(std::move(b));
        } else {
          f.pc = b.end;  // with on nothing skips its block
        }
        break;
      }
      case 0x9B:    // DefineFunction
      case 0x8E: {  // DefineFunction2
        auto fc = std::make_shared<FunctionCode>();
        fc->isFunction2 = op == 0x8E;
        fc->name = in.string();
        std::uint16_t params = in.u16();
        if (fc->isFunction2) {
          fc->registerCount = in.u8();
          fc->flags = in.u16();
        }
        for (int i = 0; i < params && in.ok(); ++i) {
          FunctionCode::Param p;
          if (fc->isFunction2) p.reg = in.u8();
          p.name = in.string();
          fc->params.push_back(std::move(p));
        }
        std::uint16_t size = in.u16();
        if (!in.ok()) return malformed("truncated function definition");
        std::size_t bodyEnd = std::min(f.pc + size, code.size());
        fc->body.assign(code.begin() + f.pc, code.begin() + bodyEnd);
        f.pc = bodyEnd;
        fc->constants = f.constants;
        fc->swfVersion = f.version;
        Object* fn = heap_.make(ObjectKind::Function, protoOf("Function"));
        fn->scope = f.scope;
        Object* proto = newObject();
        proto->setOwn("constructor", fn, prop::kDontEnum);
        fn->setOwn("prototype", proto, prop::kDontEnum);
        std::string name = fc->name;
        fn->code = std::move(fc);
        if (name.empty()) push(fn);
        else f.local->setOwn(name, fn);
        break;
      }

      // ---- SWF 6 and 7 ----
      case 0x54: {  // InstanceOf
        Value ctor = pop();
        Value v = pop();
        push(instanceOf(v, ctor.object()));
        break;
      }
      case 0x66: { Value a = pop(), b = pop(); push(equalsStrict(b, a)); break; }
      case 0x68: { std::string a = popString(), b = popString(); push(b > a); break; }
      case 0x69: {  // Extends
        Value superclass = pop();
        Value subclass = pop();
        Object* sub = subclass.object();
        if (!sub || !superclass.isObject()) break;
        Value superProto = getMember(superclass, "prototype");
        Object* proto = heap_.make(ObjectKind::Plain, superProto.object() ? superProto.object() : protoOf("Object"));
        proto->setOwn("__constructor__", superclass, prop::kDontEnum);
        sub->setOwn("prototype", proto, prop::kDontEnum);
        break;
      }
      case 0x2B: {  // CastOp
        Value v = pop();
        Value ctor = pop();
        push(instanceOf(v, ctor.object()) ? v : Value::null());
        break;
      }
      case 0x2C: {  // ImplementsOp
        Value ctor = pop();
        double n = popNumber();
        std::size_t count = n > 0 && std::isfinite(n) ? static_cast<std::size_t>(std::min(n, 65535.0)) : 0;
        std::vector<Object*> interfaces;
        for (std::size_t i = 0; i < count && st.size() > f.stackBase; ++i)
          if (Object* o = pop().object()) interfaces.push_back(o);
        Value proto = getMember(ctor, "prototype");
        if (Object* p = proto.object()) p->interfaces = std::move(interfaces);
        break;
      }
      case 0x2A: {  // Throw
        throwValue(pop());
        break;
      }
      case 0x8F: {  // Try
        std::uint8_t flags = in.u8();
        std::uint16_t trySize = in.u16(), catchSize = in.u16(), finallySize = in.u16();
        Block b;
        b.kind = Block::Kind::Try;
        b.catchInRegister = flags & 0x04;
        b.hasFinally = flags & 0x02;
        b.hasCatch = flags & 0x01;
        if (b.catchInRegister) b.catchRegister = in.u8();
        else b.catchName = in.string();
        if (!in.ok()) return malformed("truncated try");
        b.start = f.pc;
        b.catchStart = std::min(b.start + trySize, code.size());
        b.finallyStart = std::min(b.catchStart + catchSize, code.size());
        b.end = std::min(b.finallyStart + finallySize, code.size());
        b.savedScope = f.scope;
        b.stackSize = st.size();
        if (!b.hasFinally) b.end = b.finallyStart;
        f.blocks.push_back(std::move(b));
        break;
      }
      default:
        // Unknown actions are skipped, as the reference player does.
        break;
    }
    if (!in.ok()) return malformed("truncated action");
    if (abort_) [[unlikely]] return Status::Abort;
    // A frame script whose clip left the stage (removed, or replaced by a goto) stops there.
    if (f.haltWhenRemoved && f.baseTarget->stage && f.baseTarget->stage->removed()) [[unlikely]]
      return Status::Normal;
    if (hasPending_) [[unlikely]] {
      Value thrown = std::move(pending_);
      pending_ = Value();
      hasPending_ = false;
      if (!handleThrow(std::move(thrown))) return Status::Throw;
    }
  }
  return Status::Normal;
}

}  // namespace plavex::script
