#include <gtest/gtest.h>

#include "FileFilter.h"

namespace plavex {
namespace {

TEST(QtFilterFromWindowsFilter, ConvertsPairs) {
  const struct {
    const char16_t* windows;
    QStringList qt;
  } cases[] = {
      {kMovieFilter, {QStringLiteral("Flash影片（*.SWF） (*.swf)")}},
      {u"播放列表|*.plf|所有文件|*.*",
       {QStringLiteral("播放列表 (*.plf)"), QStringLiteral("所有文件 (*.*)")}},
      {u"Movies|*.swf;*.spl", {QStringLiteral("Movies (*.swf *.spl)")}},
      {u"dangling", {}},
      {u"Empty||Movies|*.swf", {QStringLiteral("Movies (*.swf)")}},
      {u"|*.swf", {QStringLiteral("*.swf")}},
      {u"", {}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(QtFilterFromWindowsFilter(QString::fromUtf16(c.windows)), c.qt)
        << QString::fromUtf16(c.windows).toStdString();
}

}  // namespace
}  // namespace plavex
