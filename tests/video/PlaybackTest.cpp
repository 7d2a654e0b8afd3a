// Embedded video in the player: the frame a placement's ratio asks for, seeking from key
// frames, frames without data, broken data, and the picture drawn at the stream's size.

#include <gtest/gtest.h>

#include <QGuiApplication>

#include "engine/core/Player.h"
#include "engine/core/VideoPlayback.h"
#include "engine/render/StageRenderer.h"
#include "engine/video/YuvToRgba.h"
#include "tests/engine/Fixtures.h"
#include "tests/video/EncodedVideo.h"

namespace plavex::engine {
namespace {

using namespace test;
using video::test::YuvImage;

const Tag kShow{swf::ShowFrame{}};

// Flat grey of frame i: multiples of 8 survive H.263 intra coding exactly.
std::uint8_t lumaOf(int frame) { return static_cast<std::uint8_t>(48 + 16 * frame); }
QRgb greyOf(int frame) {
  auto rgb = video::yuvToRgb(lumaOf(frame), 128, 128);
  return qRgb(rgb.r, rgb.g, rgb.b);
}

swf::DefineVideoStream streamDef(int frames, int w, int h, std::uint8_t deblocking = 1, std::uint8_t codec = 2) {
  swf::DefineVideoStream s;
  s.id = 1;
  s.numFrames = static_cast<std::uint16_t>(frames);
  s.width = static_cast<std::uint16_t>(w);
  s.height = static_cast<std::uint16_t>(h);
  s.deblocking = deblocking;
  s.codecId = codec;
  return s;
}

swf::PlaceObject ratioMove(int ratio) {
  swf::PlaceObject p;
  p.move = true;
  p.depth = 1;
  p.ratio = static_cast<std::uint16_t>(ratio);
  return p;
}

struct VideoMovieOptions {
  int frames = 8;
  int keyInterval = 4;
  int streamSize = 32;        // declared size (pixels); the coded pictures are 32x32
  std::vector<int> withoutData;  // timeline frames whose VideoFrame is missing
  std::vector<int> broken;       // timeline frames whose VideoFrame is garbage
};

// A movie showing one 32x32 video at (8, 8) on a black 64x64 stage; timeline frame i
// shows video frame i (ratio i), a flat grey of its own.
swf::Movie videoMovie(const VideoMovieOptions& o) {
  std::vector<YuvImage> pictures;
  for (int i = 0; i < o.frames; ++i) pictures.emplace_back(32, 32, lumaOf(i));
  auto encoded = video::test::encodeH263(pictures, {.keyInterval = o.keyInterval, .quantizer = 2});
  std::vector<Tag> tags{Tag{swf::SetBackgroundColor{{0, 0, 0, 255}}}, Tag{streamDef(o.frames, o.streamSize, o.streamSize)}};
  auto has = [](const std::vector<int>& v, int i) { return std::find(v.begin(), v.end(), i) != v.end(); };
  for (int i = 0; i < o.frames; ++i) {
    if (i == 0) {
      auto p = place(1, 1, 160, 160);
      p.ratio = 0;
      tags.push_back(Tag{p});
    } else {
      tags.push_back(Tag{ratioMove(i)});
    }
    if (has(o.broken, i))
      tags.push_back(Tag{swf::VideoFrame{1, static_cast<std::uint16_t>(i), swf::Bytes(40, 0x5A)}});
    else if (!has(o.withoutData, i))
      tags.push_back(Tag{swf::VideoFrame{1, static_cast<std::uint16_t>(i), encoded[static_cast<std::size_t>(i)]}});
    tags.push_back(kShow);
  }
  return makeMovie(64, 64, tags);
}

QImage render(const Player& player) {
  render::StageRenderer renderer;
  render::StageOptions o;
  o.viewport = QSize(64, 64);
  return renderer.render(player, o).copy();
}

QRgb at(const QImage& image, int x, int y) { return image.pixel(x, y) | 0xFF000000u; }

const VideoPlayback& videoOf(const Player& p) {
  const DisplayObject* object = p.displayList().at(1);
  EXPECT_TRUE(object && object->video);
  return *object->video;
}

TEST(VideoPlayback, EachTimelineFrameShowsTheVideoFrameOfItsRatio) {
  Player p(buildMovie(videoMovie({})));
  for (int i = 0; i < 8; ++i) {
    QImage image = render(p);
    EXPECT_EQ(at(image, 20, 20), greyOf(i)) << "frame " << i;
    EXPECT_EQ(at(image, 4, 4), qRgb(0, 0, 0)) << "outside the video, frame " << i;
    p.tick();
  }
}

TEST(VideoPlayback, GoingBackDecodesFromTheNearestKeyFrame) {
  Player p(buildMovie(videoMovie({.frames = 8, .keyInterval = 4})));
  p.gotoFrame(7);
  EXPECT_EQ(at(render(p), 20, 20), greyOf(7));
  // Frames 4..7 were needed (the key frame 4 and what follows it), not 0..3.
  const std::uint64_t forward = videoOf(p).decodedCount();
  EXPECT_EQ(forward, 1u /* frame 0 shown first */ + 4u);
  p.gotoFrame(2);
  EXPECT_EQ(at(render(p), 20, 20), greyOf(2));
  EXPECT_EQ(videoOf(p).decodedCount() - forward, 3u);  // 0, 1, 2
  p.gotoFrame(3);  // one on: no new start
  EXPECT_EQ(at(render(p), 20, 20), greyOf(3));
  EXPECT_EQ(videoOf(p).decodedCount() - forward, 4u);
}

TEST(VideoPlayback, FramesWithoutDataOrWithBrokenDataKeepTheLastPicture) {
  Player p(buildMovie(videoMovie({.frames = 6, .keyInterval = 1, .withoutData = {2}, .broken = {4}})));
  const QRgb expected[] = {greyOf(0), greyOf(1), greyOf(1), greyOf(3), greyOf(3), greyOf(5)};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(at(render(p), 20, 20), expected[i]) << "frame " << i;
    p.tick();
  }
}

TEST(VideoPlayback, ThePictureIsScaledToTheDeclaredStreamSize) {
  // Declared 48x48 while the coded pictures are 32x32: drawn over 48x48 pixels.
  Player p(buildMovie(videoMovie({.frames = 1, .streamSize = 48})));
  QImage image = render(p);
  EXPECT_EQ(at(image, 8, 8), greyOf(0));
  EXPECT_EQ(at(image, 55, 55), greyOf(0));
  EXPECT_EQ(at(image, 57, 57), qRgb(0, 0, 0));
}

TEST(VideoPlayback, BrokenStreamsNeverCrash) {
  // Every codec, a stream of garbage, truncated data and nothing at all.
  for (std::uint8_t codec : {2, 3, 4, 5, 6, 7, 0}) {
    std::vector<Tag> tags{Tag{streamDef(4, 16, 16, 0, codec)}, Tag{place(1, 1)}};
    const std::vector<swf::Bytes> frames = {
        {}, {0x00, 0x00, 0x84}, swf::Bytes(300, 0xFF), {0x00, 0x00, 0x84, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x12}};
    for (std::size_t i = 0; i < frames.size(); ++i) {
      if (i) tags.push_back(Tag{ratioMove(static_cast<int>(i))});
      tags.push_back(Tag{swf::VideoFrame{1, static_cast<std::uint16_t>(i), frames[i]}});
      tags.push_back(kShow);
    }
    Player p(buildMovie(makeMovie(16, 16, tags)));
    for (int i = 0; i < 5; ++i) {
      render(p);
      p.tick();
    }
    p.gotoFrame(0);
    render(p);
    EXPECT_TRUE(videoOf(p).picture().empty()) << int(codec);
  }
}

}  // namespace
}  // namespace plavex::engine

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
