// Scripts running in the player core: movies made with the SWF writer and the action
// assembler, played through Player and PlayerScripts as the desktop player does.
#include <gtest/gtest.h>

#include <memory>

#include "Assembler.h"
#include "engine/core/Movie.h"
#include "engine/core/Player.h"
#include "engine/script/player/PlayerScripts.h"
#include "tests/engine/Fixtures.h"

using namespace plavex;
using namespace plavex::engine;
using namespace plavex::engine::test;
using plavex::script::testing::Asm;
using Lines = std::vector<std::string>;

namespace {

const Tag kShow{swf::ShowFrame{}};

Tag doAction(const Asm& code) { return Tag{swf::DoAction{code.bytes()}}; }
Asm traced(const std::string& text) { return Asm().push({text}).trace(); }
Asm stopped() { return Asm().op(0x07); }

// Stage properties by number (GetProperty on the current timeline).
Asm pushProperty(int index) { return Asm().push({"", index}).op(0x22); }

// Bounds hit test: a point is on a shape when it lies in the shape's bounds.
bool onShapeBounds(const Character& c, double x, double y, std::uint16_t) {
  const auto* shape = std::get_if<swf::DefineShape>(&c.body);
  return shape && x >= shape->bounds.xMin && x <= shape->bounds.xMax && y >= shape->bounds.yMin &&
         y <= shape->bounds.yMax;
}

// A movie played with scripts, its traces collected. The scripts are attached before the
// first frame arrives, as the desktop player does; `tags` arrive then (all of the movie's
// when `complete`).
struct Session {
  Session(const swf::Movie& source, std::size_t tagCount, bool complete, script::ScriptLimits limits = {})
      : movie(std::make_shared<MovieData>(source.header)) {
    scripts = std::make_shared<script::PlayerScripts>(10, [this](const std::string& l) { lines.push_back(l); }, limits);
    player = std::make_unique<Player>(movie, scripts);
    scripts->attach(*player);
    player->setHitTester(onShapeBounds);
    for (std::size_t i = 0; i < tagCount && i < source.tags.size(); ++i) movie->appendTag(source.tags[i]);
    if (complete) movie->markComplete();
    player->framesArrived();
    scripts->afterFrame();
  }
  explicit Session(const swf::Movie& source, script::ScriptLimits limits = {})
      : Session(source, source.tags.size(), true, limits) {}
  void tick(int n = 1) {
    for (int i = 0; i < n; ++i) {
      player->tick();
      scripts->afterFrame();
    }
  }
  void click(double x, double y) {
    player->mouseMove(x, y);
    player->mouseDown(x, y);
    player->mouseUp(x, y);
  }
  std::shared_ptr<MovieData> movie;
  std::shared_ptr<script::PlayerScripts> scripts;
  std::unique_ptr<Player> player;
  Lines lines;
};

swf::Movie build(std::vector<Tag> tags) { return makeMovie(100, 100, std::move(tags)); }

// ---- a preloader, a play button and stop() frames --------------------------------

// Frame 1 "loading"; frame 2 loops back while frames are missing; frame 3 shows a button
// whose release plays on and stops; frame 4 "content" and stops.
std::vector<Tag> preloaderMovie() {
  swf::DefineButton button;
  button.version = 2;
  button.id = 2;
  swf::ButtonRecord record;
  record.hitTest = record.up = record.over = record.down = true;
  record.characterId = 1;
  record.depth = 1;
  button.records = {record};
  button.condActions = {swf::ButtonCondAction{0x0008, Asm().op(0x06).bytes()}};  // on release: play()

  Asm preload = Asm()
                    .push({"", 12}).op(0x22)  // _framesloaded
                    .push({"", 5}).op(0x22)   // _totalframes
                    .op(0x48)                 // <
                    .ifTrue("wait")
                    .jump("end")
                    .label("wait")
                    .action(0x81, {0, 0})  // gotoAndPlay(1)
                    .op(0x06)
                    .label("end");
  return {Tag{rectShape(1, 0, 0, 400, 400, solid(255, 0, 0))},
          Tag{button},
          doAction(traced("loading")),
          kShow,
          doAction(preload),
          kShow,
          Tag{place(1, 2)},
          doAction(traced("menu").op(0x07)),
          kShow,
          doAction(traced("content").op(0x07)),
          kShow};
}

TEST(PlayerScripts, PreloaderWaitsPlayButtonPlaysStopFramesHold) {
  auto whole = makeMovie(100, 100, preloaderMovie());
  // The first two frames arrive; the rest is still loading.
  std::size_t shown = 0, split = 0;
  for (; split < whole.tags.size() && shown < 2; ++split)
    if (std::holds_alternative<swf::ShowFrame>(whole.tags[split].body)) ++shown;
  Session s(whole, split, false);
  auto data = s.movie;
  s.tick(4);
  EXPECT_EQ(s.lines, Lines(5, "loading")) << "frame 2 sends the preloader back to frame 1";
  EXPECT_LT(s.player->currentFrame(), 2);

  for (std::size_t i = split; i < whole.tags.size(); ++i) data->appendTag(whole.tags[i]);
  data->markComplete();
  s.lines.clear();
  while (s.player->currentFrame() != 1) s.tick();  // back at the preloader's check
  s.tick();
  EXPECT_EQ(s.lines.back(), "menu");
  s.tick(5);
  EXPECT_EQ(s.player->currentFrame(), 2) << "stop() holds the menu frame";
  EXPECT_EQ(s.lines.back(), "menu");

  s.click(100, 100);  // twips, on the button
  s.tick();
  EXPECT_EQ(s.lines.back(), "content");
  s.tick(3);
  EXPECT_EQ(s.player->currentFrame(), 3);
  EXPECT_EQ(std::count(s.lines.begin(), s.lines.end(), "content"), 1);
}

TEST(PlayerScripts, RunawayScriptIsStoppedAndThePlayerGoesOn) {
  script::ScriptLimits limits;
  limits.timeout = std::chrono::milliseconds(200);
  Asm endless = Asm().label("top").jump("top");
  Session s(build({doAction(endless), kShow, doAction(traced("next frame").op(0x07)), kShow}), limits);
  EXPECT_NE(s.scripts->lastProblem().find("too long"), std::string::npos);
  s.tick();
  EXPECT_EQ(s.lines, (Lines{"next frame"}));
}

// ---- clip events and their order ---------------------------------------------------

swf::ClipActions clipEvents(std::vector<std::pair<std::uint32_t, std::string>> events) {
  swf::ClipActions actions;
  for (auto& [flag, text] : events) {
    actions.allEventFlags |= flag;
    actions.records.push_back(swf::ClipActionRecord{flag, 0, traced(text).bytes()});
  }
  return actions;
}

TEST(PlayerScripts, ClipEventsRunInTheReferenceOrder) {
  namespace ev = script::clipevent;
  swf::DefineSprite child{3, 1, {doAction(traced("child frame")), kShow}};
  swf::PlaceObject childPlace = place(1, 3);
  childPlace.clipActions = clipEvents({{ev::kLoad, "child load"}, {ev::kEnterFrame, "child enterFrame"},
                                       {ev::kUnload, "child unload"}});
  swf::DefineSprite parent{4, 1, {doAction(traced("parent frame")), Tag{childPlace}, kShow}};
  swf::PlaceObject parentPlace = place(1, 4);
  parentPlace.clipActions = clipEvents({{ev::kInitialize, "parent initialize"}, {ev::kLoad, "parent load"},
                                        {ev::kEnterFrame, "parent enterFrame"}, {ev::kUnload, "parent unload"}});
  Session s(build({Tag{child}, Tag{parent}, doAction(traced("root 1")), Tag{parentPlace}, kShow,
                   doAction(traced("root 2")), kShow, Tag{removeAt(1)}, doAction(traced("root 3").op(0x07)),
                   kShow}));
  EXPECT_EQ(s.lines, (Lines{"parent initialize", "root 1", "parent load", "parent frame", "child load",
                            "child frame"}));
  s.lines.clear();
  s.tick();
  EXPECT_EQ(s.lines, (Lines{"child enterFrame", "parent enterFrame", "root 2"})) << "the newest clip runs first";
  s.lines.clear();
  s.tick();
  // Removed in this tick: their enterFrame events do not run, their unload events do, children first.
  EXPECT_EQ(s.lines, (Lines{"child unload", "parent unload", "root 3"}));
}

// ---- scripted instances -------------------------------------------------------------

Asm callMethod(const std::string& target, const std::string& method, std::initializer_list<script::testing::PushItem> args) {
  Asm a;
  // Arguments go last to first.
  std::vector<script::testing::PushItem> list(args);
  for (auto it = list.rbegin(); it != list.rend(); ++it) a.push({*it});
  a.push({static_cast<int>(list.size())});
  a.push({target}).getVar().push({method}).callMethod();
  return a;
}

TEST(PlayerScripts, AttachedClipsHaveScriptDepthsAndSurviveTheTimeline) {
  swf::DefineSprite item{2, 1, {Tag{place(1, 1)}, kShow}};
  swf::ExportAssets exports{{swf::AssetEntry{2, "item"}}};
  Asm attach = callMethod("_root", "attachMovie", {"item", "a", 5}).pop();
  attach.push({"a._x", 12.5}).setVar();
  Asm report = Asm()
                   .push({"a"}).getVar().trace()
                   .push({0}).push({"a"}).getVar().push({"getDepth"}).callMethod().trace()
                   .push({0}).push({"_root"}).getVar().push({"getNextHighestDepth"}).callMethod().trace()
                   .push({"a._x"}).getVar().trace();
  Session s(build({Tag{rectShape(1, 0, 0, 20, 20, solid(0, 0, 255))}, Tag{item}, Tag{exports}, doAction(attach),
                   kShow, doAction(report), kShow, doAction(Asm().action(0x81, {1, 0})), kShow}));
  s.tick();
  EXPECT_EQ(s.lines, (Lines{"_level0.a", "5", "6", "12.5"}));
  s.lines.clear();
  s.tick(2);  // frame 3 goes back to frame 2 (running its actions again): the rewind keeps what scripts made
  EXPECT_EQ(s.lines, (Lines{"_level0.a", "5", "6", "12.5", "_level0.a", "5", "6", "12.5"}));
}

TEST(PlayerScripts, ScriptSetPropertiesStopTheTimelineMovingTheClip) {
  swf::DefineSprite clip{2, 1, {kShow}};
  swf::PlaceObject named = place(1, 2, 0, 0);
  named.name = "mc";
  Session s(build({Tag{clip}, Tag{named}, doAction(Asm().push({"mc._x", 30}).setVar()), kShow, Tag{move(1, 400, 0)},
                   doAction(Asm().traceVar("mc._x").op(0x07)), kShow}));
  s.tick();
  EXPECT_EQ(s.lines, (Lines{"30"}));
}

// ---- hostile scripts ------------------------------------------------------------------

TEST(PlayerScripts, HostileStageScriptsEndWithoutHangingOrCrashing) {
  // A clip whose first frame attaches another of itself inside itself, and one that
  // removes itself from its own enterFrame and then keeps using `this`.
  namespace ev = script::clipevent;
  Asm selfAttach = callMethod("this", "attachMovie", {"loop", "inner", 1}).pop();
  swf::DefineSprite loop{2, 1, {doAction(selfAttach), kShow}};
  swf::ExportAssets exports{{swf::AssetEntry{2, "loop"}, swf::AssetEntry{3, "gone"}}};
  swf::PlaceObject loopPlace = place(1, 2);
  loopPlace.name = "loop1";

  Asm removeThenUse = callMethod("this", "swapDepths", {10}).pop();
  removeThenUse.raw(callMethod("this", "removeMovieClip", {}).pop().bytes());
  removeThenUse.push({"this"}).getVar().push({"_x"}).getMember().pop().push({"_x", 5}).setVar();
  swf::DefineSprite gone{3, 2, {kShow, kShow}};
  swf::PlaceObject gonePlace = place(2, 3);
  swf::ClipActions onEnter;
  onEnter.allEventFlags = ev::kEnterFrame;
  onEnter.records.push_back({ev::kEnterFrame, 0, removeThenUse.bytes()});
  gonePlace.clipActions = onEnter;

  Session s(build({Tag{loop}, Tag{gone}, Tag{exports}, Tag{loopPlace}, Tag{gonePlace}, kShow,
                   doAction(traced("still playing")), kShow}));
  s.tick(3);
  EXPECT_NE(std::find(s.lines.begin(), s.lines.end(), "still playing"), s.lines.end());
  EXPECT_EQ(s.player->displayList().at(2), nullptr);
}

}  // namespace
