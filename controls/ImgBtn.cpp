#include "ImgBtn.h"

#include <QAction>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>

namespace plavex::controls {

TImgBtn::TImgBtn(QWidget* parent) : QWidget(parent) {
  resize(40, 40);
  FPicture = &FPictureNormal;
}

void TImgBtn::setAction(QAction* action) {
  if (FAction == action) return;
  if (FAction) disconnect(FAction, nullptr, this, nullptr);
  FAction = action;
  if (!FAction) return;
  FActionVisible = FAction->isVisible();
  connect(FAction, &QAction::changed, this, &TImgBtn::syncFromAction);
  syncFromAction();
  setVisible(FActionVisible);
}

void TImgBtn::syncFromAction() {
  if (!FAction) return;
  setEnabled(FAction->isEnabled());
  const QString hint = FAction->toolTip();
  setToolTip(hint);
  // Visibility follows the action only when the action's own visibility changes, so
  // a button hidden by its owner stays hidden while the action merely toggles state.
  if (FAction->isVisible() != FActionVisible) {
    FActionVisible = FAction->isVisible();
    setVisible(FActionVisible);
  }
}

void TImgBtn::setTransparent(bool transparent) {
  FTransparent = transparent;
  update();
}

void TImgBtn::setPictureNormal(const QPixmap& picture) {
  if (isEnabled()) FPicture = &FPictureNormal;
  FPictureNormal = picture;
  show(FPicture);
}

void TImgBtn::setPictureHot(const QPixmap& picture) {
  FPictureHot = picture;
  show(FPicture);
}

void TImgBtn::setPictureDown(const QPixmap& picture) {
  FPictureDown = picture;
  show(FPicture);
}

void TImgBtn::setPictureDisabled(const QPixmap& picture) {
  if (!isEnabled()) FPicture = &FPictureDisabled;
  FPictureDisabled = picture;
  show(FPicture);
}

TImgBtn::Face TImgBtn::CurrentFace() const {
  if (FPicture == &FPictureHot) return Face::Hot;
  if (FPicture == &FPictureDown) return Face::Down;
  if (FPicture == &FPictureDisabled) return Face::Disabled;
  return Face::Normal;
}

QSize TImgBtn::sizeHint() const {
  if (FPicture && !FPicture->isNull()) return FPicture->deviceIndependentSize().toSize();
  return size();
}

// The button always takes the size of the picture it shows.
void TImgBtn::show(const QPixmap* picture) {
  FPicture = picture;
  if (FPicture && !FPicture->isNull()) {
    const QSize pictureSize = FPicture->deviceIndependentSize().toSize();
    if (size() != pictureSize) resize(pictureSize);
  }
  update();
}

void TImgBtn::paintEvent(QPaintEvent*) {
  if (!FPicture || FPicture->isNull()) return;  // a plain panel: only the background
  QPainter painter(this);
  if (!FTransparent) painter.fillRect(rect(), palette().window());
  painter.drawPixmap(0, 0, *FPicture);
}

void TImgBtn::enterEvent(QEnterEvent* event) {
  QWidget::enterEvent(event);
  if (isEnabled() && !FPictureHot.isNull()) show(&FPictureHot);
}

void TImgBtn::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  if (isEnabled()) show(&FPictureNormal);
}

void TImgBtn::mousePressEvent(QMouseEvent* event) {
  QWidget::mousePressEvent(event);
  if (event->button() != Qt::LeftButton) return;
  FPressedInside = true;
  if (isEnabled() && !FPictureDown.isNull()) show(&FPictureDown);
}

void TImgBtn::mouseReleaseEvent(QMouseEvent* event) {
  QWidget::mouseReleaseEvent(event);
  const bool click = FPressedInside && event->button() == Qt::LeftButton &&
                     rect().contains(event->position().toPoint());
  if (event->button() == Qt::LeftButton) FPressedInside = false;
  if (isEnabled()) show(&FPictureNormal);
  if (!click || !isEnabled()) return;
  if (FAction)
    FAction->trigger();
  else
    emit OnClick();
}

void TImgBtn::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange)
    show(isEnabled() ? &FPictureNormal : &FPictureDisabled);
  QWidget::changeEvent(event);
}

}  // namespace plavex::controls
