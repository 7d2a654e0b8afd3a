// The viewer's controls around the playing movie: full screen and Esc, the scale
// modes, the window's margin around the movie, seeking with the progress thumb, the
// volume bar, the mute buttons and the auto mode.

#include <QAction>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QScreen>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

#include "ComVar.h"
#include "MainFrm.h"
#include "controls/ImgTrackBar.h"
#include "engine/control/FlashPlayerControl.h"

namespace plavex {

// ---------------------------------------------------------------- full screen

void TMainFrm::ActFullOnExecute() {
  if (!MovieOpen() || FullScreen) return;
  EnterFullScreen();
}

void TMainFrm::EnterFullScreen() {
  savedState_ = windowState();
  if (isMaximized()) showNormal();
  savedBounds_ = geometry();

  // Flash1 alone fills the window.
  if (auto* layout = qobject_cast<QVBoxLayout*>(centralWidget()->layout())) {
    PanFlash->layout()->removeWidget(Flash1);
    Flash1->setParent(centralWidget());
    layout->addWidget(Flash1, 1);
    Flash1->show();
  }
  SbFullScreenOn->setVisible(false);
  ActFullOn->setEnabled(false);
  SbFullScreenOff->setVisible(true);
  ActFullOff->setEnabled(true);
  PanTop->setVisible(false);
  Pages->setVisible(false);
  FullScreen = true;

  const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
  setWindowFlag(Qt::FramelessWindowHint, true);
  setGeometry(area);
  show();
}

void TMainFrm::ActFullOffExecute() {
  if (!FullScreen) return;
  FullScreen = false;
  setWindowFlag(Qt::FramelessWindowHint, false);
  PanTop->setVisible(true);
  Pages->setVisible(true);
  if (auto* layout = qobject_cast<QVBoxLayout*>(PanFlash->layout())) {
    centralWidget()->layout()->removeWidget(Flash1);
    Flash1->setParent(PanFlash);
    layout->insertWidget(0, Flash1, 1);
    Flash1->show();
  }
  SbFullScreenOff->setVisible(false);
  SbFullScreenOn->setVisible(true);
  ActFullOff->setEnabled(false);
  ActFullOn->setEnabled(true);
  setGeometry(savedBounds_);
  show();
  if (savedState_ & Qt::WindowMaximized) showMaximized();
  else if (savedState_ & Qt::WindowMinimized) showMinimized();
}

void TMainFrm::EscHotKeyPressed() {
  if (FullScreen) ActFullOffExecute();
}

void TMainFrm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && FullScreen) {
    ActFullOffExecute();
    event->accept();
    return;
  }
  QMainWindow::keyPressEvent(event);
}

// ---------------------------------------------------------------- scale and margins

void TMainFrm::MISOrgClick() {
  ScaleSetting = 0;
  Flash1->setScaleMode(0);
  MISOrg->setChecked(true);
}

void TMainFrm::MISAllClick() {
  ScaleSetting = 1;
  Flash1->setScaleMode(1);
  MISAll->setChecked(true);
}

void TMainFrm::MISScaleClick() {
  ScaleSetting = 3;
  Flash1->setScaleMode(3);
  MISScale->setChecked(true);
}

void TMainFrm::PanFlashResize() {
  // In full screen Flash1 fills the window; the margin is that of the play page.
  if (FullScreen || Flash1->parentWidget() != PanFlash) return;
  FrameMarginWidth = width() - Flash1->width();
  FrameMarginHeight = height() - Flash1->height();
}

// ---------------------------------------------------------------- seeking

void TMainFrm::ShowTimeAt(int frame) {
  if (MovieFrameRate > 0) {
    const QString time = FormatFrames(frame, MovieFrameRate);
    PP1->setToolTipText(time);
    LbCurFrames->setText(time);
  } else {
    const int max = std::max(1, PP1->Max());
    PP1->setToolTipText(QString::number(static_cast<int>(std::trunc(PP1->ThumbPos * 100.0 / max))) + u'%');
    LbCurFrames->setText(QString::number(frame));
  }
}

void TMainFrm::PP1ThumbDraged(QObject*) {
  Dragging = true;
  Flash1->GotoFrame(PP1->ThumbPos);
  ShowTimeAt(PP1->ThumbPos);
}

void TMainFrm::PP1PlayPosChanged(QObject*) {
  // Also fires when a new movie pulls the bar back to 0; only an open movie is resumed.
  if (MovieOpen() && !Stopped && !Flash1->Playing()) Flash1->Play();
  Dragging = false;
  if (!Stopped) SetPlayState(false);
  ShowTimeAt(PP1->PosPlay());
}

void TMainFrm::Seek(int frame) {
  if (!MovieOpen()) return;
  frame = std::clamp(frame, 0, std::max(0, PP1->Max()));
  Flash1->GotoFrame(frame);
  PP1->setPosPlay(frame);
  ShowTimeAt(PP1->PosPlay());
}

// ---------------------------------------------------------------- sound and auto mode

void TMainFrm::VCB1PlayPosChanged(QObject*) {
  VCB1->setToolTipText(QString::number(VCB1->Position()) + u'%');
  VCB1->setToolTip(VCB1->ToolTip());
  engine::TFlashPlayerControl::setAudioVolume(VCB1->Position());
}

void TMainFrm::SbMuteOnClick() {
  engine::TFlashPlayerControl::setAudioEnabled(false);
  VCB1->setEnabled(false);
  SbMuteOn->setVisible(false);
  SbMuteOff->setVisible(true);
}

void TMainFrm::SbMuteOffClick() {
  engine::TFlashPlayerControl::setAudioEnabled(true);
  VCB1->setEnabled(true);
  SbMuteOff->setVisible(false);
  SbMuteOn->setVisible(true);
}

bool TMainFrm::Muted() const { return !engine::TFlashPlayerControl::audioEnabled(); }

void TMainFrm::SB_AUTOMouseDown() { SetAutoMode(!AutoMode); }

void TMainFrm::SetAutoMode(bool on) {
  AutoMode = on;
  SB_AUTO->setCheckable(true);
  SB_AUTO->setChecked(on);  // shown pressed while on
}

}  // namespace plavex
