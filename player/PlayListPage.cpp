// The play list beside the movie: finding and adding entries, the marks, the user's
// editing commands, hiding and showing the list, and the PLF open and save commands.

#include <QAction>
#include <QFileDialog>
#include <QInputDialog>
#include <QItemSelectionModel>
#include <QSplitter>
#include <QToolButton>

#include "ComVar.h"
#include "FileFilter.h"
#include "MainFrm.h"
#include "PlayListTableModel.h"
#include "PlayListView.h"
#include "SelectFolder.h"
#include "engine/control/FlashPlayerControl.h"

namespace plavex {

namespace {
const QString kPlayListFilter = QStringLiteral("播放列表文件（*.PLF）|*.plf");
}

// ---------------------------------------------------------------- entries

int TMainFrm::IndexOfUrl(const QString& address) const { return PlyListModel->IndexOfUrl(address); }

void TMainFrm::AddToPlayList(const QString& address, const QString& title, const QString& timeText) {
  if (PlyListModel->AddToPlayList(address, title, timeText)) ApplyDrawingRule(PlyListModel->rowCount() - 1);
}

void TMainFrm::ApplyDrawingRule(int index) {
  if (index < 0 || index >= PlyListModel->rowCount()) return;
  const TPlayListEntry& entry = PlyListModel->List().At(index);
  int mark = MarkNone;
  if (entry.timeText == QLatin1String("Err"))
    mark = MarkInvalid;
  else if (entry.address == Flash1->Movie())
    mark = MarkCurrent;
  PlyListModel->SetMark(index, mark);
}

void TMainFrm::ApplyDrawingRuleToAll() {
  for (int i = 0; i < PlyListModel->rowCount(); ++i) ApplyDrawingRule(i);
}

int TMainFrm::SelectedIndex() const {
  const QModelIndexList rows = PlyList->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

void TMainFrm::SelectEntry(int index) {
  if (index < 0 || index >= PlyListModel->rowCount()) return;
  const QModelIndex at = PlyListModel->index(index, TPlayListModel::ColCaption);
  PlyList->selectionModel()->setCurrentIndex(
      at, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  PlyList->scrollTo(at);
}

// ---------------------------------------------------------------- adding

void TMainFrm::L1Click() {
  OD2->setNameFilters(QtFilterFromWindowsFilter(QString::fromUtf16(kMovieFilter)));
  const QStringList files = RunFileDialog(OD2);
  if (files.isEmpty()) return;
  for (const QString& file : files) AddToPlayList(file);
  if (!MovieOpen()) PlayUrl(files.first());
}

void TMainFrm::P1Click() {
  const std::optional<QString> folder = desktop_.selectFolder ? desktop_.selectFolder(QStringLiteral("添加文件夹"))
                                                              : SelectFolder(this, QStringLiteral("添加文件夹"));
  if (!folder) return;
  for (const QString& file : MovieFilesIn(*folder)) AddToPlayList(file);
}

void TMainFrm::W1Click() {
  std::optional<QString> text;
  if (desktop_.inputText) {
    text = desktop_.inputText(QStringLiteral("打开网络动画"), QStringLiteral("请输入网络动画URL"));
  } else {
    bool ok = false;
    const QString typed = QInputDialog::getText(this, QStringLiteral("打开网络动画"),
                                                QStringLiteral("请输入网络动画URL"), QLineEdit::Normal, {}, &ok);
    if (ok) text = typed;
  }
  if (!text) return;
  AddToPlayList(*text);  // exactly as typed
  PlayUrl(*text);
}

// ---------------------------------------------------------------- deleting

void TMainFrm::MISaveFlashClick() {
  const int selected = SelectedIndex();
  if (selected >= 0) PlyListModel->Remove(selected);
}

void TMainFrm::PlyListKeyDown() { MISaveFlashClick(); }

void TMainFrm::P2Click() { PlyListModel->RemoveInvalid(); }

void TMainFrm::N3Click() { PlyListModel->Clear(); }

// ---------------------------------------------------------------- playing, reordering

void TMainFrm::PlyListDblClick() {
  const int selected = SelectedIndex();
  if (selected >= 0) PlayUrl(PlyListModel->List().At(selected).address);
}

void TMainFrm::PlyListDragDrop(int dropRow) {
  const int selected = SelectedIndex();
  if (selected < 0) return;
  const int before = dropRow < 0 ? PlyListModel->rowCount() : dropRow;
  const int moved = PlyListModel->Move(selected, before);
  if (moved >= 0) SelectEntry(moved);
}

// ---------------------------------------------------------------- the list panel

void TMainFrm::SbListCloseClick() {
  Splitter1->handle(1)->setVisible(false);
  PanPlyList->setVisible(false);
  SbListClose->setVisible(false);
  SbListOpen->setVisible(true);
}

void TMainFrm::SbListOpenClick() {
  PanPlyList->setVisible(true);
  Splitter1->handle(1)->setVisible(true);
  SbListOpen->setVisible(false);
  SbListClose->setVisible(true);
}

// ---------------------------------------------------------------- PLF files

TPlfReadResult TMainFrm::LoadPlayList(const QString& fileName) {
  TPlfReadResult read = ReadPlfFile(fileName);
  if (read.status == TPlfReadResult::Status::Missing) return read;
  if (!read.ok()) {
    // The list stays as it was; the user hears why the file could not be used.
    ShowError(QStringLiteral("无法读取播放列表“%1”：%2").arg(fileName, read.error), QStringLiteral("出错了"));
    return read;
  }
  PlyListModel->ReplaceWith(read.records);
  ApplyDrawingRuleToAll();
  if (!MovieOpen()) OpenPlayListItem(0);
  return read;
}

TPlfReadResult TMainFrm::AddPlayListFile(const QString& fileName) {
  TPlfReadResult read = ReadPlfFile(fileName);
  if (!read.ok()) return read;
  for (const TPlfRecord& record : read.records) AddToPlayList(record.address, record.title, record.timeText);
  if (!read.records.empty() && !MovieOpen()) PlayUrl(read.records.front().address);
  return read;
}

TPlfSaveResult TMainFrm::SavePlayList(const QString& fileName) const {
  return SavePlfFile(fileName, PlyListModel->List().ToRecords());
}

void TMainFrm::MenuItem1Click() {
  OD1->setDefaultSuffix(QStringLiteral("plf"));
  OD1->setNameFilters(QtFilterFromWindowsFilter(kPlayListFilter));
  const QStringList files = RunFileDialog(OD1);
  if (!files.isEmpty()) LoadPlayList(files.first());
}

void TMainFrm::MenuItem2Click() {
  SD1->setDefaultSuffix(QStringLiteral("plf"));
  SD1->setNameFilters(QtFilterFromWindowsFilter(kPlayListFilter));
  SD1->selectFile(QString());
  const QStringList files = RunFileDialog(SD1);
  if (files.isEmpty()) return;
  const TPlfSaveResult saved = SavePlayList(files.first());
  if (!saved.ok)
    ShowError(QStringLiteral("无法保存播放列表“%1”：%2").arg(files.first(), saved.error), QStringLiteral("出错了"));
}

}  // namespace plavex
