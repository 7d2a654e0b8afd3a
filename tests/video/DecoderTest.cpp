// The stream decoders on frames made by libavcodec's encoders: pictures, key frames,
// cropping to the declared size, deblocking as the stream asks, and broken data.

#include <gtest/gtest.h>

#include <random>

#include "engine/video/VideoDecoder.h"
#include "engine/video/YuvToRgba.h"
#include "tests/video/EncodedVideo.h"

namespace plavex::engine::video {
namespace {

using test::YuvImage;

std::uint32_t argb(Rgb c) { return 0xFF000000u | std::uint32_t(c.r) << 16 | std::uint32_t(c.g) << 8 | c.b; }

std::unique_ptr<VideoDecoder> decoderFor(StreamFormat f) {
  auto created = VideoDecoder::create(f);
  EXPECT_TRUE(created.decoder) << created.error;
  return std::move(created.decoder);
}

TEST(VideoDecoder, H263PicturesDecodeToTheirColours) {
  YuvImage picture(32, 16, 64);
  picture.fillRect(16, 0, 16, 16, 200, 90, 240);
  auto frames = test::encodeH263({picture}, {.keyInterval = 1, .quantizer = 1});
  auto decoder = decoderFor({2, 32, 16, 1});
  auto result = decoder->decode(frames[0]);
  ASSERT_TRUE(result.ok()) << result.error;
  ASSERT_EQ(result.picture.width, 32);
  ASSERT_EQ(result.picture.height, 16);
  EXPECT_EQ(result.picture.pixels[8 * 32 + 4], argb(yuvToRgb(64, 128, 128)));
  EXPECT_EQ(result.picture.pixels[8 * 32 + 28], argb(yuvToRgb(200, 90, 240)));
}

TEST(VideoDecoder, PicturesAreCroppedToTheDeclaredSize) {
  auto frames = test::encodeH263({YuvImage(48, 32, 100)}, {.keyInterval = 1});
  auto decoder = decoderFor({2, 40, 20, 1});
  auto result = decoder->decode(frames[0]);
  ASSERT_TRUE(result.ok());
  EXPECT_EQ(result.picture.width, 40);
  EXPECT_EQ(result.picture.height, 20);
  // A declared size larger than the coded one keeps the coded size (the renderer scales).
  auto larger = decoderFor({2, 64, 64, 1})->decode(frames[0]);
  EXPECT_EQ(larger.picture.width, 48);
  EXPECT_EQ(larger.picture.height, 32);
}

TEST(VideoDecoder, DeblockingFollowsTheStreamFlagOverThePicturesFlag) {
  // Noise at a coarse quantizer leaves block edges for the filter to smooth; the encoder
  // marks its pictures for deblocking.
  std::mt19937 rng(7);
  YuvImage picture(64, 64);
  for (auto& s : picture.y) s = static_cast<std::uint8_t>(60 + rng() % 40);
  auto frames = test::encodeH263({picture}, {.keyInterval = 1, .quantizer = 20});
  auto off = decoderFor({2, 64, 64, 1})->decode(frames[0]);
  auto asPicture = decoderFor({2, 64, 64, 0})->decode(frames[0]);
  auto on = decoderFor({2, 64, 64, 2})->decode(frames[0]);
  ASSERT_TRUE(off.ok() && asPicture.ok() && on.ok());
  EXPECT_NE(off.picture, on.picture);
  EXPECT_EQ(asPicture.picture, on.picture);
  // Only pixels next to the 8-pixel grid change.
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      const bool nearEdge = (x % 8 <= 1 || x % 8 >= 6) || (y % 8 <= 1 || y % 8 >= 6);
      if (!nearEdge) {
        EXPECT_EQ(off.picture.pixels[y * 64 + x], on.picture.pixels[y * 64 + x]) << x << "," << y;
      }
    }
}

TEST(VideoDecoder, KeyFramesAreToldFromTheirData) {
  std::vector<YuvImage> pictures;
  for (int i = 0; i < 4; ++i) pictures.emplace_back(32, 32, static_cast<std::uint8_t>(50 + 20 * i));
  auto h263 = test::encodeH263(pictures, {.keyInterval = 3});
  EXPECT_TRUE(VideoDecoder::isKeyFrame(2, h263[0]));
  EXPECT_FALSE(VideoDecoder::isKeyFrame(2, h263[1]));
  EXPECT_TRUE(VideoDecoder::isKeyFrame(2, h263[3]));
  // VP6: the first bit of the frame (after the alpha offset with alpha) clear is a key frame.
  EXPECT_TRUE(VideoDecoder::isKeyFrame(4, std::vector<std::uint8_t>{0x64, 0x30}));
  EXPECT_FALSE(VideoDecoder::isKeyFrame(4, std::vector<std::uint8_t>{0xE4, 0x30}));
  EXPECT_TRUE(VideoDecoder::isKeyFrame(5, std::vector<std::uint8_t>{0x00, 0x10, 0x00, 0x64}));
  EXPECT_FALSE(VideoDecoder::isKeyFrame(5, std::vector<std::uint8_t>{0x00, 0x10, 0x00, 0x84}));
  EXPECT_FALSE(VideoDecoder::isKeyFrame(5, std::vector<std::uint8_t>{0x64}));
  EXPECT_FALSE(VideoDecoder::isKeyFrame(2, {}));
}

std::vector<test::BgrImage> screenPictures() {
  std::vector<test::BgrImage> pictures;
  for (int i = 0; i < 3; ++i) {
    test::BgrImage p{40, 24, std::vector<std::uint8_t>(40 * 24 * 3, 0)};
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 10; ++x) {
        auto* px = &p.bgr[static_cast<std::size_t>((y * 40 + x + 10 * i) * 3)];
        px[0] = 255, px[1] = 0, px[2] = 0;  // a blue bar moving right
      }
    pictures.push_back(std::move(p));
  }
  return pictures;
}

TEST(VideoDecoder, ScreenVideoFramesDecodeExactly) {
  for (bool v2 : {false, true}) {
    SCOPED_TRACE(v2 ? "version 2" : "version 1");
    auto pictures = screenPictures();
    // Version 2 frames all key frames: libavcodec's encoder and decoder disagree on its others.
    auto frames = test::encodeScreenVideo(pictures, v2, v2 ? 1 : 2);
    ASSERT_EQ(frames.size(), 3u);
    ASSERT_FALSE(frames[0].empty());
    EXPECT_TRUE(VideoDecoder::isKeyFrame(v2 ? 6 : 3, frames[0]));
    auto decoder = decoderFor({static_cast<std::uint8_t>(v2 ? 6 : 3), 40, 24, 0});
    for (std::size_t i = 0; i < frames.size(); ++i) {
      if (frames[i].empty()) continue;  // the encoder may send nothing for an unchanged picture
      auto r = decoder->decode(frames[i]);
      ASSERT_TRUE(r.ok()) << r.error;
      for (int x : {0, 9, 10, 19, 25, 39}) {
        const bool blue = x >= static_cast<int>(10 * i) && x < static_cast<int>(10 * i + 10);
        EXPECT_EQ(r.picture.pixels[12 * 40 + x], blue ? 0xFF0000FFu : 0xFF000000u) << "frame " << i << " x " << x;
      }
    }
  }
}

TEST(VideoDecoder, BrokenDataGivesErrorsAndKeepsWorking) {
  auto frames = test::encodeH263({YuvImage(32, 32, 80), YuvImage(32, 32, 160)}, {.keyInterval = 1});
  auto decoder = decoderFor({2, 32, 32, 1});
  std::mt19937 rng(3);
  for (int round = 0; round < 50; ++round) {
    std::vector<std::uint8_t> junk = frames[0];
    junk.resize(rng() % junk.size());
    for (int k = 0; k < 6 && !junk.empty(); ++k) junk[rng() % junk.size()] = static_cast<std::uint8_t>(rng());
    (void)decoder->decode(junk);  // any result but a crash or a hang
  }
  // A picture header asking for 65535 x 65535 is refused before any allocation.
  const std::vector<std::uint8_t> huge = {0x00, 0x00, 0x80, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x81, 0x00, 0x00, 0x00};
  EXPECT_FALSE(decoder->decode(huge).ok());
  decoder->reset();
  auto good = decoder->decode(frames[1]);
  ASSERT_TRUE(good.ok()) << good.error;
  EXPECT_EQ(good.picture.pixels[100], argb(yuvToRgb(160, 128, 128)));
}

TEST(VideoDecoder, MutatedFramesOfEveryCodecNeverCrash) {
  // Real frames where an encoder exists; VP6 key-frame headers of a small picture followed by noise.
  auto pictures = screenPictures();
  const std::pair<std::uint8_t, std::vector<std::uint8_t>> seeds[] = {
      {2, test::encodeH263({YuvImage(48, 32, 90)}, {.keyInterval = 1})[0]},
      {3, test::encodeScreenVideo(pictures, false)[0]},
      {6, test::encodeScreenVideo(pictures, true, 1)[0]},
      {4, {0x64, 0x30, 0x02, 0x03, 0x02, 0x03, 0x1e, 0x28, 0x15, 0xfb, 0xfd, 0xec, 0x06, 0xd7}},
      {5, {0x00, 0x00, 0x10, 0x64, 0x30, 0x02, 0x03, 0x02, 0x03, 0x1e, 0x28, 0x15, 0xfb, 0xfd, 0xec}},
  };
  std::mt19937 rng(11);
  for (const auto& [codec, seed] : seeds) {
    SCOPED_TRACE(int(codec));
    ASSERT_FALSE(seed.empty());
    auto decoder = decoderFor({codec, 48, 32, 0});
    for (int round = 0; round < 100; ++round) {
      std::vector<std::uint8_t> data = seed;
      if (codec == 4 || codec == 5)
        for (int k = 0; k < 200; ++k) data.push_back(static_cast<std::uint8_t>(rng()));
      const int edits = 1 + static_cast<int>(rng() % 8);
      for (int k = 0; k < edits; ++k) data[3 + rng() % (data.size() - 3)] = static_cast<std::uint8_t>(rng());
      if (rng() % 3 == 0) data.resize(1 + rng() % data.size());
      auto r = decoder->decode(data);
      if (r.ok()) {
        EXPECT_FALSE(r.picture.empty());
      }
    }
  }
}

TEST(VideoDecoder, EmptyFramesRepeatTheLastPicture) {
  auto frames = test::encodeH263({YuvImage(16, 16, 120)}, {.keyInterval = 1});
  auto decoder = decoderFor({2, 16, 16, 1});
  EXPECT_FALSE(decoder->decode({}).ok());  // nothing to repeat yet
  auto first = decoder->decode(frames[0]);
  ASSERT_TRUE(first.ok());
  auto again = decoder->decode({});
  ASSERT_TRUE(again.ok());
  EXPECT_EQ(again.picture, first.picture);
}

TEST(VideoDecoder, UnknownCodecsAreRefused) {
  for (std::uint8_t codec : {0, 1, 7, 255}) {
    auto created = VideoDecoder::create({codec, 16, 16, 0});
    EXPECT_FALSE(created.decoder);
    EXPECT_FALSE(created.error.empty());
  }
}

}  // namespace
}  // namespace plavex::engine::video
