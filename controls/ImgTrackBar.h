#pragma once
// Picture-drawn track bars of the play page: the draggable thumb TCvMoveImage, the
// play progress bar TPlayProgress (load and play positions) and the volume bar
// TVolumeCtrlBar. Positions and pixels convert through a tick size kept as a 32-bit
// float; out-of-range values written to a bar are clamped silently.

#include <QLabel>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QWidget>

class QFrame;

namespace plavex::controls {

// What a thumb reports to the bar it belongs to, synchronously and in order.
class TThumbHost {
 public:
  virtual ~TThumbHost() = default;
  // The held thumb was dragged by dx, dy screen pixels.
  virtual void ThumbMoved(int dx, int dy) = 0;
  // The mouse button was released on the thumb.
  virtual void ThumbReleased() = 0;
};

class TCvMoveImage : public QLabel {
  Q_OBJECT
 public:
  explicit TCvMoveImage(QWidget* parent = nullptr);

  // Shows FPicture (none empties the thumb, which then cannot be seen).
  void ChangeImg();
  bool MouseDown() const { return bMouseDown; }

  TThumbHost* FParentHandle = nullptr;  // set by the bar at its first resize
  bool FDynamicThumb = false;            // shown only while the mouse is over the bar
  const QPixmap* FPicture = nullptr;     // FPictureNormal, FPictureHot or none
  QPixmap FPictureNormal;
  QPixmap FPictureHot;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  void showPicture(const QPixmap* picture);

  QPoint OldPoint;
  bool bMouseDown = false;
};

class TPlayProgress : public QWidget, public TThumbHost {
  Q_OBJECT
 public:
  explicit TPlayProgress(QWidget* parent = nullptr);

  int Min() const { return FMin; }
  int Max() const { return FMax; }
  int PosLoad() const { return FLoad; }
  int PosPlay() const { return FPlay; }
  void setMin(int value) { update(value, FMax, FLoad, FPlay); }
  void setMax(int value) { update(FMin, value, FLoad, FPlay); }
  void setPosLoad(int value) { update(FMin, FMax, value, FPlay); }
  void setPosPlay(int value) { update(FMin, FMax, FLoad, value); }

  QPixmap PictureLoad() const;
  QPixmap PicturePlay() const;
  void setPictureLoad(const QPixmap& picture);
  void setPicturePlay(const QPixmap& picture);
  const QPixmap& PictureThumbNormal() const { return FThumb->FPictureNormal; }
  const QPixmap& PictureThumbHot() const { return FThumb->FPictureHot; }
  void setPictureThumbNormal(const QPixmap& picture);
  void setPictureThumbHot(const QPixmap& picture);

  QString ToolTip() const;
  void setToolTipText(const QString& text);
  bool Transparent() const { return FTransparent; }
  void setTransparent(bool transparent);
  bool DynamicThumb() const { return FThumb->FDynamicThumb; }
  void setDynamicThumb(bool dynamic);

  float TickSize() const { return FTickSize; }
  TCvMoveImage* Thumb() const { return FThumb; }
  int LoadBarWidth() const;
  int PlayBarWidth() const;
  QRect BevelGeometry() const;
  QPoint LoadBarPos() const;
  QPoint PlayBarPos() const;

  void ThumbMoved(int dx, int dy) override;
  void ThumbReleased() override;

  int ThumbPos = 0;  // range position under the thumb

 signals:
  void OnPlayPosChanged(QObject* sender);
  void OnThumbDraged(QObject* sender);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  void update(int min, int max, int load, int play);
  void layoutChildren();
  void computeTickSize();
  void applyPositions();
  void setPicture(QLabel* bar, const QPixmap& picture);
  bool hasLoadPicture() const;

  QFrame* FBevel = nullptr;
  int FMin = 0;
  int FMax = 100;
  int FPlay = 0;
  int FLoad = 0;
  bool FTransparent = false;
  float FTickSize = 1.0f;
  QLabel* FImgLoad = nullptr;
  QLabel* FImgPlay = nullptr;
  TCvMoveImage* FThumb = nullptr;
};

class TVolumeCtrlBar : public QWidget, public TThumbHost {
  Q_OBJECT
 public:
  explicit TVolumeCtrlBar(QWidget* parent = nullptr);

  int Min() const { return FMin; }
  int Max() const { return FMax; }
  int Position() const { return FPos; }
  void setMin(int value) { update(value, FMax, FPos); }
  void setMax(int value) { update(FMin, value, FPos); }
  void setPosition(int value) { update(FMin, FMax, value); }

  QPixmap PictureBackGround() const;
  QPixmap PicturePostion() const;
  void setPictureBackGround(const QPixmap& picture);
  void setPicturePostion(const QPixmap& picture);
  const QPixmap& PictureThumbNormal() const { return FThumb->FPictureNormal; }
  const QPixmap& PictureThumbHot() const { return FThumb->FPictureHot; }
  void setPictureThumbNormal(const QPixmap& picture);
  void setPictureThumbHot(const QPixmap& picture);

  QString ToolTip() const;
  void setToolTipText(const QString& text);
  bool Transparent() const { return FTransparent; }
  void setTransparent(bool transparent);

  float TickSize() const { return FTickSize; }
  TCvMoveImage* Thumb() const { return FThumb; }
  int FilledWidth() const;
  int TrackTop() const;

  void ThumbMoved(int dx, int dy) override;
  void ThumbReleased() override {}  // releasing the thumb does nothing here

 signals:
  void OnPlayPosChanged(QObject* sender);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void update(int min, int max, int pos);
  void layoutChildren();
  void computeTickSize();
  void applyPosition();

  int FMin = 0;
  int FMax = 100;
  int FPos = 0;
  bool FTransparent = false;
  float FTickSize = 1.0f;
  QLabel* FImgBG = nullptr;
  QLabel* FImgPos = nullptr;
  TCvMoveImage* FThumb = nullptr;
};

}  // namespace plavex::controls
