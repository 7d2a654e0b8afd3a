// A stream sound sets the pace of its timeline: when drawing falls behind, frames are
// dropped and the sound plays on; when the timeline runs ahead, it waits.

#include <gtest/gtest.h>

#include <cmath>

#include "engine/core/PlayLoop.h"
#include "engine/core/Player.h"
#include "engine/sound/Mixer.h"
#include "engine/sound/MovieSound.h"

namespace plavex::sound {
namespace {

TEST(StreamPace, FramesToAdvance) {
  struct Case {
    std::optional<double> heard;
    int current, clockDue, expected;
  } cases[] = {
      {std::nullopt, 10, 2, 2},  // no stream sounding: the clock
      {10.5, 10, 1, 1},          // in step: the clock
      {15.2, 10, 1, 5},          // drawing fell behind: catch up, dropping frames
      {80.0, 10, 1, 24},         // far behind: at most the cap at once
      {9.5, 10, 1, 0},           // a frame ahead of the sound: wait
      {10.0, 10, 0, 0},          // nothing due
  };
  for (const auto& c : cases)
    EXPECT_EQ(engine::framesToFollowStream(c.heard, c.current, c.clockDue, 24), c.expected)
        << (c.heard ? *c.heard : -1) << " at " << c.current;
}

// A movie of `frames` frames at 24 fps whose root stream is uncompressed 44.1 kHz mono.
swf::Movie pcmStreamMovie(int frames) {
  swf::SoundStreamHead head;
  head.playbackRate = head.streamRate = 3;
  head.playback16Bit = head.stream16Bit = true;
  head.compression = 3;
  head.sampleCount = 1837;
  std::vector<swf::Tag> tags{swf::Tag{head}};
  std::size_t written = 0;
  for (int k = 0; k < frames; ++k) {
    // Frame k carries the samples up to (k+1)/24 s, so the stream has no drift of its own.
    const auto until = static_cast<std::size_t>(std::llround((k + 1) * 44100.0 / 24));
    swf::SoundStreamBlock block;
    for (; written < until; ++written) {
      const auto v = static_cast<std::int16_t>(k);
      block.data.push_back(static_cast<std::uint8_t>(v & 0xff));
      block.data.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    tags.push_back(swf::Tag{block});
    tags.push_back(swf::Tag{swf::ShowFrame{}});
  }
  swf::Movie movie;
  movie.header.signature = "FWS";
  movie.header.version = 8;
  movie.header.frameRate = 24;
  movie.header.frameCount = static_cast<std::uint16_t>(frames);
  movie.tags = std::move(tags);
  return movie;
}

// A minute of a movie drawn by a renderer that is always three frame periods late: the
// audio goes on in real time and the timeline stays within one frame of what was heard.
TEST(StreamPace, TimelineKeepsWithinAFrameOfTheSoundOverAMinute) {
  const int frames = 24 * 60 + 48;
  Mixer mixer;
  MovieSound sound(mixer);
  engine::Player player(engine::buildMovie(pcmStreamMovie(frames)), nullptr, &sound);
  player.setLoop(false);
  player.framesArrived();
  // The device takes 10 ms of sound at a time; three frame periods pass while one
  // picture is drawn.
  std::vector<std::int16_t> devicePeriod(441 * 2);
  double worst = 0;
  int slowDraws = 0;
  std::size_t gaps = 0;
  while (player.currentFrame() < 24 * 60) {
    for (int i = 0; i < 12; ++i) {
      if (mixer.streamBacklog(sound.owner(), reinterpret_cast<Mixer::StreamKey>(&player.root())) < 441) ++gaps;
      mixer.pull(devicePeriod, {});
    }
    const auto heard = sound.streamFrame(player.root(), 24);
    ASSERT_TRUE(heard);
    const int due = engine::framesToFollowStream(heard, player.currentFrame(), 1, 24);
    for (int i = 0; i < due; ++i) player.tick();
    const auto after = sound.streamFrame(player.root(), 24);
    ASSERT_TRUE(after);
    worst = std::max(worst, std::abs(*after - player.currentFrame()));
    ASSERT_LT(++slowDraws, 10000);
  }
  EXPECT_LE(worst, 1.0);
  EXPECT_EQ(gaps, 0u) << "the sound never ran dry";
  // What sounds now is the block of the frame shown (each block's samples hold its frame number).
  std::vector<std::int16_t> now(2);
  mixer.pull(now, {});
  EXPECT_NEAR(now[0], player.currentFrame(), 1);
}

TEST(StreamPace, NoPaceWithoutASoundingStream) {
  Mixer mixer;
  MovieSound sound(mixer);
  engine::Player player(engine::buildMovie(pcmStreamMovie(4)), nullptr, &sound);
  player.setLoop(false);
  player.framesArrived();
  for (int i = 0; i < 3; ++i) player.tick();
  std::vector<std::int16_t> all(44100 * 2);
  mixer.pull(all, {});
  EXPECT_FALSE(sound.streamFrame(player.root(), 24)) << "run dry: the clock leads";
}

TEST(StreamPace, ARemovedSpriteTakesItsStreamSoundWithIt) {
  // Sprite 5 carries a constant stream; the root places it on frame 1 and removes it on frame 3.
  swf::Movie inner = pcmStreamMovie(30);
  for (auto& tag : inner.tags)
    if (auto* block = std::get_if<swf::SoundStreamBlock>(&tag.body))
      for (std::size_t i = 0; i + 1 < block->data.size(); i += 2) block->data[i] = 0x10, block->data[i + 1] = 0x27;  // 10000
  swf::DefineSprite sprite;
  sprite.id = 5;
  sprite.frameCount = 30;
  sprite.tags = inner.tags;
  swf::PlaceObject place;
  place.version = 2;
  place.depth = 1;
  place.characterId = 5;
  swf::RemoveObject remove;
  remove.version = 2;
  remove.depth = 1;
  swf::Movie movie = pcmStreamMovie(0);
  movie.tags = {swf::Tag{sprite}, swf::Tag{place}, swf::Tag{swf::ShowFrame{}}, swf::Tag{swf::ShowFrame{}},
                swf::Tag{remove}, swf::Tag{swf::ShowFrame{}}, swf::Tag{swf::ShowFrame{}}};
  movie.header.frameCount = 4;
  Mixer mixer;
  MovieSound sound(mixer);
  engine::Player player(engine::buildMovie(movie), nullptr, &sound);
  player.setLoop(false);
  player.framesArrived();
  std::vector<std::int16_t> frame(1837 * 2);
  mixer.pull(frame, {});
  EXPECT_EQ(frame[100], 10000) << "the sprite's stream sounds";
  player.tick();
  player.tick();  // frame 3 removes the sprite
  mixer.pull(frame, {});
  EXPECT_EQ(frame[100], 0) << "no buffered sound of the removed sprite plays on";
}

}  // namespace
}  // namespace plavex::sound
