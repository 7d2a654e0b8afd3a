// swftool audio on movies made with the writer: exact samples of PCM and ADPCM event
// sounds, volume and mute, and stream sound in step with the timeline over a minute.

#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <cmath>
#include <fstream>

#include "engine/format/SwfWriter.h"
#include "engine/sound/Decoders.h"
#include "engine/sound/Resampler.h"
#include "tests/engine/Fixtures.h"
#include "tools/swftool/AudioWav.h"

namespace plavex::sound {
namespace {

using engine::test::makeMovie;

class AudioCommand : public ::testing::Test {
 protected:
  // Writes the movie, runs swftool audio on it, returns the WAV's samples.
  std::vector<std::int16_t> run(const swf::Movie& movie, int frames, QStringList extra = {}) {
    const auto written = swf::writeSwf(movie);
    EXPECT_TRUE(written.ok()) << written.error;
    const QString in = dir_.filePath("movie.swf"), out = dir_.filePath("out.wav");
    std::ofstream(in.toStdString(), std::ios::binary)
        .write(reinterpret_cast<const char*>(written.bytes.data()), static_cast<std::streamsize>(written.bytes.size()));
    QProcess tool;
    tool.start(PLAVEX_SWFTOOL, QStringList{"audio", in, "--frames", QString::number(frames), "--out", out} + extra);
    EXPECT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    auto samples = swftool::readWav(out.toStdString());
    EXPECT_TRUE(samples.has_value());
    return samples.value_or(std::vector<std::int16_t>{});
  }
  QTemporaryDir dir_;
};

swf::Bytes littleEndian(const std::vector<std::int16_t>& samples) {
  swf::Bytes b;
  for (std::int16_t s : samples) {
    b.push_back(static_cast<std::uint8_t>(s & 0xff));
    b.push_back(static_cast<std::uint8_t>((s >> 8) & 0xff));
  }
  return b;
}

swf::Tag startSound(std::uint16_t id, swf::SoundInfo info = {}) {
  swf::StartSound s;
  s.soundId = id;
  s.info = std::move(info);
  return swf::Tag{s};
}

std::vector<swf::Tag> frames(std::vector<swf::Tag> first, int count) {
  first.push_back(swf::Tag{swf::ShowFrame{}});
  for (int i = 1; i < count; ++i) first.push_back(swf::Tag{swf::ShowFrame{}});
  return first;
}

TEST_F(AudioCommand, PcmEventSoundComesOutSampleExactThenSilence) {
  std::vector<std::int16_t> pcm;
  for (int i = 0; i < 1000; ++i) {
    pcm.push_back(static_cast<std::int16_t>(i * 30 - 15000));
    pcm.push_back(static_cast<std::int16_t>(15000 - i * 7));
  }
  swf::DefineSound sound{1, 3, 3, true, true, 1000, littleEndian(pcm)};
  const auto out = run(makeMovie(100, 100, frames({swf::Tag{sound}, startSound(1)}, 2), "FWS", 10), 2);
  ASSERT_EQ(out.size(), 2u * 8820);  // two frames at 10 fps
  EXPECT_TRUE(std::equal(pcm.begin(), pcm.end(), out.begin()));
  EXPECT_TRUE(std::all_of(out.begin() + static_cast<std::ptrdiff_t>(pcm.size()), out.end(), [](auto s) { return s == 0; }));
}

TEST_F(AudioCommand, EightBitMonoAtElevenKilohertzKeepsItsSamplesAtEveryFourthOutput) {
  swf::Bytes bytes{128, 192, 64, 255, 0};
  swf::DefineSound sound{1, 0, 1, false, false, 5, bytes};
  const auto out = run(makeMovie(100, 100, frames({swf::Tag{sound}, startSound(1)}, 1), "FWS", 10), 1, {"--volume", "100"});
  const std::vector<int> expected{0, 64 << 8, -(64 << 8), 127 << 8, -32768};
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(out[i * 8], expected[i]) << i;
    EXPECT_EQ(out[i * 8 + 1], expected[i]) << i;
  }
  EXPECT_EQ(out[2], (0 + (64 << 8)) / 4);  // a quarter of the way to the second sample
}

TEST_F(AudioCommand, VolumeScalesAndMuteSilencesTheWholeOutput) {
  std::vector<std::int16_t> pcm{20000, -20000, 301, -301, 7, -7};
  swf::DefineSound sound{1, 3, 3, true, true, 3, littleEndian(pcm)};
  const auto movie = makeMovie(100, 100, frames({swf::Tag{sound}, startSound(1)}, 1), "FWS", 10);
  const auto half = run(movie, 1, {"--volume", "50"});
  EXPECT_EQ(std::vector<std::int16_t>(half.begin(), half.begin() + 6), (std::vector<std::int16_t>{10000, -10000, 150, -150, 3, -3}));
  const auto muted = run(movie, 1, {"--mute"});
  ASSERT_FALSE(muted.empty());
  EXPECT_TRUE(std::all_of(muted.begin(), muted.end(), [](auto s) { return s == 0; }));
}

TEST_F(AudioCommand, StartSoundFlagsOnTheTimeline) {
  // Frame 1 starts the sound (looping twice), frame 2 tries again with no-multiple,
  // frame 3 stops it.
  std::vector<std::int16_t> pcm(2 * 3000, 100);
  swf::DefineSound sound{1, 3, 3, true, true, 3000, littleEndian(pcm)};
  swf::SoundInfo loopTwice;
  loopTwice.loopCount = 2;
  swf::SoundInfo noMultiple;
  noMultiple.syncNoMultiple = true;
  swf::SoundInfo stop;
  stop.syncStop = true;
  std::vector<swf::Tag> tags{swf::Tag{sound}, startSound(1, loopTwice), swf::Tag{swf::ShowFrame{}},
                             startSound(1, noMultiple), swf::Tag{swf::ShowFrame{}},
                             startSound(1, stop), swf::Tag{swf::ShowFrame{}}, swf::Tag{swf::ShowFrame{}}};
  const auto out = run(makeMovie(100, 100, tags, "FWS", 20), 4);  // 2205 frames per movie frame
  ASSERT_EQ(out.size(), 4u * 2205 * 2);
  for (std::size_t f = 0; f < 2205 * 2; ++f) ASSERT_EQ(out[f * 2], 100) << f;  // one voice, not two
  for (std::size_t f = 2205 * 2; f < 2205 * 4; ++f) ASSERT_EQ(out[f * 2], 0) << f;  // stopped at frame 3
}

// An ADPCM body of 4-bit codes (7 up, 15 down) written by hand; the command must
// deliver exactly what the decoder (checked on its own against hand-worked values)
// makes of it, at 44 kHz mono to both sides.
TEST_F(AudioCommand, AdpcmEventSoundDeliversTheDecodedSamples) {
  // Code size field 2 (4 bits), one packet: first sample 1000, index 20, codes alternating.
  swf::Bytes body;
  std::vector<int> bits;
  auto put = [&](std::uint32_t v, int n) {
    for (int i = n - 1; i >= 0; --i) bits.push_back((v >> i) & 1);
  };
  put(2, 2);
  put(1000, 16);
  put(20, 6);
  for (int i = 0; i < 200; ++i) put(i % 20 < 10 ? 7 : 15, 4);
  body.assign((bits.size() + 7) / 8, 0);
  for (std::size_t i = 0; i < bits.size(); ++i)
    if (bits[i]) body[i / 8] |= static_cast<std::uint8_t>(0x80 >> (i % 8));
  const auto expected = decodeAdpcm(body, false);
  ASSERT_EQ(expected.size(), 201u);
  swf::DefineSound sound{1, 1, 3, true, false, 201, body};
  const auto out = run(makeMovie(100, 100, frames({swf::Tag{sound}, startSound(1)}, 1), "FWS", 10), 1);
  for (std::size_t i = 0; i < expected.size(); ++i) {
    ASSERT_EQ(out[i * 2], expected[i]) << i;
    ASSERT_EQ(out[i * 2 + 1], expected[i]) << i;
  }
  EXPECT_EQ(out[201 * 2], 0);
}

// A stream sound whose block for frame k holds the value 10 * (k + 1): the output in
// the middle of every frame's period must carry that frame's value (or a neighbour's).
TEST_F(AudioCommand, StreamSoundStaysWithinOneFrameOfTheTimelineOverAMinute) {
  struct Case {
    std::uint8_t rateCode;
    double fps;
  };
  for (Case c : {Case{3, 12}, Case{0, 12}, Case{1, 15}}) {
    const int frameCount = static_cast<int>(60 * c.fps);
    const double sourceRate = halfHertzForRateCode(c.rateCode) / 2.0;
    swf::SoundStreamHead head;
    head.version = 2;
    head.playbackRate = head.streamRate = c.rateCode;
    head.playback16Bit = head.stream16Bit = true;
    head.compression = 3;
    head.sampleCount = static_cast<std::uint16_t>(sourceRate / c.fps);
    std::vector<swf::Tag> tags{swf::Tag{head}};
    // Blocks carry the samples that fall into their frame: counts vary when the
    // rate is not a multiple of the frame rate, as authoring tools write them.
    std::int64_t written = 0;
    for (int k = 0; k < frameCount; ++k) {
      const auto end = static_cast<std::int64_t>(std::llround((k + 1) * sourceRate / c.fps));
      std::vector<std::int16_t> block(static_cast<std::size_t>(end - written), static_cast<std::int16_t>(10 * (k + 1)));
      written = end;
      tags.push_back(swf::Tag{swf::SoundStreamBlock{littleEndian(block)}});
      tags.push_back(swf::Tag{swf::ShowFrame{}});
    }
    const auto out = run(makeMovie(100, 100, tags, "FWS", c.fps), frameCount);
    int worst = 0;
    for (int k = 0; k < frameCount; ++k) {
      const auto middle = static_cast<std::size_t>(std::llround((k + 0.5) * 44100 / c.fps));
      ASSERT_LT(middle * 2, out.size());
      const int heard = out[middle * 2] / 10 - 1;  // frame whose block is heard
      worst = std::max(worst, std::abs(heard - k));
    }
    EXPECT_LE(worst, 1) << "rate code " << int(c.rateCode) << " at " << c.fps << " fps";
  }
}

TEST_F(AudioCommand, BrokenMovieGivesAnErrorNotACrash) {
  const QString in = dir_.filePath("broken.swf");
  std::ofstream(in.toStdString(), std::ios::binary) << "FWS\x08garbage";
  QProcess tool;
  tool.start(PLAVEX_SWFTOOL, QStringList{"audio", in, "--frames", "3", "--out", dir_.filePath("x.wav")});
  ASSERT_TRUE(tool.waitForFinished(20000));
  EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
  tool.start(PLAVEX_SWFTOOL, QStringList{"audio", in});
  ASSERT_TRUE(tool.waitForFinished(20000));
  EXPECT_EQ(tool.exitCode(), 2);
}

}  // namespace
}  // namespace plavex::sound
