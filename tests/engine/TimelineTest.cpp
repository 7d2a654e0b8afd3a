// Display list semantics of the player core: place, move, remove; going back rebuilds
// the list from frame 1; instances that persist keep their state; sprites loop on their
// own; the root loops only when asked.

#include <gtest/gtest.h>

#include "engine/core/Player.h"
#include "tests/engine/Fixtures.h"

namespace plavex::engine {
namespace {

using namespace test;

const Tag kShow{swf::ShowFrame{}};

std::int32_t xAt(const Player& p, int depth) {
  const DisplayObject* o = p.displayList().at(depth);
  return o ? o->placement.matrix.translateX : -1;
}

// Frame 1 places shape 1 at depth 1; frame 2 moves it; frame 3 removes it and places shape 2.
swf::Movie threeFrames() {
  return makeMovie(100, 100,
                   {Tag{rectShape(1, 0, 0, 200, 200, solid(255, 0, 0))}, Tag{rectShape(2, 0, 0, 200, 200, solid(0, 0, 255))},
                    Tag{place(1, 1, 0, 0)}, kShow, Tag{move(1, 400, 0)}, kShow, Tag{removeAt(1)}, Tag{place(2, 2)}, kShow});
}

TEST(Timeline, PlacesMovesAndRemovesFrameByFrame) {
  Player p(buildMovie(threeFrames()));
  EXPECT_EQ(p.currentFrame(), 0);
  EXPECT_EQ(xAt(p, 1), 0);
  p.tick();
  EXPECT_EQ(p.currentFrame(), 1);
  EXPECT_EQ(xAt(p, 1), 400);
  p.tick();
  EXPECT_EQ(p.displayList().at(1), nullptr);
  ASSERT_NE(p.displayList().at(2), nullptr);
  EXPECT_EQ(p.displayList().at(2)->characterId(), 2);
}

TEST(Timeline, RootLoopsOnlyWhenAsked) {
  Player looping(buildMovie(threeFrames()));
  for (int i = 0; i < 3; ++i) looping.tick();
  EXPECT_EQ(looping.currentFrame(), 0);
  EXPECT_EQ(xAt(looping, 1), 0) << "looping back rebuilds frame 1";
  EXPECT_EQ(looping.displayList().at(2), nullptr);
  EXPECT_TRUE(looping.playing());

  Player once(buildMovie(threeFrames()));
  once.setLoop(false);
  for (int i = 0; i < 5; ++i) once.tick();
  EXPECT_EQ(once.currentFrame(), 2);
  EXPECT_FALSE(once.playing());
  EXPECT_FALSE(once.needsTicks()) << "a stopped, static movie needs no clock";
}

TEST(Timeline, GotoForwardAndBack) {
  Player p(buildMovie(threeFrames()));
  p.stop();
  p.gotoFrame(2);
  EXPECT_EQ(p.currentFrame(), 2);
  EXPECT_EQ(p.displayList().at(1), nullptr);
  p.gotoFrame(1);  // back: rebuilt from frame 1
  EXPECT_EQ(p.currentFrame(), 1);
  EXPECT_EQ(xAt(p, 1), 400);
  EXPECT_EQ(p.displayList().at(2), nullptr);
  EXPECT_FALSE(p.playing()) << "goto keeps the play state";
  p.gotoFrame(99);  // clamped to the last frame
  EXPECT_EQ(p.currentFrame(), 2);
}

// A 3-frame sprite placed on root frame 1 and kept through root frame 2.
swf::Movie spriteMovie() {
  swf::DefineSprite sprite;
  sprite.id = 10;
  sprite.frameCount = 3;
  sprite.tags = {Tag{place(1, 1, 0, 0)}, kShow, Tag{move(1, 20, 0)}, kShow, Tag{move(1, 40, 0)}, kShow};
  return makeMovie(100, 100,
                   {Tag{rectShape(1, 0, 0, 100, 100, solid(0, 255, 0))}, Tag{sprite}, Tag{place(1, 10)}, kShow,
                    Tag{move(1, 100, 0)}, kShow, kShow, kShow});
}

int spriteFrame(const Player& p) {
  const DisplayObject* o = p.displayList().at(1);
  return o && o->sprite ? o->sprite->currentFrame() : -1;
}

TEST(Timeline, SpritesRunAndLoopOnTheirOwn) {
  Player p(buildMovie(spriteMovie()));
  EXPECT_EQ(spriteFrame(p), 0);
  p.tick();
  EXPECT_EQ(spriteFrame(p), 1);
  p.tick();
  EXPECT_EQ(spriteFrame(p), 2);
  p.tick();
  EXPECT_EQ(spriteFrame(p), 0) << "the sprite loops";
  EXPECT_EQ(p.displayList().at(1)->sprite->displayList().at(1)->placement.matrix.translateX, 0);
}

TEST(Timeline, InstancePersistingAcrossGotoBackKeepsItsState) {
  Player p(buildMovie(spriteMovie()));
  p.tick();
  p.tick();  // root frame 3, sprite frame 3
  const std::uint64_t serial = p.displayList().at(1)->serial;
  ASSERT_EQ(spriteFrame(p), 2);
  p.gotoFrame(1);
  ASSERT_NE(p.displayList().at(1), nullptr);
  EXPECT_EQ(p.displayList().at(1)->serial, serial) << "same instance";
  EXPECT_EQ(spriteFrame(p), 2) << "its timeline was not restarted";
  EXPECT_EQ(p.displayList().at(1)->placement.matrix.translateX, 100) << "properties of the target frame";
}

TEST(Timeline, ReplacedInstanceDoesNotPersist) {
  // Depth 1 gets a new instance of the same sprite on frame 2: going back to frame 1
  // must show a fresh instance, not the frame-2 one.
  swf::DefineSprite sprite;
  sprite.id = 10;
  sprite.frameCount = 2;
  sprite.tags = {Tag{place(1, 1)}, kShow, kShow};
  auto movie = makeMovie(100, 100,
                         {Tag{rectShape(1, 0, 0, 100, 100, solid(0, 255, 0))}, Tag{sprite}, Tag{place(1, 10)}, kShow,
                          Tag{removeAt(1)}, Tag{place(1, 10)}, kShow});
  Player p(buildMovie(movie));
  p.tick();
  const std::uint64_t second = p.displayList().at(1)->serial;
  p.gotoFrame(0);
  EXPECT_NE(p.displayList().at(1)->serial, second);
  EXPECT_EQ(spriteFrame(p), 0);
}

TEST(Timeline, ProgressiveRootWaitsForFramesThenPlaysThem) {
  auto movie = threeFrames();
  auto data = std::make_shared<MovieData>(movie.header);
  // Only the definitions and frame 1 have arrived.
  for (std::size_t i = 0; i < 4; ++i) data->appendTag(movie.tags[i]);
  Player p(data);
  EXPECT_EQ(p.currentFrame(), 0);
  p.tick();
  EXPECT_EQ(p.currentFrame(), 0) << "waits for frame 2";
  EXPECT_TRUE(p.needsTicks());
  for (std::size_t i = 4; i < movie.tags.size(); ++i) data->appendTag(movie.tags[i]);
  data->markComplete();
  p.tick();
  EXPECT_EQ(p.currentFrame(), 1);
}

}  // namespace
}  // namespace plavex::engine

namespace plavex::engine {
namespace {

using namespace test;

std::size_t countInstances(const DisplayList& list) {
  std::size_t n = 0;
  for (const auto& [depth, object] : list.objects()) {
    ++n;
    if (object.sprite) n += countInstances(object.sprite->displayList());
  }
  return n;
}

TEST(Timeline, SpriteThatPlacesItselfStaysBounded) {
  // Sprite 10 places itself twice on each of its two frames: without limits the tree
  // would double on every level.
  swf::DefineSprite sprite;
  sprite.id = 10;
  sprite.frameCount = 2;
  sprite.tags = {Tag{place(1, 10)}, Tag{place(2, 10)}, Tag{swf::ShowFrame{}}, Tag{removeAt(1)}, Tag{place(1, 10)},
                 Tag{swf::ShowFrame{}}};
  auto movie = makeMovie(10, 10, {Tag{sprite}, Tag{place(1, 10)}, Tag{swf::ShowFrame{}}});
  Player p(buildMovie(movie));
  for (int i = 0; i < 5; ++i) p.tick();
  EXPECT_LE(countInstances(p.displayList()), 6 * kMaxInstancesPerTick);
}

}  // namespace
}  // namespace plavex::engine
