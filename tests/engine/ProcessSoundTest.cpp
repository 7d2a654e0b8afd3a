// The process-wide sound settings: every control plays through the one mixer of the
// process, so the volume scales and the audio switch silences all of them at once
// (the main movie, previews and probes alike).

#include <gtest/gtest.h>

#include <QCoreApplication>

#include "engine/control/FlashPlayerControl.h"
#include "engine/sound/AudioOutput.h"
#include "tests/engine/Fixtures.h"

namespace plavex::engine {
namespace {

using namespace test;

// A movie whose first frame starts a long looping sound of constant level `level`.
QByteArray constantSoundMovie(std::int16_t level) {
  swf::DefineSound sound;
  sound.id = 1;
  sound.format = 3;  // uncompressed, little-endian
  sound.rate = 3;    // 44 kHz
  sound.is16Bit = true;
  sound.sampleCount = 4410;
  for (std::uint32_t i = 0; i < sound.sampleCount; ++i) {
    sound.data.push_back(static_cast<std::uint8_t>(level & 0xff));
    sound.data.push_back(static_cast<std::uint8_t>((level >> 8) & 0xff));
  }
  swf::StartSound start;
  start.soundId = 1;
  start.info.loopCount = 60000;
  return toBytes(makeMovie(20, 20, {Tag{sound}, Tag{start}, Tag{swf::ShowFrame{}}, Tag{swf::ShowFrame{}}}));
}

// Left channel of a block pulled from the process mixer at the process level.
int mixedLeft() {
  std::vector<std::int16_t> block(512);
  sound::processMixer().pull(block, TFlashPlayerControl::processMixLevel());
  return block[256];
}

TEST(ProcessSound, VolumeScalesAndTheSwitchSilencesEveryControl) {
  TFlashPlayerControl mainMovie, preview;
  ASSERT_TRUE(mainMovie.LoadMovieFromStream(0, constantSoundMovie(6000)));
  ASSERT_TRUE(preview.LoadMovieFromStream(0, constantSoundMovie(4000)));
  TFlashPlayerControl::setAudioEnabled(true);

  TFlashPlayerControl::setAudioVolume(100);
  EXPECT_NEAR(mixedLeft(), 10000, 2);
  TFlashPlayerControl::setAudioVolume(50);
  EXPECT_NEAR(mixedLeft(), 5000, 2);
  TFlashPlayerControl::setAudioVolume(250);  // out of range: clamped
  EXPECT_EQ(TFlashPlayerControl::audioVolume(), 100);

  TFlashPlayerControl::setAudioEnabled(false);
  EXPECT_EQ(mixedLeft(), 0);
  // The sounds go on in time while silenced and are heard again when switched back on.
  TFlashPlayerControl::setAudioEnabled(true);
  EXPECT_NEAR(mixedLeft(), 10000, 2);

  // A control that unloads its movie stops its sounds; the others play on.
  preview.setMovie(QStringLiteral("none"));
  EXPECT_NEAR(mixedLeft(), 6000, 2);
}

}  // namespace
}  // namespace plavex::engine
