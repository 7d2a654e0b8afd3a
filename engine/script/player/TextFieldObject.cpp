#include "engine/script/player/TextFieldObject.h"

#include <cmath>
#include <functional>

#include "engine/core/Timeline.h"
#include "engine/script/player/PlayerScripts.h"
#include "engine/script/player/TextFormatClass.h"

namespace plavex::script {

namespace {

const swf::DefineEditText* definitionOf(const engine::DisplayObject& o) {
  if (!o.placement.character) return nullptr;
  return std::get_if<swf::DefineEditText>(&o.placement.character->body);
}

TextFieldObject* fieldOf(const Value& v) {
  Object* o = v.object();
  if (!o || o->kind() != ObjectKind::Stage || !o->stage) return nullptr;
  auto* f = dynamic_cast<TextFieldObject*>(o->stage);
  return f && f->alive() ? f : nullptr;
}

double scaleX(const swf::Matrix& m) { return std::hypot(m.scaleX / 65536.0, m.rotateSkew0 / 65536.0); }
double scaleY(const swf::Matrix& m) { return std::hypot(m.rotateSkew1 / 65536.0, m.scaleY / 65536.0); }

std::uint32_t colorValue(Vm& vm, const Value& v) { return toUint32(vm.toNumber(v)) & 0xFFFFFF; }

// Measures the field's text as the text engine lays it out: lines end at paragraph
// ends and, in a word-wrapping field, where the next word would pass the field's width.
TextExtent measureField(engine::EditTextState& s) {
  const std::u16string& t = s.text();
  TextExtent total;
  if (t.empty()) return total;
  const swf::Rect& b = s.settings.bounds;
  engine::CharFormat first = s.formatOf(0, 1);
  const double wrap = (b.xMax - b.xMin) / 20.0 - 4 - first.leftMargin.value_or(0) - first.rightMargin.value_or(0);
  int lines = 0;
  double lineHeight = 0, leading = first.leading.value_or(0);
  auto endLine = [&](double width) {
    total.width = std::max(total.width, width);
    ++lines;
  };
  std::size_t start = 0;
  for (std::size_t i = 0; i <= t.size(); ++i) {
    if (i < t.size() && t[i] != u'\r') continue;
    engine::CharFormat f = s.formatOf(static_cast<int>(start), static_cast<int>(std::max(i, start + 1)));
    if (!f.size) f.size = s.newTextFormat().size;
    std::u16string_view para = std::u16string_view(t).substr(start, i - start);
    lineHeight = std::max(lineHeight, measureText(f, u"").height);
    if (!s.settings.wordWrap || wrap <= 0) {
      endLine(measureText(f, para).width);
    } else {
      double current = 0;
      std::size_t w = 0;
      while (w < para.size()) {
        std::size_t space = para.find(u' ', w);
        std::size_t wordEnd = space == std::u16string_view::npos ? para.size() : space;
        double word = measureText(f, para.substr(w, wordEnd - w)).width;
        double withSpace = space == std::u16string_view::npos ? word : measureText(f, para.substr(w, wordEnd - w + 1)).width;
        if (current > 0 && current + word > wrap) {
          endLine(current);
          current = 0;
        }
        current += withSpace;
        w = wordEnd + 1;
        if (space == std::u16string_view::npos) {
          current -= withSpace - word;
          break;
        }
      }
      endLine(current);
    }
    start = i + 1;
  }
  total.height = lines * lineHeight + (lines - 1) * leading;
  return total;
}

// A bound variable's path split into the object that holds it and its name.
struct VariableRef {
  Value holder;
  std::string name;
};

std::optional<VariableRef> resolveVariable(Vm& vm, StageObject* base, const std::string& path) {
  if (!base || path.empty()) return std::nullopt;
  std::size_t split = path.find_last_of(":.");
  std::string target = split == std::string::npos ? std::string() : path.substr(0, split);
  std::string name = split == std::string::npos ? path : path.substr(split + 1);
  if (name.empty()) return std::nullopt;
  Value holder(vm.scriptObject(base));
  std::size_t i = 0;
  if (!target.empty() && target[0] == '/') {
    StageObject* root = vm.host() ? vm.host()->root() : nullptr;
    holder = Value(vm.scriptObject(root));
    i = 1;
  }
  while (i < target.size()) {
    std::size_t end = target.find_first_of("./", i);
    if (end == std::string::npos) end = target.size();
    std::string part = target.substr(i, end - i);
    i = end + 1;
    if (part.empty()) continue;
    if (part == "..") holder = vm.getMember(holder, "_parent");
    else holder = vm.getMember(holder, part);
    if (!holder.isObject()) return std::nullopt;
  }
  if (!holder.isObject()) return std::nullopt;
  return VariableRef{holder, name};
}

void writeVariable(TextFieldObject& f) {
  engine::EditTextState* s = f.state();
  if (!s || s->settings.variable.empty()) return;
  Vm& vm = f.owner().vm();
  auto ref = resolveVariable(vm, f.parent(), s->settings.variable);
  if (!ref) return;
  std::string text = s->settings.html ? s->htmlText(vm.version()) : s->textUtf8();
  f.boundText = text;
  vm.setMember(ref->holder, ref->name, Value(text));
}

void setFieldText(TextFieldObject& f, const std::string& text, bool asHtml) {
  engine::EditTextState* s = f.state();
  if (!s) return;
  if (asHtml && s->settings.html) s->setHtmlText(text);
  else s->setText(text);
  f.owner().player()->context().changed();
}

struct Accessor {
  const char* name;
  std::function<Value(Vm&, TextFieldObject&, engine::EditTextState&)> get;
  std::function<void(Vm&, TextFieldObject&, engine::EditTextState&, const Value&)> set;
};

template <typename Field>
Accessor boolSetting(const char* name, Field field) {
  return {name, [field](Vm&, TextFieldObject&, engine::EditTextState& s) { return Value(s.settings.*field); },
          [field](Vm& vm, TextFieldObject&, engine::EditTextState& s, const Value& v) { s.settings.*field = vm.toBool(v); }};
}

std::vector<Accessor> accessors() {
  using S = engine::EditTextSettings;
  auto readOnly = [](Vm&, TextFieldObject&, engine::EditTextState&, const Value&) {};
  // Creation order: the reference player enumerates the newest first.
  return {
      {"gridFitType", [](Vm&, TextFieldObject&, engine::EditTextState& s) { return Value(s.settings.gridFitType); },
       [](Vm& vm, TextFieldObject&, engine::EditTextState& s, const Value& v) {
         std::string t = vm.toString(v);
         if (t == "none" || t == "pixel" || t == "subpixel") s.settings.gridFitType = t;
       }},
      {"antiAliasType", [](Vm&, TextFieldObject&, engine::EditTextState& s) { return Value(s.settings.antiAliasType); },
       [](Vm& vm, TextFieldObject&, engine::EditTextState& s, const Value& v) {
         std::string t = vm.toString(v);
         if (t == "normal" || t == "advanced") s.settings.antiAliasType = t;
       }},
      {"thickness", [](Vm&, TextFieldObject&, engine::EditTextState& s) { return Value(s.settings.thickness); },
       [](Vm& vm, TextFieldObject&, engine::EditTextState& s, const Value& v) {
         double n = vm.toNumber(v);
         if (std::isfinite(n)) s.settings.thickness = std::clamp(n, -200.0, 200.0);
       }},
      {"sharpness", [](Vm&, TextFieldObject&, engine::EditTextState& s) { return Value(s.settings.sharpness); },
       [](Vm& vm, TextFieldObject&, engine::EditTextState& s, const Value& v) {
         double n = vm.toNumber(v);
         if (std::isfinite(n)) s.settings.sharpness = std::clamp(n, -400.0, 400.0);
       }},
      {"filters", [](Vm& vm, TextFieldObject&, engine::EditTextState&) { return Value(vm.newArray()); }, readOnly},
      {"scroll", [](Vm&, TextFieldObject&, engine::EditTextState& s) { return Value(s.scroll); },
       [](Vm& vm, TextFieldObject&, engine::EditTextState& s, const Value& v) {
         double n = vm.toNumber(v);
         if (std::isfinite(n)) s.scroll = std::max(1, clampToInt(n));
         s.scroll = std::min(s.scroll, 1);  // one screen: everything shows
       }},
      {"maxscroll", [](Vm&, TextFieldObject&, engine::EditTextState&) { return Value(1); }, readOnly},
      {"borderColor", [](Vm&, TextFieldObject&, engine::EditTextState& s) { return Value(static_cast<double>(s.settings.borderColor)); },
       [](Vm& vm, TextFieldObject&, engine::EditTextState& s, const Value& v) { s.settings.borderColor = colorValue(vm, v); }},
      {"backgroundColor", [](Vm&, TextFieldObject&, engine::EditTextState& s) { return Value(static_cast<double>(s.settings.backgroundColor)); },
       [](Vm& vm, TextFieldObject&, engine::EditTextState& s, const Value& v) { s.settings.backgroundColor = colorValue(vm, v); }},
      {"textColor",
       [](Vm&, TextFieldObject&, engine::EditTextState& s) {
         return Value(static_cast<double>(s.formatOf(0, 0).color.value_or(0)));
       },
       [](Vm& vm, TextFieldObject&, engine::EditTextState& s, const Value& v) {
         engine::CharFormat f;
         f.color = colorValue(vm, v);
         s.setFormat(0, s.length(), f);
         s.setNewTextFormat(f);
       }},
      {"tabIndex", [](Vm&, TextFieldObject&, engine::EditTextState&) { return Value(); }, readOnly},
      {"autoSize", [](Vm&, TextFieldObject&, engine::EditTextState& s) { return Value(s.settings.autoSize); },
       [](Vm& vm, TextFieldObject&, engine::EditTextState& s, const Value& v) {
         if (v.isBoolean()) {
           s.settings.autoSize = v.boolean() ? "left" : "none";
           return;
         }
 std::string t = vm.toString(v);
         for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
         s.settings.autoSize = t == "left" || t == "right" || t == "center" ? t : "none";
       }},
      {"text", [](Vm&, TextFieldObject&, engine::EditTextState& s) { return Value(s.textUtf8()); },
       [](Vm& vm, TextFieldObject& f, engine::EditTextState&, const Value& v) {
         setFieldText(f, vm.toString(v), false);
         writeVariable(f);
       }},
      {"type", [](Vm&, TextFieldObject&, engine::EditTextState& s) { return Value(s.settings.input ? "input" : "dynamic"); },
       [](Vm& vm, TextFieldObject&, engine::EditTextState& s, const Value& v) {
         std::string t = vm.toString(v);
         for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
         if (t == "input") s.settings.input = true;
         else if (t == "dynamic") s.settings.input = false;
       }},
      {"htmlText", [](Vm& vm, TextFieldObject&, engine::EditTextState& s) { return Value(s.htmlText(vm.version())); },
       [](Vm& vm, TextFieldObject& f, engine::EditTextState&, const Value& v) {
         setFieldText(f, vm.toString(v), true);
         writeVariable(f);
       }},
      {"variable",
       [](Vm&, TextFieldObject&, engine::EditTextState& s) {
         return s.settings.variable.empty() ? Value::null() : Value(s.settings.variable);
       },
       [](Vm& vm, TextFieldObject& f, engine::EditTextState& s, const Value& v) {
         s.settings.variable = v.isNullish() ? std::string() : vm.toString(v);
         f.boundText.reset();
       }},
      {"hscroll", [](Vm&, TextFieldObject&, engine::EditTextState& s) { return Value(s.hscroll); },
       [](Vm& vm, TextFieldObject&, engine::EditTextState& s, const Value& v) {
         double n = vm.toNumber(v);
         if (std::isfinite(n)) s.hscroll = 0;
       }},
      {"maxhscroll", [](Vm&, TextFieldObject&, engine::EditTextState&) { return Value(0); }, readOnly},
      {"maxChars",
       [](Vm&, TextFieldObject&, engine::EditTextState& s) {
         return s.settings.maxChars > 0 ? Value(s.settings.maxChars) : Value::null();
       },
       [](Vm& vm, TextFieldObject&, engine::EditTextState& s, const Value& v) {
         double n = vm.toNumber(v);
         s.settings.maxChars = std::isfinite(n) && n > 0 ? clampToInt(n) : 0;
       }},
      boolSetting("embedFonts", &S::embedFonts),
      {"html", [](Vm&, TextFieldObject&, engine::EditTextState& s) { return Value(s.settings.html); },
       [](Vm& vm, TextFieldObject&, engine::EditTextState& s, const Value& v) { s.settings.html = vm.toBool(v); }},
      boolSetting("border", &S::border),
      boolSetting("background", &S::background),
      boolSetting("wordWrap", &S::wordWrap),
      boolSetting("password", &S::password),
      boolSetting("multiline", &S::multiline),
      boolSetting("selectable", &S::selectable),
      {"length", [](Vm&, TextFieldObject&, engine::EditTextState& s) { return Value(s.length()); }, readOnly},
      {"bottomScroll", [](Vm&, TextFieldObject&, engine::EditTextState&) { return Value(1); }, readOnly},
      {"textWidth", [](Vm&, TextFieldObject&, engine::EditTextState& s) { return Value(std::round(measureField(s).width)); }, readOnly},
      {"textHeight", [](Vm&, TextFieldObject&, engine::EditTextState& s) { return Value(std::round(measureField(s).height)); }, readOnly},
      {"restrict",
       [](Vm&, TextFieldObject&, engine::EditTextState& s) {
         return s.settings.restrict ? Value(*s.settings.restrict) : Value::null();
       },
       [](Vm& vm, TextFieldObject&, engine::EditTextState& s, const Value& v) {
         if (v.isNullish()) s.settings.restrict.reset();
         else s.settings.restrict = vm.toString(v);
       }},
      boolSetting("condenseWhite", &S::condenseWhite),
      boolSetting("mouseWheelEnabled", &S::mouseWheelEnabled),
      {"styleSheet", [](Vm&, TextFieldObject&, engine::EditTextState&) { return Value(); }, readOnly},
  };
}

std::pair<int, int> rangeArgs(Vm& vm, const CallArgs& a, int length) {
  int begin = 0, end = length;
  if (a.size() >= 1 && !a[0].isUndefined()) {
    double b = vm.toNumber(a[0]);
    begin = std::isfinite(b) ? clampToInt(b) : 0;
    end = begin + 1;
  }
  if (a.size() >= 2 && !a[1].isUndefined()) {
    double e = vm.toNumber(a[1]);
    end = std::isfinite(e) ? clampToInt(e) : end;
  }
  return {begin, end};
}

void installTextFieldClass(PlayerScripts& scripts) {
  Vm& vm = scripts.vm();
  Object* proto = vm.newObject();
  Object* ctor = vm.newFunction([](Vm&, const CallArgs&) { return Value(); }, proto);
  vm.global()->setOwn("TextField", ctor, prop::kDontEnum);
  ctor->setOwn("getFontList", vm.newFunction([](Vm& vm, const CallArgs&) -> Value {
    return Value(vm.newArray({Value("_sans"), Value("_serif"), Value("_typewriter")}));
  }), prop::kDontEnum);
  for (const Accessor& acc : accessors()) {
    auto get = acc.get;
    auto set = acc.set;
    Object* getter = vm.newFunction([get](Vm& vm, const CallArgs& a) -> Value {
      TextFieldObject* f = fieldOf(a.thisValue);
      engine::EditTextState* s = f ? f->state() : nullptr;
      return s ? get(vm, *f, *s) : Value();
    });
    Object* setter = vm.newFunction([set](Vm& vm, const CallArgs& a) -> Value {
      TextFieldObject* f = fieldOf(a.thisValue);
      engine::EditTextState* s = f ? f->state() : nullptr;
      if (!s) return Value();
      set(vm, *f, *s, a[0]);
      if (f->owner().player()) f->owner().player()->context().changed();
      return Value();
    });
    proto->defineAccessor(acc.name, getter, setter);
  }

  using Method = std::function<Value(Vm&, TextFieldObject&, engine::EditTextState&, const CallArgs&)>;
  auto method = [&](const char* name, Method fn) {
    vm.defineMethod(proto, name, [fn](Vm& vm, const CallArgs& a) -> Value {
      TextFieldObject* f = fieldOf(a.thisValue);
      engine::EditTextState* s = f ? f->state() : nullptr;
      if (!s) return Value();
      Value r = fn(vm, *f, *s, a);
      if (f->owner().player()) f->owner().player()->context().changed();
      return r;
    });
  };
  method("replaceSel", [](Vm& vm, TextFieldObject& f, engine::EditTextState& s, const CallArgs& a) -> Value {
    if (a.size() < 1) return Value();
    int b = s.selectionBegin, e = s.selectionEnd;
    if (b < 0) b = e = s.length();
    s.replaceText(std::min(b, e), std::max(b, e), vm.toString(a[0]));
    s.selectionBegin = s.selectionEnd = std::min(b, e) + static_cast<int>(toUtf16(vm.toString(a[0])).size());
    writeVariable(f);
    return Value();
  });
  method("getTextFormat", [](Vm& vm, TextFieldObject&, engine::EditTextState& s, const CallArgs& a) -> Value {
    auto [b, e] = rangeArgs(vm, a, s.length());
    if (a.size() == 0) return makeTextFormat(vm, s.formatOf(0, s.length()));
    if (b < 0 || b >= std::max(1, s.length()) || e <= b) return makeTextFormat(vm, s.formatOf(b, b));
    return makeTextFormat(vm, s.formatOf(b, e));
  });
  method("setTextFormat", [](Vm& vm, TextFieldObject&, engine::EditTextState& s, const CallArgs& a) -> Value {
    if (a.size() == 0) return Value();
    // The format is the last argument; indices come before it.
    const Value& fmt = a[a.size() - 1];
    auto format = readTextFormat(vm, fmt);
    if (!format) return Value();
    int b = 0, e = s.length();
    if (a.size() >= 2) {
      b = clampToInt(vm.toNumber(a[0]));
      e = a.size() >= 3 ? clampToInt(vm.toNumber(a[1])) : b + 1;
    }
    s.setFormat(b, e, *format);
    return Value();
  });
  method("getNewTextFormat", [](Vm& vm, TextFieldObject&, engine::EditTextState& s, const CallArgs&) -> Value {
    return makeTextFormat(vm, s.newTextFormat());
  });
  method("setNewTextFormat", [](Vm& vm, TextFieldObject&, engine::EditTextState& s, const CallArgs& a) -> Value {
    if (auto format = readTextFormat(vm, a[0])) s.setNewTextFormat(*format);
    return Value();
  });
  method("removeTextField", [](Vm&, TextFieldObject& f, engine::EditTextState&, const CallArgs&) -> Value {
    f.removeSelf();
    return Value();
  });
  method("getDepth", [](Vm&, TextFieldObject& f, engine::EditTextState&, const CallArgs&) -> Value {
    return Value(f.object()->depth - engine::kScriptDepthOffset);
  });
  method("replaceText", [](Vm& vm, TextFieldObject& f, engine::EditTextState& s, const CallArgs& a) -> Value {
    if (a.size() < 3) return Value();
    double b = vm.toNumber(a[0]), e = vm.toNumber(a[1]);
    if (!std::isfinite(b) || !std::isfinite(e) || b < 0 || e < b) return Value();
    s.replaceText(clampToInt(b), clampToInt(e), vm.toString(a[2]));
    writeVariable(f);
    return Value();
  });
  vm.defineMethod(proto, "toString", [](Vm& vm, const CallArgs& a) -> Value {
    Object* o = a.thisValue.object();
    if (o && o->kind() == ObjectKind::Stage && o->stage) return vm.targetPath(o->stage);
    return Value("[object Object]");
  });
  // The listener methods the player's text fields broadcast to.
  Value broadcaster = vm.getMember(Value(vm.global()), "AsBroadcaster");
  Value initialize = vm.getMember(broadcaster, "initialize");
  if (initialize.object()) {
    Value args[] = {Value(proto)};
    vm.callValue(initialize, broadcaster, args);
    for (const char* name : {"_listeners", "addListener", "removeListener", "broadcastMessage"})
      proto->setFlags(name, prop::kDontEnum, 0);
  }
}

void installCreateTextField(PlayerScripts& scripts) {
  Vm& vm = scripts.vm();
  PlayerScripts* owner = &scripts;
  vm.defineMethod(vm.protoOf("MovieClip"), "createTextField", [owner](Vm& vm, const CallArgs& a) -> Value {
    Object* self = a.thisValue.object();
    auto* clip = self && self->kind() == ObjectKind::Stage ? dynamic_cast<ClipObject*>(self->stage) : nullptr;
    if (!clip || !clip->alive() || a.size() < 6 || !owner->player()) return Value();
    engine::Timeline* t = clip->timeline();
    if (!t) return Value();
    double n[5];
    for (int i = 0; i < 5; ++i) {
      n[i] = vm.toNumber(a[static_cast<std::size_t>(i + 1)]);
      if (!std::isfinite(n[i])) n[i] = 0;
    }
    int depth = clampToInt(n[0]);
    if (depth < -engine::kScriptDepthOffset || depth > 2130690045) return Value();
    engine::EditTextState state = engine::EditTextState::created(std::abs(n[3]), std::abs(n[4]));
    auto character = std::make_shared<engine::Character>();
    swf::DefineEditText def;
    def.bounds = state.settings.bounds;
    def.readOnly = true;
    def.fontClass = "Times New Roman";
    def.fontHeight = 240;
    character->body = def;
    engine::DisplayObject* made = t->placeScripted(depth + engine::kScriptDepthOffset, character, vm.toString(a[0]),
                                                   owner->player()->context());
    if (!made) return Value();
    made->placement.matrix.translateX = static_cast<std::int32_t>(std::trunc(n[1] * 20));
    made->placement.matrix.translateY = static_cast<std::int32_t>(std::trunc(n[2] * 20));
    made->editText = std::make_shared<engine::EditTextState>(std::move(state));
    Object* field = vm.scriptObject(owner->objectFor(*made));
    // SWF 8 returns the new field; older movies get nothing back.
    return vm.version() >= 8 && field ? Value(field) : Value();
  });
}

void syncField(PlayerScripts& scripts, engine::DisplayObject& object) {
  const swf::DefineEditText* def = definitionOf(object);
  if (!def) return;
  if (object.editText ? object.editText->settings.variable.empty() : def->variableName.empty()) return;
  auto* field = dynamic_cast<TextFieldObject*>(scripts.objectFor(object));
  engine::EditTextState* s = field ? field->state() : nullptr;
  if (!s) return;
  Vm& vm = scripts.vm();
  auto ref = resolveVariable(vm, field->parent(), s->settings.variable);
  if (!ref) return;
  Value v = vm.getMember(ref->holder, ref->name);
  if (v.isUndefined()) {
    // A new binding hands the field's text to the variable.
    if (!field->boundText) writeVariable(*field);
    return;
  }
  std::string text = vm.toString(v);
  if (field->boundText && *field->boundText == text) return;
  field->boundText = text;
  if (s->settings.html) s->setHtmlText(text);
  else s->setText(text);
  scripts.player()->context().changed();
}

void syncList(PlayerScripts& scripts, engine::DisplayList& list, int depth) {
  if (depth > engine::kMaxNesting * 2) return;
  for (auto& [d, object] : list.objects()) {
    syncField(scripts, object);
    if (object.sprite) syncList(scripts, object.sprite->displayList(), depth + 1);
  }
}

}  // namespace

TextFieldObject::TextFieldObject(PlayerScripts& owner, engine::ObjectHandle handle)
    : owner_(owner), handle_(handle), geometry_(owner, handle) {}

engine::EditTextState* TextFieldObject::state() {
  engine::DisplayObject* o = object();
  if (!o) return nullptr;
  if (!o->editText) {
    const swf::DefineEditText* def = definitionOf(*o);
    if (!def) return nullptr;
    const engine::MovieData* movie = owner_.player() ? &owner_.player()->movie() : nullptr;
    o->editText = std::make_shared<engine::EditTextState>(engine::EditTextState::fromDefinition(*def, movie));
  }
  return o->editText.get();
}

Value TextFieldObject::property(StageProperty p) {
  engine::DisplayObject* o = object();
  if (!o) return Value();
  if (p == StageProperty::Width || p == StageProperty::Height) {
    engine::EditTextState* s = state();
    if (!s) return Value();
    const swf::Rect& b = s->settings.bounds;
    const auto& m = o->placement.matrix;
    double size = p == StageProperty::Width ? (b.xMax - b.xMin) * scaleX(m) : (b.yMax - b.yMin) * scaleY(m);
    return std::round(size) / 20.0;
  }
  return geometry_.property(p);
}

void TextFieldObject::setProperty(StageProperty p, const Value& v) {
  engine::DisplayObject* o = object();
  if (!o) return;
  if (p == StageProperty::Width || p == StageProperty::Height) {
    // A field's size changes its bounds, not its scale.
    engine::EditTextState* s = state();
    double n = owner_.vm().toNumber(v);
    if (!s || !std::isfinite(n)) return;
    swf::Rect& b = s->settings.bounds;
    const auto& m = o->placement.matrix;
    double scale = p == StageProperty::Width ? scaleX(m) : scaleY(m);
    if (scale <= 0) return;
    auto twips = static_cast<std::int32_t>(std::clamp(std::trunc(std::max(0.0, n) * 20 / scale), 0.0, 1e9));
    if (p == StageProperty::Width) b.xMax = b.xMin + twips;
    else b.yMax = b.yMin + twips;
    if (owner_.player()) owner_.player()->context().changed();
    return;
  }
  geometry_.setProperty(p, v);
}

void TextFieldObject::removeSelf() {
  engine::DisplayObject* o = object();
  engine::Timeline* parent = geometry_.parentTimeline();
  if (!o || !parent || !owner_.player()) return;
  const int depth = o->depth - engine::kScriptDepthOffset;
  if (depth < 0 || depth >= 2130706416) return;  // timeline instances stay
  parent->removeAt(o->depth, owner_.player()->context());
}

void installTextFields(PlayerScripts& scripts) {
  installTextFormat(scripts.vm());
  installTextFieldClass(scripts);
  installCreateTextField(scripts);
  scripts.addObjectKind([](PlayerScripts& owner, const engine::ObjectHandle& handle) -> std::unique_ptr<StageObject> {
    engine::DisplayObject* o = handle ? *handle : nullptr;
    if (!o || !definitionOf(*o)) return nullptr;
    auto field = std::make_unique<TextFieldObject>(owner, handle);
    // The machine has no built-in text field prototype: the global class's is the one.
    Object* self = owner.vm().scriptObject(field.get());
    Value proto = owner.vm().getMember(owner.vm().getMember(Value(owner.vm().global()), "TextField"), "prototype");
    if (self && proto.object()) self->setProto(proto.object());
    return field;
  });
}

void textFieldEdited(TextFieldObject& field) {
  writeVariable(field);
  if (field.owner().player()) field.owner().player()->context().changed();
}

void syncBoundTextFields(PlayerScripts& scripts) {
  if (!scripts.player()) return;
  // The root's list is the player's; the timelines are the core's mutable objects.
  auto& root = const_cast<engine::Timeline&>(scripts.player()->root());
  syncList(scripts, root.displayList(), 0);
}

}  // namespace plavex::script
