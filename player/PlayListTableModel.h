#pragma once
// The play list as an item model for a list view: four columns (caption with the mark,
// title, time text, address), one row per entry. Every change goes through this class,
// which keeps the view informed; the rules themselves are TPlayList's.

#include <QAbstractTableModel>

#include "PlayListModel.h"

namespace plavex {

class TPlayListModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum Column { ColCaption = 0, ColTitle = 1, ColTime = 2, ColUrl = 3, ColumnCount = 4 };
  // Role of column 0 that holds the entry's mark (-1 none, 0 current, 1 invalid).
  static constexpr int MarkRole = Qt::UserRole + 1;

  explicit TPlayListModel(QObject* parent = nullptr);

  const TPlayList& List() const { return FList; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  // The column titles "图标+标题", "标题", "时间", "URL".
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  // Column 0 is editable: an accepted edit is the rename (title and caption).
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

  int IndexOfUrl(const QString& address) const { return FList.IndexOfUrl(address); }
  bool AddToPlayList(const QString& address, const QString& title = {}, const QString& timeText = {});
  bool Remove(int index);
  void Clear();
  int RemoveInvalid();
  int Move(int from, int before);
  bool SetMark(int index, int mark);
  bool SetTimeText(int index, const QString& timeText);
  bool Rename(int index, const QString& title);
  int ReplaceWith(const std::vector<TPlfRecord>& records);

 private:
  void RowChanged(int row);

  TPlayList FList;
};

}  // namespace plavex
