#include <gtest/gtest.h>

#include "ComVar.h"

using namespace plavex;

TEST(FormatTime, MinutesAndSecondsWithoutHours) {
  struct Case {
    int seconds;
    const char* text;
  };
  const Case cases[] = {{0, "00:00"}, {5, "00:05"}, {59, "00:59"}, {60, "01:00"},
                        {3599, "59:59"}, {3600, "60:00"}, {6000, "100:00"}, {-4, "00:00"}};
  for (const Case& c : cases) EXPECT_EQ(FormatTime(c.seconds), QString::fromUtf8(c.text)) << c.seconds;
}

TEST(FramesToSeconds, ExactHalvesGoToTheEvenNeighbour) {
  struct Case {
    int frames;
    float rate;
    int seconds;
  };
  const Case cases[] = {
      {30, 12.0f, 2},   // 2.5 -> 2
      {42, 12.0f, 4},   // 3.5 -> 4
      {6, 12.0f, 0},    // 0.5 -> 0
      {18, 12.0f, 2},   // 1.5 -> 2
      {31, 12.0f, 3},   // 2.58 -> 3
      {29, 12.0f, 2},   // 2.42 -> 2
      {240, 24.0f, 10},
      {1, 0.5f, 2},
      {100, 0.0f, 100},  // no frame rate: the frame count itself
  };
  for (const Case& c : cases) EXPECT_EQ(FramesToSeconds(c.frames, c.rate), c.seconds) << c.frames << "/" << c.rate;
}

TEST(FormatFrames, TimeWithARateAndFrameNumbersWithout) {
  EXPECT_EQ(FormatFrames(30, 12.0f), QStringLiteral("00:02"));
  EXPECT_EQ(FormatFrames(1440, 24.0f), QStringLiteral("01:00"));
  EXPECT_EQ(FormatFrames(17, 0.0f), QStringLiteral("17"));
}

TEST(AppDir, TrailingSeparatorAndBothSeparatorsInRelativePaths) {
  InitAppDir(QStringLiteral("/opt/plavex/plavex"));
  EXPECT_EQ(AppDir(), QStringLiteral("/opt/plavex/"));
  EXPECT_EQ(StartMovie(), QStringLiteral("/opt/plavex/swf/start.swf"));
  EXPECT_EQ(GatherRulesPath(), QStringLiteral("/opt/plavex/plugin/flashgather.dat"));
  EXPECT_EQ(AppPath(QStringLiteral("lib\\SWFInfo.dll")), QStringLiteral("/opt/plavex/lib/SWFInfo.dll"));
}
