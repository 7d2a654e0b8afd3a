// Playing the movies of the play list in Flash1: opening an entry, the transport
// commands, the open button and the three timers that follow a movie from opening
// through loading to playing.

#include <QAction>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <cmath>

#include "ComVar.h"
#include "FileFilter.h"
#include "MainFrm.h"
#include "MovieCache.h"
#include "PlayListTableModel.h"
#include "PlayListView.h"
#include "SwfInfo.h"
#include "controls/ImgBtn.h"
#include "controls/ImgTrackBar.h"
#include "engine/control/FlashPlayerControl.h"

namespace plavex {

namespace {

const QString kCaption = QStringLiteral("AmbrelFlash播放器");

// The text with its first character (a whole code point) moved to the end.
QString RotateLeft(const QString& text) {
  if (text.size() < 2) return text;
  const qsizetype first = text.at(0).isHighSurrogate() && text.size() > 2 ? 2 : 1;
  return text.mid(first) + text.left(first);
}

}  // namespace

bool TMainFrm::MovieOpen() const { return Flash1->Movie() != StartMovie(); }

void TMainFrm::PlayUrl(const QString& address) { OpenPlayListItem(IndexOfUrl(address)); }

void TMainFrm::SetPlayState(bool paused) {
  BtnPlay->setVisible(paused);
  ActPlay->setEnabled(paused);
  BtnPause->setVisible(!paused);
  ActPause->setEnabled(!paused);
  PanStatus->setText(paused ? QStringLiteral("暂停") : QStringLiteral("播放"));
}

void TMainFrm::OpenPlayListItem(int index) {
  ActStopExecute();
  if (index < 0 || index >= PlyListModel->rowCount()) return;
  const TPlayListEntry& entry = PlyListModel->List().At(index);
  const QString address = entry.address;
  const QString caption = entry.caption;
  Flash1->setMovie(address);
  CurrentIndex = index;
  PlyListModel->SetMark(index, MarkCurrent);
  ApplyDrawingRule(index);  // a current entry that failed before keeps its cross
  SelectEntry(index);
  PP1->setPosLoad(0);
  if (!FullScreen) PanPlayProgress->setVisible(true);
  SetPlayState(false);
  Stopped = false;
  PanStatus->setText(QStringLiteral("正在打开动画..."));
  TimerCheck->start();
  ShowPage(0);
  ScrollTitle = caption + QStringLiteral(" - ") + kCaption + QStringLiteral("    ");
  setWindowTitle(ScrollTitle);
}

void TMainFrm::ActStopExecute() {
  Stopped = true;
  if (!MovieOpen()) return;
  const int index = IndexOfUrl(Flash1->Movie());
  if (index >= 0 && PlyListModel->List().At(index).mark != MarkInvalid) PlyListModel->SetMark(index, MarkNone);
  Flash1->setBGColor(QString());
  Flash1->setScaleMode(ScaleSetting);
  Flash1->setMovie(StartMovie());
  TimerCheck->stop();
  TimerLoad->stop();
  TimerPlay->stop();
  SBSave->setEnabled(false);
  SbFullScreenOn->setEnabled(false);
  PanFrames->setVisible(false);
  PanPlayProgress->setVisible(false);
  SetPlayState(true);
  if (FullScreen) ActFullOffExecute();
  setWindowTitle(kCaption);
}

void TMainFrm::ActPlayExecute() {
  if (MovieOpen()) {
    // While the movie is still opening or loading the command does nothing.
    if (!TimerLoad->isActive() && !TimerCheck->isActive()) {
      Flash1->Play();
      SetPlayState(false);
    }
    return;
  }
  if (PlyListModel->rowCount() == 0) return;
  const int selected = SelectedIndex();
  if (selected >= 0)
    PlayUrl(PlyListModel->List().At(selected).address);
  else
    OpenPlayListItem(0);
}

void TMainFrm::ActPauseExecute() {
  Flash1->Stop();
  SetPlayState(true);
}

void TMainFrm::ActNextExecute() { OpenPlayListItem(CurrentIndex + 1); }
void TMainFrm::ActPreExecute() { OpenPlayListItem(CurrentIndex - 1); }

void TMainFrm::SbEjectClick() {
  OD1->setDefaultSuffix(QStringLiteral("swf"));
  OD1->setNameFilters(QtFilterFromWindowsFilter(QString::fromUtf16(kMovieFilter)));
  const QStringList files = RunFileDialog(OD1);
  if (files.isEmpty()) return;
  AddToPlayList(files.first());
  PlayUrl(files.first());
}

void TMainFrm::TimerCheckTimer() {
  if (Stopped) return;
  if (Flash1->PercentLoaded() > 0) {
    PP1->setMax(Flash1->TotalFrames());
    TimerCheck->stop();
    PanStatus->setText(QStringLiteral("正在加载影片..."));
    SbFullScreenOn->setEnabled(true);
    TimerLoad->start();
    return;
  }
  if (Flash1->ReadyState() == 4) {
    // The engine gave up on the movie.
    TimerCheck->stop();
    Stopped = true;
    const int index = IndexOfUrl(Flash1->Movie());
    if (index >= 0) {
      PlyListModel->SetMark(index, MarkInvalid);
      PlyListModel->SetTimeText(index, QStringLiteral("Err"));
    }
    if (AutoMode)
      ActNextExecute();
    else
      ActStopExecute();
  }
}

void TMainFrm::TimerLoadTimer() {
  if (Stopped) return;
  const int percent = Flash1->PercentLoaded();
  // The frame count grows while a progressive movie arrives.
  if (Flash1->TotalFrames() > PP1->Max()) PP1->setMax(Flash1->TotalFrames());
  PP1->setPosLoad(static_cast<int>(std::trunc(percent * static_cast<double>(PP1->Max()) / 100.0)));
  PanStatus->setText(QStringLiteral("正在加载影片...") + QString::number(percent) + u'%');
  if (percent != 100) return;

  TimerLoad->stop();
  SBSave->setEnabled(true);
  PanStatus->setText(QStringLiteral("正在获取影片信息..."));
  const TSwfInfo info = ReadSwfInfo(Flash1->Movie(), [](const QString& url) {
    QString path;
    return GetCacheFileName(url, path) == 0 ? path : QString();
  });
  MovieWidth = info.width;
  MovieHeight = info.height;
  MovieFrameRate = info.frameRate;
  if (MovieWidth > 0 && !FullScreen && !isMaximized()) {
    resize(FrameMarginWidth + MovieWidth, FrameMarginHeight + MovieHeight);
    if (const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen()) {
      const QSize area = screen->size();
      move(static_cast<int>(std::trunc((area.width() - width()) / 2.0)),
           static_cast<int>(std::trunc((area.height() - height() - 20) / 2.0)));
    }
  }
  if (MovieFrameRate > 0) {
    LbAllFrames->setText(FormatFrames(PP1->Max(), MovieFrameRate));
    LbCurFrames->setText(QStringLiteral("00:00"));
  } else {
    LbAllFrames->setText(QString::number(PP1->Max()));
    LbCurFrames->setText(QStringLiteral("0"));
  }
  const int index = IndexOfUrl(Flash1->Movie());
  if (index >= 0) PlyListModel->SetTimeText(index, LbAllFrames->text());
  PanFrames->setVisible(true);
  PanStatus->setText(QStringLiteral("播放"));
  Dragging = false;
  TimerPlay->start();
}

void TMainFrm::TimerPlayTimer() {
  // A thumb released where it was pressed changes no play position and so reports
  // nothing; once the thumb is no longer held the bar follows the movie again.
  if (Dragging && !PP1->Thumb()->MouseDown()) Dragging = false;
  if (Stopped || Dragging) return;
  if (AutoMode) {
    if (!Flash1->Playing()) Flash1->Play();
    // A movie that has not advanced since the last tick is pushed on by one frame.
    if (Flash1->CurrentFrame() <= PP1->PosPlay()) Flash1->GotoFrame(PP1->PosPlay() + 1);
  }
  if (Flash1->Playing()) {
    PP1->setPosPlay(Flash1->CurrentFrame());
    SetPlayState(false);
    ScrollTitle = RotateLeft(ScrollTitle);
    setWindowTitle(ScrollTitle);
  } else {
    SetPlayState(true);
  }
  if (Flash1->CurrentFrame() + 1 >= Flash1->TotalFrames() && AutoMode) ActNextExecute();
}

QStringList TMainFrm::RunFileDialog(QFileDialog* dialog) {
  if (desktop_.runFileDialog) return desktop_.runFileDialog(dialog);
  if (dialog->exec() != QDialog::Accepted) return {};
  return dialog->selectedFiles();
}

}  // namespace plavex
