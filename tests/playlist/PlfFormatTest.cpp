#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <random>

#include "player/PlayListModel.h"
#include "player/PlfFormat.h"
#include "platform/TextCodec.h"

using namespace plavex;

namespace {

QByteArray Utf16(const QString& text, bool littleEndian) {
  QByteArray out = littleEndian ? QByteArray("\xFF\xFE", 2) : QByteArray("\xFE\xFF", 2);
  for (QChar c : text) {
    const char lo = char(c.unicode() & 0xFF), hi = char(c.unicode() >> 8);
    if (littleEndian) out.append(lo).append(hi);
    else out.append(hi).append(lo);
  }
  return out;
}

QByteArray FileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  ASSERT_EQ(f.write(bytes), bytes.size());
}

}  // namespace

TEST(PlfFormat, FourLineFileGivesThreeEntriesAndDropsTheFourFieldLine) {
  const QByteArray file = "a.swf\r\nb.swf^Bee\r\nc.swf^Cee^01:02\r\nd.swf^x^y^z\r\n";
  TPlayList list;
  EXPECT_EQ(list.ReplaceWith(ParsePlf(file)), 3);
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list.At(0), (TPlayListEntry{"a.swf", MarkNone, "a.swf", "", "a.swf"}));
  EXPECT_EQ(list.At(1), (TPlayListEntry{"Bee", MarkNone, "Bee", "", "b.swf"}));
  EXPECT_EQ(list.At(2), (TPlayListEntry{"Cee", MarkNone, "Cee", "01:02", "c.swf"}));
}

TEST(PlfFormat, LeadingSpacesOfAFieldAreDroppedTrailingOnesKept) {
  const auto records = ParsePlf("  e.swf ^ Title");
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0], (TPlfRecord{"e.swf ", "Title", ""}));
}

TEST(PlfFormat, SplittingLines) {
  struct Case {
    QString line;
    QStringList fields;
  };
  const Case cases[] = {
      {"", {}},
      {"   ", {}},
      {"^^^", {}},
      {"^a^", {"a"}},
      {"a^^b", {"a", "b"}},
      {"a^ ^b", {"a", "b"}},
      {"a^b^c^d", {"a", "b", "c", "d"}},
      {"a b ^ c d ", {"a b ", "c d "}},
      // Quote characters are ordinary: an apostrophe in a file name keeps its fields apart.
      {"/m/it's.swf^It's^01:00", {"/m/it's.swf", "It's", "01:00"}},
      {"\"a^b\"^c", {"\"a", "b\"", "c"}},
      {"x^'^y", {"x", "'", "y"}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitPlfLine(c.line), c.fields) << c.line.toStdString();
}

TEST(PlfFormat, LineBreaksOfEveryKindAndNulEndingTheText) {
  struct Case {
    QByteArray bytes;
    QStringList addresses;
  };
  const Case cases[] = {
      {"a\r\nb\rc\nd", {"a", "b", "c", "d"}},
      {"a\n\n\r\n\rb\r\n", {"a", "b"}},
      {"a\r\r\nb", {"a", "b"}},
      {QByteArray("a\nb\0c\nd", 7), {"a", "b"}},
      {QByteArray("\0a", 2), {}},
      {"", {}},
      {"\r\n", {}},
  };
  for (const Case& c : cases) {
    QStringList addresses;
    for (const TPlfRecord& r : ParsePlf(c.bytes)) addresses << r.address;
    EXPECT_EQ(addresses, c.addresses) << c.bytes.toStdString();
  }
}

TEST(PlfFormat, ByteOrderMarksAndGbkAreRead) {
  const QString line = QStringLiteral("/片/动画.swf^动画^01:00\r\n");
  const TPlfRecord expected{QStringLiteral("/片/动画.swf"), QStringLiteral("动画"), "01:00"};
  const QByteArray files[] = {*platform::EncodeGbk(line), platform::EncodeUtf8WithBom(line), Utf16(line, true),
                              Utf16(line, false)};
  for (const QByteArray& bytes : files) {
    const auto records = ParsePlf(bytes);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0], expected);
  }
}

TEST(PlfFormat, TwoEntriesWriteTwoCrLfLinesOfThreeFields) {
  const auto written = WritePlf({{"a.swf", "A", ""}, {"http://h/b.swf", "B", "01:02"}});
  EXPECT_EQ(written.bytes, QByteArray("a.swf^A^\r\nhttp://h/b.swf^B^01:02\r\n"));
  EXPECT_EQ(written.skipped, 0);
  EXPECT_TRUE(WritePlf({}).bytes.isEmpty());
}

TEST(PlfFormat, WritesGbkWhenEveryCharacterFitsElseUtf8WithMark) {
  const TPlfRecord chinese{QStringLiteral("/片/动画.swf"), QStringLiteral("动画"), ""};
  const QByteArray gbk = WritePlf({chinese}).bytes;
  EXPECT_EQ(gbk, *platform::EncodeGbk(QStringLiteral("/片/动画.swf^动画^\r\n")));

  const TPlfRecord beyondGbk{QStringLiteral("/m/\U0001F600 한국.swf"), QStringLiteral("한국"), "00:05"};
  const QByteArray utf8 = WritePlf({chinese, beyondGbk}).bytes;
  EXPECT_TRUE(utf8.startsWith("\xEF\xBB\xBF"));
  EXPECT_EQ(ParsePlf(utf8), (std::vector<TPlfRecord>{chinese, beyondGbk}));
}

TEST(PlfFormat, WriterKeepsFieldsInTheirPlaces) {
  struct Case {
    TPlfRecord record;
    QString line;  // empty: the entry cannot be written
  };
  const Case cases[] = {
      {{"a.swf", "T^x", "Err"}, QStringLiteral("a.swf^T＾x^Err")},
      {{"a.swf", QStringLiteral("line\r\nbreak") + QChar(0), ""}, "a.swf^line  break ^"},
      {{"a.swf", "  spaced", " 01:00"}, "a.swf^spaced^01:00"},
      {{"a.swf", " \n Title", ""}, "a.swf^Title^"},
      {{"/m/b.swf", "   ", "Err"}, "/m/b.swf^b.swf^Err"},
      // An empty title field would be dropped and the time text read as the title.
      {{"/m/clip.swf", "", "01:00"}, "/m/clip.swf^clip.swf^01:00"},
      {{"http://h/dir/", "", "Err"}, "http://h/dir/^^"},
      {{"http://h/a^b.swf", "t", ""}, "http://h/a%5Eb.swf^t^"},
      {{"/m/a^b.swf", "t", ""}, ""},
      {{"/m/a\nb.swf", "t", ""}, ""},
      {{"", "t", ""}, ""},
      {{" /m/a.swf", "t", ""}, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(PlfLine(c.record), c.line) << c.record.address.toStdString();

  const auto written = WritePlf({{"/m/a^b.swf", "t", ""}, {"/m/ok.swf", "ok", ""}});
  EXPECT_EQ(written.skipped, 1);
  EXPECT_EQ(written.bytes, QByteArray("/m/ok.swf^ok^\r\n"));
}

TEST(PlfFormat, EntriesWithinTheFormatsLimitsSurviveASaveAndReload) {
  const std::vector<TPlfRecord> records = {
      {"/home/u/it's \"quoted\".swf", "It's", "01:02"},
      {"http://example.com/x/clip.swf?a=1&b=2", "clip.swf?a=1&b=2", ""},
      {QStringLiteral("/片/动画 .swf"), QStringLiteral("动画 "), "Err"},
      {"C:\\Movies\\A.swf", "A.swf", "62:05"},
  };
  EXPECT_EQ(ParsePlf(WritePlf(records).bytes), records);
}

TEST(PlfFormat, GarbageAndHugeLinesNeverCrash) {
  std::mt19937 random(12345);
  for (int round = 0; round < 50; ++round) {
    QByteArray bytes(4096, '\0');
    for (char& b : bytes) b = static_cast<char>(random() % 256);
    if (round % 2) bytes.prepend("\xEF\xBB\xBF");
    if (round % 3 == 0) bytes.replace('\0', '^');  // no early end: exercise the splitter
    for (const TPlfRecord& r : ParsePlf(bytes)) EXPECT_FALSE(r.address.isEmpty());
  }
  const QByteArray huge = QByteArray(8 << 20, 'x') + "^title";
  const auto records = ParsePlf(huge);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].address.size(), 8 << 20);
  EXPECT_EQ(records[0].title, "title");
}

TEST(PlfFile, MissingUnreadableAndReadFiles) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  EXPECT_EQ(ReadPlfFile(dir.filePath("none.plf")).status, TPlfReadResult::Status::Missing);

  const TPlfReadResult folder = ReadPlfFile(dir.path());
  EXPECT_EQ(folder.status, TPlfReadResult::Status::Failed);
  EXPECT_FALSE(folder.error.isEmpty());

  // Too large to be a play list: refused without being read (the file is sparse).
  const QString huge = dir.filePath("huge.plf");
  {
    QFile f(huge);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_TRUE(f.resize(kMaxPlfFileBytes + 1));
  }
  const TPlfReadResult tooLarge = ReadPlfFile(huge);
  EXPECT_EQ(tooLarge.status, TPlfReadResult::Status::Failed);
  EXPECT_TRUE(tooLarge.records.empty());

  const QString path = dir.filePath("Default.PLF");
  WriteBytes(path, "a.swf^A^\r\nA.SWF^dup^\r\n");
  const TPlfReadResult read = ReadPlfFile(path);
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(read.records.size(), 2u);  // the reader keeps both; the list collapses them
}

TEST(PlfFile, SaveReplacesTheWholeFileAndReportsFailures) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath("list.plf");
  std::vector<TPlfRecord> many;
  for (int i = 0; i < 100; ++i) many.push_back({QStringLiteral("/m/%1.swf").arg(i), "t", ""});
  ASSERT_TRUE(SavePlfFile(path, many).ok);
  const TPlfSaveResult saved = SavePlfFile(path, {{"/m/one.swf", "one", "00:01"}});
  EXPECT_TRUE(saved.ok) << saved.error.toStdString();
  EXPECT_EQ(FileBytes(path), QByteArray("/m/one.swf^one^00:01\r\n"));

  // A folder where the file should go: the save fails, says so, and leaves nothing behind.
  const QString blocked = dir.filePath("blocked.plf");
  ASSERT_TRUE(QDir().mkpath(blocked + "/inside"));
  const TPlfSaveResult failed = SavePlfFile(blocked, many);
  EXPECT_FALSE(failed.ok);
  EXPECT_FALSE(failed.error.isEmpty());
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"list.plf"});

  const TPlfSaveResult noFolder = SavePlfFile(dir.filePath("missing/list.plf"), many);
  EXPECT_FALSE(noFolder.ok);
  EXPECT_FALSE(noFolder.error.isEmpty());
}
