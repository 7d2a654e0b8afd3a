// The play page end to end: the real player started on a movie or on its default
// list, observed through `plavex --ipc state`.

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QThread>
#include <functional>

#include "PlayerProcess.h"
#include "tests/support/TestMovies.h"

namespace {

using plavex::testmovies::MovingSquareMovie;
using plavex::testmovies::WriteFile;

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Polls the player's state until the predicate holds; the last state seen.
QJsonObject WaitForState(const PlayerProcess& player, const std::function<bool(const QJsonObject&)>& done,
                         int timeoutMs = 10000) {
  QElapsedTimer clock;
  clock.start();
  QJsonObject state;
  while (clock.elapsed() < timeoutMs) {
    state = player.state();
    if (done(state)) break;
    QThread::msleep(100);
  }
  return state;
}

QJsonObject Entry(const QJsonObject& state, int index) {
  return state.value(QStringLiteral("PlyList")).toArray().at(index).toObject();
}

TEST(PlayPageE2E, StartedWithAMoviePlaysItAndSavesItAsTheDefaultList) {
  PlayerProcess player;
  const QString movie = player.appDir() + QStringLiteral("movies/movie one.swf");
  QDir().mkpath(player.appDir() + QStringLiteral("movies"));
  // 150 frames at 12 fps: 12.5 s, shown as 00:12 (an exact half goes to the even neighbour).
  ASSERT_TRUE(WriteFile(movie, MovingSquareMovie(320, 240, 150, 12)));
  ASSERT_TRUE(WriteFile(player.appDir() + QStringLiteral("Default.PLF"), "old.swf^Old^\r\n"));
  ASSERT_TRUE(player.start({movie}));

  const QJsonObject state = WaitForState(player, [](const QJsonObject& s) {
    return s.value(QStringLiteral("LbAllFrames")).toString() != QLatin1String("00:00") &&
           s.value(QStringLiteral("PercentLoaded")).toInt() == 100;
  });
  EXPECT_EQ(state.value(QStringLiteral("Movie")).toString(), movie);
  EXPECT_EQ(state.value(QStringLiteral("PercentLoaded")).toInt(), 100);
  EXPECT_EQ(state.value(QStringLiteral("TotalFrames")).toInt(), 150);
  EXPECT_EQ(state.value(QStringLiteral("LbAllFrames")).toString(), QStringLiteral("00:12"));
  EXPECT_FALSE(state.value(QStringLiteral("Stopped")).toBool(true));
  ASSERT_EQ(state.value(QStringLiteral("PlyList")).toArray().size(), 1);
  EXPECT_EQ(Entry(state, 0).value(QStringLiteral("time")).toString(), QStringLiteral("00:12"));
  EXPECT_EQ(Entry(state, 0).value(QStringLiteral("mark")).toInt(), 0);
  EXPECT_TRUE(state.value(QStringLiteral("caption")).toString().contains(QStringLiteral("AmbrelFlash播放器")));

  EXPECT_EQ(player.ipc({QStringLiteral("close")}).exitCode, 0);
  EXPECT_EQ(player.waitForExit(), 0);
  // Exactly the one entry, replacing the list saved before, its line ending in CR LF.
  const QByteArray expected = (movie + QStringLiteral("^movie one.swf^00:12\r\n")).toLocal8Bit();
  EXPECT_EQ(ReadAll(player.appDir() + QStringLiteral("Default.PLF")), expected);
}

TEST(PlayPageE2E, StartWithoutArgumentsPlaysTheDefaultListAndAutoModeSkipsAMissingMovie) {
  PlayerProcess player;
  const QString a = player.appDir() + QStringLiteral("a.swf");
  const QString c = player.appDir() + QStringLiteral("c.swf");
  const QString missing = player.appDir() + QStringLiteral("missing.swf");
  ASSERT_TRUE(WriteFile(a, MovingSquareMovie(200, 150, 1200, 12)));
  ASSERT_TRUE(WriteFile(c, MovingSquareMovie(200, 150, 1200, 12)));
  ASSERT_TRUE(WriteFile(player.appDir() + QStringLiteral("Default.PLF"),
                        (a + QStringLiteral("^A\r\n") + missing + QStringLiteral("\r\n") + c + QStringLiteral("^C\r\n")).toLocal8Bit()));
  ASSERT_TRUE(player.start());

  QJsonObject state = WaitForState(player, [](const QJsonObject& s) {
    return s.value(QStringLiteral("PercentLoaded")).toInt() == 100 && s.value(QStringLiteral("Playing")).toBool();
  });
  EXPECT_EQ(state.value(QStringLiteral("Movie")).toString(), a);
  EXPECT_EQ(state.value(QStringLiteral("CurrentIndex")).toInt(), 0);
  ASSERT_EQ(state.value(QStringLiteral("PlyList")).toArray().size(), 3);

  ASSERT_EQ(player.ipc({QStringLiteral("auto"), QStringLiteral("on")}).exitCode, 0);
  ASSERT_EQ(player.ipc({QStringLiteral("next")}).exitCode, 0);
  state = WaitForState(player, [&](const QJsonObject& s) { return s.value(QStringLiteral("Movie")).toString() == c; });
  EXPECT_TRUE(state.value(QStringLiteral("AutoMode")).toBool());
  EXPECT_EQ(state.value(QStringLiteral("CurrentIndex")).toInt(), 2);
  EXPECT_EQ(Entry(state, 1).value(QStringLiteral("mark")).toInt(), 1);
  EXPECT_EQ(Entry(state, 1).value(QStringLiteral("time")).toString(), QStringLiteral("Err"));
  EXPECT_EQ(Entry(state, 2).value(QStringLiteral("mark")).toInt(), 0);

  EXPECT_EQ(player.ipc({QStringLiteral("close")}).exitCode, 0);
  EXPECT_EQ(player.waitForExit(), 0);
}

TEST(PlayPageE2E, ExplorerHandOverToARunningPlayerAddsTheChosenFiles) {
  PlayerProcess player;
  const QString a = player.appDir() + QStringLiteral("a.swf");
  const QString b = player.appDir() + QStringLiteral("b.swf");
  ASSERT_TRUE(WriteFile(a, MovingSquareMovie(200, 150, 1200, 12)));
  ASSERT_TRUE(WriteFile(b, MovingSquareMovie(200, 150, 1200, 12)));
  ASSERT_TRUE(WriteFile(player.appDir() + QStringLiteral("Default.PLF"), (a + QStringLiteral("\r\n")).toLocal8Bit()));
  ASSERT_TRUE(player.start({QStringLiteral("Load"), QStringLiteral("By_Explorer")}));
  QJsonObject state = WaitForState(player, [&](const QJsonObject& s) { return s.value(QStringLiteral("Movie")).toString() == a; });
  ASSERT_EQ(state.value(QStringLiteral("Movie")).toString(), a);

  // The extension writes the new choice into the default list and starts a second player.
  ASSERT_TRUE(WriteFile(player.appDir() + QStringLiteral("Default.PLF"), (b + QStringLiteral("\r\n")).toLocal8Bit()));
  EXPECT_EQ(player.runSecondStart({QStringLiteral("Load"), QStringLiteral("By_Explorer")}).first, 0);
  state = player.state();
  ASSERT_EQ(state.value(QStringLiteral("PlyList")).toArray().size(), 2);
  EXPECT_EQ(Entry(state, 1).value(QStringLiteral("address")).toString(), b);
  EXPECT_EQ(state.value(QStringLiteral("Movie")).toString(), a) << "a playing movie goes on";

  EXPECT_EQ(player.ipc({QStringLiteral("close")}).exitCode, 0);
  EXPECT_EQ(player.waitForExit(), 0);
  const QByteArray saved = ReadAll(player.appDir() + QStringLiteral("Default.PLF"));
  EXPECT_EQ(saved.count("\r\n"), 2) << "both lists survive the close";
}

}  // namespace
