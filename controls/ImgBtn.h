#pragma once
// A button drawn entirely from pictures: normal, hot (mouse over), down (left button
// held) and disabled. It takes the size of the picture it shows and can follow a
// QAction for its click, enabled state, hint and visibility.

#include <QPixmap>
#include <QPointer>
#include <QWidget>

class QAction;

namespace plavex::controls {

class TImgBtn : public QWidget {
  Q_OBJECT
 public:
  enum class Face { Normal, Hot, Down, Disabled };

  explicit TImgBtn(QWidget* parent = nullptr);

  void setAction(QAction* action);
  QAction* Action() const { return FAction; }

  bool Transparent() const { return FTransparent; }
  void setTransparent(bool transparent);

  const QPixmap& PictureNormal() const { return FPictureNormal; }
  const QPixmap& PictureHot() const { return FPictureHot; }
  const QPixmap& PictureDown() const { return FPictureDown; }
  const QPixmap& PictureDisabled() const { return FPictureDisabled; }
  void setPictureNormal(const QPixmap& picture);
  void setPictureHot(const QPixmap& picture);
  void setPictureDown(const QPixmap& picture);
  void setPictureDisabled(const QPixmap& picture);

  // Which of the four pictures is the one on show.
  Face CurrentFace() const;
  QSize sizeHint() const override;

 signals:
  void OnClick();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void show(const QPixmap* picture);
  void syncFromAction();

  bool FTransparent = true;
  const QPixmap* FPicture = nullptr;  // one of the four below
  QPixmap FPictureNormal;
  QPixmap FPictureHot;
  QPixmap FPictureDown;
  QPixmap FPictureDisabled;
  QPointer<QAction> FAction;
  bool FActionVisible = true;
  bool FPressedInside = false;
};

}  // namespace plavex::controls
