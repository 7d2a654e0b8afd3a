// Decoders and rate conversion: exact samples where the format defines them, a
// test-side encoder for ADPCM, a tone encoded at test time for MP3.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "engine/sound/Decoders.h"
#include "engine/sound/MovieSound.h"
#include "engine/sound/Resampler.h"
#include "engine/core/Player.h"
#include "engine/sound/Mixer.h"
#include "tests/sound/Mp3Fixture.h"


namespace plavex::sound {
namespace {

// ---- rate conversion -------------------------------------------------------------

TEST(Resampler, FullRateStereoPassesUnchanged) {
  Resampler r(kMixHalfHertz, 2);
  std::vector<std::int16_t> in{1, -1, 300, -300, 32767, -32768}, out;
  r.push(in, out);
  r.finish(out);
  EXPECT_EQ(out, in);
}

TEST(Resampler, LowerRatesKeepEveryInputSampleAndInterpolateBetween) {
  struct Case {
    int rateCode, factor;
  };
  for (Case c : {Case{0, 8}, Case{1, 4}, Case{2, 2}}) {
    Resampler r(halfHertzForRateCode(c.rateCode), 1);
    std::vector<std::int16_t> in{0, 800, -800, 1600}, out;
    // In two chunks: the conversion carries its position across them.
    r.push(std::span(in).first(1), out);
    r.push(std::span(in).subspan(1), out);
    r.finish(out);
    ASSERT_EQ(out.size(), in.size() * static_cast<std::size_t>(c.factor) * 2) << c.rateCode;
    for (std::size_t i = 0; i < in.size(); ++i) {
      EXPECT_EQ(out[i * c.factor * 2], in[i]);      // left
      EXPECT_EQ(out[i * c.factor * 2 + 1], in[i]);  // mono goes to both sides
    }
    // Halfway between 0 and 800.
    EXPECT_EQ(out[(c.factor / 2) * 2], 400) << c.rateCode;
    // After the last input sample it is held.
    EXPECT_EQ(out[out.size() - 2], 1600);
  }
}

TEST(Resampler, NonIntegerRatioKeepsLengthOverLongInput) {
  Resampler r(16000, 1);  // 8 kHz
  std::vector<std::int16_t> in(8000 * 60, 5), out;
  for (std::size_t at = 0; at < in.size(); at += 333) r.push(std::span(in).subspan(at, std::min<std::size_t>(333, in.size() - at)), out);
  r.finish(out);
  EXPECT_NEAR(static_cast<double>(out.size() / 2), 44100.0 * 60, 6);
}

// ---- uncompressed ----------------------------------------------------------------

TEST(RawDecoder, EightBitIsUnsignedAndSixteenBitLittleEndian) {
  const std::vector<std::uint8_t> eight{0, 128, 255};
  EXPECT_EQ(decodeRaw(eight, false, false), (std::vector<std::int16_t>{-32768, 0, 32512}));
  const std::vector<std::uint8_t> sixteen{0x34, 0x12, 0xff, 0xff, 0x00, 0x80, 0x7f};  // trailing odd byte dropped
  EXPECT_EQ(decodeRaw(sixteen, true, false), (std::vector<std::int16_t>{0x1234, -1, -32768}));
  for (std::uint8_t codec : {0, 3}) {
    auto d = makeDecoder(SoundShape{codec, 3, true, true});
    ASSERT_TRUE(d);
    std::vector<std::int16_t> out;
    d->decode(sixteen, out);
    EXPECT_EQ(out, (std::vector<std::int16_t>{0x1234, -1, -32768}));
    EXPECT_EQ(d->channels(), 2);
    EXPECT_EQ(d->halfHertz(), 88200);
  }
}

// ---- ADPCM -----------------------------------------------------------------------

// Writes bit fields most significant bit first, as SWF does.
class BitWriter {
 public:
  void put(std::uint32_t value, int bits) {
    for (int i = bits - 1; i >= 0; --i) {
      if (used_ % 8 == 0) bytes_.push_back(0);
      if ((value >> i) & 1) bytes_.back() |= static_cast<std::uint8_t>(0x80 >> (used_ % 8));
      ++used_;
    }
  }
  std::vector<std::uint8_t> bytes() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
  std::size_t used_ = 0;
};

// A textbook IMA-style encoder for n-bit codes: quantise the difference bit by bit,
// track the decoder's prediction. Written from the codec's description, not from the
// decoder under test (the step table is the published IMA one).
struct TestAdpcmEncoder {
  int bits;
  int predicted = 0, index = 0;
  std::uint32_t encode(int target) {
    static constexpr int kIndex[4][16] = {{-1, 2},
                                          {-1, -1, 2, 4},
                                          {-1, -1, -1, -1, 2, 4, 6, 8},
                                          {-1, -1, -1, -1, -1, -1, -1, -1, 1, 2, 4, 6, 8, 10, 13, 16}};
    int step = kAdpcmSteps[index];
    int diff = target - predicted;
    std::uint32_t code = 0;
    if (diff < 0) {
      code = 1u << (bits - 1);
      diff = -diff;
    }
    int reconstructed = step >> (bits - 1);
    for (int bit = bits - 2; bit >= 0; --bit) {
      if (diff >= step) {
        code |= 1u << bit;
        diff -= step;
        reconstructed += step;
      }
      step >>= 1;
    }
    predicted = std::clamp((code >> (bits - 1)) ? predicted - reconstructed : predicted + reconstructed, -32768, 32767);
    index = std::clamp(index + kIndex[bits - 2][code & ((1u << (bits - 1)) - 1)], 0, 88);
    return code;
  }
};

std::vector<std::uint8_t> encodeAdpcm(const std::vector<std::int16_t>& interleaved, int channels, int bits) {
  BitWriter w;
  w.put(static_cast<std::uint32_t>(bits - 2), 2);
  const std::size_t frames = interleaved.size() / static_cast<std::size_t>(channels);
  for (std::size_t start = 0; start < frames; start += 4096) {
    TestAdpcmEncoder enc[2]{{bits}, {bits}};
    for (int c = 0; c < channels; ++c) {
      const int first = interleaved[start * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)];
      w.put(static_cast<std::uint16_t>(first), 16);
      w.put(0, 6);
      enc[c].predicted = first;
    }
    for (std::size_t f = start + 1; f < std::min(frames, start + 4096); ++f)
      for (int c = 0; c < channels; ++c)
        w.put(enc[c].encode(interleaved[f * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)]), bits);
  }
  return w.bytes();
}

TEST(AdpcmDecoder, KnownFourBitSteps) {
  // Hand-worked: start 0 at index 0 (step 7). Code 7 adds 7/8+7+7/2+7/4 = 0+7+3+1 = 11
  // and moves the index by 8 (step 16): the next 7 adds 2+16+8+4 = 30. Code 15 (sign
  // set) at index 16 (step 34) subtracts 4+34+17+8 = 63 from 41: -22.
  BitWriter w;
  w.put(2, 2);
  w.put(0, 16);
  w.put(0, 6);
  for (std::uint32_t code : {7u, 7u, 15u, 0u}) w.put(code, 4);
  const auto out = decodeAdpcm(w.bytes(), false);
  // Index after 15 is 24 (step 73); code 0 adds 73/8 = 9.
  EXPECT_EQ(out, (std::vector<std::int16_t>{0, 11, 41, -22, -13}));
}

TEST(AdpcmDecoder, KnownTwoBitSteps) {
  // 2-bit codes: magnitude 0 adds step/2 and lowers the index, 1 adds 1.5 steps and raises it by 2.
  BitWriter w;
  w.put(0, 2);
  w.put(static_cast<std::uint16_t>(-100), 16);
  w.put(10, 6);  // step 19
  for (std::uint32_t code : {1u, 3u, 0u}) w.put(code, 2);
  // -100 + (9 + 19) = -72, index 12 (step 23); -72 - (11 + 23) = -106, index 14 (step 28); -106 + 14 = -92.
  // The last byte's two padding bits read as one more code: the declared sample count
  // cuts such tails off.
  auto out = decodeAdpcm(w.bytes(), false);
  ASSERT_EQ(out.size(), 5u);
  out.pop_back();
  EXPECT_EQ(out, (std::vector<std::int16_t>{-100, -72, -106, -92}));
}

double snrDb(const std::vector<std::int16_t>& ref, const std::vector<std::int16_t>& got) {
  double signal = 0, noise = 0;
  for (std::size_t i = 0; i < ref.size(); ++i) {
    signal += double(ref[i]) * ref[i];
    noise += (double(ref[i]) - got[i]) * (double(ref[i]) - got[i]);
  }
  return 10 * std::log10(signal / std::max(noise, 1.0));
}

TEST(AdpcmDecoder, RoundTripOfEveryCodeSizeMonoAndStereoOverSeveralPackets) {
  // 10000 frames: three packets, the last one short; packets are not byte aligned.
  const std::size_t frames = 10000;
  for (int channels : {1, 2}) {
    std::vector<std::int16_t> wave;
    for (std::size_t f = 0; f < frames; ++f)
      for (int c = 0; c < channels; ++c)
        wave.push_back(static_cast<std::int16_t>(12000 * std::sin(2 * std::numbers::pi * (440.0 + 220 * c) * f / 22050)));
    // Fewer bits, more noise; each size still follows the wave.
    const double minimumSnr[] = {6, 12, 18, 22};
    for (int bits = 2; bits <= 5; ++bits) {
      auto decoded = decodeAdpcm(encodeAdpcm(wave, channels, bits), channels == 2);
      // Padding bits of the last byte may read as one more frame of codes.
      ASSERT_GE(decoded.size(), wave.size()) << bits << " bits, " << channels << " channels";
      ASSERT_LE(decoded.size(), wave.size() + static_cast<std::size_t>(channels * (7 / (bits * channels))));
      decoded.resize(wave.size());
      EXPECT_GT(snrDb(wave, decoded), minimumSnr[bits - 2]) << bits << " bits, " << channels << " channels";
      // The first sample of every packet is stored exactly.
      for (std::size_t p = 0; p < frames; p += 4096)
        for (int c = 0; c < channels; ++c)
          EXPECT_EQ(decoded[p * channels + c], wave[p * channels + c]);
    }
  }
}

TEST(AdpcmDecoder, TruncatedAndHostileDataDecodeWithoutFault) {
  std::mt19937 random(7);
  for (int round = 0; round < 200; ++round) {
    std::vector<std::uint8_t> bytes(random() % 600);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
    const auto out = decodeAdpcm(bytes, round % 2);
    EXPECT_LE(out.size(), bytes.size() * 8);  // never more samples than bits
  }
  EXPECT_TRUE(decodeAdpcm({}, false).empty());
}

// ---- compressed codecs through the libraries ---------------------------------------

TEST(CompressedDecoders, GarbageDecodesWithoutFault) {
  std::mt19937 random(11);
  for (std::uint8_t codec : {2, 4, 5, 6, 7, 8, 11}) {
    auto decoder = makeDecoder(SoundShape{codec, 1, true, false});
    ASSERT_TRUE(decoder) << int(codec);
    for (int round = 0; round < 20; ++round) {
      std::vector<std::uint8_t> bytes(random() % 2000);
      for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
      std::vector<std::int16_t> out;
      decoder->decode(bytes, out);
    }
  }
}

TEST(CompressedDecoders, G711DecodesOneSamplePerByte) {
  // A-law 0xD5 and mu-law 0xFF are the codes nearest to zero.
  for (auto [codec, zero] : {std::pair<std::uint8_t, std::uint8_t>{7, 0xD5}, {8, 0xFF}}) {
    auto decoder = makeDecoder(SoundShape{codec, 1, true, false});
    std::vector<std::uint8_t> bytes(3000, zero);
    std::vector<std::int16_t> out;
    decoder->decode(bytes, out);
    ASSERT_EQ(out.size(), bytes.size()) << int(codec);
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](auto s) { return std::abs(s) <= 8; })) << int(codec);
  }
}

// Zero crossings per second of the left channel: twice the tone's frequency.
double crossingsPerSecond(const std::vector<std::int16_t>& stereo, std::size_t from, std::size_t to) {
  int crossings = 0;
  for (std::size_t f = from + 1; f < to; ++f)
    if ((stereo[(f - 1) * 2] < 0) != (stereo[f * 2] < 0)) ++crossings;
  return crossings * 44100.0 / double(to - from);
}

TEST(Mp3Decoder, EventSoundOfAnEncodedToneDecodesToThatTone) {
  auto mp3 = encodeMp3Tone(441, 22050, 2);
  if (!mp3) GTEST_SKIP() << "no MP3 encoder in this libavcodec";
  swf::DefineSound sound;
  sound.id = 1;
  sound.format = 2;
  sound.rate = 2;  // 22 kHz
  sound.is16Bit = true;
  sound.sampleCount = 22050 * 2;
  sound.data = {0, 0};  // seek samples
  sound.data.insert(sound.data.end(), mp3->begin(), mp3->end());
  auto samples = decodeEventSound(sound);
  ASSERT_TRUE(samples);
  const std::size_t frames = samples->size() / 2;
  EXPECT_NEAR(double(frames), 44100.0 * 2, 50);  // cut to the declared count, at 44.1 kHz
  EXPECT_NEAR(crossingsPerSecond(*samples, 4410, frames - 4410), 882, 10);
  double peak = 0;
  for (std::size_t f = 4410; f < frames - 4410; ++f) peak = std::max(peak, std::abs(double((*samples)[f * 2])));
  EXPECT_NEAR(peak, 16384, 2000);
  for (std::size_t f = 0; f < frames; ++f) ASSERT_EQ((*samples)[f * 2], (*samples)[f * 2 + 1]);  // mono to both sides
}

TEST(Mp3Stream, StreamBlocksOfAnEncodedToneKeepTheToneAndTheTimeline) {
  auto mp3 = encodeMp3Tone(441, 44100, 10);
  if (!mp3) GTEST_SKIP() << "no MP3 encoder in this libavcodec";
  const auto frames = mp3Frames(*mp3);
  ASSERT_GT(frames.size(), 300u);
  const double fps = 10;
  const int movieFrames = 90;
  const swf::Movie movie = mp3StreamMovie(frames, fps, movieFrames);
  Mixer mixer;
  MovieSound sound(mixer);
  engine::Player player(engine::buildMovie(movie), nullptr, &sound);
  std::vector<std::int16_t> out, block(4410 * 2);
  for (int k = 0; k < movieFrames; ++k) {
    if (k > 0) player.tick();
    mixer.pull(block, {});
    out.insert(out.end(), block.begin(), block.end());
  }
  const std::size_t total = out.size() / 2;
  // After the codec's start-up the tone sounds without gaps to the end of the movie.
  EXPECT_NEAR(crossingsPerSecond(out, 4410, total - 4410), 882, 10);
  for (std::size_t f = 4410; f + 441 < total - 4410; f += 441) {
    double peak = 0;
    for (std::size_t i = f; i < f + 441; ++i) peak = std::max(peak, std::abs(double(out[i * 2])));
    ASSERT_GT(peak, 12000) << "gap at frame " << f;
  }
  // The stream holds at most a frame's worth more than was played.
  EXPECT_LE(mixer.streamBacklog(sound.owner(), reinterpret_cast<Mixer::StreamKey>(&player.root())), 4410u + 1152u);
}

}  // namespace
}  // namespace plavex::sound
