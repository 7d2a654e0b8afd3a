#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include "engine/format/SwfWriter.h"
#include "player/SwfInfo.h"

using namespace plavex;

namespace {

swf::Movie SmallMovie(const std::string& signature) {
  swf::Movie movie;
  movie.header.signature = signature;
  movie.header.version = 10;
  movie.header.stage = {0, 550 * 20, 0, 400 * 20};
  movie.header.frameRate = 12.5;
  movie.header.frameCount = 42;
  return movie;
}

class SwfInfoTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(FDir.isValid()); }

  QString WriteFile(const QString& name, const QByteArray& bytes) {
    const QString path = FDir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
  }
  QString WriteMovie(const QString& name, const swf::Movie& movie) {
    const swf::WriteResult written = swf::writeSwf(movie);
    EXPECT_TRUE(written.ok()) << written.error;
    return WriteFile(name, QByteArray(reinterpret_cast<const char*>(written.bytes.data()), qsizetype(written.bytes.size())));
  }

  static void ExpectNothing(const TSwfInfo& info) {
    EXPECT_EQ(info.width, 0);
    EXPECT_EQ(info.height, 0);
    EXPECT_EQ(info.frameRate, 0.0f);
    EXPECT_EQ(info.frameCount, 0);
    EXPECT_FALSE(info.ok());
  }

  QTemporaryDir FDir;
};

}  // namespace

TEST_F(SwfInfoTest, ReadsSizeRateAndFramesOfEveryCompression) {
  for (const char* signature : {"FWS", "CWS", "ZWS"}) {
    const QString path = WriteMovie(QStringLiteral("m-%1.swf").arg(signature), SmallMovie(signature));
    const TSwfInfo info = ReadSwfInfo(path);
    EXPECT_TRUE(info.ok()) << signature << ": " << info.error.toStdString();
    EXPECT_EQ(info.width, 550) << signature;
    EXPECT_EQ(info.height, 400);
    EXPECT_FLOAT_EQ(info.frameRate, 12.5f);
    EXPECT_EQ(info.frameCount, 42);
  }
}

TEST_F(SwfInfoTest, StageOffsetAndOddTwipsGiveWholePixels) {
  swf::Movie movie = SmallMovie("FWS");
  movie.header.stage = {100, 100 + 321 * 20 + 19, -40, -40 + 7 * 20};
  const TSwfInfo info = ReadSwfInfo(WriteMovie("odd.swf", movie));
  EXPECT_EQ(info.width, 321);
  EXPECT_EQ(info.height, 7);
}

TEST_F(SwfInfoTest, WebMoviesAreReadFromTheirCachedCopyWhateverTheSchemeCase) {
  const QString cached = WriteMovie("cached.swf", SmallMovie("CWS"));
  QStringList asked;
  const TCacheLookup lookup = [&](const QString& url) {
    asked << url;
    return url.endsWith(QStringLiteral("known.swf")) ? cached : QString();
  };
  for (const char* url : {"http://h/known.swf", "HTTP://h/known.swf", "https://h/known.swf", "HtTpS://h/known.swf"}) {
    const TSwfInfo info = ReadSwfInfo(url, lookup);
    EXPECT_EQ(info.width, 550) << url;
    EXPECT_EQ(info.frameCount, 42) << url;
  }
  EXPECT_EQ(asked.size(), 4);
  EXPECT_EQ(asked.at(2), "https://h/known.swf");

  ExpectNothing(ReadSwfInfo("https://h/other.swf", lookup));
  ExpectNothing(ReadSwfInfo("http://h/known.swf", TCacheLookup{}));
  // Other schemes are not web movies: no cache lookup, and no such local file.
  asked.clear();
  ExpectNothing(ReadSwfInfo("ftp://h/known.swf", lookup));
  EXPECT_TRUE(asked.isEmpty());
}

TEST_F(SwfInfoTest, FileUrlsNameLocalFiles) {
  const QString path = WriteMovie("local.swf", SmallMovie("FWS"));
  EXPECT_EQ(ReadSwfInfo(QUrl::fromLocalFile(path).toString()).width, 550);
}

TEST_F(SwfInfoTest, UnreadableAddressesGiveNoInformation) {
  const QByteArray movie = [&] {
    const auto w = swf::writeSwf(SmallMovie("CWS"));
    return QByteArray(reinterpret_cast<const char*>(w.bytes.data()), qsizetype(w.bytes.size()));
  }();
  const QString fifo = FDir.filePath("pipe.swf");
  ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);  // reading it would block
  const QString cases[] = {
      "",
      FDir.filePath("missing.swf"),
      FDir.path(),
      fifo,
      WriteFile("empty.swf", {}),
      WriteFile("text.swf", "just some text, not a movie"),
      WriteFile("cut.swf", movie.left(10)),
      WriteFile("badzlib.swf", movie.left(8) + QByteArray(40, '\xFF')),
  };
  for (const QString& address : cases) {
    SCOPED_TRACE(address.toStdString());
    ExpectNothing(ReadSwfInfo(address));
  }
}
