// Loading through the control: local files, file: URLs, failures that end in ready
// state 4 with 0 %, HTTP from a local server (complete, error, held back to show that
// playback starts before the movie is complete), dummy addresses, movies from memory,
// and the download cache.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>

#include "engine/control/FlashPlayerControl.h"
#include "engine/core/DownloadCache.h"
#include "engine/core/ProgressiveParser.h"
#include "tests/engine/Fixtures.h"
#include "tests/engine/TestHttpServer.h"

namespace plavex::engine {
namespace {

using namespace test;

const Tag kShow{swf::ShowFrame{}};

// Three frames; frame 1 shows a red square over the whole stage, frame 3 carries a large
// filler so that the file's end can be held back apart from its beginning.
swf::Movie movieWithFiller(const char* signature = "FWS") {
  swf::DefineBinaryData filler;
  filler.id = 50;
  filler.data.assign(200000, 0x5A);
  return makeMovie(40, 30,
                   {Tag{swf::SetBackgroundColor{{0, 0, 255, 255}}}, Tag{rectShape(1, 0, 0, 800, 600, solid(255, 0, 0))},
                    Tag{place(1, 1)}, kShow, kShow, Tag{filler}, kShow},
                   signature);
}

bool waitFor(const std::function<bool()>& condition, int ms = 5000) {
  QElapsedTimer t;
  t.start();
  while (!condition()) {
    if (t.elapsed() > ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(2);
  }
  return true;
}

class Loading : public ::testing::Test {
 protected:
  void SetUp() override { control.resize(40, 30); }
  QString writeFile(const QString& name, const QByteArray& bytes) {
    QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
  }
  bool finished() { return waitFor([&] { return control.ReadyState() == 4; }); }
  QTemporaryDir dir;
  TFlashPlayerControl control;
};

TEST_F(Loading, LocalFileLoadsAndPlays) {
  QString path = writeFile(QStringLiteral("movie.swf"), toBytes(movieWithFiller("CWS")));
  control.setMovie(path);
  EXPECT_EQ(control.Movie(), path) << "the address as written";
  EXPECT_NE(control.ReadyState(), 4) << "setMovie returns before loading";
  ASSERT_TRUE(finished());
  EXPECT_EQ(control.PercentLoaded(), 100);
  EXPECT_EQ(control.TotalFrames(), 3);
  EXPECT_TRUE(control.Playing());
  QImage shown = control.grab().toImage();
  EXPECT_EQ(shown.pixel(20, 15) & 0xFFFFFF, 0xFF0000u);
}

TEST_F(Loading, FileUrlIsALocalFile) {
  QString path = writeFile(QStringLiteral("movie.swf"), toBytes(movieWithFiller()));
  QString url = QUrl::fromLocalFile(path).toString();
  control.setMovie(url);
  ASSERT_TRUE(finished());
  EXPECT_EQ(control.Movie(), url);
  EXPECT_EQ(control.PercentLoaded(), 100);
}

TEST_F(Loading, FailuresEndInReadyStateFourWithNothingLoaded) {
  const QString garbage = writeFile(QStringLiteral("garbage.swf"), QByteArray("<html>not a movie</html>"));
  const QString empty = writeFile(QStringLiteral("empty.swf"), QByteArray());
  const QString truncatedHeader = writeFile(QStringLiteral("short.swf"), toBytes(movieWithFiller()).left(9));
  for (const QString& address : {dir.filePath(QStringLiteral("missing.swf")), garbage, empty, truncatedHeader,
                                 QStringLiteral("http://127.0.0.1:1/unreachable.swf")}) {
    control.setMovie(address);
    ASSERT_TRUE(finished()) << address.toStdString();
    EXPECT_EQ(control.PercentLoaded(), 0) << address.toStdString();
    EXPECT_EQ(control.TotalFrames(), 0) << address.toStdString();
    EXPECT_FALSE(control.Playing());
  }
}

TEST_F(Loading, DummyAddressesUnload) {
  QString path = writeFile(QStringLiteral("movie.swf"), toBytes(movieWithFiller()));
  for (const char* dummy : {"null", "none", "none.swf"}) {
    control.setMovie(path);
    ASSERT_TRUE(finished());
    ASSERT_EQ(control.TotalFrames(), 3);
    control.setMovie(QString::fromLatin1(dummy));
    EXPECT_EQ(control.Movie(), QString::fromLatin1(dummy));
    EXPECT_EQ(control.TotalFrames(), 0) << dummy;
    EXPECT_EQ(control.PercentLoaded(), 0);
    EXPECT_FALSE(control.Playing());
  }
}

TEST_F(Loading, MovieFromMemory) {
  EXPECT_TRUE(control.LoadMovieFromStream(0, toBytes(movieWithFiller("CWS"))));
  EXPECT_EQ(control.ReadyState(), 4);
  EXPECT_EQ(control.PercentLoaded(), 100);
  EXPECT_EQ(control.TotalFrames(), 3);
  EXPECT_FALSE(control.LoadMovieFromStream(1, toBytes(movieWithFiller()))) << "only layer 0";
  EXPECT_FALSE(control.LoadMovieFromStream(0, QByteArray("garbage")));
  EXPECT_EQ(control.ReadyState(), 4);
  EXPECT_EQ(control.PercentLoaded(), 0);
}

TEST_F(Loading, TransportCommands) {
  EXPECT_TRUE(control.LoadMovieFromStream(0, toBytes(movieWithFiller())));
  control.Stop();
  EXPECT_FALSE(control.Playing());
  control.GotoFrame(2);
  EXPECT_EQ(control.CurrentFrame(), 2);
  control.GotoFrame(0);
  EXPECT_EQ(control.CurrentFrame(), 0);
  control.Play();
  EXPECT_TRUE(control.Playing());
  EXPECT_TRUE(waitFor([&] { return control.CurrentFrame() == 1; }, 2000)) << "advances at the frame rate";
}

class WebLoading : public Loading {
 protected:
  TestHttpServer server;
};

TEST_F(WebLoading, CompleteDownloadLandsInTheCache) {
  QByteArray bytes = toBytes(movieWithFiller("CWS"));
  server.set(QStringLiteral("/movie.swf"), {200, bytes, -1});
  QString url = server.url(QStringLiteral("/movie.swf"));
  EXPECT_TRUE(CachedFileFor(url).isEmpty());
  control.setMovie(url);
  ASSERT_TRUE(finished());
  EXPECT_EQ(control.PercentLoaded(), 100);
  EXPECT_EQ(control.TotalFrames(), 3);
  QString cached = CachedFileFor(url);
  ASSERT_FALSE(cached.isEmpty());
  QFile f(cached);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), bytes);
}

TEST_F(WebLoading, HttpErrorIsAFailure) {
  server.set(QStringLiteral("/gone.swf"), {404, toBytes(movieWithFiller()), -1});
  QString url = server.url(QStringLiteral("/gone.swf"));
  control.setMovie(url);
  ASSERT_TRUE(finished());
  EXPECT_EQ(control.PercentLoaded(), 0);
  EXPECT_EQ(control.TotalFrames(), 0);
  EXPECT_TRUE(CachedFileFor(url).isEmpty());
}

TEST_F(WebLoading, PlaysBeforeTheMovieIsComplete) {
  for (const char* signature : {"FWS", "CWS"}) {
    QByteArray bytes = toBytes(movieWithFiller(signature));
    // Enough for the first frames, not for the filler of frame 3.
    qsizetype first = std::string_view(signature) == "FWS" ? 200 : bytes.size() - 150;
    server.set(QStringLiteral("/slow.swf"), {200, bytes, first});
    control.setMovie(server.url(QStringLiteral("/slow.swf")));
    ASSERT_TRUE(waitFor([&] { return control.PercentLoaded() > 0; })) << signature;
    ASSERT_TRUE(waitFor([&] { return control.ReadyState() == 3; })) << signature;
    EXPECT_LT(control.PercentLoaded(), 100);
    EXPECT_TRUE(control.Playing());
    QImage shown = control.grab().toImage();
    EXPECT_EQ(shown.pixel(20, 15) & 0xFFFFFF, 0xFF0000u) << "frame 1 is on screen";
    server.release();
    ASSERT_TRUE(finished()) << signature;
    EXPECT_EQ(control.PercentLoaded(), 100);
    EXPECT_EQ(control.TotalFrames(), 3);
  }
}

TEST(ProgressiveParser, ByteByByteReadsTheSameTags) {
  for (const char* signature : {"FWS", "CWS", "ZWS"}) {
    QByteArray bytes = toBytes(movieWithFiller(signature));
    ProgressiveParser whole, pieces;
    whole.feed(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())));
    whole.finish();
    std::size_t tagsSeen = 0;
    for (qsizetype i = 0; i < bytes.size(); i += 97) {
      qsizetype n = std::min<qsizetype>(97, bytes.size() - i);
      pieces.feed(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData() + i), std::size_t(n)));
      tagsSeen += pieces.takeTags().size();
      EXPECT_LE(pieces.percent(), 100);
    }
    pieces.finish();
    tagsSeen += pieces.takeTags().size();
    EXPECT_EQ(tagsSeen, whole.takeTags().size()) << signature;
    EXPECT_EQ(pieces.percent(), 100);
    EXPECT_FALSE(pieces.failed());
  }
}

}  // namespace
}  // namespace plavex::engine

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QStandardPaths::setTestModeEnabled(true);
  QApplication app(argc, argv);
  QDir(plavex::engine::DownloadCache::instance().folder()).removeRecursively();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
