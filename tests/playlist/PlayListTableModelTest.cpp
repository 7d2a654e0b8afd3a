#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include "player/PlayListTableModel.h"

using namespace plavex;

namespace {

QStringList Column(const TPlayListModel& model, int column) {
  QStringList out;
  for (int row = 0; row < model.rowCount(); ++row) out << model.index(row, column).data().toString();
  return out;
}

}  // namespace

TEST(PlayListTableModel, ViewSeesEveryChangeInTheSubItemOrder) {
  TPlayListModel model;
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
  QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

  EXPECT_TRUE(model.AddToPlayList("/m/a.swf"));
  EXPECT_TRUE(model.AddToPlayList("http://h/B.swf", "Bee", "01:02"));
  EXPECT_FALSE(model.AddToPlayList("HTTP://H/b.swf"));
  EXPECT_TRUE(model.AddToPlayList("/m/c.swf"));
  EXPECT_EQ(inserted.count(), 3);
  EXPECT_EQ(model.columnCount(), 4);
  EXPECT_EQ(Column(model, TPlayListModel::ColTitle), QStringList({"a.swf", "Bee", "c.swf"}));
  EXPECT_EQ(Column(model, TPlayListModel::ColTime), QStringList({"", "01:02", ""}));
  EXPECT_EQ(Column(model, TPlayListModel::ColUrl), QStringList({"/m/a.swf", "http://h/B.swf", "/m/c.swf"}));
  EXPECT_EQ(model.index(1, 0).data(Qt::ToolTipRole).toString(), "http://h/B.swf");

  // The in-place rename edits column 0 and sets the title with it.
  EXPECT_TRUE(model.setData(model.index(0, 0), QStringLiteral("新")));
  EXPECT_FALSE(model.setData(model.index(0, TPlayListModel::ColUrl), "x"));
  EXPECT_EQ(model.index(0, TPlayListModel::ColTitle).data().toString(), QStringLiteral("新"));
  EXPECT_EQ(model.List().At(0).address, "/m/a.swf");

  model.SetMark(2, MarkInvalid);
  EXPECT_EQ(model.index(2, 0).data(TPlayListModel::MarkRole).toInt(), MarkInvalid);
  EXPECT_GE(changed.count(), 2);

  // Drag the first onto the third, then delete the invalid one.
  EXPECT_EQ(model.Move(0, 2), 1);
  EXPECT_EQ(Column(model, TPlayListModel::ColUrl), QStringList({"http://h/B.swf", "/m/a.swf", "/m/c.swf"}));
  EXPECT_EQ(model.Move(1, 2), 1);
  EXPECT_EQ(model.Move(2, 0), 0);
  EXPECT_EQ(model.RemoveInvalid(), 1);
  EXPECT_EQ(Column(model, TPlayListModel::ColUrl), QStringList({"http://h/B.swf", "/m/a.swf"}));
  EXPECT_EQ(model.IndexOfUrl("/m/a.swf"), 1);

  EXPECT_EQ(model.ReplaceWith({{"/x.swf", "", ""}, {"/X.swf", "", ""}}), 1);
  EXPECT_EQ(model.rowCount(), 1);
  model.Clear();
  EXPECT_EQ(model.rowCount(), 0);
}
