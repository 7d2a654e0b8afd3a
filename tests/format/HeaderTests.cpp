// Header reading: signatures, the 8.8 frame rate, rectangles of every bit width.

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>

#include "engine/format/SwfReader.h"
#include "engine/format/SwfWriter.h"

namespace {

using namespace plavex::swf;

Movie sized(const std::string& sig, Rect stage, double fps, std::uint16_t frames, int version = 8) {
  Movie m;
  m.header.signature = sig;
  m.header.version = version;
  m.header.stage = stage;
  m.header.frameRate = fps;
  m.header.frameCount = frames;
  m.tags = {Tag{ShowFrame{}}};
  return m;
}

struct HeaderCase {
  std::string signature;
  Rect stage;
  double fps;
  std::uint16_t frames;
  long long widthPx, heightPx;
};

class HeaderRead : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(HeaderRead, FromBytesAndFromFile) {
  const auto& c = GetParam();
  WriteResult w = writeSwf(sized(c.signature, c.stage, c.fps, c.frames));
  ASSERT_TRUE(w.ok()) << w.error;
  HeaderResult h = readSwfHeader(w.bytes);
  ASSERT_TRUE(h.header) << h.error;
  EXPECT_EQ(h.header->signature, c.signature);
  EXPECT_EQ(h.header->version, 8);
  EXPECT_EQ(h.header->stage, c.stage);
  EXPECT_DOUBLE_EQ(h.header->frameRate, c.fps);
  EXPECT_EQ(h.header->frameCount, c.frames);
  EXPECT_EQ(h.header->stageWidthPixels(), c.widthPx);
  EXPECT_EQ(h.header->stageHeightPixels(), c.heightPx);

  auto path = std::filesystem::temp_directory_path() / ("plavex-header-" + std::to_string(::getpid()) + ".swf");
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(w.bytes.data()), static_cast<std::streamsize>(w.bytes.size()));
  HeaderResult fromFile = readSwfHeader(path);
  std::filesystem::remove(path);
  ASSERT_TRUE(fromFile.header);
  EXPECT_EQ(*fromFile.header, *h.header);
  EXPECT_EQ(h.header->stage, readSwf(w.bytes).movie.header.stage);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HeaderRead,
    ::testing::Values(HeaderCase{"FWS", {0, 11000, 0, 8000}, 12, 30, 550, 400},
                      HeaderCase{"CWS", {0, 11000, 0, 8000}, 12, 30, 550, 400},
                      HeaderCase{"ZWS", {0, 11000, 0, 8000}, 12, 30, 550, 400},
                      // 8.8 frame rates: fractions and the extremes
                      HeaderCase{"CWS", {0, 6400, 0, 4800}, 29.97265625, 1, 320, 240},
                      HeaderCase{"FWS", {0, 20, 0, 20}, 0.00390625, 0, 1, 1},
                      HeaderCase{"FWS", {0, 20, 0, 20}, 255.99609375, 65535, 1, 1},
                      // odd rectangle widths: 1-bit, 31-bit, offset origins, truncation of twips
                      HeaderCase{"FWS", {0, 0, 0, 0}, 1, 1, 0, 0},
                      HeaderCase{"FWS", {-1, 0, -1, 0}, 1, 1, 0, 0},
                      HeaderCase{"CWS", {-1000, 1000, 500, 539}, 1, 1, 100, 1},
                      HeaderCase{"ZWS", {-(1 << 30), (1 << 30) - 1, 0, 19}, 1, 1, 107374182, 0}));

TEST(HeaderRead, CompressedHeaderNeedsOnlyTheStartOfTheFile) {
  // A CWS movie cut after 300 bytes still yields its header (only the beginning is inflated).
  Movie m = sized("CWS", {0, 11000, 0, 8000}, 25, 100);
  m.tags.push_back(Tag{DefineBinaryData{1, Bytes(100000, 7)}});
  WriteResult w = writeSwf(m);
  ASSERT_TRUE(w.ok());
  std::vector<std::uint8_t> cut(w.bytes.begin(), w.bytes.begin() + 300);
  HeaderResult h = readSwfHeader(cut);
  ASSERT_TRUE(h.header) << h.error;
  EXPECT_EQ(h.header->frameCount, 100);
  EXPECT_EQ(h.header->stageWidthPixels(), 550);
  EXPECT_EQ(h.header->fileLength, readSwf(w.bytes).movie.header.fileLength);  // stated, not checked
}

TEST(HeaderRead, ZwsLayoutIsLengthPropertiesStream) {
  WriteResult w = writeSwf(sized("ZWS", {0, 200, 0, 200}, 30, 2));
  ASSERT_TRUE(w.ok());
  ASSERT_GT(w.bytes.size(), 17u);
  std::uint32_t compressedLength = w.bytes[8] | (w.bytes[9] << 8) | (w.bytes[10] << 16) | (std::uint32_t{w.bytes[11]} << 24);
  EXPECT_EQ(compressedLength + 17, w.bytes.size());
  EXPECT_EQ(w.bytes[12], 0x5D);  // lc=3 lp=0 pb=2, the usual LZMA properties
}

TEST(HeaderRead, RejectsWhatIsNotASwf) {
  struct Bad {
    std::vector<std::uint8_t> bytes;
  } bad[] = {{{}}, {{'F', 'W', 'S'}}, {{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0}},
             {{'F', 'W', 'S', 8, 100, 0, 0, 0}},                  // header without its rectangle
             {{'F', 'W', 'S', 8, 100, 0, 0, 0, 0xF8, 0, 0}},     // 31-bit rectangle cut short
             {{'C', 'W', 'S', 8, 100, 0, 0, 0, 1, 2, 3, 4, 5}},  // not zlib
             {{'Z', 'W', 'S', 8, 100, 0, 0, 0, 1, 2}}};
  for (const auto& b : bad) {
    HeaderResult h = readSwfHeader(b.bytes);
    EXPECT_FALSE(h.header);
    EXPECT_FALSE(h.error.empty());
    ReadResult r = readSwf(b.bytes);
    EXPECT_FALSE(r.headerRead);
    ASSERT_TRUE(r.stop);
  }
  EXPECT_FALSE(readSwfHeader(std::filesystem::path("/nonexistent/movie.swf")).header);
}

}  // namespace
