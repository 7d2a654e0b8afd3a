#include "engine/script/player/PlayerScripts.h"

#include <cmath>

#include "engine/core/Timeline.h"

namespace plavex::script {

namespace {

struct Found {
  const engine::Timeline* parent = nullptr;
  const engine::DisplayObject* object = nullptr;
};

// Where a timeline sits below `in`: its parent timeline and its display object.
bool findTimeline(const engine::Timeline& in, const engine::Timeline* wanted, Found& out, int depth = 0) {
  if (depth > 64) return false;
  for (const auto& [d, object] : in.displayList().objects()) {
    if (!object.sprite) continue;
    if (object.sprite.get() == wanted) {
      out = {&in, &object};
      return true;
    }
    if (findTimeline(*object.sprite, wanted, out, depth + 1)) return true;
  }
  return false;
}

// The timeline whose display list holds `button`.
const engine::Timeline* findHolder(const engine::Timeline& in, const engine::DisplayObject* button, int depth = 0) {
  if (depth > 64) return nullptr;
  for (const auto& [d, object] : in.displayList().objects()) {
    if (&object == button) return &in;
    if (object.sprite)
      if (const auto* t = findHolder(*object.sprite, button, depth + 1)) return t;
  }
  return nullptr;
}

}  // namespace

// A timeline seen as a movie clip. It looks its timeline up in the live tree on every
// use, so a clip that has left the stage reads as empty instead of touching freed memory.
class PlayerScripts::TimelineObject final : public StageObject {
 public:
  TimelineObject(PlayerScripts& owner, const engine::Timeline* timeline) : owner_(owner), timeline_(timeline) {}

  std::string name() const override {
    Found f;
    if (!locate(f) || !f.object) return {};
    return f.object->placement.name;
  }
  StageObject* parent() override {
    Found f;
    if (!locate(f) || !f.parent) return nullptr;
    return owner_.objectFor(f.parent);
  }
  StageObject* child(std::string_view name, bool caseSensitive) override {
    const engine::Timeline* t = live();
    if (!t) return nullptr;
    for (const auto& [d, object] : t->displayList().objects()) {
      if (object.sprite && namesEqual(object.placement.name, name, caseSensitive)) return owner_.objectFor(object.sprite.get());
    }
    return nullptr;
  }
  Value property(StageProperty p) override {
    const engine::Timeline* t = live();
    if (!t) return Value();
    Found f;
    locate(f);
    const swf::Matrix* m = f.object ? &f.object->placement.matrix : nullptr;
    switch (p) {
      case StageProperty::X: return m ? m->translateX / 20.0 : 0.0;
      case StageProperty::Y: return m ? m->translateY / 20.0 : 0.0;
      case StageProperty::XScale: return m ? std::hypot(m->scaleX, m->rotateSkew0) / 655.36 : 100.0;
      case StageProperty::YScale: return m ? std::hypot(m->scaleY, m->rotateSkew1) / 655.36 : 100.0;
      case StageProperty::CurrentFrame: return std::max(t->currentFrame(), 0) + 1;
      case StageProperty::TotalFrames: return totalFrames();
      case StageProperty::FramesLoaded: return t->loadedFrames();
      case StageProperty::Alpha: return f.object ? f.object->placement.cxform.multA / 2.56 : 100.0;
      case StageProperty::Visible: return f.object ? f.object->placement.visible : true;
      case StageProperty::Rotation: return m ? std::atan2(static_cast<double>(m->rotateSkew0), static_cast<double>(m->scaleX)) * 180 / M_PI : 0.0;
      case StageProperty::Name: return name();
      case StageProperty::Url: return Value("");
      case StageProperty::HighQuality: return 1;
      case StageProperty::Quality: return Value("HIGH");
      case StageProperty::FocusRect: return true;
      case StageProperty::SoundBufTime: return 5;
      case StageProperty::XMouse:
      case StageProperty::YMouse: return 0;
      default: return Value();
    }
  }
  void setProperty(StageProperty, const Value&) override {}  // the display list is the core's
  void gotoFrame(int frame) override {
    if (timeline_ == root() && live()) owner_.pendingRootFrame_ = std::max(frame, 0);
  }
  bool gotoLabel(std::string_view label) override {
    const engine::Timeline* t = live();
    if (!t) return false;
    for (const auto& [name, frame] : t->definition().labels) {
      if (namesEqual(name, label, false)) {
        gotoFrame(frame);
        return true;
      }
    }
    return false;
  }
  void setPlaying(bool playing) override {
    if (const engine::Timeline* t = live()) {
      // The core owns its timelines as mutable objects; the tree is only handed out const.
      const_cast<engine::Timeline*>(t)->setPlaying(playing);
    }
  }
  int currentFrame() const override {
    const engine::Timeline* t = live();
    return t ? std::max(t->currentFrame(), 0) : 0;
  }
  int framesLoaded() const override {
    const engine::Timeline* t = live();
    return t ? t->loadedFrames() : 0;
  }
  int totalFrames() const override {
    const engine::Timeline* t = live();
    if (!t) return 0;
    if (t == root() && owner_.player_) return owner_.player_->movie().totalFrames();
    return std::max(t->definition().declaredFrameCount, t->loadedFrames());
  }

 private:
  const engine::Timeline* root() const { return owner_.player_ ? &owner_.player_->root() : nullptr; }
  const engine::Timeline* live() const {
    Found f;
    return locate(f) ? timeline_ : nullptr;
  }
  bool locate(Found& f) const {
    const engine::Timeline* r = root();
    if (!r) return false;
    if (timeline_ == r) return true;
    return findTimeline(*r, timeline_, f);
  }

  PlayerScripts& owner_;
  const engine::Timeline* timeline_;
};

PlayerScripts::PlayerScripts(int swfVersion, TraceOutput trace, ScriptLimits limits)
    : trace_(std::move(trace)), vm_(std::make_unique<Vm>(swfVersion, this, limits)) {}

PlayerScripts::~PlayerScripts() = default;

void PlayerScripts::attach(engine::Player& player) { player_ = &player; }

PlayerScripts::TimelineObject* PlayerScripts::objectFor(const engine::Timeline* timeline) {
  auto& slot = objects_[timeline];
  if (!slot) slot = std::make_unique<TimelineObject>(*this, timeline);
  return slot.get();
}

StageObject* PlayerScripts::root() { return player_ ? objectFor(&player_->root()) : nullptr; }

void PlayerScripts::runFrameActions(engine::Timeline& timeline, const swf::DoAction& actions) {
  if (!player_) return;
  report(vm_->run(actions.actions, vm_->scriptObject(objectFor(&timeline))));
}

void PlayerScripts::runInitActions(engine::Timeline& timeline, const swf::DoInitAction& actions) {
  if (!player_ || !initialised_.insert(actions.spriteId).second) return;
  report(vm_->run(actions.actions, vm_->scriptObject(objectFor(&timeline))));
}

void PlayerScripts::runButtonActions(engine::DisplayObject& button, const swf::Bytes& actions) {
  if (!player_) return;
  const engine::Timeline* holder = findHolder(player_->root(), &button);
  if (!holder) holder = &player_->root();
  report(vm_->run(actions, vm_->scriptObject(objectFor(holder))));
}

void PlayerScripts::afterFrame() {
  if (!player_) return;
  if (pendingRootFrame_ >= 0) {
    int frame = pendingRootFrame_;
    pendingRootFrame_ = -1;
    bool playing = player_->playing();
    player_->gotoFrame(frame);
    if (playing) player_->play();
    else player_->stop();
  }
  vm_->runTimers();
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
