#include "MainFrm.h"

#include "BuiltinMovies.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QShortcut>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>

#include "AdvertPage.h"
#include "ComVar.h"
#include "OptionConfig.h"
#include "engine/control/FlashPlayerControl.h"
#include "web/WebBrowser.h"

namespace plavex {

TMainFrm::TMainFrm(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("MainFrm"));
  setWindowTitle(QStringLiteral("AmbrelFlash播放器"));
  setFont(QFont(QStringLiteral("宋体"), 9));
  desktop_.showError = [this](const QString& text, const QString& caption) {
    QMessageBox::critical(this, caption, text);
  };

  CreateActions();
  CreateTimers();
  CreateDialogs();
  LoadImageLists();
  CreateMenus();

  auto* central = new QWidget(this);
  central->setObjectName(QStringLiteral("Central"));
  setCentralWidget(central);
  BuildTopStrip(central);
  BuildPlayPage();
  BuildSearchPage();
  BuildGatherPage();
  BuildWebPage();
  BuildHiddenPage();
  ConnectHandlers();

  setMinimumSize(470, 318);
  resize(611, 427);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame(QPoint(0, 0), size());
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  ShowPage(0);
  FormCreate();
}

TMainFrm::~TMainFrm() = default;

void TMainFrm::setDesktopServices(TDesktopServices services) {
  if (!services.openWebAddress) services.openWebAddress = desktop_.openWebAddress;
  if (!services.startProgram) services.startProgram = desktop_.startProgram;
  if (!services.showError) services.showError = desktop_.showError;
  desktop_ = std::move(services);
}

void TMainFrm::ShowError(const QString& text, const QString& caption) {
  if (desktop_.showError) desktop_.showError(text, caption);
}

// ---------------------------------------------------------------- creation

void TMainFrm::FormCreate() {
  InitAppDir(QCoreApplication::applicationFilePath());
  defaultPlayList_ = AppDir() + QStringLiteral("Default.PLF");
  Flash1->setMovie(StartMovie());
  CurrentIndex = -1;
  ScaleSetting = 0;
  Stopped = true;
  FullScreen = false;

  GatherList.clear();
  SearchFound.clear();
  FoundFlash.clear();
  SearchLinks.clear();
  FlashFilter.clear();
  FlashRules.clear();
  SearchFilter.clear();

  const SearchOptions options = ReadSearchOptions(AppPath(QStringLiteral("Option.ini")));
  SearchFilter = options.filter;
  SearchPageLimit = options.pageLimit;

  // Esc reaches the window wherever the focus is inside the player; other
  // programs keep their Esc key.
  EscHotKey = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  EscHotKey->setObjectName(QStringLiteral("EscHotKey"));
  EscHotKey->setContext(Qt::ApplicationShortcut);
  connect(EscHotKey, &QShortcut::activated, this, &TMainFrm::EscHotKeyPressed);

  // The pop-up sink and WB2 start on the blank page. Their browser engine starts
  // only when they are first used, so the blank page is loaded then.
  popupSink_ = std::make_unique<web::TWebBrowser>();
  PopupSink = popupSink_.get();
  PopupSink->setObjectName(QStringLiteral("PopupSink"));
  PopupSink->setSilent(true);
  PopupSink->setInitialAddress(QStringLiteral("about:blank"));
  WB2->setInitialAddress(QStringLiteral("about:blank"));
}

bool TMainFrm::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) FormActivate();
  return QMainWindow::event(event);
}


void TMainFrm::BringToFront() {
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
}

// ---------------------------------------------------------------- pages

void TMainFrm::ShowPage(int index) {
  const QList<QToolButton*> buttons{TBPlay, TbSearch, TbGather, TbWebFlash};
  if (index < 0 || index >= buttons.size()) return;
  Pages->setCurrentIndex(index);
  for (int i = 0; i < buttons.size(); ++i) {
    buttons[i]->setChecked(i == index);
    buttons[i]->setEnabled(i != index);
  }
}

int TMainFrm::ActivePage() const { return Pages->currentIndex(); }

QString TMainFrm::PanStatusText() const { return PanStatus->text(); }

void TMainFrm::TBPlayClick() { ShowPage(0); }
void TMainFrm::TbSearchClick() { ShowPage(1); }
void TMainFrm::TbGatherClick() { ShowPage(2); }
void TMainFrm::TbWebFlashClick() { ShowPage(3); }

// ---------------------------------------------------------------- advert strip

void TMainFrm::WBAdDocumentComplete(const QUrl& url) {
  if (url.toString() == QLatin1String("about:blank")) return;
  QPointer<TMainFrm> self(this);
  const QString address = url.toString();
  WBAd->Page()->toHtml([self, address](const QString& html) {
    if (self) self->ShowAdvertMovie(address, html);
  });
}

void TMainFrm::ShowAdvertMovie(const QString& url, const QString& html) {
  const TAdvertChoice choice = ChooseAdvertMovie(url, html);
  switch (choice.action) {
    case TAdvertAction::Ignore:
      return;
    case TAdvertAction::LoadAddress:
      FlashAd->setMovie(choice.address);
      break;
    case TAdvertAction::LoadBuiltIn: {
      if (const QByteArray banner = BuiltinMovie(QStringLiteral("ZAVAZ")); !banner.isEmpty())
        FlashAd->LoadMovieFromStream(0, banner);
      break;
    }
  }
  FlashAd->Play();
}

// ---------------------------------------------------------------- pop-up windows

void TMainFrm::WBGatherNewWindow2(QWebEngineNewWindowRequest& request) {
  request.openIn(PopupSink->Page());
}

}  // namespace plavex
