#include "engine/script/player/SoundObject.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <optional>
#include <unordered_map>

#include "engine/script/player/ClipObject.h"
#include "engine/script/player/PlayerScripts.h"
#include "engine/sound/MovieSound.h"

namespace plavex::script {

int panOf(const sound::ChannelTransform& t) {
  const auto magnitude = [](int v) { return v == INT_MIN ? static_cast<long long>(INT_MAX) + 1 : std::llabs(v); };
  const long long pan = t.leftToLeft != 100 ? 100 - magnitude(t.leftToLeft) : magnitude(t.rightToRight) - 100;
  return static_cast<int>(pan);
}

sound::ChannelTransform withPan(sound::ChannelTransform t, int pan) {
  const long long p = pan;
  t.leftToLeft = p > 0 ? static_cast<int>(100 - p) : 100;
  t.rightToRight = p < 0 ? static_cast<int>(100 + p) : 100;
  t.leftToRight = t.rightToLeft = 0;
  return t;
}

int saturatedInt(double n) {
  if (!std::isfinite(n) || n >= 2147483648.0 || n <= -2147483649.0) return INT_MIN;
  return static_cast<int>(std::trunc(n));
}

namespace {

// Slots of a Sound object's elements.
enum Slot : std::size_t { kMarker, kTarget, kPath, kSoundId, kVoice, kSlotCount };
constexpr const char* kMarkerText = "\x01Sound";

bool isSound(Object* o) {
  return o && o->kind() == ObjectKind::Plain && o->elements.size() == kSlotCount && o->elements[kMarker].isString() &&
         o->elements[kMarker].string() == kMarkerText;
}

// The settings of the clips scripts' Sound objects control, and the way to the mixer.
class SoundService {
 public:
  explicit SoundService(PlayerScripts& scripts) : scripts_(scripts) {}

  // What a Sound object controls: group 0 is the movie; none when its clip has gone.
  std::optional<sound::Mixer::GroupId> groupOf(Object* self) {
    const Value& target = self->elements[kTarget];
    if (target.isUndefined()) return 0;
    ClipObject* clip = clipFor(target);
    // A clip that has gone stands for the one now at its place (a clip made again).
    if ((!clip || !clip->alive()) && self->elements[kPath].isString()) clip = clipFor(self->elements[kPath]);
    if (!clip || !clip->alive()) return std::nullopt;
    if (clip->isRoot()) return 0;
    const auto key = reinterpret_cast<sound::Mixer::GroupId>(clip->handle().get());
    auto& group = groups_[key];
    if (group.clip.lock() != clip->handle()) group = Group{clip->handle(), {}};
    return key;
  }

  sound::ChannelTransform transform(sound::Mixer::GroupId group) {
    if (group == 0) return movie_;
    auto it = groups_.find(group);
    return it == groups_.end() ? sound::ChannelTransform{} : it->second.transform;
  }

  void setTransform(sound::Mixer::GroupId group, const sound::ChannelTransform& t) {
    if (group == 0) movie_ = t;
    else groups_[group].transform = t;
    if (auto* s = movieSound()) s->mixer().setTransform(s->owner(), group, t);
  }

  // The movie's sound, when the player has one.
  sound::MovieSound* movieSound() {
    engine::Player* player = scripts_.player();
    return player ? dynamic_cast<sound::MovieSound*>(player->context().sounds) : nullptr;
  }

  PlayerScripts& scripts() { return scripts_; }

 private:
  ClipObject* clipFor(const Value& target) {
    if (Object* o = target.object(); o && o->kind() == ObjectKind::Stage)
      return dynamic_cast<ClipObject*>(o->stage);
    if (!target.isString()) return nullptr;
    // A path from the root, in either notation.
    Vm& vm = scripts_.vm();
    Value at(vm.scriptObject(scripts_.rootClip()));
    std::string path = target.string(), part;
    for (char& c : path)
      if (c == '/') c = '.';
    std::size_t from = 0;
    while (from <= path.size()) {
      const std::size_t dot = std::min(path.find('.', from), path.size());
      part = path.substr(from, dot - from);
      from = dot + 1;
      if (part.empty() || namesEqual(part, "_root", false) || namesEqual(part, "_level0", false)) continue;
      at = vm.getMember(at, part);
    }
    Object* o = at.object();
    return o && o->kind() == ObjectKind::Stage ? dynamic_cast<ClipObject*>(o->stage) : nullptr;
  }

  struct Group {
    engine::WeakObjectHandle clip;
    sound::ChannelTransform transform;
  };
  PlayerScripts& scripts_;
  sound::ChannelTransform movie_;
  std::unordered_map<sound::Mixer::GroupId, Group> groups_;
};

double millis(std::size_t frames) { return std::round(static_cast<double>(frames) * 1000.0 / 44100.0); }

// How often a playing sound is checked for its end.
constexpr double kCompletionPollMs = 10;

}  // namespace

void installSoundObject(PlayerScripts& scripts) {
  Vm& vm = scripts.vm();
  auto service = std::make_shared<SoundService>(scripts);
  Object* proto = vm.newObject();
  Object* ctor = vm.newFunction(
      [](Vm& vm, const CallArgs& a) -> Value {
        Object* self = a.thisValue.object();
        if (!self) return Value();
        self->elements.assign(kSlotCount, Value());
        self->elements[kMarker] = Value(std::string(kMarkerText));
        self->elements[kTarget] = a[0];
        if (Object* o = a[0].object(); o && o->kind() == ObjectKind::Stage && o->stage)
          self->elements[kPath] = Value(vm.targetPath(o->stage));
        return Value();
      },
      proto);
  vm.global()->setOwn("Sound", ctor, prop::kDontEnum);

  // A method of Sound objects; undefined for anything else.
  using Body = std::function<Value(Vm&, Object*, const CallArgs&)>;
  auto method = [&](const char* name, Body body) {
    vm.defineMethod(proto, name, [body = std::move(body)](Vm& vm, const CallArgs& a) -> Value {
      Object* self = a.thisValue.object();
      if (!isSound(self)) return Value();
      return body(vm, self, a);
    });
  };
  // A getter or setter of the clip's transform; undefined when the clip has gone.
  using TransformBody = std::function<Value(Vm&, sound::ChannelTransform&, const CallArgs&)>;
  auto transformMethod = [&](const char* name, bool changes, TransformBody body) {
    method(name, [service, changes, body = std::move(body)](Vm& vm, Object* self, const CallArgs& a) -> Value {
      auto group = service->groupOf(self);
      if (!group) return Value();
      sound::ChannelTransform t = service->transform(*group);
      Value out = body(vm, t, a);
      if (changes) service->setTransform(*group, t);
      return out;
    });
  };

  transformMethod("getVolume", false, [](Vm&, sound::ChannelTransform& t, const CallArgs&) {
    return Value(static_cast<double>(t.volume));
  });
  transformMethod("setVolume", true, [](Vm& vm, sound::ChannelTransform& t, const CallArgs& a) {
    t.volume = a.size() == 0 ? 0 : saturatedInt(vm.toNumber(a[0]));
    return Value();
  });
  transformMethod("getPan", false, [](Vm&, sound::ChannelTransform& t, const CallArgs&) {
    return Value(static_cast<double>(panOf(t)));
  });
  transformMethod("setPan", true, [](Vm& vm, sound::ChannelTransform& t, const CallArgs& a) {
    t = withPan(t, a.size() == 0 ? 0 : saturatedInt(vm.toNumber(a[0])));
    return Value();
  });
  transformMethod("getTransform", false, [](Vm& vm, sound::ChannelTransform& t, const CallArgs&) {
    Object* o = vm.newObject();
    o->setOwn("ll", Value(static_cast<double>(t.leftToLeft)));
    o->setOwn("lr", Value(static_cast<double>(t.leftToRight)));
    o->setOwn("rr", Value(static_cast<double>(t.rightToRight)));
    o->setOwn("rl", Value(static_cast<double>(t.rightToLeft)));
    return Value(o);
  });
  transformMethod("setTransform", true, [](Vm& vm, sound::ChannelTransform& t, const CallArgs& a) {
    Object* o = a[0].object();
    if (!o) return Value();
    auto read = [&](const char* name, int& field) {
      Value v = vm.getMember(a[0], name);
      if (v.isUndefined()) return;
      const double n = vm.toNumber(v);
      // Fractional shares leave the setting as it was.
      if (std::isfinite(n) && n != std::trunc(n)) return;
      field = toInt32(n);
    };
    read("ll", t.leftToLeft);
    read("lr", t.leftToRight);
    read("rl", t.rightToLeft);
    read("rr", t.rightToRight);
    return Value();
  });

  method("attachSound", [service](Vm& vm, Object* self, const CallArgs& a) -> Value {
    auto* sounds = service->movieSound();
    if (!sounds || a.size() == 0) return Value();
    auto id = sounds->exportedSound(vm.toString(a[0]));
    if (!id) return Value();
    self->elements[kSoundId] = Value(static_cast<double>(*id));
    self->elements[kVoice] = Value();
    return Value();
  });

  // The attached sound's samples, or null.
  auto samplesOf = [service](Object* self) -> sound::SoundSamples {
    auto* sounds = service->movieSound();
    if (!sounds || !self->elements[kSoundId].isNumber()) return nullptr;
    return sounds->soundSamples(static_cast<std::uint16_t>(self->elements[kSoundId].number()));
  };
  auto duration = [samplesOf](Vm&, Object* self, const CallArgs&) -> Value {
    auto samples = samplesOf(self);
    if (!samples) return Value();
    return Value(millis(samples->size() / 2));
  };
  auto position = [service, samplesOf](Vm&, Object* self, const CallArgs&) -> Value {
    auto samples = samplesOf(self);
    if (!samples) return Value();
    auto* sounds = service->movieSound();
    const Value& voice = self->elements[kVoice];
    if (!voice.isNumber()) return Value(0.0);
    auto at = sounds->mixer().voicePosition(static_cast<sound::Mixer::VoiceId>(voice.number()));
    // A sound that has ended reports its full length.
    return Value(millis(at ? *at : samples->size() / 2));
  };
  // Movies before version 6 see only the volume, pan, transform and playing methods.
  if (vm.version() >= 6) {
    method("getDuration", duration);
    method("getPosition", position);
    Object* durationGetter = vm.newFunction([duration](Vm& vm, const CallArgs& a) -> Value {
      Object* self = a.thisValue.object();
      return isSound(self) ? duration(vm, self, a) : Value();
    });
    Object* positionGetter = vm.newFunction([position](Vm& vm, const CallArgs& a) -> Value {
      Object* self = a.thisValue.object();
      return isSound(self) ? position(vm, self, a) : Value();
    });
    proto->defineAccessor("duration", durationGetter, nullptr);
    proto->defineAccessor("position", positionGetter, nullptr);
    proto->setFlags("duration", prop::kDontEnum, 0);
    proto->setFlags("position", prop::kDontEnum, 0);
  }

  method("start", [service, samplesOf](Vm& vm, Object* self, const CallArgs& a) -> Value {
    auto samples = samplesOf(self);
    auto group = service->groupOf(self);
    if (!samples || !group) return Value();
    auto* sounds = service->movieSound();
    const double seconds = a.size() > 0 ? vm.toNumber(a[0]) : 0.0;
    const double loops = a.size() > 1 ? vm.toNumber(a[1]) : 1.0;
    const std::size_t offset =
        std::isfinite(seconds) && seconds > 0 ? static_cast<std::size_t>(std::min(seconds, 1e6) * 44100.0) : 0;
    const int loopCount = std::isfinite(loops) && loops > 1 ? static_cast<int>(std::min(loops, 1e6)) : 1;
    const auto id = static_cast<int>(self->elements[kSoundId].number());
    const auto voice = sounds->mixer().startVoice(sounds->owner(), *group, id, samples, offset, loopCount);
    self->elements[kVoice] = Value(static_cast<double>(voice));
    if (voice == 0) return Value();
    // onSoundComplete once the voice has ended: a polling timer that removes itself.
    auto timerId = std::make_shared<int>(0);
    Object* poll = vm.newFunction([service, voice, timerId](Vm& vm, const CallArgs& pa) -> Value {
      auto* sounds = service->movieSound();
      if (sounds && sounds->mixer().voicePosition(voice)) return Value();
      vm.removeTimer(*timerId);
      Value fn = vm.getMember(pa.thisValue, "onSoundComplete");
      if (Object* f = fn.object(); f && f->isFunction() && sounds) vm.callValue(fn, pa.thisValue, {});
      return Value();
    });
    *timerId = vm.addTimer(Value(poll), Value(self), {}, kCompletionPollMs, {}, false);
    return Value();
  });

  method("stop", [service](Vm& vm, Object* self, const CallArgs& a) -> Value {
    auto* sounds = service->movieSound();
    auto group = service->groupOf(self);
    if (!sounds || !group) return Value();
    int soundId = -1;
    if (a.size() > 0 && !a[0].isUndefined()) {
      auto id = sounds->exportedSound(vm.toString(a[0]));
      if (!id) return Value();
      soundId = *id;
    }
    sounds->mixer().stopGroup(sounds->owner(), *group, soundId);
    return Value();
  });

  if (vm.version() < 6) return;
  method("getBytesLoaded", [](Vm&, Object*, const CallArgs&) -> Value { return Value(); });
  method("getBytesTotal", [](Vm&, Object*, const CallArgs&) -> Value { return Value(); });
  // Loading sound files is not supported: onLoad reports failure on the next tick.
  method("loadSound", [](Vm& vm, Object* self, const CallArgs&) -> Value {
    auto timerId = std::make_shared<int>(0);
    Object* fail = vm.newFunction([timerId](Vm& vm, const CallArgs& fa) -> Value {
      vm.removeTimer(*timerId);
      Value fn = vm.getMember(fa.thisValue, "onLoad");
      if (Object* f = fn.object(); f && f->isFunction()) {
        const Value args[] = {Value(false)};
        vm.callValue(fn, fa.thisValue, args);
      }
      return Value();
    });
    *timerId = vm.addTimer(Value(fail), Value(self), {}, 1, {}, true);
    return Value();
  });
}

}  // namespace plavex::script
