// The first activation (the command line, or the default play list) and the close
// (the play list saved back to Default.PLF before anything is freed).

#include <QCloseEvent>
#include <QFileInfo>
#include <QFrame>
#include <QTimer>

#include "ComVar.h"
#include "MainFrm.h"
#include "PlayListTableModel.h"

namespace plavex {

void TMainFrm::FormActivate() {
  if (!firstActivation_) return;
  firstActivation_ = false;
  // Widened once so the list lays its columns out now that the window shows.
  PanPlyList->resize(PanPlyList->width() + 1, PanPlyList->height());

  const QString first = commandLine_.value(0);
  if (first.isEmpty()) {
    LoadPlayList(DefaultPlayListPath());
  } else if (first == QLatin1String("Load") && commandLine_.value(1) == QLatin1String("By_Explorer")) {
    // The Explorer extension has written the chosen files into the default list.
    LoadPlayList(DefaultPlayListPath());
  } else if (QFileInfo(first).suffix().toLower() == QLatin1String("plf")) {
    LoadPlayList(first);
  } else {
    AddToPlayList(first);
    PlayUrl(first);
  }
}

bool TMainFrm::FormCloseQuery() {
  if (closed_) return true;  // a second close neither uses nor frees the lists again
  // Save first: a list that cannot be saved keeps the window open with everything intact.
  const TPlfSaveResult saved = SavePlayList(DefaultPlayListPath());
  if (!saved.ok) {
    ShowError(QStringLiteral("无法保存播放列表“%1”：%2").arg(DefaultPlayListPath(), saved.error),
              QStringLiteral("出错了"));
    return false;
  }
  FormClose();
  return true;
}

void TMainFrm::FormClose() {
  if (closed_) return;
  closed_ = true;
  for (QTimer* timer : {TimerCheck, TimerLoad, TimerPlay, TimerGatherFlash, TimerSearchFlash, TimerWebFlash})
    timer->stop();
  FlashRules.clear();
  GatherList.clear();
  SearchFound.clear();
  FoundFlash.clear();
  SearchFilter.clear();
  SearchLinks.clear();
  FlashFilter.clear();
}

void TMainFrm::closeEvent(QCloseEvent* event) {
  if (FormCloseQuery())
    event->accept();
  else
    event->ignore();
}

void TMainFrm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // Where the platform activates no window (no window manager), the first showing
  // stands for the first activation.
  if (firstActivation_) QTimer::singleShot(0, this, &TMainFrm::FormActivate);
}

}  // namespace plavex
