// Broken and hostile movies: read as far as they are sound, never more.

#include <gtest/gtest.h>
#include <zlib.h>

#include "engine/format/SwfReader.h"
#include "engine/format/SwfWriter.h"
#include "tools/mkmovies/BuiltinMovies.h"

namespace {

using namespace plavex;
using namespace plavex::swf;

Movie base(std::vector<Tag> tags, const std::string& sig = "FWS") {
  Movie m;
  m.header.signature = sig;
  m.header.version = 10;
  m.header.stage = Rect{0, 2000, 0, 2000};
  m.header.frameRate = 12;
  m.header.frameCount = 1;
  m.tags = std::move(tags);
  return m;
}

std::vector<std::uint8_t> bytesOf(const Movie& m) {
  WriteResult w = writeSwf(m);
  EXPECT_TRUE(w.ok()) << w.error;
  return w.bytes;
}

// FWS body with a hand-made tag appended after the header (rectangle 0,0,0,0 = 1 byte).
std::vector<std::uint8_t> fwsWithBody(std::vector<std::uint8_t> tags, std::uint32_t statedLength = 0) {
  std::vector<std::uint8_t> f = {'F', 'W', 'S', 10, 0, 0, 0, 0, 0x00, 0, 12, 1, 0};
  f.insert(f.end(), tags.begin(), tags.end());
  std::uint32_t len = statedLength ? statedLength : static_cast<std::uint32_t>(f.size());
  for (int i = 0; i < 4; ++i) f[4 + i] = static_cast<std::uint8_t>(len >> (8 * i));
  return f;
}

TEST(Robustness, TruncatedMovieKeepsTheTagsBeforeTheCut) {
  Movie m = mkmovies::makeStartMovie();
  m.header.signature = "FWS";
  auto full = bytesOf(m);
  for (std::size_t cut : {full.size() - 1, full.size() / 2, std::size_t{40}, std::size_t{25}}) {
    std::vector<std::uint8_t> part(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(cut));
    ReadResult r = readSwf(part);
    ASSERT_TRUE(r.headerRead);
    ASSERT_TRUE(r.stop) << "cut at " << cut;
    EXPECT_LE(r.stop->offset, cut);
    ASSERT_LE(r.movie.tags.size(), m.tags.size());
    for (std::size_t i = 0; i < r.movie.tags.size(); ++i) EXPECT_TRUE(r.movie.tags[i] == m.tags[i]);
  }
}

TEST(Robustness, TruncatedCompressedMovieSaysSo) {
  auto full = bytesOf(mkmovies::makeStartMovie());
  std::vector<std::uint8_t> part(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(full.size() / 2));
  ReadResult r = readSwf(part);
  ASSERT_TRUE(r.stop);
  EXPECT_NE(r.stop->message.find("ends early"), std::string::npos) << r.stop->message;
  EXPECT_FALSE(r.movie.tags.empty());
}

TEST(Robustness, TagLengthBeyondTheEnd) {
  // ShowFrame, then a DefineBinaryData claiming 1 GiB of which 4 bytes exist.
  auto f = fwsWithBody({0x40, 0x00, 0xFF, 0x15, 0x00, 0x00, 0x00, 0x40, 1, 2, 3, 4});
  ReadResult r = readSwf(f);
  ASSERT_TRUE(r.stop);
  EXPECT_EQ(r.stop->offset, 15u);
  EXPECT_NE(r.stop->message.find("DefineBinaryData"), std::string::npos) << r.stop->message;
  ASSERT_EQ(r.movie.tags.size(), 1u);
  EXPECT_TRUE(std::holds_alternative<ShowFrame>(r.movie.tags[0].body));
}

TEST(Robustness, StatedLengthIsOnlyAHint) {
  // The header claims 4 GiB; the movie is read from what is there, nothing more.
  auto f = bytesOf(base({Tag{ShowFrame{}}}, "CWS"));
  f[4] = f[5] = f[6] = f[7] = 0xFF;
  ReadResult r = readSwf(f);
  EXPECT_TRUE(r.complete()) << r.stop->message;
  EXPECT_EQ(r.movie.header.fileLength, 0xFFFFFFFFu);
  ASSERT_EQ(r.movie.tags.size(), 1u);

  auto z = bytesOf(base({Tag{ShowFrame{}}}, "ZWS"));
  z[4] = z[5] = z[6] = z[7] = 0xFF;
  ReadResult rz = readSwf(z);
  ASSERT_EQ(rz.movie.tags.size(), 1u);
}

TEST(Robustness, DecompressionBombStopsAtTheLimit) {
  // 64 MiB of zeros behind a tag that claims all of them, compressed to ~64 KiB.
  std::vector<std::uint8_t> body = {0x00, 0x00, 0x0C, 0, 0};  // rectangle, rate, count
  body.push_back(0xFF);
  body.push_back(0x15);  // DefineBinaryData, long length
  const std::uint32_t claimed = 64u << 20;
  for (int i = 0; i < 4; ++i) body.push_back(static_cast<std::uint8_t>(claimed >> (8 * i)));
  body.resize(body.size() + claimed, 0);
  uLongf packedSize = compressBound(static_cast<uLong>(body.size()));
  std::vector<std::uint8_t> file = {'C', 'W', 'S', 10, 0, 0, 0, 0};
  std::vector<std::uint8_t> packed(packedSize);
  ASSERT_EQ(compress2(packed.data(), &packedSize, body.data(), static_cast<uLong>(body.size()), 9), Z_OK);
  file.insert(file.end(), packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(packedSize));
  body = {};

  ReadOptions options;
  options.maxMovieBytes = 8u << 20;
  BodyResult inflated = decompressBody(file, options);
  EXPECT_EQ(inflated.body.size(), options.maxMovieBytes);
  EXPECT_NE(inflated.error.find("exceeds"), std::string::npos);
  ReadResult r = readSwf(file, options);
  ASSERT_TRUE(r.stop);
  EXPECT_NE(r.stop->message.find("exceeds the limit of 8 MiB"), std::string::npos) << r.stop->message;
}

TEST(Robustness, SpriteWhoseTagsLie) {
  // A sprite whose inner PlaceObject2 claims more bytes than the sprite holds: the sprite
  // keeps what was sound, the movie goes on after it.
  std::vector<std::uint8_t> tags = {
      0xC9, 0x09,             // DefineSprite, length 9
      7,    0,    2, 0,       // id 7, 2 frames
      0x40, 0x00,             // ShowFrame
      0x90, 0x06,             // PlaceObject2 claiming 16 bytes
      0x01,                   // ... of which 1 is in the sprite
      0x40, 0x00,             // ShowFrame after the sprite
  };
  ReadResult r = readSwf(fwsWithBody(tags));
  ASSERT_EQ(r.movie.tags.size(), 2u);
  const auto* sprite = std::get_if<DefineSprite>(&r.movie.tags[0].body);
  ASSERT_TRUE(sprite);
  EXPECT_EQ(sprite->frameCount, 2);
  ASSERT_EQ(sprite->tags.size(), 1u);
  EXPECT_TRUE(std::holds_alternative<ShowFrame>(r.movie.tags[1].body));
  ASSERT_EQ(r.warnings.size(), 1u);
  EXPECT_NE(r.warnings[0].message.find("DefineSprite 7"), std::string::npos);
}

TEST(Robustness, SpritesNestedTooDeeplyStayRaw) {
  DefineSprite s;
  s.id = 1;
  for (int i = 0; i < 10; ++i) {
    DefineSprite outer;
    outer.id = static_cast<std::uint16_t>(i + 2);
    outer.tags = {Tag{s}};
    s = outer;
  }
  ReadResult r = readSwf(bytesOf(base({Tag{s}})));
  ASSERT_TRUE(r.complete());
  ASSERT_FALSE(r.warnings.empty());
  EXPECT_NE(r.warnings[0].message.find("nested too deeply"), std::string::npos);
}

TEST(Robustness, CountsThatLieInsideTags) {
  struct Case {
    const char* what;
    std::vector<std::uint8_t> tag;
  } cases[] = {
      // DefineShape3 with 255 -> 65535 fill styles claimed, none present
      {"fill style count", {0x06, 0x08, 1, 0, 0x00, 0xFF, 0xFF, 0xFF}},
      // DefineFont2 claiming 65535 glyphs in a 7-byte tag
      {"glyph count", {0x07, 0x0C, 1, 0, 0, 0, 0, 0xFF, 0xFF}},
      // DefineSceneAndFrameLabelData claiming 2^28 scenes
      {"scene count", {0x85, 0x15, 0xFF, 0xFF, 0xFF, 0x7F, 0}},
      // DefineEditText with every flag and nothing behind them
      {"edit text flags", {0x44, 0x09, 1, 0, 0, 0xFF}},
      // convolution filter of 255 x 255 values in PlaceObject3
      {"filter matrix", {0x88, 0x11, 0, 1, 1, 0, 1, 5, 0xFF, 0xFF}},
      // a DefineText with 255 glyphs of 32 bits each, cut short
      {"glyph entries", {0xCB, 0x02, 1, 0, 0, 0, 32, 32, 0x80, 0xFF, 1, 2, 3}},
  };
  for (const auto& c : cases) {
    std::vector<std::uint8_t> tags = c.tag;
    tags.insert(tags.end(), {0x40, 0x00, 0x00, 0x00});  // ShowFrame, End
    ReadResult r = readSwf(fwsWithBody(tags));
    EXPECT_TRUE(r.complete()) << c.what;
    ASSERT_EQ(r.movie.tags.size(), 2u) << c.what;
    EXPECT_TRUE(std::holds_alternative<RawTag>(r.movie.tags[0].body)) << c.what;
    EXPECT_EQ(r.warnings.size(), 1u) << c.what;
    EXPECT_TRUE(std::holds_alternative<ShowFrame>(r.movie.tags[1].body)) << c.what;
  }
}

TEST(Robustness, ZeroLengthAndGarbage) {
  EXPECT_FALSE(readSwf(std::vector<std::uint8_t>{}).headerRead);
  // A body of garbage after a sound header: reading ends with a message, never a crash.
  std::vector<std::uint8_t> garbage(5000);
  std::uint32_t x = 12345;
  for (auto& b : garbage) b = static_cast<std::uint8_t>((x = x * 1103515245 + 12345) >> 24);
  auto f = fwsWithBody(garbage);
  ReadResult r = readSwf(f);
  EXPECT_TRUE(r.headerRead);
  EXPECT_TRUE(r.stop || !r.movie.tags.empty() || r.complete());
  // Missing End tag is reported.
  ReadResult noEnd = readSwf(fwsWithBody({0x40, 0x00}));
  ASSERT_TRUE(noEnd.stop);
  EXPECT_NE(noEnd.stop->message.find("End tag"), std::string::npos);
  EXPECT_EQ(noEnd.movie.tags.size(), 1u);
}

}  // namespace
