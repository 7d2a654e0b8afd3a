#include "engine/core/Player.h"

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
  if (root_.currentFrame() < 0) root_.enterFirstFrame(ctx_);
}

void Player::tick() {
  ++ctx_.tick;
  ctx_.createdThisTick = 0;
  root_.tick(ctx_, loop_);
  // The scene moved under a still mouse: buttons follow.
  if (haveMouse_) mouseMove(mouseX_, mouseY_);
}

void Player::gotoFrame(int frame) { root_.gotoFrame(frame, ctx_); }

bool Player::needsTicks() const { return root_.animates(loop_, movie_->complete()) || root_.currentFrame() < 0; }

// ---- buttons -----------------------------------------------------------------

namespace {

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

DisplayObject* Player::findButton(DisplayList& list, const Affine& parent, double x, double y) {
  // Topmost first.
  for (auto it = list.objects().rbegin(); it != list.objects().rend(); ++it) {
    DisplayObject& object = it->second;
    if (!object.placement.visible || object.placement.clipDepth > 0) continue;
    Affine world = parent * Affine::from(object.placement.matrix);
    if (object.sprite)
      if (auto* found = findButton(object.sprite->displayList(), world, x, y)) return found;
    if (!object.button || !hitTester_) continue;
    const auto& definition = std::get<swf::DefineButton>(object.placement.character->body);
    for (const auto* record : hitRecords(definition)) {
      auto character = movie_->character(record->characterId);
      if (!character) continue;
      auto inverse = (world * Affine::from(record->matrix)).inverted();
      if (!inverse) continue;
      double lx = 0, ly = 0;
      inverse->map(x, y, lx, ly);
      if (hitTester_(*character, lx, ly, 0)) return &object;
    }
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

bool Player::updateButtons(double x, double y) {
  std::uint64_t before = ctx_.revision;
  DisplayObject* under = findButton(root_.displayList(), Affine{}, x, y);
  std::uint64_t underSerial = under ? under->serial : 0;
  if (underSerial != hovered_) {
    if (auto* old = findBySerial(root_.displayList(), hovered_)) setButtonState(*old, ButtonState::Up);
    hovered_ = underSerial;
  }
  if (under) {
    ButtonState wanted = ButtonState::Over;
    if (mouseIsDown_) wanted = pressed_ == underSerial ? ButtonState::Down : ButtonState::Over;
    if (mouseIsDown_ && pressed_ != underSerial) wanted = ButtonState::Up;
    setButtonState(*under, wanted);
  }
  return ctx_.revision != before;
}

bool Player::mouseMove(double x, double y) {
  haveMouse_ = true;
  mouseX_ = x;
  mouseY_ = y;
  return updateButtons(x, y);
}

bool Player::mouseDown(double x, double y) {
  mouseX_ = x;
  mouseY_ = y;
  haveMouse_ = true;
  mouseIsDown_ = true;
  DisplayObject* under = findButton(root_.displayList(), Affine{}, x, y);
  pressed_ = under ? under->serial : 0;
  return updateButtons(x, y);
}

bool Player::mouseUp(double x, double y) {
  mouseX_ = x;
  mouseY_ = y;
  mouseIsDown_ = false;
  pressed_ = 0;
  return updateButtons(x, y);
}

}  // namespace plavex::engine
