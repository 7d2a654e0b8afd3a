#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/IniFile.h"
#include "platform/TextCodec.h"

using namespace plavex::platform;

TEST(IniFile, SectionAndKeyNamesIgnoreLetterCase) {
  const IniFile ini = IniFile::FromText(QStringLiteral("[SEARCH]\r\nfilter = a^b \r\nUrls=15\r\n"));
  EXPECT_EQ(ini.value(QStringLiteral("Search"), QStringLiteral("Filter")), QStringLiteral("a^b"));
  EXPECT_EQ(ini.readInteger(QStringLiteral("search"), QStringLiteral("URLS"), 10), 15);
}

TEST(IniFile, MissingSectionOrKeyGivesNothing) {
  const IniFile ini = IniFile::FromText(QStringLiteral("[Other]\nFilter=x\n[Search]\nURLS=7\n"));
  EXPECT_FALSE(ini.value(QStringLiteral("Search"), QStringLiteral("Filter")).has_value());
  EXPECT_FALSE(ini.value(QStringLiteral("Nope"), QStringLiteral("URLS")).has_value());
  EXPECT_EQ(ini.readString(QStringLiteral("Search"), QStringLiteral("Filter"), QStringLiteral("=")),
            QStringLiteral("="));
}

TEST(IniFile, ValuesAsTheProfileFunctionsGiveThem) {
  struct Case {
    const char* line;
    const char* value;
  };
  const Case cases[] = {
      {"K=plain", "plain"},
      {"K=  padded  ", "padded"},
      {"K=\"quoted^value\"", "quoted^value"},
      {"K='single'", "single"},
      {"K=\"unbalanced", "\"unbalanced"},
      {"K=", ""},
      {"K=a=b", "a=b"},
  };
  for (const Case& c : cases) {
    const IniFile ini = IniFile::FromText(QStringLiteral("[S]\n") + QString::fromUtf8(c.line));
    EXPECT_EQ(ini.value(QStringLiteral("S"), QStringLiteral("K")), QString::fromUtf8(c.value)) << c.line;
  }
}

TEST(IniFile, IntegersTakeTheLeadingNumberOrTheFallback) {
  struct Case {
    const char* text;
    int expected;
  };
  const Case cases[] = {{"25", 25}, {" -3 ", -3}, {"12abc", 12}, {"abc", 99}, {"", 99}, {"99999999999", 99}};
  for (const Case& c : cases) {
    const IniFile ini = IniFile::FromText(QStringLiteral("[S]\nN=") + QString::fromUtf8(c.text));
    EXPECT_EQ(ini.readInteger(QStringLiteral("S"), QStringLiteral("N"), 99), c.expected) << c.text;
  }
}

TEST(IniFile, FirstOfDuplicateKeysWinsAndJunkLinesAreSkipped) {
  const IniFile ini = IniFile::FromText(
      QStringLiteral("orphan=1\n; comment\n[S\n[S]\nK=first\ngarbage line\n=novalue\nK=second\n"));
  EXPECT_EQ(ini.value(QStringLiteral("S"), QStringLiteral("K")), QStringLiteral("first"));
}

TEST(IniFile, ReadsGbkFilesAndWritesThemBack) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("Option.ini"));
  {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(*EncodeGbk(QStringLiteral("[Search]\r\nFilter=广告^=\r\n")));
  }
  IniFile ini = IniFile::Load(path);
  EXPECT_EQ(ini.value(QStringLiteral("Search"), QStringLiteral("Filter")), QStringLiteral("广告^="));
  ini.writeString(QStringLiteral("Search"), QStringLiteral("URLS"), QStringLiteral("20"));
  ASSERT_TRUE(ini.Save(path));
  const IniFile again = IniFile::Load(path);
  EXPECT_EQ(again.readInteger(QStringLiteral("Search"), QStringLiteral("URLS"), 0), 20);
  EXPECT_EQ(again.value(QStringLiteral("Search"), QStringLiteral("Filter")), QStringLiteral("广告^="));
}

TEST(IniFile, MissingFileReadsAsEmpty) {
  const IniFile ini = IniFile::Load(QStringLiteral("/nonexistent/Option.ini"));
  EXPECT_FALSE(ini.value(QStringLiteral("Search"), QStringLiteral("URLS")).has_value());
}
