#include "PlayListView.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QPainter>

#include "PlayListTableModel.h"

namespace plavex {

TPlayListDelegate::TPlayListDelegate(QPixmap current, QPixmap invalid, std::function<QString()> openMovie,
                                     QObject* parent)
    : QStyledItemDelegate(parent),
      FCurrent(std::move(current)),
      FInvalid(std::move(invalid)),
      FOpenMovie(std::move(openMovie)) {}

QColor TPlayListDelegate::EntryColour(const QModelIndex& index) const {
  const QAbstractItemModel* model = index.model();
  if (!model) return kEntryNormalColour;
  const int row = index.row();
  if (model->index(row, TPlayListModel::ColTime).data().toString() == QLatin1String("Err"))
    return kEntryInvalidColour;
  if (FOpenMovie && model->index(row, TPlayListModel::ColUrl).data().toString() == FOpenMovie())
    return kEntryCurrentColour;
  return kEntryNormalColour;
}

void TPlayListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
  QStyleOptionViewItem opt = option;
  initStyleOption(&opt, index);
  const QColor colour = EntryColour(index);
  opt.palette.setColor(QPalette::Text, colour);
  opt.palette.setColor(QPalette::HighlightedText, colour);
  // A light selection keeps the entry's colour readable.
  opt.palette.setColor(QPalette::Highlight, QColor(200, 220, 255));
  if (index.column() == TPlayListModel::ColTime) opt.displayAlignment = Qt::AlignCenter;
  if (index.column() == TPlayListModel::ColCaption) {
    opt.text.clear();  // only the mark shows in the narrow first column
    const QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
    const int mark = index.data(TPlayListModel::MarkRole).toInt();
    const QPixmap* image = mark == 0 ? &FCurrent : mark == 1 ? &FInvalid : nullptr;
    if (image && !image->isNull()) {
      const QSize size = image->deviceIndependentSize().toSize();
      const QRect r = opt.rect;
      painter->drawPixmap(r.left() + (r.width() - size.width()) / 2, r.top() + (r.height() - size.height()) / 2,
                          *image);
    }
    return;
  }
  const QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
  style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
}

void TPlayListDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                             const QModelIndex& index) const {
  // The caption column is only as wide as the mark: the editor takes the whole row.
  QRect r = option.rect;
  if (const auto* view = qobject_cast<const QAbstractItemView*>(option.widget)) r.setRight(view->viewport()->width() - 1);
  editor->setGeometry(r);
  Q_UNUSED(index);
}

TPlayListView::TPlayListView(QWidget* parent) : QTreeView(parent) {
  setUniformRowHeights(true);  // keeps 100,000 entries cheap to lay out
  setAcceptDrops(true);
  setDragEnabled(true);
  setDragDropMode(QAbstractItemView::DragDrop);
  setDefaultDropAction(Qt::MoveAction);
  setDropIndicatorShown(true);
}

bool TPlayListView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
  // Whatever column was clicked, the caption is what is renamed.
  if (index.isValid() && index.column() != TPlayListModel::ColCaption)
    return QTreeView::edit(index.siblingAtColumn(TPlayListModel::ColCaption), trigger, event);
  return QTreeView::edit(index, trigger, event);
}

void TPlayListView::keyPressEvent(QKeyEvent* event) {
  const bool deleteKey = event->key() == Qt::Key_Delete ||
                         (event->key() == Qt::Key_Period && (event->modifiers() & Qt::KeypadModifier)) ||
                         (event->key() == Qt::Key_Comma && (event->modifiers() & Qt::KeypadModifier));
  if (deleteKey && !Editing()) {
    emit DeleteKeyPressed();
    event->accept();
    return;
  }
  QTreeView::keyPressEvent(event);
}

void TPlayListView::dragEnterEvent(QDragEnterEvent* event) {
  // Every source is accepted while dragging over the list; only list drops act.
  event->setDropAction(Qt::MoveAction);
  event->accept();
}

void TPlayListView::dragMoveEvent(QDragMoveEvent* event) {
  event->setDropAction(Qt::MoveAction);
  event->accept();
}

void TPlayListView::dropEvent(QDropEvent* event) {
  if (!qobject_cast<QAbstractItemView*>(event->source())) {
    event->ignore();
    return;
  }
  const QModelIndex target = indexAt(event->position().toPoint());
  event->setDropAction(Qt::IgnoreAction);  // the window moves the entry; the drag removes nothing
  event->accept();
  emit EntryDropped(target.isValid() ? target.row() : -1);
}

}  // namespace plavex
