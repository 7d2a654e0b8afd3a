#include "PlayListTableModel.h"

#include <algorithm>

namespace plavex {

TPlayListModel::TPlayListModel(QObject* parent) : QAbstractTableModel(parent) {}

int TPlayListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : FList.Count(); }

int TPlayListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant TPlayListModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) return {};
  const TPlayListEntry& entry = FList.At(index.row());
  if (role == Qt::ToolTipRole) return entry.address;
  if (role == MarkRole && index.column() == ColCaption) return entry.mark;
  if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
  switch (index.column()) {
    case ColCaption: return entry.caption;
    case ColTitle: return entry.title;
    case ColTime: return entry.timeText;
    case ColUrl: return entry.address;
    default: return {};
  }
}

QVariant TPlayListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  switch (section) {
    case ColCaption: return QStringLiteral("图标+标题");
    case ColTitle: return QStringLiteral("标题");
    case ColTime: return QStringLiteral("时间");
    case ColUrl: return QStringLiteral("URL");
    default: return {};
  }
}

Qt::ItemFlags TPlayListModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags f = QAbstractTableModel::flags(index);
  if (index.isValid() && index.column() == ColCaption) f |= Qt::ItemIsEditable | Qt::ItemIsDragEnabled;
  return f;
}

bool TPlayListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || index.column() != ColCaption) return false;
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) return false;
  return Rename(index.row(), value.toString());
}

bool TPlayListModel::AddToPlayList(const QString& address, const QString& title, const QString& timeText) {
  if (FList.ContainsAddress(address)) return false;
  beginInsertRows({}, FList.Count(), FList.Count());
  FList.AddToPlayList(address, title, timeText);
  endInsertRows();
  return true;
}

bool TPlayListModel::Remove(int index) {
  if (index < 0 || index >= FList.Count()) return false;
  beginRemoveRows({}, index, index);
  FList.Remove(index);
  endRemoveRows();
  return true;
}

void TPlayListModel::Clear() {
  beginResetModel();
  FList.Clear();
  endResetModel();
}

int TPlayListModel::RemoveInvalid() {
  // Row by row from the end, so every removal the view hears of is a single row.
  int removed = 0;
  for (int i = FList.Count() - 1; i >= 0; --i) {
    if (FList.At(i).mark == MarkInvalid) {
      Remove(i);
      ++removed;
    }
  }
  return removed;
}

int TPlayListModel::Move(int from, int before) {
  if (from < 0 || from >= FList.Count()) return -1;
  before = std::clamp(before, 0, FList.Count());
  if (before == from || before == from + 1) return from;
  beginMoveRows({}, from, from, {}, before);
  const int to = FList.Move(from, before);
  endMoveRows();
  return to;
}

bool TPlayListModel::SetMark(int index, int mark) {
  if (index < 0 || index >= FList.Count()) return false;
  if (FList.At(index).mark == mark) return true;
  FList.SetMark(index, mark);
  RowChanged(index);
  return true;
}

bool TPlayListModel::SetTimeText(int index, const QString& timeText) {
  if (!FList.SetTimeText(index, timeText)) return false;
  RowChanged(index);
  return true;
}

bool TPlayListModel::Rename(int index, const QString& title) {
  if (!FList.Rename(index, title)) return false;
  RowChanged(index);
  return true;
}

int TPlayListModel::ReplaceWith(const std::vector<TPlfRecord>& records) {
  beginResetModel();
  const int added = FList.ReplaceWith(records);
  endResetModel();
  return added;
}

void TPlayListModel::RowChanged(int row) { emit dataChanged(index(row, 0), index(row, ColumnCount - 1)); }

}  // namespace plavex
