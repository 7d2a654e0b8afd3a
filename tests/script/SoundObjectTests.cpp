// Scripts' Sound objects in the player with a real mixer: what they set must reach
// the samples, per clip, and the reported pan and coercions follow the reference player.
#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include "Assembler.h"
#include "engine/core/Movie.h"
#include "engine/core/Player.h"
#include "engine/script/player/PlayerScripts.h"
#include "engine/script/player/SoundObject.h"
#include "engine/sound/MovieSound.h"
#include "tests/engine/Fixtures.h"

using namespace plavex;
using namespace plavex::engine;
using namespace plavex::engine::test;
using plavex::script::testing::Asm;

namespace {

constexpr std::int16_t kLeft = 1000, kRight = -2000;
constexpr int kFrames = 4410;  // 100 ms at 44.1 kHz

// A 44.1 kHz 16-bit stereo PCM sound of constant samples, exported as "tone".
std::vector<Tag> toneTags() {
  swf::DefineSound sound;
  sound.id = 5;
  sound.format = 3;
  sound.rate = 3;
  sound.is16Bit = true;
  sound.stereo = true;
  sound.sampleCount = kFrames;
  for (int i = 0; i < kFrames; ++i)
    for (std::int16_t s : {kLeft, kRight}) {
      sound.data.push_back(static_cast<std::uint8_t>(s & 0xff));
      sound.data.push_back(static_cast<std::uint8_t>((s >> 8) & 0xff));
    }
  swf::ExportAssets exports;
  exports.assets.push_back({5, "tone"});
  return {Tag{sound}, Tag{exports}};
}

Asm call(Asm a, const std::string& object, const std::string& method, std::vector<script::testing::PushItem> args) {
  for (auto it = args.rbegin(); it != args.rend(); ++it) {
    const script::testing::PushItem item = *it;
    std::visit([&](const auto& v) { a.push({v}); }, item);
  }
  a.push({static_cast<int>(args.size())}).push({object}).getVar().push({method}).callMethod();
  return a;
}

// s = new Sound(target); s.attachSound("tone"), then `settings`, then s.start().
Asm soundScript(const Asm& target, const Asm& settings) {
  Asm a;
  a.push({"s"});
  a.raw(target.bytes());
  a.push({1, "Sound"}).op(0x40).setVar();
  a = call(a, "s", "attachSound", {"tone"});
  a.pop();
  a.raw(settings.bytes());
  a = call(a, "s", "start", {});
  a.pop();
  return a;
}

struct SoundSession {
  explicit SoundSession(std::vector<Tag> tags) : sounds(mixer) {
    auto source = makeMovie(100, 100, std::move(tags));
    movie = std::make_shared<MovieData>(source.header);
    scripts = std::make_shared<script::PlayerScripts>(10, [this](const std::string& l) { lines.push_back(l); });
    player = std::make_unique<Player>(movie, scripts, &sounds);
    scripts->attach(*player);
    for (const auto& tag : source.tags) {
      sounds.addTag(tag);
      movie->appendTag(tag);
    }
    movie->markComplete();
    player->framesArrived();
    scripts->afterFrame();
  }
  std::pair<int, int> firstFrame() {
    std::vector<std::int16_t> out(2 * 10);
    mixer.pull(out, {});
    return {out[0], out[1]};
  }
  sound::Mixer mixer;
  sound::MovieSound sounds;
  std::shared_ptr<MovieData> movie;
  std::shared_ptr<script::PlayerScripts> scripts;
  std::unique_ptr<Player> player;
  std::vector<std::string> lines;
};

Tag frameScript(const Asm& code) { return Tag{swf::DoAction{code.bytes()}}; }

struct MixCase {
  const char* name;
  Asm settings;
  int left, right;
};

TEST(SoundObject, SettingsOfTheMovieSoundScaleTheSamplesInTheMixer) {
  const MixCase cases[] = {
      {"untouched", Asm(), kLeft, kRight},
      {"volume 50", call(Asm(), "s", "setVolume", {50}).pop(), kLeft / 2, kRight / 2},
      {"volume 0", call(Asm(), "s", "setVolume", {0}).pop(), 0, 0},
      {"pan right", call(Asm(), "s", "setPan", {100}).pop(), 0, kRight},
      {"pan half left", call(Asm(), "s", "setPan", {-50}).pop(), kLeft, kRight / 2},
      {"channels swapped",
       Asm().push({"rr", 0, "rl", 100, "lr", 100, "ll", 0, 4}).op(0x43).storeRegister(0).pop().raw(
           call(Asm(), "s", "setTransform", {script::testing::Reg{0}}).pop().bytes()),
       kRight, kLeft},
      {"both to the left, halved",
       Asm()
           .push({"rr", 0, "rl", 100, "lr", 0, "ll", 100, 4})
           .op(0x43)
           .storeRegister(0)
           .pop()
           .raw(call(Asm(), "s", "setTransform", {script::testing::Reg{0}}).pop().bytes())
           .raw(call(Asm(), "s", "setVolume", {50}).pop().bytes()),
       (kLeft + kRight) / 2, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SoundSession s(
        [&] {
          auto tags = toneTags();
          tags.push_back(frameScript(soundScript(Asm().push({script::testing::Undef{}}), c.settings)));
          tags.push_back(Tag{swf::ShowFrame{}});
          return tags;
        }());
    EXPECT_EQ(s.firstFrame(), std::make_pair(c.left, c.right));
  }
}

TEST(SoundObject, AClipsVolumeScalesOnlyThatClipsSoundsAndTheMoviesScalesAll) {
  // A clip "a" plays the tone at volume 50; the whole movie is at 50 too: a quarter.
  auto tags = toneTags();
  tags.push_back(Tag{swf::DefineSprite{2, 1, {Tag{swf::ShowFrame{}}}}});
  swf::PlaceObject named = place(1, 2);
  named.name = "a";
  tags.push_back(Tag{named});
  Asm script = soundScript(Asm().push({"a"}).getVar(), call(Asm(), "s", "setVolume", {50}).pop());
  script.push({"m"}).push({0, "Sound"}).op(0x40).setVar();
  script = call(script, "m", "setVolume", {50});
  script.pop();
  // Another Sound on the same clip sees the clip's volume.
  script.push({"t"}).push({"a"}).getVar().push({1, "Sound"}).op(0x40).setVar();
  script = call(script, "t", "getVolume", {});
  script.trace();
  tags.push_back(frameScript(script));
  tags.push_back(Tag{swf::ShowFrame{}});
  SoundSession s(tags);
  EXPECT_EQ(s.lines, std::vector<std::string>{"50"});
  EXPECT_EQ(s.firstFrame(), std::make_pair(kLeft / 4, kRight / 4));
}

TEST(SoundObject, DurationPositionAndStopFollowTheVoice) {
  auto tags = toneTags();
  Asm script = soundScript(Asm().push({script::testing::Undef{}}), Asm());
  script = call(script, "s", "getDuration", {});
  script.trace();
  tags.push_back(frameScript(script));
  tags.push_back(Tag{swf::ShowFrame{}});
  SoundSession s(tags);
  EXPECT_EQ(s.lines, std::vector<std::string>{"100"});
  std::vector<std::int16_t> out(2 * 2205);
  s.mixer.pull(out, {});
  EXPECT_EQ(s.mixer.activeVoices(), 1u);
  s.mixer.stopGroup(s.sounds.owner(), 0);
  EXPECT_EQ(s.mixer.activeVoices(), 0u);
}

struct PanCase {
  int pan, ll, rr, reported;
};

TEST(SoundObject, PanSetsTheFarSideAndIsReadBackFromTheStraightShares) {
  const PanCase cases[] = {
      {0, 100, 100, 0},   {50, 50, 100, 50},   {-50, 100, 50, -50},
      {200, -100, 100, 0}, {-200, 100, -100, 0}, {INT_MIN, 100, INT_MIN + 100, INT_MAX - 199},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pan);
    const auto t = script::withPan({}, c.pan);
    EXPECT_EQ(t.leftToLeft, c.ll);
    EXPECT_EQ(t.rightToRight, c.rr);
    EXPECT_EQ(script::panOf(t), c.reported);
  }
}

TEST(SoundObject, VolumeArgumentsOutOfRangeBecomeTheLowestInteger) {
  const std::pair<double, int> cases[] = {{50.5, 50},        {-999, -999},      {2147483647.0, INT_MAX},
                                          {2147483648.0, INT_MIN}, {-3e9, INT_MIN}, {std::nan(""), INT_MIN}};
  for (const auto& [in, out] : cases) EXPECT_EQ(script::saturatedInt(in), out) << in;
}

}  // namespace
