// Every record family written and read back: the records must compare equal.

#include <gtest/gtest.h>

#include "engine/format/SwfReader.h"
#include "engine/format/SwfWriter.h"
#include "tools/mkmovies/BuiltinMovies.h"
#include "tools/mkmovies/SampleTags.h"

namespace {

using namespace plavex;
using namespace plavex::swf;

Movie movieWith(std::vector<Tag> tags, const std::string& signature, int version) {
  Movie m;
  m.header.signature = signature;
  m.header.version = version;
  m.header.stage = Rect{0, 11000, 0, 8000};
  m.header.frameRate = 24;
  m.header.frameCount = 1;
  m.tags = std::move(tags);
  return m;
}

struct RoundTripCase {
  mkmovies::SampleTag sample;
  std::string signature;
};

class RecordRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(RecordRoundTrip, ReadsBackEqual) {
  const auto& c = GetParam();
  Movie m = movieWith({c.sample.tag, Tag{ShowFrame{}}}, c.signature, std::max(c.sample.minSwfVersion, 10));
  WriteResult w = writeSwf(m);
  ASSERT_TRUE(w.ok()) << w.error;
  ReadResult r = readSwf(w.bytes);
  ASSERT_TRUE(r.complete()) << r.stop->message;
  EXPECT_TRUE(r.warnings.empty()) << r.warnings.front().message;
  ASSERT_EQ(r.movie.tags.size(), 2u);
  EXPECT_EQ(tagCode(r.movie.tags[0]), tagCode(c.sample.tag));
  EXPECT_TRUE(r.movie.tags[0] == c.sample.tag) << "record changed in the round trip";
  EXPECT_FALSE(std::holds_alternative<RawTag>(r.movie.tags[0].body) && !std::holds_alternative<RawTag>(c.sample.tag.body));
  if (c.signature == "FWS") {
    EXPECT_EQ(r.movie.header.fileLength, w.bytes.size());
  }
  // Written again, the bytes are the same: nothing depends on values the reader drops.
  WriteResult again = writeSwf(r.movie);
  EXPECT_EQ(again.bytes, w.bytes);
}

std::vector<RoundTripCase> cases() {
  std::vector<RoundTripCase> out;
  for (const auto& s : mkmovies::sampleTags()) out.push_back({s, "FWS"});
  // Compression is independent of the records; a few families are enough for it.
  auto samples = mkmovies::sampleTags();
  for (std::size_t i = 0; i < samples.size(); i += 7) {
    out.push_back({samples[i], "CWS"});
    out.push_back({samples[i], "ZWS"});
  }
  return out;
}

std::string caseName(const ::testing::TestParamInfo<RoundTripCase>& info) {
  std::string n = info.param.signature + "_" + info.param.sample.name;
  for (char& ch : n)
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return n + "_" + std::to_string(info.index);
}

INSTANTIATE_TEST_SUITE_P(AllFamilies, RecordRoundTrip, ::testing::ValuesIn(cases()), caseName);

TEST(RoundTrip, SwfFiveClipEventsUseSixteenBits) {
  // The same record written for SWF 5 and SWF 6 differs by the width of every event word.
  PlaceObject p;
  p.depth = 1;
  p.characterId = 2;
  p.clipActions = ClipActions{1, {{1, 0, {0}}}};
  WriteResult v5 = writeSwf(movieWith({Tag{p}}, "FWS", 5));
  WriteResult v6 = writeSwf(movieWith({Tag{p}}, "FWS", 6));
  ASSERT_TRUE(v5.ok() && v6.ok());
  EXPECT_EQ(v6.bytes.size() - v5.bytes.size(), 6u);
  EXPECT_TRUE(readSwf(v5.bytes).movie.tags[0] == Tag{p});
  EXPECT_TRUE(readSwf(v6.bytes).movie.tags[0] == Tag{p});
}

TEST(RoundTrip, SpritesKeepTheirOwnTags) {
  DefineSprite inner;
  inner.id = 2;
  inner.frameCount = 1;
  inner.tags = {Tag{ShowFrame{}}};
  DefineSprite outer;
  outer.id = 1;
  outer.frameCount = 3;
  outer.tags = {Tag{inner}, Tag{ShowFrame{}}, Tag{FrameLabel{"x", false}}, Tag{ShowFrame{}}, Tag{ShowFrame{}}};
  Movie m = movieWith({Tag{outer}}, "CWS", 8);
  ReadResult r = readSwf(writeSwf(m).bytes);
  ASSERT_TRUE(r.complete());
  EXPECT_EQ(r.movie.tags, m.tags);
}

TEST(RoundTrip, ValuesTheFormatCannotHoldAreRefused) {
  DefineShape s;
  s.id = 1;
  s.shape.fills.push_back(FillStyle{});
  s.shape.records.emplace_back(StraightEdge{1 << 17, 0});  // wider than 17 bits
  WriteResult w = writeSwf(movieWith({Tag{s}}, "FWS", 8));
  EXPECT_FALSE(w.ok());
  EXPECT_TRUE(w.bytes.empty());

  DefineShape empty;
  empty.shape.records.emplace_back(StyleChange{});  // would read as the end of the shape
  EXPECT_FALSE(writeSwf(movieWith({Tag{empty}}, "FWS", 8)).ok());
}

TEST(RoundTrip, BuiltinMoviesHaveTheirStatedHeaders) {
  struct Expect {
    Movie movie;
    int version, width, height, frames;
  } expected[] = {{mkmovies::makeLoadingMovie(), 8, 24, 24, 8},
                  {mkmovies::makeZavazMovie(), 10, 340, 95, 1},
                  {mkmovies::makeStartMovie(), 8, 400, 300, 24}};
  for (const auto& e : expected) {
    WriteResult w = writeSwf(e.movie);
    ASSERT_TRUE(w.ok()) << w.error;
    HeaderResult h = readSwfHeader(w.bytes);
    ASSERT_TRUE(h.header);
    EXPECT_EQ(h.header->signature, "CWS");
    EXPECT_EQ(h.header->version, e.version);
    EXPECT_EQ(h.header->stageWidthPixels(), e.width);
    EXPECT_EQ(h.header->stageHeightPixels(), e.height);
    EXPECT_EQ(h.header->frameRate, 12.0);
    EXPECT_EQ(h.header->frameCount, e.frames);
    ReadResult r = readSwf(w.bytes);
    ASSERT_TRUE(r.complete());
    long frames = std::count_if(r.movie.tags.begin(), r.movie.tags.end(),
                                [](const Tag& t) { return std::holds_alternative<ShowFrame>(t.body); });
    EXPECT_EQ(frames, e.frames) << "ShowFrame tags must match the header's frame count";
  }
}

}  // namespace
