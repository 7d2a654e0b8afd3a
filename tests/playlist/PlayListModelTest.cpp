#include <gtest/gtest.h>

#include "player/PlayListModel.h"

using namespace plavex;

namespace {

QStringList Addresses(const TPlayList& list) {
  QStringList out;
  for (const TPlayListEntry& e : list.Entries()) out << e.address;
  return out;
}

// Every entry is found at its own position, exactly and only exactly.
void ExpectIndexConsistent(const TPlayList& list) {
  for (int i = 0; i < list.Count(); ++i) {
    const QString& address = list.At(i).address;
    EXPECT_EQ(list.IndexOfUrl(address), i) << address.toStdString();
    EXPECT_TRUE(list.ContainsAddress(address.toUpper()));
  }
}

}  // namespace

TEST(PlayList, TitlesDerivedFromAddresses) {
  struct Case {
    QString address, title;
  };
  const Case cases[] = {
      {"http://host/dir/clip.swf", "clip.swf"},
      {"http://host/dir/", ""},
      {"C:\\Movies\\A.swf", "A.swf"},
      {"C:a.swf", "a.swf"},
      {"/home/u/movie.swf", "movie.swf"},
      {"plain.swf", "plain.swf"},
      {"dir\\", ""},
      {"", ""},
  };
  for (const Case& c : cases) {
    TPlayList list;
    ASSERT_TRUE(list.AddToPlayList(c.address));
    EXPECT_EQ(list.At(0).title, c.title) << c.address.toStdString();
    EXPECT_EQ(list.At(0).caption, c.title);
    EXPECT_EQ(list.At(0).mark, MarkNone);
  }
}

TEST(PlayList, DuplicatesDifferOnlyInAsciiCaseAndTheFirstStays) {
  TPlayList list;
  EXPECT_TRUE(list.AddToPlayList("C:\\Movies\\A.swf", "first", "01:00"));
  EXPECT_FALSE(list.AddToPlayList("c:\\movies\\a.swf", "second"));
  EXPECT_FALSE(list.AddToPlayList("C:\\Movies\\A.swf"));
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.At(0).title, "first");
  // The lookup is exact: the other spelling finds nothing.
  EXPECT_EQ(list.IndexOfUrl("C:\\Movies\\A.swf"), 0);
  EXPECT_EQ(list.IndexOfUrl("c:\\movies\\a.swf"), -1);

  // Only A to Z fold: other letters that differ in case are different addresses.
  EXPECT_TRUE(list.AddToPlayList(QStringLiteral("/m/Ä.swf")));
  EXPECT_TRUE(list.AddToPlayList(QStringLiteral("/m/ä.swf")));
  EXPECT_EQ(list.Count(), 3);
}

TEST(PlayList, AddressesAreStoredUnchanged) {
  TPlayList list;
  list.AddToPlayList("  http://h/a.swf ", "", "");
  EXPECT_EQ(list.At(0).address, "  http://h/a.swf ");
  EXPECT_EQ(list.IndexOfUrl("http://h/a.swf"), -1);
}

TEST(PlayList, RemovingAndMovingKeepLookupsRight) {
  TPlayList list;
  for (const char* a : {"/a.swf", "/B.swf", "/c.swf", "/D.swf", "/e.swf"}) list.AddToPlayList(a);

  // Drag the first onto the third: second, first, third...
  EXPECT_EQ(list.Move(0, 2), 1);
  EXPECT_EQ(Addresses(list), QStringList({"/B.swf", "/a.swf", "/c.swf", "/D.swf", "/e.swf"}));
  ExpectIndexConsistent(list);
  // Dropped below the last entry: it goes last.
  EXPECT_EQ(list.Move(0, list.Count()), 4);
  EXPECT_EQ(Addresses(list), QStringList({"/a.swf", "/c.swf", "/D.swf", "/e.swf", "/B.swf"}));
  // On itself or on the entry just below: no change.
  EXPECT_EQ(list.Move(2, 2), 2);
  EXPECT_EQ(list.Move(2, 3), 2);
  EXPECT_EQ(Addresses(list), QStringList({"/a.swf", "/c.swf", "/D.swf", "/e.swf", "/B.swf"}));
  EXPECT_EQ(list.Move(4, 0), 0);
  ExpectIndexConsistent(list);

  EXPECT_TRUE(list.Remove(1));
  EXPECT_FALSE(list.Remove(99));
  EXPECT_FALSE(list.Remove(-1));
  EXPECT_EQ(list.IndexOfUrl("/a.swf"), -1);
  ExpectIndexConsistent(list);
  // A removed address can be added again, and goes last.
  EXPECT_TRUE(list.AddToPlayList("/A.SWF"));
  EXPECT_EQ(list.IndexOfUrl("/A.SWF"), list.Count() - 1);
  ExpectIndexConsistent(list);

  list.Clear();
  EXPECT_EQ(list.IndexOfUrl("/c.swf"), -1);
  EXPECT_TRUE(list.AddToPlayList("/c.swf"));
  ExpectIndexConsistent(list);
}

TEST(PlayList, RemoveInvalidTakesAdjacentMarkedEntriesAndOnlyThem) {
  TPlayList list;
  for (const char* a : {"/1", "/2", "/3", "/4", "/5"}) list.AddToPlayList(a);
  list.SetMark(1, MarkInvalid);
  list.SetMark(2, MarkInvalid);
  list.SetMark(3, MarkCurrent);
  list.SetTimeText(4, "Err");  // not drawn yet: the mark decides, not the time text
  EXPECT_EQ(list.RemoveInvalid(), 2);
  EXPECT_EQ(Addresses(list), QStringList({"/1", "/4", "/5"}));
  ExpectIndexConsistent(list);
  EXPECT_TRUE(list.AddToPlayList("/2"));
}

TEST(PlayList, RenameSetsTitleAndCaptionOnly) {
  TPlayList list;
  list.AddToPlayList("/m/a.swf", "", "01:00");
  EXPECT_TRUE(list.Rename(0, QStringLiteral("新名字")));
  EXPECT_FALSE(list.Rename(1, "x"));
  EXPECT_EQ(list.At(0), (TPlayListEntry{QStringLiteral("新名字"), MarkNone, QStringLiteral("新名字"), "01:00", "/m/a.swf"}));
  EXPECT_EQ(list.ToRecords(), (std::vector<TPlfRecord>{{"/m/a.swf", QStringLiteral("新名字"), "01:00"}}));
}

TEST(PlayList, LoadingRecordsReplacesTheListAndCollapsesDuplicates) {
  TPlayList list;
  list.AddToPlayList("/old.swf");
  const int added = list.ReplaceWith({{"/x.swf", "X", ""}, {"/X.SWF", "dup", "Err"}, {"/y.swf", "", ""}});
  EXPECT_EQ(added, 2);
  EXPECT_EQ(Addresses(list), QStringList({"/x.swf", "/y.swf"}));
  EXPECT_EQ(list.At(0).title, "X");
  EXPECT_EQ(list.At(1).title, "y.swf");
  ExpectIndexConsistent(list);
}

TEST(PlayList, ManyEntriesStayConsistentThroughMixedEdits) {
  TPlayList list;
  for (int i = 0; i < 2000; ++i) list.AddToPlayList(QStringLiteral("/Movies/%1.swf").arg(i));
  for (int i = 0; i < 300; ++i) {
    list.Move((i * 37) % list.Count(), (i * 101) % (list.Count() + 1));
    if (i % 3 == 0) list.Remove((i * 53) % list.Count());
    if (i % 5 == 0) {
      EXPECT_FALSE(list.AddToPlayList(list.At((i * 7) % list.Count()).address.toLower()));
    }
  }
  EXPECT_EQ(list.Count(), 1900);
  ExpectIndexConsistent(list);
}
