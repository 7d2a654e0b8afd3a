#include "engine/core/Player.h"

#include <algorithm>

#include "engine/core/Geometry.h"

namespace plavex::engine {

Player::Player(std::shared_ptr<const MovieData> movie, std::shared_ptr<ScriptHost> scripts, SoundSink* sounds)
    : movie_(std::move(movie)),
      scripts_(scripts ? std::move(scripts) : std::make_shared<NoScriptHost>()),
      ctx_{*movie_, *scripts_},
      root_(movie_->root(), true) {
  ctx_.sounds = sounds;
  framesArrived();
}

void Player::framesArrived() {
  if (root_.currentFrame() < 0) {
    ctx_.scripts.enterFrame(nullptr);
    root_.enterFirstFrame(ctx_);
    ctx_.scripts.frameDone();
  }
}

namespace {
void collectSprites(DisplayList& list, std::vector<std::pair<std::uint64_t, WeakObjectHandle>>& out, int depth) {
  if (depth > kMaxNesting) return;
  for (auto& [d, object] : list.objects()) {
    if (object.sprite) {
      out.emplace_back(object.serial, object.handle);
      collectSprites(object.sprite->displayList(), out, depth + 1);
    }
    if (object.button) collectSprites(object.button->children, out, depth + 1);
  }
}
}  // namespace

std::vector<WeakObjectHandle> Player::executionOrder() {
  std::vector<std::pair<std::uint64_t, WeakObjectHandle>> sprites;
  collectSprites(root_.displayList(), sprites, 0);
  std::sort(sprites.begin(), sprites.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  std::vector<WeakObjectHandle> out;
  out.reserve(sprites.size());
  for (auto& [serial, handle] : sprites) out.push_back(std::move(handle));
  return out;
}

void Player::tick() {
  ++ctx_.tick;
  ctx_.createdThisTick = 0;
  // Every sprite gets its enterFrame event and then its next frame, the newest first;
  // instances made on the way show their first frame at once and wait for the next tick.
  for (const auto& handle : executionOrder()) {
    DisplayObject* object = resolve(handle);
    if (!object || !object->sprite || object->createdTick == ctx_.tick) continue;
    ctx_.scripts.enterFrame(object);
    object = resolve(handle);  // the event may have removed it
    if (object && object->sprite) object->sprite->advance(ctx_, true);
  }
  ctx_.scripts.enterFrame(nullptr);
  root_.advance(ctx_, loop_);
  ctx_.scripts.frameDone();
  // The scene moved under a still mouse: buttons follow.
  if (haveMouse_) mouseMove(mouseX_, mouseY_);
}

void Player::gotoFrame(int frame) { root_.gotoFrame(frame, ctx_); }

bool Player::needsTicks() const { return root_.animates(loop_, movie_->complete()) || root_.currentFrame() < 0; }

// ---- buttons -----------------------------------------------------------------

namespace {

// DefineButton2 conditions for the pressed button leaving and coming back.
constexpr std::uint16_t kOutDownToOverDown = 0x0010, kOverDownToOutDown = 0x0020, kOutDownToIdle = 0x0040;

DisplayObject* findBySerial(DisplayList& list, std::uint64_t serial) {
  if (serial == 0) return nullptr;
  for (auto& [depth, object] : list.objects()) {
    if (object.serial == serial) return &object;
    if (object.sprite)
      if (auto* found = findBySerial(object.sprite->displayList(), serial)) return found;
    if (object.button)
      if (auto* found = findBySerial(object.button->children, serial)) return found;
  }
  return nullptr;
}

}  // namespace

bool Player::hitsContent(DisplayList& list, const Affine& parent, double x, double y, int depth) {
  if (!hitTester_ || depth > kMaxNesting) return false;
  for (auto it = list.objects().rbegin(); it != list.objects().rend(); ++it) {
    DisplayObject& object = it->second;
    if (!object.placement.visible || object.placement.clipDepth > 0 || !object.placement.character) continue;
    Affine world = parent * Affine::from(object.placement.matrix);
    if (object.sprite) {
      if (hitsContent(object.sprite->displayList(), world, x, y, depth + 1)) return true;
      continue;
    }
    if (object.button) {
      if (buttonHit(object, world, x, y)) return true;
      continue;
    }
    auto inverse = world.inverted();
    if (!inverse) continue;
    double lx = 0, ly = 0;
    inverse->map(x, y, lx, ly);
    if (hitTester_(*object.placement.character, lx, ly, object.placement.ratio)) return true;
  }
  return false;
}

bool Player::objectHit(DisplayObject& object, const Affine& world, double x, double y) {
  if (object.sprite) return hitsContent(object.sprite->displayList(), world, x, y, 0);
  if (object.button) return buttonHit(object, world, x, y);
  if (!hitTester_ || !object.placement.character) return false;
  auto inverse = world.inverted();
  if (!inverse) return false;
  double lx = 0, ly = 0;
  inverse->map(x, y, lx, ly);
  return hitTester_(*object.placement.character, lx, ly, object.placement.ratio);
}

bool Player::buttonHit(DisplayObject& object, const Affine& world, double x, double y) {
  if (!hitTester_) return false;
  const auto& definition = std::get<swf::DefineButton>(object.placement.character->body);
  for (const auto* record : hitRecords(definition)) {
    auto character = movie_->character(record->characterId);
    if (!character) continue;
    auto inverse = (world * Affine::from(record->matrix)).inverted();
    if (!inverse) continue;
    double lx = 0, ly = 0;
    inverse->map(x, y, lx, ly);
    if (hitTester_(*character, lx, ly, 0)) return true;
  }
  return false;
}

DisplayObject* Player::findButton(DisplayList& list, const Affine& parent, double x, double y, int depth) {
  if (depth > kMaxNesting) return nullptr;
  // Topmost first.
  for (auto it = list.objects().rbegin(); it != list.objects().rend(); ++it) {
    DisplayObject& object = it->second;
    if (!object.placement.visible || object.placement.clipDepth > 0) continue;
    Affine world = parent * Affine::from(object.placement.matrix);
    if (object.sprite) {
      if (object.enabled && scripts_->actsAsButton(object)) {
        if (hitsContent(object.sprite->displayList(), world, x, y, depth + 1)) return &object;
        continue;
      }
      if (auto* found = findButton(object.sprite->displayList(), world, x, y, depth + 1)) return found;
    }
    if (!object.button || !object.enabled) continue;
    if (buttonHit(object, world, x, y)) return &object;
  }
  return nullptr;
}

void Player::setButtonState(DisplayObject& button, ButtonState state) {
  if (!button.button || button.button->state == state) return;
  const auto& definition = std::get<swf::DefineButton>(button.placement.character->body);
  ButtonState from = button.button->state;
  showButtonState(*button.button, definition, state, ctx_);
  for (const auto* actions : actionsForTransition(definition, from, state))
    scripts_->runButtonActions(button, *actions);
}

void Player::runButtonConditions(DisplayObject& button, std::uint16_t bits) {
  if (!button.button || !button.placement.character) return;
  const auto& definition = std::get<swf::DefineButton>(button.placement.character->body);
  if (definition.version < 2) return;
  for (const auto& ca : definition.condActions)
    if (ca.conditions & bits) scripts_->runButtonActions(button, ca.actions);
}

bool Player::updateButtons(double x, double y) {
  std::uint64_t before = ctx_.revision;
  DisplayObject* under = findButton(root_.displayList(), Affine{}, x, y, 0);
  std::uint64_t underSerial = under ? under->serial : 0;
  if (underSerial != hovered_) {
    if (auto* old = findBySerial(root_.displayList(), hovered_)) {
      const bool dragging = mouseIsDown_ && pressed_ == hovered_;
      scripts_->pointerEvent(*old, dragging ? PointerEvent::DragOut : PointerEvent::RollOut);
      if (dragging) runButtonConditions(*old, kOverDownToOutDown);
      if (auto* still = findBySerial(root_.displayList(), hovered_))
        setButtonState(*still, dragging ? ButtonState::Over : ButtonState::Up);
    }
    hovered_ = underSerial;
    under = findBySerial(root_.displayList(), underSerial);
    if (under) {
      if (!mouseIsDown_) scripts_->pointerEvent(*under, PointerEvent::RollOver);
      else if (pressed_ == underSerial) {
        scripts_->pointerEvent(*under, PointerEvent::DragOver);
        runButtonConditions(*under, kOutDownToOverDown);
      }
    }
    under = findBySerial(root_.displayList(), underSerial);
  }
  if (under) {
    ButtonState wanted = ButtonState::Over;
    if (mouseIsDown_) wanted = pressed_ == underSerial ? ButtonState::Down : ButtonState::Up;
    setButtonState(*under, wanted);
  }
  return ctx_.revision != before;
}

bool Player::mouseMove(double x, double y) {
  std::uint64_t before = ctx_.revision;
  const bool moved = !haveMouse_ || x != mouseX_ || y != mouseY_;
  haveMouse_ = true;
  mouseX_ = x;
  mouseY_ = y;
  if (moved) scripts_->mouseEvent(MouseEventKind::Move);
  updateButtons(x, y);
  scripts_->frameDone();
  return ctx_.revision != before;
}

bool Player::mouseDown(double x, double y) {
  std::uint64_t before = ctx_.revision;
  mouseX_ = x;
  mouseY_ = y;
  haveMouse_ = true;
  mouseIsDown_ = true;
  scripts_->mouseEvent(MouseEventKind::Down);
  DisplayObject* under = findButton(root_.displayList(), Affine{}, x, y, 0);
  pressed_ = under ? under->serial : 0;
  hovered_ = pressed_ ? pressed_ : hovered_;
  if (under) scripts_->pointerEvent(*under, PointerEvent::Press);
  updateButtons(x, y);
  scripts_->frameDone();
  return ctx_.revision != before;
}

bool Player::mouseUp(double x, double y) {
  std::uint64_t before = ctx_.revision;
  mouseX_ = x;
  mouseY_ = y;
  mouseIsDown_ = false;
  scripts_->mouseEvent(MouseEventKind::Up);
  if (DisplayObject* pressed = findBySerial(root_.displayList(), pressed_)) {
    DisplayObject* under = findButton(root_.displayList(), Affine{}, x, y, 0);
    scripts_->pointerEvent(*pressed, under == pressed ? PointerEvent::Release : PointerEvent::ReleaseOutside);
    if (under != pressed) runButtonConditions(*pressed, kOutDownToIdle);
  }
  pressed_ = 0;
  updateButtons(x, y);
  scripts_->frameDone();
  return ctx_.revision != before;
}

}  // namespace plavex::engine
