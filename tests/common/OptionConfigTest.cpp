#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "OptionConfig.h"
#include "platform/TextCodec.h"

using namespace plavex;

TEST(SplitFilter, CutsAtCaretsWithQuotesProtecting) {
  struct Case {
    const char* value;
    QStringList pieces;
  };
  const Case cases[] = {
      {"a^b^c", {"a", "b", "c"}},
      {"  a^   b", {"a", "b"}},
      {"a ^b", {"a ", "b"}},  // trailing blanks stay
      {"a^^b^", {"a", "b"}},  // empty pieces dropped
      {"", {}},
      {"^ ^", {}},
      {"\"x^y\"^z", {"\"x^y\"", "z"}},
      {"'p^q'r^s", {"'p^q'r", "s"}},
      {"ab\"c^d\"e^f", {"ab\"c^d\"e", "f"}},  // a quote inside a piece also groups
      {"\"open^rest", {"\"open^rest"}},
      {"广告^=", {"广告", "="}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitFilter(QString::fromUtf8(c.value)), c.pieces) << c.value;
}

class ReadSearchOptionsTest : public ::testing::Test {
 protected:
  QString Write(const QString& text) {
    const QString path = dir.filePath(QStringLiteral("Option.ini"));
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(*platform::EncodeGbk(text));
    return path;
  }
  QTemporaryDir dir;
};

TEST_F(ReadSearchOptionsTest, MissingFileGivesTheDefaults) {
  const SearchOptions options = ReadSearchOptions(dir.filePath(QStringLiteral("none.ini")));
  EXPECT_EQ(options.filter, QStringList{QStringLiteral("=")});
  EXPECT_EQ(options.pageLimit, 10);
}

TEST_F(ReadSearchOptionsTest, PresentButEmptyFilterFiltersNothing) {
  const SearchOptions options = ReadSearchOptions(Write(QStringLiteral("[Search]\r\nFilter=\r\n")));
  EXPECT_TRUE(options.filter.isEmpty());
  EXPECT_EQ(options.pageLimit, 10);
}

TEST_F(ReadSearchOptionsTest, PageLimitIsRaisedToFive) {
  struct Case {
    const char* urls;
    int limit;
  };
  const Case cases[] = {{"3", 5}, {"5", 5}, {"20", 20}, {"-1", 5}, {"x", 10}};
  for (const Case& c : cases) {
    const SearchOptions options =
        ReadSearchOptions(Write(QStringLiteral("[search]\r\nurls=") + QString::fromUtf8(c.urls)));
    EXPECT_EQ(options.pageLimit, c.limit) << c.urls;
  }
}

TEST_F(ReadSearchOptionsTest, GbkFilterValuesAreRead) {
  const SearchOptions options =
      ReadSearchOptions(Write(QStringLiteral("[Search]\r\nFilter=广告^ad.^\r\nURLS=15\r\n")));
  EXPECT_EQ(options.filter, (QStringList{QStringLiteral("广告"), QStringLiteral("ad.")}));
  EXPECT_EQ(options.pageLimit, 15);
}
