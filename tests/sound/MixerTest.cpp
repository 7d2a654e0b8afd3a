// The mixer: event sound flags, loops, in and out points, envelopes, volume and the
// audio switch, stream buffering, and the output without an audio device.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include "engine/sound/AudioOutput.h"
#include "engine/sound/Mixer.h"

namespace plavex::sound {
namespace {

// A stereo sound whose frame i holds (i + 1, -(i + 1)).
SoundSamples ramp(int frames) {
  auto s = std::make_shared<std::vector<std::int16_t>>();
  for (int i = 0; i < frames; ++i) {
    s->push_back(static_cast<std::int16_t>(i + 1));
    s->push_back(static_cast<std::int16_t>(-(i + 1)));
  }
  return s;
}

std::vector<int> leftOf(Mixer& mixer, int frames, MixLevel level = {}) {
  std::vector<std::int16_t> out(static_cast<std::size_t>(frames) * 2);
  mixer.pull(out, level);
  std::vector<int> left;
  for (int f = 0; f < frames; ++f) left.push_back(out[static_cast<std::size_t>(f) * 2]);
  return left;
}

TEST(Mixer, LoopsWithInAndOutPointsPlayTheRangeThatManyTimes) {
  Mixer mixer;
  const auto owner = mixer.newOwner();
  swf::SoundInfo info;
  info.inPoint = 1;
  info.outPoint = 3;
  info.loopCount = 3;
  mixer.startEvent(owner, 1, ramp(5), info);
  EXPECT_EQ(leftOf(mixer, 8), (std::vector<int>{2, 3, 2, 3, 2, 3, 0, 0}));
  EXPECT_FALSE(mixer.eventPlaying(owner, 1));
}

TEST(Mixer, OutOfRangePointsAreClampedAndEmptyRangesPlayNothing) {
  Mixer mixer;
  const auto owner = mixer.newOwner();
  swf::SoundInfo past;
  past.inPoint = 2;
  past.outPoint = 1000;
  mixer.startEvent(owner, 1, ramp(4), past);
  EXPECT_EQ(leftOf(mixer, 3), (std::vector<int>{3, 4, 0}));
  swf::SoundInfo empty;
  empty.inPoint = 10;
  mixer.startEvent(owner, 1, ramp(4), empty);
  EXPECT_EQ(mixer.activeVoices(), 0u);
}

TEST(Mixer, StopAndNoMultipleFlagsActOnTheOwnersInstancesOfTheSound) {
  Mixer mixer;
  const auto a = mixer.newOwner(), b = mixer.newOwner();
  mixer.startEvent(a, 1, ramp(100), {});
  mixer.startEvent(a, 1, ramp(100), {});  // two instances: they add up
  EXPECT_EQ(leftOf(mixer, 1), (std::vector<int>{2}));
  swf::SoundInfo noMultiple;
  noMultiple.syncNoMultiple = true;
  mixer.startEvent(a, 1, ramp(100), noMultiple);  // already playing: nothing new
  mixer.startEvent(b, 1, ramp(100), noMultiple);  // another movie's sound 1 is not playing
  EXPECT_EQ(leftOf(mixer, 1), (std::vector<int>{2 * 2 + 1}));
  swf::SoundInfo stop;
  stop.syncStop = true;
  mixer.startEvent(a, 1, nullptr, stop);
  EXPECT_FALSE(mixer.eventPlaying(a, 1));
  EXPECT_TRUE(mixer.eventPlaying(b, 1));
  EXPECT_EQ(leftOf(mixer, 1), (std::vector<int>{2}));
}

TEST(Mixer, EnvelopeScalesEachSideAndInterpolatesBetweenPoints) {
  Mixer mixer;
  const auto owner = mixer.newOwner();
  auto constant = std::make_shared<std::vector<std::int16_t>>(20, 1000);
  swf::SoundInfo info;
  info.envelope = std::vector<swf::EnvelopePoint>{{0, 32768, 0}, {4, 0, 32768}};
  mixer.startEvent(owner, 1, constant, info);
  std::vector<std::int16_t> out(12);
  mixer.pull(out, {});
  EXPECT_EQ(out, (std::vector<std::int16_t>{1000, 0, 750, 250, 500, 500, 250, 750, 0, 1000, 0, 1000}));
}

TEST(Mixer, EnvelopeLevelsOutsideThePoints) {
  const std::vector<swf::EnvelopePoint> env{{10, 100, 200}, {20, 300, 400}};
  EXPECT_EQ(envelopeLevels(env, 0), (std::pair{100, 200}));
  EXPECT_EQ(envelopeLevels(env, 15), (std::pair{200, 300}));
  EXPECT_EQ(envelopeLevels(env, 99), (std::pair{300, 400}));
  EXPECT_EQ(envelopeLevels({}, 5), (std::pair{32768, 32768}));
}

TEST(Mixer, VolumeScalesEverySampleAndTheSwitchSilencesWhileTimeGoesOn) {
  struct Case {
    MixLevel level;
    std::vector<int> expected;
  };
  const std::vector<Case> cases{
      {{100, true}, {30000, 5, -7}},
      {{50, true}, {15000, 2, -3}},
      {{0, true}, {0, 0, 0}},
      {{100, false}, {0, 0, 0}},
      {{250, true}, {30000, 5, -7}},  // out of range: clamped to 100
  };
  for (const auto& c : cases) {
    Mixer mixer;
    const auto owner = mixer.newOwner();
    mixer.startEvent(owner, 1, std::make_shared<std::vector<std::int16_t>>(std::vector<std::int16_t>{30000, 0, 5, 0, -7, 0, 9, 0}), {});
    EXPECT_EQ(leftOf(mixer, 3, c.level), c.expected) << c.level.volume << " " << c.level.enabled;
    // Muted or not, the sound has advanced: the fourth frame comes next.
    EXPECT_EQ(leftOf(mixer, 1), (std::vector<int>{9}));
  }
}

TEST(Mixer, SumsClipInsteadOfWrapping) {
  Mixer mixer;
  const auto owner = mixer.newOwner();
  auto loud = std::make_shared<std::vector<std::int16_t>>(std::vector<std::int16_t>{30000, -30000});
  mixer.startEvent(owner, 1, loud, {});
  mixer.startEvent(owner, 2, loud, {});
  std::vector<std::int16_t> out(2);
  mixer.pull(out, {});
  EXPECT_EQ(out, (std::vector<std::int16_t>{32767, -32768}));
}

TEST(Mixer, StreamsPlayWhatWasPushedAndBoundTheirBacklog) {
  Mixer mixer;
  const auto owner = mixer.newOwner();
  const std::vector<std::int16_t> block{1, 1, 2, 2, 3, 3};
  mixer.pushStream(owner, 7, block);
  EXPECT_EQ(leftOf(mixer, 4), (std::vector<int>{1, 2, 3, 0}));  // an empty stream is silent, not stuck
  EXPECT_EQ(mixer.streamPlayed(owner, 7), 3u);
  std::vector<std::int16_t> minute(44100 * 60 * 2, 1);
  mixer.pushStream(owner, 7, minute);
  EXPECT_EQ(mixer.streamBacklog(owner, 7), Mixer::kMaxStreamBacklog);
  mixer.clearStream(owner, 7);
  EXPECT_EQ(mixer.streamBacklog(owner, 7), 0u);
  mixer.pushStream(owner, 7, block);
  mixer.stopOwner(owner);
  EXPECT_EQ(leftOf(mixer, 1), (std::vector<int>{0}));
}

TEST(AudioOutput, WithoutADeviceTheMixerIsStillPulledInRealTime) {
  int argc = 0;
  QCoreApplication app(argc, nullptr);
  Mixer mixer;
  const auto owner = mixer.newOwner();
  mixer.startEvent(owner, 1, ramp(4410), {});  // 0.1 s
  AudioOutput output(mixer, [] { return MixLevel{}; }, false);
  EXPECT_FALSE(output.usingDevice());
  QElapsedTimer timer;
  timer.start();
  while (mixer.eventPlaying(owner, 1) && timer.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_FALSE(mixer.eventPlaying(owner, 1));
  EXPECT_GE(timer.elapsed(), 80);  // not faster than real time
}

TEST(AudioOutput, OpeningTheDefaultDeviceNeverBlocksOrFails) {
  int argc = 0;
  QCoreApplication app(argc, nullptr);
  Mixer mixer;
  QElapsedTimer timer;
  timer.start();
  {
    AudioOutput output(mixer, [] { return MixLevel{}; }, true);
    QTimer::singleShot(100, &app, &QCoreApplication::quit);
    app.exec();
  }
  EXPECT_LT(timer.elapsed(), 3000);
}

}  // namespace
}  // namespace plavex::sound
