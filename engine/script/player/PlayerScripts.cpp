#include "engine/script/player/PlayerScripts.h"

#include <cmath>

#include "engine/core/Timeline.h"
#include "engine/script/player/ClipObject.h"
#include "engine/script/player/ScriptInput.h"

namespace plavex::script {

namespace {

// Actions one drain of the queue runs at most: events that keep queueing more (a clip
// attaching itself on load) end with the tick instead of hanging the player.
constexpr int kMaxQueuedPerDrain = 100000;

constexpr std::uint32_t kPointerFlags = clipevent::kPress | clipevent::kRelease | clipevent::kReleaseOutside |
                                        clipevent::kRollOver | clipevent::kRollOut | clipevent::kDragOver |
                                        clipevent::kDragOut;

struct PointerInfo {
  std::uint32_t flag;
  const char* method;
};

PointerInfo pointerInfo(engine::PointerEvent e) {
  switch (e) {
    case engine::PointerEvent::RollOver: return {clipevent::kRollOver, "onRollOver"};
    case engine::PointerEvent::RollOut: return {clipevent::kRollOut, "onRollOut"};
    case engine::PointerEvent::Press: return {clipevent::kPress, "onPress"};
    case engine::PointerEvent::Release: return {clipevent::kRelease, "onRelease"};
    case engine::PointerEvent::ReleaseOutside: return {clipevent::kReleaseOutside, "onReleaseOutside"};
    case engine::PointerEvent::DragOver: return {clipevent::kDragOver, "onDragOver"};
    case engine::PointerEvent::DragOut: return {clipevent::kDragOut, "onDragOut"};
  }
  return {0, ""};
}

std::shared_ptr<const engine::Character> makeEmptySprite() {
  auto c = std::make_shared<engine::Character>();
  engine::SpriteDefinition sprite;
  sprite.timeline.frames.emplace_back();
  sprite.timeline.declaredFrameCount = 1;
  c->body = std::move(sprite);
  return c;
}

}  // namespace

void installMovieClipMethods(PlayerScripts& scripts);
void installTextFields(PlayerScripts& scripts);
void installSoundObject(PlayerScripts& scripts);
void syncBoundTextFields(PlayerScripts& scripts);

PlayerScripts::PlayerScripts(int swfVersion, TraceOutput trace, ScriptLimits limits)
    : trace_(std::move(trace)), vm_(std::make_unique<Vm>(swfVersion, this, limits)), emptySprite_(makeEmptySprite()) {
  installMovieClipMethods(*this);
  installTextFields(*this);
  installSoundObject(*this);
  input_ = ScriptInput::install(*this);
}

PlayerScripts::~PlayerScripts() {
  // The machine goes first (it is declared last); it must not see the stage objects go.
  vm_.reset();
}

void PlayerScripts::attach(engine::Player& player) {
  player_ = &player;
  root_ = std::make_unique<ClipObject>(*this, nullptr);
}

ClipObject* PlayerScripts::rootClip() { return root_.get(); }

StageObject* PlayerScripts::root() { return root_.get(); }

StageObject* PlayerScripts::objectFor(const engine::ObjectHandle& handle) {
  if (!handle) return nullptr;
  auto it = objects_.find(handle.get());
  if (it != objects_.end()) return it->second.get();
  engine::DisplayObject* object = *handle;
  if (!object) return nullptr;
  std::unique_ptr<StageObject> made;
  for (auto f = factories_.rbegin(); f != factories_.rend() && !made; ++f) made = (*f)(*this, handle);
  if (!made && (object->sprite || object->button)) made = std::make_unique<ClipObject>(*this, handle);
  if (!made) return nullptr;
  StageObject* out = made.get();
  objects_.emplace(handle.get(), std::move(made));
  return out;
}

StageObject* PlayerScripts::objectForTimeline(const engine::Timeline& timeline) {
  if (player_ && &timeline == &player_->root()) return root_.get();
  auto owner = timeline.owner().lock();
  return owner ? objectFor(owner) : nullptr;
}

// ---- the queue ----

void PlayerScripts::queueCode(Priority p, StageObject* target, std::span<const std::uint8_t> code) {
  if (!target || code.empty()) return;
  Queued q;
  q.target = target;
  q.code = code;
  queue_[p].push_back(std::move(q));
}

void PlayerScripts::queueMethod(StageObject* target, std::string method, bool evenIfGone) {
  if (!target) return;
  Queued q;
  q.target = target;
  q.method = std::move(method);
  q.evenIfGone = evenIfGone;
  queue_[kNormal].push_back(std::move(q));
}

void PlayerScripts::queueClipEvent(engine::DisplayObject& object, std::uint32_t flags, const char* method, Priority p,
                                   bool evenIfGone) {
  StageObject* target = objectFor(object);
  if (!target) return;
  if (const auto& actions = object.placement.clipActions) {
    for (const auto& record : actions->records) {
      if (!(record.eventFlags & flags) || record.actions.empty()) continue;
      Queued q;
      q.target = target;
      q.owned = std::make_shared<const swf::Bytes>(record.actions);
      q.code = *q.owned;
      q.evenIfGone = evenIfGone;
      queue_[p].push_back(std::move(q));
    }
  }
  if (method) queueMethod(target, method, evenIfGone);
}

void PlayerScripts::runOne(Queued& q) {
  auto* clip = dynamic_cast<ClipObject*>(q.target);
  const bool gone = clip ? !clip->alive() : false;
  if (gone && !q.evenIfGone) return;
  Object* self = vm_->scriptObject(q.target);
  if (!self) return;
  if (!q.className.empty()) {
    // Object.registerClass: the instance becomes one of the class and its constructor runs.
    Value registry = vm_->getMember(Value(vm_->global()), "__registeredClasses");
    Value ctor = registry.isObject() ? vm_->getMember(registry, q.className) : Value();
    Object* c = ctor.object();
    if (!c || !c->isFunction()) return;
    Value proto = vm_->getMember(ctor, "prototype");
    if (proto.isObject()) self->setProto(proto.object());
    if (vm_->version() >= 6) self->setOwn("__constructor__", ctor, prop::kDontEnum);
    else self->setOwn("constructor", ctor, prop::kDontEnum);
    vm_->call(ctor, Value(self), {});
    return;
  }
  if (!q.method.empty()) {
    Value fn = vm_->getMember(Value(self), q.method);
    if (Object* f = fn.object(); f && f->isFunction()) vm_->call(fn, Value(self), {});
    return;
  }
  report(vm_->run(q.code, self));
}

void PlayerScripts::runQueue() {
  if (running_ || !player_) return;
  running_ = true;
  for (int budget = kMaxQueuedPerDrain; budget > 0; --budget) {
    int p = 0;
    while (p < kPriorities && queue_[p].empty()) ++p;
    if (p == kPriorities) break;
    Queued q = std::move(queue_[p].front());
    queue_[p].pop_front();
    runOne(q);
    if (quit_) break;
  }
  for (auto& level : queue_) level.clear();
  running_ = false;
}

void PlayerScripts::sweep() {
  if (running_) return;
  for (auto it = objects_.begin(); it != objects_.end();) {
    auto* clip = dynamic_cast<ClipObject*>(it->second.get());
    if (clip && !clip->alive()) {
      vm_->forgetStageObject(it->second.get());
      it = objects_.erase(it);
    } else {
      ++it;
    }
  }
}

// ---- the core's hooks ----

void PlayerScripts::runFrameActions(engine::Timeline& timeline, const swf::DoAction& actions) {
  if (!player_) return;
  queueCode(kNormal, objectForTimeline(timeline), actions.actions);
}

void PlayerScripts::runInitActions(engine::Timeline& timeline, const swf::DoInitAction& actions) {
  if (!player_ || !initialised_.insert(actions.spriteId).second) return;
  queueCode(kInit, objectForTimeline(timeline), actions.actions);
}

void PlayerScripts::runButtonActions(engine::DisplayObject& button, const swf::Bytes& actions) {
  if (!player_) return;
  StageObject* self = objectFor(button);
  StageObject* holder = self ? self->parent() : nullptr;
  if (!holder) holder = root_.get();
  queueCode(kNormal, holder, actions);
}

void PlayerScripts::objectCreated(engine::DisplayObject& object) {
  if (!player_ || !object.sprite) {
    return;
  }
  queueClipEvent(object, clipevent::kInitialize, nullptr, kInit);
  if (std::string name = player_->movie().exportName(object.characterId()); !name.empty()) {
    Queued q;
    q.target = objectFor(object);
    q.className = std::move(name);
    if (q.target) queue_[kConstruct].push_back(std::move(q));
  }
  queueClipEvent(object, clipevent::kConstruct, nullptr, kConstruct);
  queueClipEvent(object, clipevent::kLoad, "onLoad");
}

void PlayerScripts::objectRemoving(engine::DisplayObject& object) {
  if (!player_ || !object.sprite) return;
  queueClipEvent(object, clipevent::kUnload, "onUnload", kNormal, true);
}

void PlayerScripts::enterFrame(engine::DisplayObject* sprite) {
  if (!player_) return;
  if (!sprite) {
    if (!rootLoaded_) {
      rootLoaded_ = true;
      queueMethod(root_.get(), "onLoad");
    } else {
      queueMethod(root_.get(), "onEnterFrame");
    }
    return;
  }
  queueClipEvent(*sprite, clipevent::kEnterFrame, "onEnterFrame");
}

void PlayerScripts::mouseEvent(engine::MouseEventKind kind) {
  if (!player_) return;
  std::uint32_t flag = kind == engine::MouseEventKind::Down ? clipevent::kMouseDown
                       : kind == engine::MouseEventKind::Up ? clipevent::kMouseUp
                                                            : clipevent::kMouseMove;
  const char* method = kind == engine::MouseEventKind::Down ? "onMouseDown"
                       : kind == engine::MouseEventKind::Up ? "onMouseUp"
                                                            : "onMouseMove";
  for (const auto& weak : player_->executionOrder())
    if (engine::DisplayObject* o = engine::resolve(weak)) queueClipEvent(*o, flag, method);
  queueMethod(root_.get(), method);
}

void PlayerScripts::pointerEvent(engine::DisplayObject& target, engine::PointerEvent event) {
  if (!player_) return;
  PointerInfo info = pointerInfo(event);
  queueClipEvent(target, info.flag, info.method);
}

bool PlayerScripts::actsAsButton(const engine::DisplayObject& sprite) {
  if (sprite.placement.clipActions && (sprite.placement.clipActions->allEventFlags & kPointerFlags)) return true;
  auto it = objects_.find(sprite.handle.get());
  if (it == objects_.end()) return false;
  Object* self = vm_->scriptObject(it->second.get());
  for (const char* name : {"onPress", "onRelease", "onReleaseOutside", "onRollOver", "onRollOut", "onDragOver",
                           "onDragOut"}) {
    Value fn = vm_->getMember(Value(self), name);
    if (Object* f = fn.object(); f && f->isFunction()) return true;
  }
  return false;
}

void PlayerScripts::frameDone() { runQueue(); }

void PlayerScripts::afterFrame() {
  if (!player_) return;
  runQueue();
  vm_->runTimers();
  runQueue();
  syncBoundTextFields(*this);
  sweep();
  if (vm_->objectCount() > 50000) vm_->collectGarbage();
}

void PlayerScripts::report(const RunResult& r) {
  if (!r.ok()) lastProblem_ = r.message;
}

void PlayerScripts::trace(const std::string& line) {
  if (trace_) trace_(line);
}

void PlayerScripts::openUrl(const std::string& url, const std::string& window) {
  if (openUrl_) openUrl_(url, window);
}

void PlayerScripts::fscommand(const std::string& command, const std::string&) {
  if (namesEqual(command, "quit", false)) quit_ = true;
}

}  // namespace plavex::script
