#include "engine/script/player/ScriptInput.h"

#include "engine/script/Builtins.h"

#include <algorithm>
#include <cmath>

#include "engine/core/Timeline.h"
#include "engine/script/Builtins.h"
#include "engine/script/player/ClipObject.h"
#include "engine/script/player/PlayerScripts.h"
#include "engine/script/player/TextFieldObject.h"

namespace plavex::script {

namespace {

StageObject* stageOf(const Value& v) {
  Object* o = v.object();
  return o && o->kind() == ObjectKind::Stage ? o->stage : nullptr;
}

const engine::ObjectHandle* handleOf(StageObject* s) {
  if (auto* c = dynamic_cast<ClipObject*>(s)) return c->isRoot() ? nullptr : &c->handle();
  return nullptr;
}

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// Focusable objects in display order: input fields, selectable fields and buttons.
void collectFocusable(PlayerScripts& scripts, engine::DisplayList& list, std::vector<StageObject*>& out, int depth) {
  if (depth > engine::kMaxNesting * 2) return;
  for (auto& [d, object] : list.objects()) {
    if (!object.placement.visible) continue;
    StageObject* s = scripts.objectFor(object);
    if (auto* f = dynamic_cast<TextFieldObject*>(s)) {
      if (auto* st = f->state(); st && st->settings.input) out.push_back(s);
    } else if (object.button) {
      out.push_back(s);
    }
    if (object.sprite) collectFocusable(scripts, object.sprite->displayList(), out, depth + 1);
  }
}

}  // namespace

void broadcastTo(Vm& vm, const Value& broadcaster, std::string_view message, std::span<const Value> args) {
  Object* list = vm.getMember(broadcaster, "_listeners").object();
  if (!list || list->kind() != ObjectKind::Array) return;
  std::vector<Value> copy = list->elements;  // listeners may add or remove others
  for (const Value& listener : copy) {
    Value fn = vm.getMember(listener, message);
    if (Object* f = fn.object(); f && f->isFunction()) vm.call(fn, listener, args);
    if (vm.aborted()) return;
  }
}

std::shared_ptr<ScriptInput> ScriptInput::install(PlayerScripts& scripts) {
  auto input = std::make_shared<ScriptInput>(scripts);
  input->install();
  return input;
}

void ScriptInput::install() {
  Vm& vm = scripts_.vm();
  Object* g = vm.global();
  ScriptInput* self = this;  // the machine's functions die with the scripts that own this

  // ---- Key ----
  Object* key = vm.newObject();
  g->setOwn("Key", key, prop::kDontEnum);
  initializeBroadcaster(vm, key);
  const std::pair<const char*, int> codes[] = {
      {"ALT", 18},   {"BACKSPACE", 8}, {"CAPSLOCK", 20}, {"CONTROL", 17}, {"DELETEKEY", 46}, {"DOWN", 40},
      {"END", 35},   {"ENTER", 13},    {"ESCAPE", 27},   {"HOME", 36},    {"INSERT", 45},    {"LEFT", 37},
      {"PGDN", 34},  {"PGUP", 33},     {"RIGHT", 39},    {"SHIFT", 16},   {"SPACE", 32},     {"TAB", 9},
      {"UP", 38},
  };
  for (const auto& [name, code] : codes) key->setOwn(name, code, prop::kDontEnum | prop::kDontDelete | prop::kReadOnly);
  auto codeArg = [](Vm& vm, const CallArgs& a) -> int {
    double n = vm.toNumber(a[0]);
    return std::isfinite(n) ? clampToInt(n) : -1;
  };
  vm.defineMethod(key, "isDown", [self, codeArg](Vm& vm, const CallArgs& a) -> Value {
    int c = codeArg(vm, a);
    return c >= 0 && c < 256 && self->down_[static_cast<std::size_t>(c)];
  });
  vm.defineMethod(key, "isToggled", [self, codeArg](Vm& vm, const CallArgs& a) -> Value {
    int c = codeArg(vm, a);
    return c >= 0 && c < 256 && self->toggled_[static_cast<std::size_t>(c)];
  });
  vm.defineMethod(key, "getCode", [self](Vm&, const CallArgs&) -> Value { return self->lastCode_; });
  vm.defineMethod(key, "getAscii", [self](Vm&, const CallArgs&) -> Value { return self->lastAscii_; });
  vm.defineMethod(key, "isAccessible", [](Vm&, const CallArgs&) -> Value { return false; });

  // ---- Mouse ----
  Object* mouse = vm.newObject();
  g->setOwn("Mouse", mouse, prop::kDontEnum);
  initializeBroadcaster(vm, mouse);
  vm.defineMethod(mouse, "hide", [self](Vm&, const CallArgs&) -> Value {
    bool was = self->mouseVisible_;
    self->mouseVisible_ = false;
    return was ? 1 : 0;
  });
  vm.defineMethod(mouse, "show", [self](Vm&, const CallArgs&) -> Value {
    bool was = self->mouseVisible_;
    self->mouseVisible_ = true;
    return was ? 1 : 0;
  });

  // ---- Selection ----
  Object* selection = vm.newObject();
  g->setOwn("Selection", selection, prop::kDontEnum);
  initializeBroadcaster(vm, selection);
  vm.defineMethod(selection, "getFocus", [self](Vm& vm, const CallArgs&) -> Value {
    StageObject* f = self->focus();
    return f ? Value(vm.targetPath(f)) : Value::null();
  });
  vm.defineMethod(selection, "setFocus", [self](Vm& vm, const CallArgs& a) -> Value {
    StageObject* target = nullptr;
    if (a[0].isString()) {
      // A target path from the root: "_level0.field", "/clip/field", "field".
      Value at(vm.scriptObject(vm.host() ? vm.host()->root() : nullptr));
      std::string path = a[0].string();
      std::size_t i = 0;
      while (i < path.size() && at.isObject()) {
        std::size_t end = path.find_first_of("./", i);
        if (end == std::string::npos) end = path.size();
        std::string part = path.substr(i, end - i);
        i = end + 1;
        if (part.empty() || namesEqual(part, "_level0", false) || namesEqual(part, "_root", false)) continue;
        at = vm.getMember(at, part);
      }
      target = stageOf(at);
    } else {
      target = stageOf(a[0]);
    }
    if (!a[0].isNullish() && !target) return false;
    self->setFocus(target);
    return true;
  });
  auto index = [self](int which) {
    return [self, which](Vm&, const CallArgs&) -> Value {
      TextFieldObject* f = self->focusedField();
      engine::EditTextState* s = f ? f->state() : nullptr;
      if (!s || s->selectionBegin < 0) return -1;
      int b = std::min(s->selectionBegin, s->selectionEnd), e = std::max(s->selectionBegin, s->selectionEnd);
      return which == 0 ? b : which == 1 ? e : s->selectionEnd;
    };
  };
  vm.defineMethod(selection, "getBeginIndex", index(0));
  vm.defineMethod(selection, "getEndIndex", index(1));
  vm.defineMethod(selection, "getCaretIndex", index(2));
  vm.defineMethod(selection, "setSelection", [self](Vm& vm, const CallArgs& a) -> Value {
    TextFieldObject* f = self->focusedField();
    engine::EditTextState* s = f ? f->state() : nullptr;
    if (!s) return Value();
    int b = std::clamp(clampToInt(vm.toNumber(a[0])), 0, s->length());
    int e = a.size() >= 2 ? std::clamp(clampToInt(vm.toNumber(a[1])), 0, s->length()) : b;
    s->selectionBegin = std::min(b, e);
    s->selectionEnd = std::max(b, e);
    return Value();
  });

  // ---- Stage ----
  Object* stage = vm.newObject();
  g->setOwn("Stage", stage, prop::kDontEnum);
  initializeBroadcaster(vm, stage);
  auto accessor = [&](const char* name, NativeFunction get, NativeFunction set) {
    stage->defineAccessor(name, vm.newFunction(std::move(get)), vm.newFunction(std::move(set)));
  };
  auto none = [](Vm&, const CallArgs&) -> Value { return Value(); };
  auto header = [self]() -> const swf::SwfHeader* {
    return self->scripts_.player() ? &self->scripts_.player()->movie().header() : nullptr;
  };
  accessor("width", [header](Vm&, const CallArgs&) -> Value {
    auto* h = header();
    return h ? Value(static_cast<double>(h->stageWidthPixels())) : Value(0);
  }, none);
  accessor("height", [header](Vm&, const CallArgs&) -> Value {
    auto* h = header();
    return h ? Value(static_cast<double>(h->stageHeightPixels())) : Value(0);
  }, none);
  accessor("scaleMode", [self](Vm&, const CallArgs&) -> Value { return self->scaleMode_; },
           [self](Vm& vm, const CallArgs& a) -> Value {
             std::string m = lower(vm.toString(a[0]));
             if (m == "exactfit") self->scaleMode_ = "exactFit";
             else if (m == "noborder") self->scaleMode_ = "noBorder";
             else if (m == "noscale") self->scaleMode_ = "noScale";
             else self->scaleMode_ = "showAll";
             return Value();
           });
  accessor("align", [self](Vm&, const CallArgs&) -> Value { return self->align_; },
           [self](Vm& vm, const CallArgs& a) -> Value {
             // The letters the player knows, in its order.
             std::string v = lower(vm.toString(a[0])), out;
             for (char c : std::string("ltrb"))
               if (v.find(c) != std::string::npos) out.push_back(static_cast<char>(std::toupper(c)));
             self->align_ = out;
             return Value();
           });
  accessor("showMenu", [self](Vm&, const CallArgs&) -> Value { return self->showMenu_; },
           [self](Vm& vm, const CallArgs& a) -> Value {
             self->showMenu_ = vm.toBool(a[0]);
             return Value();
           });
  accessor("displayState", [self](Vm&, const CallArgs&) -> Value { return self->displayState_; },
           [self](Vm& vm, const CallArgs& a) -> Value {
             std::string m = lower(vm.toString(a[0]));
             std::string next = m == "fullscreen" ? "fullScreen" : m == "normal" ? "normal" : self->displayState_;
             if (next == self->displayState_) return Value();
             self->displayState_ = next;
             Value args[] = {Value(next == "fullScreen")};
             broadcastTo(vm, vm.getMember(Value(vm.global()), "Stage"), "onFullScreen", args);
             return Value();
           });

  // ---- System ----
  Object* system = vm.newObject();
  g->setOwn("System", system, prop::kDontEnum);
  system->setOwn("useCodepage", false);
  system->setOwn("exactSettings", true);
  Object* capabilities = vm.newObject();
  system->setOwn("capabilities", capabilities);
  const std::pair<const char*, Value> caps[] = {
      {"avHardwareDisable", false},      {"hasAccessibility", true},   {"hasAudio", true},
      {"hasAudioEncoder", true},         {"hasEmbeddedVideo", true},   {"hasIME", false},
      {"hasMP3", true},                  {"hasPrinting", true},        {"hasScreenBroadcast", false},
      {"hasScreenPlayback", false},      {"hasStreamingAudio", true},  {"hasStreamingVideo", true},
      {"hasVideoEncoder", true},         {"isDebugger", false},        {"language", "en"},
      {"localFileReadDisable", false},   {"manufacturer", "Adobe Linux"}, {"os", "Linux"},
      {"pixelAspectRatio", 1},           {"playerType", "StandAlone"}, {"screenColor", "color"},
      {"screenDPI", 72},                 {"screenResolutionX", 1536},  {"screenResolutionY", 864},
      {"version", "LNX 32,0,0,0"},
  };
  for (const auto& [name, value] : caps) capabilities->setOwn(name, value);
  capabilities->setOwn("serverString",
                       "A=t&SA=t&SV=t&EV=t&MP3=t&AE=t&VE=t&ACC=t&PR=t&SP=f&SB=f&DEB=f&V=LNX%2032%2C0%2C0%2C0&M=Adobe%20Linux"
                       "&R=1536x864&DP=72&COL=color&AR=1.0&OS=Linux&L=en&PT=StandAlone&AVD=f&LFD=f&WD=f");
  Object* security = vm.newObject();
  system->setOwn("security", security);
  for (const char* name : {"allowDomain", "allowInsecureDomain", "loadPolicyFile"}) vm.defineMethod(security, name, none);
  vm.defineMethod(system, "setClipboard", none);
  vm.defineMethod(system, "showSettings", none);
  Object* ime = vm.newObject();
  system->setOwn("IME", ime);
  initializeBroadcaster(vm, ime);
  vm.defineMethod(ime, "getEnabled", [](Vm&, const CallArgs&) -> Value { return false; });
  vm.defineMethod(ime, "setEnabled", [](Vm&, const CallArgs&) -> Value { return false; });
}

void ScriptInput::broadcast(const char* object, const char* message, std::span<const Value> args) {
  Vm& vm = scripts_.vm();
  broadcastTo(vm, vm.getMember(Value(vm.global()), object), message, args);
  scripts_.runQueue();
}

StageObject* ScriptInput::focus() {
  engine::DisplayObject* o = engine::resolve(focus_);
  return o ? scripts_.objectFor(*o) : nullptr;
}

TextFieldObject* ScriptInput::focusedField() { return dynamic_cast<TextFieldObject*>(focus()); }

void ScriptInput::setFocus(StageObject* target) {
  StageObject* old = focus();
  if (old == target) return;
  Vm& vm = scripts_.vm();
  engine::WeakObjectHandle next;
  if (auto* f = dynamic_cast<TextFieldObject*>(target)) {
    if (!f->object()) return;
    next = f->object()->handle;
  } else if (const engine::ObjectHandle* h = handleOf(target)) {
    next = *h;
  } else if (target) {
    return;  // the root cannot take focus
  }
  if (auto* f = dynamic_cast<TextFieldObject*>(old))
    if (auto* s = f->state()) s->selectionBegin = s->selectionEnd = -1;
  focus_ = next;
  if (auto* f = dynamic_cast<TextFieldObject*>(target))
    if (auto* s = f->state()) s->selectionBegin = 0, s->selectionEnd = s->length();
  Value oldValue = old ? Value(vm.scriptObject(old)) : Value::null();
  Value newValue = target ? Value(vm.scriptObject(target)) : Value::null();
  auto callOn = [&](const Value& on, const char* method, const Value& arg) {
    if (!on.isObject()) return;
    Value fn = vm.getMember(on, method);
    Value args[] = {arg};
    if (Object* f = fn.object(); f && f->isFunction()) vm.call(fn, on, args);
  };
  callOn(oldValue, "onKillFocus", newValue);
  callOn(newValue, "onSetFocus", oldValue);
  Value args[] = {oldValue, newValue};
  broadcast("Selection", "onSetFocus", args);
}

void ScriptInput::keyDown(int code, int ascii) {
  if (code > 0 && code < 256) {
    if (!down_[static_cast<std::size_t>(code)]) toggled_[static_cast<std::size_t>(code)] = !toggled_[static_cast<std::size_t>(code)];
    down_[static_cast<std::size_t>(code)] = true;
  }
  lastCode_ = code;
  lastAscii_ = ascii;
  broadcast("Key", "onKeyDown", {});
  if (code == 9) tab(down_[16]);
}

void ScriptInput::keyUp(int code, int ascii) {
  if (code > 0 && code < 256) down_[static_cast<std::size_t>(code)] = false;
  lastCode_ = code;
  lastAscii_ = ascii;
  broadcast("Key", "onKeyUp", {});
}

void ScriptInput::mouseButton(int code, bool down, double, double) {
  if (code > 0 && code < 256) {
    if (down && !down_[static_cast<std::size_t>(code)]) toggled_[static_cast<std::size_t>(code)] = !toggled_[static_cast<std::size_t>(code)];
    down_[static_cast<std::size_t>(code)] = down;
  }
  if (code == 1) broadcast("Mouse", down ? "onMouseDown" : "onMouseUp", {});
}

void ScriptInput::mouseWheel(int delta) {
  Value args[] = {Value(delta)};
  broadcast("Mouse", "onMouseWheel", args);
}

void ScriptInput::fieldEdited(TextFieldObject& field) {
  textFieldEdited(field);
  Vm& vm = scripts_.vm();
  Value self(vm.scriptObject(&field));
  Value fn = vm.getMember(self, "onChanged");
  Value args[] = {self};
  if (Object* f = fn.object(); f && f->isFunction()) vm.call(fn, self, args);
  broadcastTo(vm, self, "onChanged", args);
  scripts_.runQueue();
}

void ScriptInput::textInput(char32_t cp) {
  TextFieldObject* f = focusedField();
  engine::EditTextState* s = f ? f->state() : nullptr;
  if (!s || !s->settings.input || cp < 0x20 || cp == 0x7F) return;
  std::u32string one(1, cp);
  std::string utf8;
  for (char32_t c : one) {
    if (c < 0x80) utf8.push_back(static_cast<char>(c));
    else if (c < 0x800) utf8 += {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
    else if (c < 0x10000)
      utf8 += {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
    else
      utf8 += {static_cast<char>(0xF0 | (c >> 18)), static_cast<char>(0x80 | ((c >> 12) & 0x3F)),
               static_cast<char>(0x80 | ((c >> 6) & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
  }
  int before = s->length();
  std::u16string old = s->text();
  s->typeText(utf8);
  if (s->text() != old || s->length() != before) fieldEdited(*f);
}

void ScriptInput::textControl(std::string_view command) {
  TextFieldObject* f = focusedField();
  engine::EditTextState* s = f ? f->state() : nullptr;
  if (!s) return;
  int b = std::max(0, std::min(s->selectionBegin, s->selectionEnd));
  int e = std::max(b, std::max(s->selectionBegin, s->selectionEnd));
  if (command == "SelectAll") {
    s->selectionBegin = 0;
    s->selectionEnd = s->length();
    return;
  }
  if (!s->settings.input) return;
  if (command == "Backspace" || command == "Delete") {
    if (b == e) {
      if (command == "Backspace" && b > 0) --b;
      else if (command == "Delete" && e < s->length()) ++e;
      else return;
    }
    s->replaceText(b, e, "");
    s->selectionBegin = s->selectionEnd = b;
    fieldEdited(*f);
  } else if (command == "Enter") {
    if (!s->settings.multiline) return;
    s->typeText("\r");
    fieldEdited(*f);
  } else if (command == "MoveLeft" || command == "MoveRight") {
    int caret = command == "MoveLeft" ? std::max(0, b - (b == e ? 1 : 0)) : std::min(s->length(), e + (b == e ? 1 : 0));
    s->selectionBegin = s->selectionEnd = caret;
  }
}

void ScriptInput::tab(bool backwards) {
  if (!scripts_.player()) return;
  std::vector<StageObject*> order;
  collectFocusable(scripts_, scripts_.player()->root().displayList(), order, 0);
  if (order.empty()) return;
  StageObject* current = focus();
  auto it = std::find(order.begin(), order.end(), current);
  std::size_t next = 0;
  if (it == order.end()) next = backwards ? order.size() - 1 : 0;
  else {
    std::size_t i = static_cast<std::size_t>(it - order.begin());
    next = backwards ? (i + order.size() - 1) % order.size() : (i + 1) % order.size();
  }
  setFocus(order[next]);
}

}  // namespace plavex::script
