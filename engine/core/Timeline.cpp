#include "engine/core/Timeline.h"

#include <algorithm>

#include "engine/core/Button.h"
#include "engine/core/VideoPlayback.h"

namespace plavex::engine {

DisplayObject instantiateObject(int depth, Placement placement, PlayContext& ctx, const WeakObjectHandle& parent) {
  DisplayObject object;
  object.depth = depth;
  object.createdTick = ctx.tick;
  object.serial = ctx.nextSerial++;
  object.parent = parent;
  object.placement = std::move(placement);
  // Unnamed instances are numbered across the movie, as scripts see them.
  if (object.placement.name.empty()) object.placement.name = "instance" + std::to_string(++ctx.instanceCounter);
  const Character* character = object.placement.character.get();
  if (character && std::holds_alternative<VideoDefinition>(character->body)) {
    object.video = std::make_unique<VideoPlayback>(object.placement.character);
    object.video->seek(object.placement.ratio);  // also for lists no timeline walks (button states)
  }
  if (character && ctx.nesting < kMaxNesting && ++ctx.createdThisTick <= kMaxInstancesPerTick) {
    ++ctx.nesting;
    struct Leave {
      PlayContext& c;
      ~Leave() { --c.nesting; }
    } leave{ctx};
    if (const auto* sprite = std::get_if<SpriteDefinition>(&character->body)) {
      object.sprite = std::make_unique<Timeline>(sprite->timeline, false);
      object.sprite->setOwner(object.handle);
      ctx.scripts.objectCreated(object);
      object.sprite->enterFirstFrame(ctx);
    } else if (const auto* button = std::get_if<swf::DefineButton>(&character->body)) {
      object.button = std::make_unique<ButtonInstance>();
      object.button->owner = object.handle;
      showButtonState(*object.button, *button, ButtonState::Up, ctx);
      ctx.scripts.objectCreated(object);
    } else {
      ctx.scripts.objectCreated(object);
    }
  }
  return object;
}

void announceRemoval(DisplayObject& object, PlayContext& ctx) {
  if (ctx.nesting >= kMaxNesting) return;
  ++ctx.nesting;
  // Children hear it before their parent.
  if (object.sprite)
    for (auto& [depth, child] : object.sprite->displayList().objects()) announceRemoval(child, ctx);
  if (object.button)
    for (auto& [depth, child] : object.button->children.objects()) announceRemoval(child, ctx);
  ctx.scripts.objectRemoving(object);
  if (object.sprite && ctx.sounds) ctx.sounds->timelineRemoved(*object.sprite);
  --ctx.nesting;
}

void tickObject(DisplayObject& object, PlayContext& ctx) {
  if (object.createdTick == ctx.tick) return;  // a new instance shows its first frame this tick
  if (ctx.nesting >= kMaxNesting) return;
  ++ctx.nesting;
  if (object.sprite) object.sprite->tick(ctx, true);
  if (object.button)
    for (auto& [depth, child] : object.button->children.objects()) tickObject(child, ctx);
  --ctx.nesting;
}

bool objectAnimates(const DisplayObject& object) {
  if (object.sprite && object.sprite->animates(true, true)) return true;
  if (object.button)
    for (const auto& [depth, child] : object.button->children.objects())
      if (objectAnimates(child)) return true;
  return false;
}

Timeline::Timeline(const TimelineDefinition& definition, bool isRoot) : definition_(definition), isRoot_(isRoot) {}

DisplayObject Timeline::instantiate(int depth, Placement placement, PlayContext& ctx) {
  return instantiateObject(depth, std::move(placement), ctx, owner_);
}

DisplayObject* Timeline::placeScripted(int depth, std::shared_ptr<const Character> character, std::string name,
                                       PlayContext& ctx, const Placement* like) {
  if (!character) return nullptr;
  // Clips that attach themselves inside themselves stop at the nesting limit.
  int nesting = 0;
  for (DisplayObject* o = resolve(owner_); o && nesting <= kMaxNesting; o = resolve(o->parent)) ++nesting;
  if (nesting >= kMaxNesting) return nullptr;
  Placement placement = like ? *like : Placement{};
  placement.character = std::move(character);
  placement.name = std::move(name);
  placement.placedFrame = -1;
  if (!like) placement.clipActions.reset();
  removeAt(depth, ctx);
  DisplayObject made = instantiate(depth, std::move(placement), ctx);
  made.scripted = true;
  auto [it, inserted] = list_.objects().insert_or_assign(depth, std::move(made));
  ctx.changed();
  return &it->second;
}

void Timeline::removeAt(int depth, PlayContext& ctx) {
  DisplayObject* existing = list_.at(depth);
  if (!existing) return;
  announceRemoval(*existing, ctx);
  list_.remove(depth);
  ctx.changed();
}

void Timeline::enterFirstFrame(PlayContext& ctx) {
  if (current_ >= 0 || loadedFrames() == 0) return;
  runFrame(0, ctx, true);
}

void Timeline::tick(PlayContext& ctx, bool loop) {
  advance(ctx, loop);
  for (auto& [depth, child] : list_.objects()) tickObject(child, ctx);
}

void Timeline::advance(PlayContext& ctx, bool loop) {
  if (playing_ && current_ >= 0) {
    const int loaded = loadedFrames();
    const bool complete = !isRoot_ || ctx.movie.complete();
    if (current_ + 1 < loaded) {
      runFrame(current_ + 1, ctx, true);
    } else if (complete) {
      if (loop && loaded > 1) {
        rewindTo(0, ctx);
      } else if (isRoot_ && !loop) {
        playing_ = false;
      }
    }
  } else if (current_ < 0) {
    enterFirstFrame(ctx);
  }
}

bool Timeline::animates(bool loop, bool movieComplete) const {
  if (playing_) {
    const int loaded = loadedFrames();
    if (current_ + 1 < loaded) return true;
    const bool complete = !isRoot_ || movieComplete;
    if (!complete) return true;  // frames still to come
    if (loop && loaded > 1) return true;
    if (isRoot_ && !loop) return true;  // the next tick stops it
  }
  for (const auto& [depth, child] : list_.objects())
    if (objectAnimates(child)) return true;
  return false;
}

void Timeline::gotoFrame(int frame, PlayContext& ctx) {
  const int loaded = loadedFrames();
  if (loaded == 0) return;
  frame = std::clamp(frame, 0, loaded - 1);
  if (frame == current_) return;
  if (current_ < 0 || frame < current_) {
    rewindTo(frame, ctx);
    return;
  }
  for (int f = current_ + 1; f <= frame; ++f) runFrame(f, ctx, f == frame);
}

void Timeline::place(const swf::PlaceObject& tag, int frame, PlayContext& ctx) {
  const int depth = tag.depth;
  DisplayObject* existing = list_.at(depth);
  std::shared_ptr<const Character> character;
  if (tag.characterId) character = ctx.movie.character(*tag.characterId);
  const bool isMove = tag.version == 1 ? false : tag.move;
  if (!isMove) {
    if (!character) return;  // placing an undefined character shows nothing
    if (existing) announceRemoval(*existing, ctx);
    Placement placement;
    placement.character = character;
    placement.placedFrame = frame;
    placement.apply(tag);
    placement.clipActions = tag.clipActions;
    DisplayObject made = instantiate(depth, std::move(placement), ctx);
    if (auto* now = list_.at(depth)) *now = std::move(made);
    else list_.objects().emplace(depth, std::move(made));
    ctx.changed();
    return;
  }
  if (!existing) return;  // moving an empty depth does nothing
  if (character && character != existing->placement.character) {
    // Replacing the character keeps the properties the tag does not set.
    Placement placement = existing->placement;
    placement.character = character;
    placement.placedFrame = frame;
    placement.apply(tag);
    if (existing->transformedByScript) placement.matrix = existing->placement.matrix;
    announceRemoval(*existing, ctx);
    DisplayObject replacement = instantiate(depth, std::move(placement), ctx);
    if (auto* now = list_.at(depth)) *now = std::move(replacement);
    ctx.changed();
    return;
  }
  applyMove(*existing, tag, ctx);
}

void Timeline::applyMove(DisplayObject& object, const swf::PlaceObject& tag, PlayContext& ctx) {
  // A script that moved or tinted the object took those over from the timeline.
  if (object.transformedByScript && (tag.matrix || tag.cxform)) {
    swf::PlaceObject rest = tag;
    rest.matrix.reset();
    rest.cxform.reset();
    if (object.placement.apply(rest)) ctx.changed();
    return;
  }
  if (object.placement.apply(tag)) ctx.changed();
}

void Timeline::runInitActions(int frame, PlayContext& ctx) {
  for (const auto& tag : definition_.frames[static_cast<std::size_t>(frame)].tags)
    if (const auto* init = std::get_if<swf::DoInitAction>(&tag.body)) ctx.scripts.runInitActions(*this, *init);
}

void Timeline::runActions(int frame, PlayContext& ctx) {
  runSounds(frame, ctx);
  runInitActions(frame, ctx);
  for (const auto& tag : definition_.frames[static_cast<std::size_t>(frame)].tags)
    if (const auto* action = std::get_if<swf::DoAction>(&tag.body)) ctx.scripts.runFrameActions(*this, *action);
}

// Sounds of frames that a jump passes over stay silent, as their actions do.
void Timeline::runSounds(int frame, PlayContext& ctx) {
  if (!ctx.sounds) return;
  for (const auto& tag : definition_.frames[static_cast<std::size_t>(frame)].tags) {
    if (const auto* start = std::get_if<swf::StartSound>(&tag.body))
      ctx.sounds->startSound(*start);
    else if (const auto* head = std::get_if<swf::SoundStreamHead>(&tag.body))
      ctx.sounds->streamHead(*this, *head);
    else if (const auto* block = std::get_if<swf::SoundStreamBlock>(&tag.body))
      ctx.sounds->streamBlock(*this, frame, *block);
  }
}

void Timeline::runFrame(int frame, PlayContext& ctx, bool withActions) {
  if (withActions) runInitActions(frame, ctx);
  for (const auto& tag : definition_.frames[static_cast<std::size_t>(frame)].tags) {
    if (const auto* action = std::get_if<swf::DoAction>(&tag.body)) {
      // Actions go to the script host in tag order among the placements.
      if (withActions) ctx.scripts.runFrameActions(*this, *action);
    } else if (const auto* po = std::get_if<swf::PlaceObject>(&tag.body)) {
      place(*po, frame, ctx);
    } else if (const auto* ro = std::get_if<swf::RemoveObject>(&tag.body)) {
      if (DisplayObject* gone = list_.at(ro->depth); gone && !gone->scripted) removeAt(ro->depth, ctx);
    }
  }
  current_ = frame;
  if (withActions) showVideoFrames(list_);  // a jump decodes no picture for the frames it passes
  if (withActions) runSounds(frame, ctx);
}

void Timeline::rewindTo(int target, PlayContext& ctx) {
  // What frames 1 .. target place, without creating instances.
  std::map<int, Placement> planned;
  for (int f = 0; f <= target; ++f) {
    for (const auto& tag : definition_.frames[static_cast<std::size_t>(f)].tags) {
      if (const auto* po = std::get_if<swf::PlaceObject>(&tag.body)) {
        std::shared_ptr<const Character> character;
        if (po->characterId) character = ctx.movie.character(*po->characterId);
        const bool isMove = po->version == 1 ? false : po->move;
        auto it = planned.find(po->depth);
        if (!isMove) {
          if (!character) continue;
          Placement p;
          p.character = character;
          p.placedFrame = f;
          p.apply(*po);
          p.clipActions = po->clipActions;
          planned.insert_or_assign(po->depth, std::move(p));
        } else if (it != planned.end()) {
          if (character && character != it->second.character) {
            it->second.character = character;
            it->second.placedFrame = f;
          }
          it->second.apply(*po);
        }
      } else if (const auto* ro = std::get_if<swf::RemoveObject>(&tag.body)) {
        planned.erase(ro->depth);
      }
    }
  }
  // Instances placed by the same tag at the same depth persist with their own state (the
  // nodes move whole, so the objects keep their addresses); so do those scripts made.
  DisplayList::Objects next;
  for (auto it = list_.objects().begin(); it != list_.objects().end();) {
    auto here = it++;
    if (here->second.scripted && !planned.count(here->first)) next.insert(list_.objects().extract(here));
  }
  std::vector<std::pair<int, Placement>> fresh;
  for (auto& [depth, placement] : planned) {
    DisplayObject* existing = list_.at(depth);
    if (existing && !existing->scripted && existing->placement.character == placement.character &&
        existing->placement.placedFrame == placement.placedFrame) {
      if (existing->transformedByScript) {
        placement.matrix = existing->placement.matrix;
        placement.cxform = existing->placement.cxform;
      }
      placement.name = existing->placement.name;
      existing->placement = std::move(placement);
      next.insert(list_.objects().extract(depth));
    } else {
      fresh.emplace_back(depth, std::move(placement));
    }
  }
  // What the target frame does not hold goes first, then the new instances are made.
  for (auto& [depth, object] : list_.objects()) announceRemoval(object, ctx);
  list_.clear();
  list_.objects() = std::move(next);
  for (auto& [depth, placement] : fresh) {
    DisplayObject made = instantiate(depth, std::move(placement), ctx);
    if (auto* now = list_.at(depth)) *now = std::move(made);
    else list_.objects().emplace(depth, std::move(made));
  }
  current_ = target;
  showVideoFrames(list_);
  ctx.changed();
  runActions(target, ctx);
}

}  // namespace plavex::engine
