#include "engine/script/player/ClipObject.h"

#include <cmath>
#include <limits>

#include "engine/core/Button.h"
#include "engine/core/Timeline.h"
#include "engine/script/player/PlayerScripts.h"

namespace plavex::script {

namespace {

constexpr double kPi = 3.14159265358979323846;

bool isEmpty(const engine::WeakObjectHandle& h) {
  engine::WeakObjectHandle none;
  return !h.owner_before(none) && !none.owner_before(h);
}

std::int32_t toFixed(double v) {
  double f = std::round(v * 65536.0);
  if (!std::isfinite(f)) return 0;
  return static_cast<std::int32_t>(std::clamp(f, -2147483648.0, 2147483647.0));
}

std::int32_t toTwips(double pixels) {
  double t = pixels * 20.0;
  if (!std::isfinite(t)) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(std::clamp(std::trunc(t), -2147483648.0, 2147483647.0));
}

}  // namespace

ClipObject::ClipObject(PlayerScripts& owner, engine::ObjectHandle handle) : owner_(owner), handle_(std::move(handle)) {
  if (engine::DisplayObject* o = object()) wasSprite_ = o->sprite != nullptr;
}

bool ClipObject::alive() const { return isRoot() ? owner_.player() != nullptr : object() != nullptr; }

engine::Timeline* ClipObject::timeline() const {
  if (isRoot()) return owner_.player() ? &owner_.player()->root() : nullptr;
  engine::DisplayObject* o = object();
  return o && o->sprite ? o->sprite.get() : nullptr;
}

engine::DisplayList* ClipObject::children() const {
  if (engine::Timeline* t = timeline()) return &t->displayList();
  engine::DisplayObject* o = object();
  return o && o->button ? &o->button->children : nullptr;
}

engine::Timeline* ClipObject::parentTimeline() const {
  engine::DisplayObject* o = object();
  if (!o) return nullptr;
  if (isEmpty(o->parent)) return owner_.player() ? &owner_.player()->root() : nullptr;
  engine::DisplayObject* p = engine::resolve(o->parent);
  return p && p->sprite ? p->sprite.get() : nullptr;
}

engine::Affine ClipObject::worldMatrix() const {
  engine::Affine m;
  int guard = 0;
  for (engine::DisplayObject* o = object(); o && guard < 64; o = engine::resolve(o->parent), ++guard)
    m = engine::Affine::from(o->placement.matrix) * m;
  return m;
}

int ClipObject::scriptDepth() const {
  engine::DisplayObject* o = object();
  return o ? o->depth - engine::kScriptDepthOffset : -engine::kScriptDepthOffset;
}

std::string ClipObject::name() const {
  engine::DisplayObject* o = object();
  return o ? o->placement.name : std::string();
}

StageObject* ClipObject::parent() {
  if (isRoot()) return nullptr;
  engine::DisplayObject* o = object();
  if (!o) return nullptr;
  if (isEmpty(o->parent)) return owner_.rootClip();
  engine::DisplayObject* p = engine::resolve(o->parent);
  return p ? owner_.objectFor(*p) : nullptr;
}

StageObject* ClipObject::child(std::string_view name, bool caseSensitive) {
  engine::DisplayList* list = children();
  if (!list) return nullptr;
  for (auto& [depth, object] : list->objects()) {
    if (!namesEqual(object.placement.name, name, caseSensitive)) continue;
    if (StageObject* s = owner_.objectFor(object)) return s;
  }
  return nullptr;
}

Value ClipObject::property(StageProperty p) {
  if (!alive()) return Value();
  engine::DisplayObject* o = object();
  engine::Player* player = owner_.player();
  const swf::Matrix identity;
  const swf::Matrix& m = o ? o->placement.matrix : identity;
  const double a = m.scaleX / 65536.0, b = m.rotateSkew0 / 65536.0, c = m.rotateSkew1 / 65536.0,
               d = m.scaleY / 65536.0;
  auto bounds = [&] {
    if (!o) return engine::listBounds(player->root().displayList(), engine::Affine{}, player->movie());
    return engine::objectBounds(*o, engine::Affine::from(m), player->movie());
  };
  switch (p) {
    case StageProperty::X: return m.translateX / 20.0;
    case StageProperty::Y: return m.translateY / 20.0;
    case StageProperty::XScale: return std::hypot(a, b) * 100.0;
    case StageProperty::YScale: return std::hypot(c, d) * 100.0;
    case StageProperty::Rotation: {
      double r = std::atan2(b, a) * 180.0 / kPi;
      return r;
    }
    case StageProperty::Width: {
      auto box = bounds();
      return box.empty ? 0.0 : std::round(box.xMax - box.xMin) / 20.0;
    }
    case StageProperty::Height: {
      auto box = bounds();
      return box.empty ? 0.0 : std::round(box.yMax - box.yMin) / 20.0;
    }
    case StageProperty::Alpha: return o ? o->placement.cxform.multA / 256.0 * 100.0 : 100.0;
    case StageProperty::Visible: return o ? o->placement.visible : true;
    case StageProperty::CurrentFrame:
      if (!timeline()) return Value();
      return currentFrame() + 1;
    case StageProperty::TotalFrames:
      if (!timeline()) return Value();
      return totalFrames();
    case StageProperty::FramesLoaded:
      if (!timeline()) return Value();
      return framesLoaded();
    case StageProperty::Name: return name();
    case StageProperty::DropTarget: return Value("");
    case StageProperty::Url: return Value(owner_.movieUrl());
    case StageProperty::HighQuality: return 1;
    case StageProperty::Quality: return Value("HIGH");
    case StageProperty::FocusRect: return true;
    case StageProperty::SoundBufTime: return 5;
    case StageProperty::XMouse:
    case StageProperty::YMouse: {
      auto inverse = worldMatrix().inverted();
      if (!inverse) return 0.0;
      double x = 0, y = 0;
      inverse->map(player->mouseX() - player->movie().header().stage.xMin,
                   player->mouseY() - player->movie().header().stage.yMin, x, y);
      return std::round(p == StageProperty::XMouse ? x : y) / 20.0;
    }
    default: return Value();
  }
}

std::optional<double> ClipObject::number(const Value& v) {
  if (v.isUndefined() || v.isNull()) return std::nullopt;
  double n = owner_.vm().toNumber(v);
  if (std::isnan(n)) return std::nullopt;
  return n;
}

void ClipObject::setMatrixParts(std::optional<double> xscale, std::optional<double> yscale,
                                std::optional<double> rotation) {
  engine::DisplayObject* o = object();
  if (!o) return;
  swf::Matrix& m = o->placement.matrix;
  const double a = m.scaleX / 65536.0, b = m.rotateSkew0 / 65536.0, c = m.rotateSkew1 / 65536.0,
               d = m.scaleY / 65536.0;
  double sx = std::hypot(a, b), sy = std::hypot(c, d);
  double rot = std::atan2(b, a);
  double skew = std::atan2(-c, d) - rot;
  if (xscale) sx = *xscale;
  if (yscale) sy = *yscale;
  if (rotation) rot = *rotation;
  m.scaleX = toFixed(sx * std::cos(rot));
  m.rotateSkew0 = toFixed(sx * std::sin(rot));
  m.rotateSkew1 = toFixed(-sy * std::sin(rot + skew));
  m.scaleY = toFixed(sy * std::cos(rot + skew));
}

void ClipObject::setProperty(StageProperty p, const Value& v) {
  engine::DisplayObject* o = object();
  engine::Player* player = owner_.player();
  if (!o || !player) return;
  auto& placement = o->placement;
  bool transform = true;
  switch (p) {
    case StageProperty::X:
      if (auto n = number(v)) placement.matrix.translateX = toTwips(*n);
      break;
    case StageProperty::Y:
      if (auto n = number(v)) placement.matrix.translateY = toTwips(*n);
      break;
    case StageProperty::XScale:
      if (auto n = number(v)) setMatrixParts(*n / 100.0, std::nullopt, std::nullopt);
      break;
    case StageProperty::YScale:
      if (auto n = number(v)) setMatrixParts(std::nullopt, *n / 100.0, std::nullopt);
      break;
    case StageProperty::Rotation:
      if (auto n = number(v)) {
        double deg = std::fmod(*n, 360.0);
        if (deg > 180) deg -= 360;
        if (deg < -180) deg += 360;
        if (std::isfinite(deg)) setMatrixParts(std::nullopt, std::nullopt, deg * kPi / 180.0);
      }
      break;
    case StageProperty::Width:
    case StageProperty::Height:
      if (auto n = number(v)) {
        auto own = engine::objectBounds(*o, engine::Affine{}, player->movie());
        if (own.empty) break;
        const bool wide = p == StageProperty::Width;
        double extent = wide ? own.xMax - own.xMin : own.yMax - own.yMin;
        if (extent <= 0) break;
        double scale = *n * 20.0 / extent;
        if (wide) setMatrixParts(scale, std::nullopt, std::nullopt);
        else setMatrixParts(std::nullopt, scale, std::nullopt);
      }
      break;
    case StageProperty::Alpha:
      if (auto n = number(v)) {
        double mult = std::clamp(std::trunc(*n * 2.56), -32768.0, 32767.0);
        placement.cxform.multA = static_cast<std::int16_t>(mult);
      }
      break;
    case StageProperty::Visible:
      transform = false;
      if (!v.isUndefined()) placement.visible = owner_.vm().toBool(v);
      break;
    case StageProperty::Name:
      transform = false;
      placement.name = owner_.vm().toString(v);
      break;
    default: return;
  }
  if (transform) o->transformedByScript = true;
  player->context().changed();
}

void ClipObject::gotoFrame(int frame) {
  engine::Timeline* t = timeline();
  if (!t || !owner_.player()) return;
  t->gotoFrame(std::max(frame, 0), owner_.player()->context());
}

bool ClipObject::gotoLabel(std::string_view label) {
  engine::Timeline* t = timeline();
  if (!t) return false;
  auto frame = t->definition().findLabel(std::string(label));
  if (!frame) return false;
  gotoFrame(*frame);
  return true;
}

void ClipObject::setPlaying(bool playing) {
  if (engine::Timeline* t = timeline()) t->setPlaying(playing);
}

int ClipObject::currentFrame() const {
  engine::Timeline* t = timeline();
  return t ? std::max(t->currentFrame(), 0) : 0;
}

int ClipObject::framesLoaded() const {
  engine::Timeline* t = timeline();
  return t ? t->loadedFrames() : 0;
}

int ClipObject::totalFrames() const {
  engine::Timeline* t = timeline();
  if (!t) return 0;
  if (isRoot() && owner_.player()) return owner_.player()->movie().totalFrames();
  return std::max(t->definition().declaredFrameCount, t->loadedFrames());
}

void ClipObject::removeSelf() {
  engine::DisplayObject* o = object();
  engine::Timeline* parent = parentTimeline();
  if (!o || !parent || !owner_.player()) return;
  const int depth = scriptDepth();
  if (depth < 0 || depth >= 2130706416) return;  // timeline instances stay
  parent->removeAt(o->depth, owner_.player()->context());
}

void ClipObject::duplicate(std::string_view newName, int depth) {
  engine::DisplayObject* o = object();
  engine::Timeline* parent = parentTimeline();
  if (!o || !parent || !owner_.player()) return;
  if (depth < -engine::kScriptDepthOffset || depth > 2130690045) return;
  engine::Placement like = o->placement;
  auto character = like.character;
  engine::DisplayObject* made = parent->placeScripted(depth + engine::kScriptDepthOffset, character, std::string(newName),
                                                      owner_.player()->context(), &like);
  if (made) made->transformedByScript = o->transformedByScript;
}

}  // namespace plavex::script
