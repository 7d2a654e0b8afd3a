// The MovieClip and Button methods that act on the stage: timeline control, instances
// made and removed by scripts, depths, bounds, hit tests and coordinate conversion.
#include <cmath>

#include "engine/core/Timeline.h"
#include "engine/script/player/ClipObject.h"
#include "engine/script/player/PlayerScripts.h"

namespace plavex::script {

namespace {

ClipObject* clipOf(const Value& v) {
  Object* o = v.object();
  if (!o || o->kind() != ObjectKind::Stage || !o->stage) return nullptr;
  return dynamic_cast<ClipObject*>(o->stage);
}

// A depth argument as a whole number, or none when it is not a finite number.
std::optional<int> depthArg(Vm& vm, const Value& v) {
  if (v.isUndefined()) return std::nullopt;
  double n = vm.toNumber(v);
  if (!std::isfinite(n)) return std::nullopt;
  return clampToInt(n);
}

void copyProperties(Vm& vm, const Value& from, Object* to) {
  Object* source = from.object();
  if (!source || !to) return;
  for (const auto& name : vm.enumerate(source)) vm.setMember(Value(to), name, vm.getMember(from, name));
}

Value boundsObject(Vm& vm, const engine::Box& box) {
  Object* o = vm.newObject();
  // An empty clip reports this fixed box, as the reference player does.
  const double empty = 6710886.35;
  o->setOwn("xMin", box.empty ? empty : box.xMin / 20.0);
  o->setOwn("xMax", box.empty ? empty : box.xMax / 20.0);
  o->setOwn("yMin", box.empty ? empty : box.yMin / 20.0);
  o->setOwn("yMax", box.empty ? empty : box.yMax / 20.0);
  return Value(o);
}

}  // namespace

void installMovieClipMethods(PlayerScripts& scripts) {
  Vm& vm = scripts.vm();
  Object* proto = vm.protoOf("MovieClip");
  PlayerScripts* owner = &scripts;

  auto method = [&](Object* on, const char* name, std::function<Value(Vm&, ClipObject&, const CallArgs&)> fn) {
    vm.defineMethod(on, name, [fn](Vm& vm, const CallArgs& a) -> Value {
      ClipObject* c = clipOf(a.thisValue);
      if (!c || !c->alive()) return Value();
      return fn(vm, *c, a);
    });
  };

  method(proto, "play", [](Vm&, ClipObject& c, const CallArgs&) { c.setPlaying(true); return Value(); });
  method(proto, "stop", [](Vm&, ClipObject& c, const CallArgs&) { c.setPlaying(false); return Value(); });
  method(proto, "nextFrame", [](Vm&, ClipObject& c, const CallArgs&) {
    c.gotoFrame(c.currentFrame() + 1);
    c.setPlaying(false);
    return Value();
  });
  method(proto, "prevFrame", [](Vm&, ClipObject& c, const CallArgs&) {
    c.gotoFrame(std::max(c.currentFrame() - 1, 0));
    c.setPlaying(false);
    return Value();
  });
  auto go = [](bool play) {
    return [play](Vm& vm, ClipObject& c, const CallArgs& a) -> Value {
      // gotoAndPlay(scene, frame): the frame counts within the movie.
      const Value& frame = a.size() >= 2 ? a[1] : a[0];
      if (frame.isString()) {
        double n = stringToNumber(frame.string(), 5);
        if (std::isfinite(n)) c.gotoFrame(clampToInt(n) - 1);
        else if (!c.gotoLabel(frame.string())) return Value();
      } else {
        double n = vm.toNumber(frame);
        if (!std::isfinite(n)) return Value();
        c.gotoFrame(clampToInt(n) - 1);
      }
      c.setPlaying(play);
      return Value();
    };
  };
  method(proto, "gotoAndPlay", go(true));
  method(proto, "gotoAndStop", go(false));

  method(proto, "getBytesLoaded", [owner](Vm&, ClipObject& c, const CallArgs&) -> Value {
    if (!c.timeline()) return Value();
    return static_cast<double>(owner->player()->movie().bytesLoaded());
  });
  method(proto, "getBytesTotal", [owner](Vm&, ClipObject& c, const CallArgs&) -> Value {
    if (!c.timeline()) return Value();
    return static_cast<double>(owner->player()->movie().bytesTotal());
  });

  // ---- instances ----
  auto placeNew = [owner](Vm& vm, ClipObject& c, std::shared_ptr<const engine::Character> character,
                          const std::string& name, int depth, const Value& init) -> Value {
    engine::Timeline* t = c.timeline();
    if (!t || !character) return Value();
    if (depth < -engine::kScriptDepthOffset || depth > 2130690045) return Value();
    engine::DisplayObject* made =
        t->placeScripted(depth + engine::kScriptDepthOffset, std::move(character), name, owner->player()->context());
    if (!made) return Value();
    Object* self = vm.scriptObject(owner->objectFor(*made));
    copyProperties(vm, init, self);
    return self ? Value(self) : Value();
  };
  method(proto, "attachMovie", [owner, placeNew](Vm& vm, ClipObject& c, const CallArgs& a) -> Value {
    auto depth = depthArg(vm, a[2]);
    if (!depth || a.size() < 3) return Value();
    auto character = owner->player()->movie().exported(vm.toString(a[0]));
    if (!character || !std::holds_alternative<engine::SpriteDefinition>(character->body)) return Value();
    return placeNew(vm, c, character, vm.toString(a[1]), *depth, a[3]);
  });
  method(proto, "createEmptyMovieClip", [owner, placeNew](Vm& vm, ClipObject& c, const CallArgs& a) -> Value {
    auto depth = depthArg(vm, a[1]);
    if (!depth || a.size() < 2) return Value();
    return placeNew(vm, c, owner->emptySprite(), vm.toString(a[0]), *depth, Value());
  });
  method(proto, "duplicateMovieClip", [owner](Vm& vm, ClipObject& c, const CallArgs& a) -> Value {
    auto depth = depthArg(vm, a[1]);
    if (!depth || c.isRoot()) return Value();
    std::string name = vm.toString(a[0]);
    c.duplicate(name, *depth);
    engine::Timeline* parent = c.parentTimeline();
    if (!parent) return Value();
    engine::DisplayObject* made = parent->displayList().at(*depth + engine::kScriptDepthOffset);
    if (!made || made->placement.name != name) return Value();
    Object* self = vm.scriptObject(owner->objectFor(*made));
    copyProperties(vm, a[2], self);
    return self ? Value(self) : Value();
  });
  method(proto, "removeMovieClip", [](Vm&, ClipObject& c, const CallArgs&) {
    c.removeSelf();
    return Value();
  });
  method(proto, "unloadMovie", [owner](Vm&, ClipObject& c, const CallArgs&) -> Value {
    engine::DisplayList* list = c.children();
    engine::Timeline* t = c.timeline();
    if (!list || !t) return Value();
    std::vector<int> depths;
    for (auto& [depth, object] : list->objects()) depths.push_back(depth);
    for (int depth : depths) t->removeAt(depth, owner->player()->context());
    t->setPlaying(false);
    return Value();
  });

  // ---- depths ----
  auto getDepth = [](Vm&, ClipObject& c, const CallArgs&) -> Value { return static_cast<double>(c.scriptDepth()); };
  method(proto, "getDepth", getDepth);
  method(proto, "getNextHighestDepth", [](Vm&, ClipObject& c, const CallArgs&) -> Value {
    engine::DisplayList* list = c.children();
    return list ? static_cast<double>(list->nextFreeDepth()) : Value();
  });
  method(proto, "getInstanceAtDepth", [owner](Vm& vm, ClipObject& c, const CallArgs& a) -> Value {
    engine::DisplayList* list = c.children();
    auto depth = depthArg(vm, a[0]);
    if (!list || !depth) return Value();
    engine::DisplayObject* o = list->at(*depth + engine::kScriptDepthOffset);
    StageObject* s = o ? owner->objectFor(*o) : nullptr;
    return s ? Value(vm.scriptObject(s)) : Value();
  });
  auto swapDepths = [owner](Vm& vm, ClipObject& c, const CallArgs& a) -> Value {
    engine::DisplayObject* self = c.object();
    engine::Timeline* parent = c.parentTimeline();
    if (!self || !parent || a.size() < 1) return Value();
    int to = 0;
    if (ClipObject* other = clipOf(a[0])) {
      if (!other->object() || other->parentTimeline() != parent) return Value();
      to = other->object()->depth;
    } else {
      auto depth = depthArg(vm, a[0]);
      if (!depth || *depth < -engine::kScriptDepthOffset || *depth > 2130690045) return Value();
      to = *depth + engine::kScriptDepthOffset;
    }
    engine::DisplayList& list = parent->displayList();
    if (engine::DisplayObject* there = list.at(to)) there->scripted = true;
    self->scripted = true;  // the timeline no longer places or removes it
    list.swap(self->depth, to);
    owner->player()->context().changed();
    return Value();
  };
  method(proto, "swapDepths", swapDepths);

  // ---- geometry ----
  auto stagePoint = [](Vm& vm, const Value& point, double& x, double& y) {
    x = vm.toNumber(vm.getMember(point, "x")) * 20.0;
    y = vm.toNumber(vm.getMember(point, "y")) * 20.0;
    return std::isfinite(x) && std::isfinite(y);
  };
  method(proto, "localToGlobal", [stagePoint](Vm& vm, ClipObject& c, const CallArgs& a) -> Value {
    double x = 0, y = 0;
    if (!a[0].isObject() || !stagePoint(vm, a[0], x, y)) return Value();
    double gx = 0, gy = 0;
    c.worldMatrix().map(x, y, gx, gy);
    vm.setMember(a[0], "x", std::round(gx) / 20.0);
    vm.setMember(a[0], "y", std::round(gy) / 20.0);
    return Value();
  });
  method(proto, "globalToLocal", [stagePoint](Vm& vm, ClipObject& c, const CallArgs& a) -> Value {
    double x = 0, y = 0;
    if (!a[0].isObject() || !stagePoint(vm, a[0], x, y)) return Value();
    auto inverse = c.worldMatrix().inverted();
    if (!inverse) return Value();
    double lx = 0, ly = 0;
    inverse->map(x, y, lx, ly);
    vm.setMember(a[0], "x", std::round(lx) / 20.0);
    vm.setMember(a[0], "y", std::round(ly) / 20.0);
    return Value();
  });
  auto bounds = [owner](bool rect) {
    return [owner, rect](Vm& vm, ClipObject& c, const CallArgs& a) -> Value {
      engine::Affine space;
      if (a.size() >= 1) {
        ClipObject* target = clipOf(a[0]);
        if (!target) return Value();
        auto inverse = target->worldMatrix().inverted();
        if (!inverse) return Value();
        space = *inverse * c.worldMatrix();
      }
      engine::Box box;
      if (engine::DisplayObject* o = c.object()) {
        (void)rect;  // strokes are not told apart from fills yet
        box = engine::objectBounds(*o, space, owner->player()->movie());
      } else if (engine::DisplayList* list = c.children()) {
        box = engine::listBounds(*list, space, owner->player()->movie());
      }
      return boundsObject(vm, box);
    };
  };
  method(proto, "getBounds", bounds(false));
  method(proto, "getRect", bounds(true));
  method(proto, "hitTest", [owner](Vm& vm, ClipObject& c, const CallArgs& a) -> Value {
    engine::Player& player = *owner->player();
    const auto& stage = player.movie().header().stage;
    engine::DisplayObject* self = c.object();
    if (a.size() >= 2) {
      double x = vm.toNumber(a[0]) * 20.0 + stage.xMin, y = vm.toNumber(a[1]) * 20.0 + stage.yMin;
      if (!std::isfinite(x) || !std::isfinite(y)) return false;
      engine::Affine world = c.worldMatrix();
      if (a.size() >= 3 && vm.toBool(a[2])) {
        if (self) return player.objectHit(*self, world, x, y);
        return false;
      }
      engine::Box box = self ? engine::objectBounds(*self, world, player.movie())
                             : engine::listBounds(*c.children(), engine::Affine{}, player.movie());
      return !box.empty && x >= box.xMin && x <= box.xMax && y >= box.yMin && y <= box.yMax;
    }
    ClipObject* other = clipOf(a[0]);
    if (!other || !other->alive()) return false;
    auto boxOf = [&](ClipObject& clip) {
      if (engine::DisplayObject* o = clip.object())
        return engine::objectBounds(*o, clip.worldMatrix(), player.movie());
      return engine::listBounds(*clip.children(), engine::Affine{}, player.movie());
    };
    engine::Box p = boxOf(c), q = boxOf(*other);
    if (p.empty || q.empty) return false;
    return p.xMin <= q.xMax && q.xMin <= p.xMax && p.yMin <= q.yMax && q.yMin <= p.yMax;
  });

  // ---- buttons ----
  Object* buttonProto = vm.newObject();
  vm.registerPrototype("Button", buttonProto);
  Object* buttonCtor = vm.newFunction([](Vm&, const CallArgs&) -> Value { return Value(); }, buttonProto);
  vm.global()->setOwn("Button", buttonCtor, prop::kDontEnum);
  method(buttonProto, "getDepth", getDepth);
  vm.defineMethod(buttonProto, "toString", [](Vm& vm, const CallArgs& a) -> Value {
    Object* o = a.thisValue.object();
    if (o && o->kind() == ObjectKind::Stage && o->stage) return vm.targetPath(o->stage);
    return Value("[object Object]");
  });
}

}  // namespace plavex::script
