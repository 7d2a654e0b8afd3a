// Web movies end to end: the real player opens a movie from an HTTP server.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QJsonArray>
#include <QThread>

#include "LocalHttpServer.h"
#include "PlayerProcess.h"
#include "tests/support/TestMovies.h"

namespace {

QJsonObject WaitFor(const PlayerProcess& player, const std::function<bool(const QJsonObject&)>& done) {
  QElapsedTimer clock;
  clock.start();
  QJsonObject state;
  while (clock.elapsed() < 15000) {
    state = player.state();
    if (done(state)) break;
    QThread::msleep(100);
  }
  return state;
}

}  // namespace

TEST(WebMovieE2E, AWebMovieLoadsPlaysAndGetsItsTime) {
  LocalHttpServer server;
  // 96 frames at 24 fps: 4 s.
  server.serve("/flash/web movie.swf", plavex::testmovies::MovingSquareMovie(200, 150, 96, 24));
  PlayerProcess player;
  ASSERT_TRUE(player.start());
  const QString address = server.url("/flash/web movie.swf");
  ASSERT_EQ(player.ipc({QStringLiteral("open"), address}).exitCode, 0);

  const QJsonObject state = WaitFor(player, [](const QJsonObject& s) {
    return s.value(QStringLiteral("PercentLoaded")).toInt() == 100 &&
           s.value(QStringLiteral("LbAllFrames")).toString() == QLatin1String("00:04");
  });
  EXPECT_EQ(state.value(QStringLiteral("Movie")).toString(), address);
  EXPECT_EQ(state.value(QStringLiteral("PercentLoaded")).toInt(), 100);
  EXPECT_EQ(state.value(QStringLiteral("TotalFrames")).toInt(), 96);
  EXPECT_EQ(state.value(QStringLiteral("LbAllFrames")).toString(), QStringLiteral("00:04"));
  const QJsonObject entry = state.value(QStringLiteral("PlyList")).toArray().at(0).toObject();
  EXPECT_EQ(entry.value(QStringLiteral("address")).toString(), address);
  EXPECT_EQ(entry.value(QStringLiteral("time")).toString(), QStringLiteral("00:04"));
  EXPECT_EQ(player.ipc({QStringLiteral("close")}).exitCode, 0);
  EXPECT_EQ(player.waitForExit(), 0);
}

TEST(WebMovieE2E, AMissingWebMovieIsMarkedInvalid) {
  LocalHttpServer server;
  PlayerProcess player;
  ASSERT_TRUE(player.start());
  const QString address = server.url("/nothing.swf");
  ASSERT_EQ(player.ipc({QStringLiteral("open"), address}).exitCode, 0);
  const QJsonObject state = WaitFor(player, [](const QJsonObject& s) {
    return s.value(QStringLiteral("PlyList")).toArray().at(0).toObject().value(QStringLiteral("mark")).toInt() == 1;
  });
  const QJsonObject entry = state.value(QStringLiteral("PlyList")).toArray().at(0).toObject();
  EXPECT_EQ(entry.value(QStringLiteral("mark")).toInt(), 1);
  EXPECT_EQ(entry.value(QStringLiteral("time")).toString(), QStringLiteral("Err"));
  EXPECT_GE(server.requests(), 1);
  EXPECT_EQ(player.ipc({QStringLiteral("close")}).exitCode, 0);
  EXPECT_EQ(player.waitForExit(), 0);
}
