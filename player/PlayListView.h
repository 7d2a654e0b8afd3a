#pragma once
// The play list's view: a report-style list over TPlayListModel that draws the marks
// and colours, renames captions in place, reorders by drag and drop and reports the
// Delete keys. The window decides what the gestures do.

#include <QPixmap>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <functional>

namespace plavex {

// Text colours of the entries.
inline const QColor kEntryInvalidColour(128, 128, 128);
inline const QColor kEntryCurrentColour(255, 128, 64);
inline const QColor kEntryNormalColour(0, 0, 128);

// Draws column 0 as the mark image alone, the other columns in the entry's colour; the
// caption editor spans the row.
class TPlayListDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  TPlayListDelegate(QPixmap current, QPixmap invalid, std::function<QString()> openMovie, QObject* parent);

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const override;
  // The colour an entry's texts are drawn in.
  QColor EntryColour(const QModelIndex& index) const;

 private:
  QPixmap FCurrent;
  QPixmap FInvalid;
  std::function<QString()> FOpenMovie;
};

class TPlayListView : public QTreeView {
  Q_OBJECT
 public:
  explicit TPlayListView(QWidget* parent = nullptr);

  bool Editing() const { return state() == EditingState; }
  using QTreeView::edit;

 signals:
  // Delete or the keypad's decimal key, while no caption is being edited.
  void DeleteKeyPressed();
  // The selected entry was dropped on the entry at dropRow (-1: below the last entry).
  void EntryDropped(int dropRow);

 protected:
  bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
};

}  // namespace plavex
