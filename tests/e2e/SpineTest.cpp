#include <gtest/gtest.h>

#include <QJsonArray>

#include "PlayerProcess.h"

TEST(Spine, RemoteControlStateSecondStartAndClose) {
  PlayerProcess player;
  ASSERT_TRUE(player.start());

  QJsonObject state = player.state();
  EXPECT_EQ(state.value(QStringLiteral("caption")).toString(), QStringLiteral("AmbrelFlash播放器"));
  EXPECT_EQ(state.value(QStringLiteral("page")).toInt(-1), 0);
  EXPECT_EQ(state.value(QStringLiteral("PanStatus")).toString(), QStringLiteral("就绪"));
  const QJsonArray size = state.value(QStringLiteral("clientSize")).toArray();
  ASSERT_EQ(size.size(), 2);
  EXPECT_EQ(size.at(0).toInt(), 611);
  EXPECT_EQ(size.at(1).toInt(), 427);

  // A second start, with arguments, ends at once and leaves the first as it was.
  const auto [code, elapsed] = player.runSecondStart({QStringLiteral("/tmp/some movie.swf")});
  EXPECT_EQ(code, 0);
  EXPECT_LT(elapsed, 5000);
  EXPECT_EQ(player.state().value(QStringLiteral("page")).toInt(-1), 0);

  EXPECT_EQ(player.ipc({QStringLiteral("page"), QStringLiteral("2")}).exitCode, 0);
  EXPECT_EQ(player.state().value(QStringLiteral("page")).toInt(-1), 2);
  EXPECT_NE(player.ipc({QStringLiteral("page"), QStringLiteral("7")}).exitCode, 0);
  EXPECT_EQ(player.ipc({QStringLiteral("no-such-command")}).exitCode, 2);

  EXPECT_EQ(player.ipc({QStringLiteral("close")}).exitCode, 0);
  EXPECT_EQ(player.waitForExit(), 0);
  // Nobody answers any more.
  EXPECT_EQ(player.ipc({QStringLiteral("state")}).exitCode, 1);
}

TEST(Spine, SecondStartRestoresAMinimisedPlayer) {
  PlayerProcess player;
  ASSERT_TRUE(player.start());
  ASSERT_EQ(player.ipc({QStringLiteral("minimize")}).exitCode, 0);
  ASSERT_TRUE(player.state().value(QStringLiteral("minimized")).toBool());
  EXPECT_EQ(player.runSecondStart({}).first, 0);
  EXPECT_FALSE(player.state().value(QStringLiteral("minimized")).toBool());
  EXPECT_EQ(player.ipc({QStringLiteral("close")}).exitCode, 0);
  EXPECT_EQ(player.waitForExit(), 0);
}

TEST(Spine, RemoteControlWithoutAPlayerExitsOne) {
  PlayerProcess nobody;
  EXPECT_EQ(nobody.ipc({QStringLiteral("state")}).exitCode, 1);
}
