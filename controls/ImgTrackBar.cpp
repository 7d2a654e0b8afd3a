#include "ImgTrackBar.h"

#include <QEnterEvent>
#include <QFrame>
#include <QMouseEvent>

#include <algorithm>
#include <cmath>

namespace plavex::controls {
namespace {

QSize pictureSize(const QPixmap& picture) { return picture.deviceIndependentSize().toSize(); }

// Pixels for a position: the stored 32-bit tick widened, the product truncated.
int truncPixels(int position, float tick) {
  return static_cast<int>(std::trunc(static_cast<double>(position) * static_cast<double>(tick)));
}

// A range position for a pixel width; a degenerate tick (a bar too narrow to have
// a track) maps everything to 0 instead of dividing by zero.
double unitsFor(int pixels, float tick) {
  if (!(tick > 0.0f)) return 0.0;
  return static_cast<double>(pixels) / static_cast<double>(tick);
}

void setWidth(QWidget* widget, int width) { widget->resize(std::max(0, width), widget->height()); }

QLabel* makePictureControl(QWidget* parent, bool stretch) {
  auto* label = new QLabel(parent);
  label->setScaledContents(stretch);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // Mouse input goes to the bar, as with a picture control that has no handlers.
  label->setAttribute(Qt::WA_TransparentForMouseEvents);
  return label;
}

void applyTransparency(QWidget* widget, bool transparent) {
  widget->setAutoFillBackground(!transparent);
}

}  // namespace

// ---------------------------------------------------------------- TCvMoveImage

TCvMoveImage::TCvMoveImage(QWidget* parent) : QLabel(parent) {
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
  FPicture = &FPictureNormal;
}

void TCvMoveImage::ChangeImg() {
  if (!FPicture || FPicture->isNull()) {
    clear();
    return;
  }
  setPixmap(*FPicture);
  resize(pictureSize(*FPicture));  // the thumb sizes itself to its picture
}

void TCvMoveImage::showPicture(const QPixmap* picture) {
  FPicture = picture;
  ChangeImg();
}

void TCvMoveImage::mousePressEvent(QMouseEvent* event) {
  QLabel::mousePressEvent(event);
  event->accept();
  OldPoint = event->globalPosition().toPoint();
  bMouseDown = true;
  if (FDynamicThumb && !FPictureHot.isNull()) showPicture(&FPictureHot);
}

void TCvMoveImage::mouseMoveEvent(QMouseEvent* event) {
  QLabel::mouseMoveEvent(event);
  if (!bMouseDown) return;
  const QPoint now = event->globalPosition().toPoint();
  if (now.x() == OldPoint.x()) return;  // a purely vertical move is ignored
  if (FParentHandle) FParentHandle->ThumbMoved(now.x() - OldPoint.x(), now.y() - OldPoint.y());
  OldPoint = now;  // advanced whether or not the bar accepted the move
}

void TCvMoveImage::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  bMouseDown = false;
  if (FDynamicThumb) showPicture(&FPictureNormal);
  if (FParentHandle) FParentHandle->ThumbReleased();
}

void TCvMoveImage::enterEvent(QEnterEvent* event) {
  QLabel::enterEvent(event);
  if (FDynamicThumb)
    showPicture(&FPictureNormal);
  else if (!FPictureHot.isNull())
    showPicture(&FPictureHot);
}

void TCvMoveImage::leaveEvent(QEvent* event) {
  QLabel::leaveEvent(event);
  showPicture(FDynamicThumb ? nullptr : &FPictureNormal);
}

// ---------------------------------------------------------------- TPlayProgress

TPlayProgress::TPlayProgress(QWidget* parent) : QWidget(parent) {
  resize(200, 16);
  FBevel = new QFrame(this);
  FBevel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  FBevel->setLineWidth(1);
  FBevel->setAttribute(Qt::WA_TransparentForMouseEvents);
  FBevel->setGeometry(5, 5, 190, 5);
  FImgLoad = makePictureControl(this, true);
  FImgPlay = makePictureControl(this, true);
  for (QLabel* bar : {FImgLoad, FImgPlay}) {
    applyTransparency(bar, FTransparent);
    bar->setGeometry(FBevel->x() + 1, FBevel->y() + 1, 0, FBevel->height() - 2);
  }
  FThumb = new TCvMoveImage(this);
  FThumb->setGeometry(0, 0, 10, height());
}

QPixmap TPlayProgress::PictureLoad() const { return FImgLoad->pixmap(); }
QPixmap TPlayProgress::PicturePlay() const { return FImgPlay->pixmap(); }
bool TPlayProgress::hasLoadPicture() const { return !FImgLoad->pixmap().isNull(); }
int TPlayProgress::LoadBarWidth() const { return FImgLoad->width(); }
int TPlayProgress::PlayBarWidth() const { return FImgPlay->width(); }
QRect TPlayProgress::BevelGeometry() const { return FBevel->geometry(); }
QPoint TPlayProgress::LoadBarPos() const { return FImgLoad->pos(); }
QPoint TPlayProgress::PlayBarPos() const { return FImgPlay->pos(); }
QString TPlayProgress::ToolTip() const { return FThumb->toolTip(); }
void TPlayProgress::setToolTipText(const QString& text) { FThumb->setToolTip(text); }

void TPlayProgress::setPicture(QLabel* bar, const QPixmap& picture) {
  if (!picture.isNull()) bar->resize(pictureSize(picture));
  bar->setPixmap(picture);
  layoutChildren();
}

void TPlayProgress::setPictureLoad(const QPixmap& picture) { setPicture(FImgLoad, picture); }
void TPlayProgress::setPicturePlay(const QPixmap& picture) { setPicture(FImgPlay, picture); }

void TPlayProgress::setPictureThumbNormal(const QPixmap& picture) {
  FThumb->FPictureNormal = picture;
  FThumb->FPicture = &FThumb->FPictureNormal;
  FThumb->ChangeImg();
  layoutChildren();
}

void TPlayProgress::setPictureThumbHot(const QPixmap& picture) { FThumb->FPictureHot = picture; }

void TPlayProgress::setTransparent(bool transparent) {
  if (transparent == FTransparent) return;
  FTransparent = transparent;
  applyTransparency(FImgLoad, transparent);
  applyTransparency(FImgPlay, transparent);
  applyTransparency(FThumb, transparent);
}

void TPlayProgress::setDynamicThumb(bool dynamic) {
  FThumb->FDynamicThumb = dynamic;
  FThumb->FPicture = dynamic ? nullptr : &FThumb->FPictureNormal;
  FThumb->ChangeImg();
}

void TPlayProgress::layoutChildren() {
  const int tw = FThumb->width();
  const int th = FThumb->height();
  const int bevelLeft = tw / 2;
  const int bevelHeight = FImgPlay->height() + 2;
  const int bevelTop = (th - bevelHeight) / 2;
  FBevel->setGeometry(bevelLeft, bevelTop, std::max(0, width() - tw), bevelHeight);
  FImgLoad->move(bevelLeft + 1, bevelTop + 1);
  FImgPlay->move(bevelLeft + 1, bevelTop + 1);
}

void TPlayProgress::computeTickSize() {
  // The bevel's nominal width may be negative for a bar narrower than its thumb.
  const int bevelWidth = width() - FThumb->width();
  FTickSize = static_cast<float>(static_cast<double>(bevelWidth - 2) / (FMax - FMin));
}

void TPlayProgress::applyPositions() {
  setWidth(FImgLoad, truncPixels(FLoad, FTickSize));
  const int play = truncPixels(FPlay, FTickSize);
  setWidth(FImgPlay, play);
  FThumb->move(std::max(0, play), 0);
}

void TPlayProgress::update(int min, int max, int load, int play) {
  if (min < 0) min = 0;
  if (min >= max) max = min + 1;
  load = std::clamp(load, min, max);
  play = std::clamp(play, min, max);
  if (hasLoadPicture() && play > load) play = load;  // never past the loaded part
  if (min != FMin) {
    FMin = min;
    computeTickSize();
    applyPositions();
  }
  if (max != FMax) {
    FMax = max;
    computeTickSize();
    applyPositions();
  }
  if (load != FLoad) {
    FLoad = load;
    setWidth(FImgLoad, truncPixels(FLoad, FTickSize));
  }
  if (play != FPlay) {
    FPlay = play;
    ThumbPos = play;
    const int pixels = truncPixels(FPlay, FTickSize);
    setWidth(FImgPlay, pixels);
    FThumb->move(std::max(0, pixels), 0);
    emit OnPlayPosChanged(this);
  }
}

void TPlayProgress::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (!FThumb->FParentHandle) FThumb->FParentHandle = this;
  FThumb->ChangeImg();
  layoutChildren();
  computeTickSize();
  applyPositions();
  if (FThumb->FDynamicThumb) {
    FThumb->FPicture = nullptr;
    FThumb->ChangeImg();
  }
}

void TPlayProgress::enterEvent(QEnterEvent* event) {
  QWidget::enterEvent(event);
  if (!FThumb->FDynamicThumb) return;
  FThumb->FPicture = &FThumb->FPictureNormal;
  FThumb->ChangeImg();
}

void TPlayProgress::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  if (!FThumb->FDynamicThumb) return;
  FThumb->FPicture = nullptr;
  FThumb->ChangeImg();
}

void TPlayProgress::ThumbMoved(int dx, int) {
  const int newLeft = FThumb->x() + dx;
  if (newLeft < 0) return;
  if (newLeft > truncPixels(FMax, FTickSize)) return;
  if (hasLoadPicture() && newLeft > truncPixels(FLoad, FTickSize)) return;
  FThumb->move(newLeft, FThumb->y());
  setWidth(FImgPlay, newLeft);
  ThumbPos = static_cast<int>(std::trunc(unitsFor(FImgPlay->width(), FTickSize)));
  emit OnThumbDraged(this);
}

void TPlayProgress::ThumbReleased() {
  setPosPlay(static_cast<int>(std::trunc(unitsFor(FImgPlay->width(), FTickSize))));
}

// ---------------------------------------------------------------- TVolumeCtrlBar

TVolumeCtrlBar::TVolumeCtrlBar(QWidget* parent) : QWidget(parent) {
  resize(80, 12);
  FImgBG = makePictureControl(this, false);
  FImgPos = makePictureControl(this, false);
  for (QLabel* track : {FImgBG, FImgPos}) {
    applyTransparency(track, FTransparent);
    track->setGeometry(0, 0, 80, height());
  }
  FThumb = new TCvMoveImage(this);
  FThumb->setGeometry(0, 0, 12, height());
}

QPixmap TVolumeCtrlBar::PictureBackGround() const { return FImgBG->pixmap(); }
QPixmap TVolumeCtrlBar::PicturePostion() const { return FImgPos->pixmap(); }
int TVolumeCtrlBar::FilledWidth() const { return FImgPos->width(); }
int TVolumeCtrlBar::TrackTop() const { return FImgBG->y(); }
QString TVolumeCtrlBar::ToolTip() const { return FThumb->toolTip(); }
void TVolumeCtrlBar::setToolTipText(const QString& text) { FThumb->setToolTip(text); }

void TVolumeCtrlBar::setPictureBackGround(const QPixmap& picture) {
  FImgBG->setPixmap(picture);
  if (!picture.isNull()) FImgBG->resize(pictureSize(picture));
  layoutChildren();
}

void TVolumeCtrlBar::setPicturePostion(const QPixmap& picture) {
  FImgPos->setPixmap(picture);
  layoutChildren();
  applyPosition();
}

void TVolumeCtrlBar::setPictureThumbNormal(const QPixmap& picture) {
  FThumb->FPictureNormal = picture;
  FThumb->FPicture = &FThumb->FPictureNormal;
  FThumb->ChangeImg();
  layoutChildren();
}

void TVolumeCtrlBar::setPictureThumbHot(const QPixmap& picture) { FThumb->FPictureHot = picture; }

void TVolumeCtrlBar::setTransparent(bool transparent) {
  if (transparent == FTransparent) return;
  FTransparent = transparent;
  applyTransparency(FImgBG, transparent);
  applyTransparency(FImgPos, transparent);
  applyTransparency(FThumb, transparent);
}

// The control sizes itself to its pictures: track width plus thumb width, thumb height.
void TVolumeCtrlBar::layoutChildren() {
  const int bw = FImgBG->width();
  const int bh = FImgBG->height();
  const int tw = FThumb->width();
  const int th = FThumb->height();
  const int top = (th - bh) / 2;
  FImgBG->move(0, top);
  FImgPos->setGeometry(0, top, FImgPos->width(), bh);
  setFixedSize(bw + tw, th);
}

void TVolumeCtrlBar::computeTickSize() {
  FTickSize = static_cast<float>(static_cast<double>(FImgBG->width() - 2) / (FMax - FMin));
}

void TVolumeCtrlBar::applyPosition() {
  const int filled = truncPixels(FPos, FTickSize);
  setWidth(FImgPos, filled);
  FThumb->move(std::max(0, filled), 0);
}

void TVolumeCtrlBar::update(int min, int max, int pos) {
  if (min < 0) min = 0;
  if (min >= max) max = min + 1;
  pos = std::clamp(pos, min, max);
  if (min != FMin) {
    FMin = min;
    computeTickSize();
    applyPosition();
  }
  if (max != FMax) {
    FMax = max;
    computeTickSize();
    applyPosition();
  }
  if (pos != FPos) {
    FPos = pos;
    applyPosition();
    emit OnPlayPosChanged(this);
  }
}

void TVolumeCtrlBar::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (!FThumb->FParentHandle) FThumb->FParentHandle = this;
  FThumb->ChangeImg();
  layoutChildren();
  computeTickSize();
  applyPosition();
}

void TVolumeCtrlBar::ThumbMoved(int dx, int) {
  const int newLeft = FThumb->x() + dx;
  if (newLeft < 0) return;
  const double limit = std::nearbyint(static_cast<double>(FMax) * static_cast<double>(FTickSize));
  if (newLeft > limit) return;
  FThumb->move(newLeft, FThumb->y());
  setWidth(FImgPos, newLeft);
  FPos = static_cast<int>(std::nearbyint(unitsFor(FImgPos->width(), FTickSize)));
  emit OnPlayPosChanged(this);
}

}  // namespace plavex::controls
