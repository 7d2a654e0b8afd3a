#include "engine/core/Button.h"

#include "engine/core/Timeline.h"

namespace plavex::engine {

namespace {
bool recordShows(const swf::ButtonRecord& r, ButtonState state) {
  switch (state) {
    case ButtonState::Up: return r.up;
    case ButtonState::Over: return r.over;
    case ButtonState::Down: return r.down;
  }
  return false;
}

// DefineButton2 condition bits.
constexpr std::uint16_t kIdleToOverUp = 0x0001, kOverUpToIdle = 0x0002, kOverUpToOverDown = 0x0004,
                        kOverDownToOverUp = 0x0008;
}  // namespace

void showButtonState(ButtonInstance& button, const swf::DefineButton& definition, ButtonState state,
                     PlayContext& ctx) {
  button.state = state;
  DisplayList::Objects next;
  for (const auto& record : definition.records) {
    if (!recordShows(record, state)) continue;
    auto character = ctx.movie.character(record.characterId);
    if (!character) continue;
    // A child shown in the previous state too keeps its instance.
    if (DisplayObject* old = button.children.at(record.depth);
        old && old->placement.character == character) {
      next.insert(button.children.objects().extract(record.depth));
      continue;
    }
    Placement p;
    p.character = character;
    p.matrix = record.matrix;
    p.cxform = record.cxform;
    p.filters = record.filters;
    if (record.blendMode) p.blendMode = *record.blendMode;
    p.placedFrame = 0;
    next.emplace(record.depth, instantiateObject(record.depth, std::move(p), ctx, button.owner));
  }
  for (auto& [depth, gone] : button.children.objects()) announceRemoval(gone, ctx);
  button.children.objects() = std::move(next);
  ctx.changed();
}

std::vector<const swf::ButtonRecord*> hitRecords(const swf::DefineButton& definition) {
  std::vector<const swf::ButtonRecord*> out;
  for (const auto& r : definition.records)
    if (r.hitTest) out.push_back(&r);
  return out;
}

std::vector<const swf::Bytes*> actionsForTransition(const swf::DefineButton& definition, ButtonState from,
                                                    ButtonState to) {
  std::vector<const swf::Bytes*> out;
  if (definition.version == 1) {
    if (from == ButtonState::Down && to == ButtonState::Over && !definition.actions.empty())
      out.push_back(&definition.actions);
    return out;
  }
  std::uint16_t wanted = 0;
  if (from == ButtonState::Up && to == ButtonState::Over) wanted = kIdleToOverUp;
  if (from == ButtonState::Over && to == ButtonState::Up) wanted = kOverUpToIdle;
  if (from == ButtonState::Over && to == ButtonState::Down) wanted = kOverUpToOverDown;
  if (from == ButtonState::Down && to == ButtonState::Over) wanted = kOverDownToOverUp;
  for (const auto& ca : definition.condActions)
    if (ca.conditions & wanted) out.push_back(&ca.actions);
  return out;
}

}  // namespace plavex::engine
