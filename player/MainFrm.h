#pragma once
// The player's main window: the tool strip, the four pages (play, search, capture,
// web directory), the hidden working page, and everything the pages share.
// Components carry their layout names as member and object names; the Qt parent
// tree owns them, the members only point at them.

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <memory>

#include "Artwork.h"
#include "PlfFormat.h"
#include "platform/Desktop.h"

class QAction;
class QActionGroup;
class QComboBox;
class QFileDialog;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QShortcut;
class QSplitter;
class QStackedWidget;
class QTimer;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class QWebEngineNewWindowRequest;
class QModelIndex;

namespace plavex::engine {
class TFlashPlayerControl;
class TTransparentFlashPlayerControl;
}  // namespace plavex::engine
namespace plavex::controls {
class TImgBtn;
class TPlayProgress;
class TVolumeCtrlBar;
}  // namespace plavex::controls
namespace plavex::web {
class TWebBrowser;
}

namespace plavex {

class TPlayListModel;
class TPlayListView;

// One extraction rule of an open catalogue site.
struct TFlashRule {
  int id = 0;
  int index = 0;
  QString LabelB;
  QString LabelE;
  QString AddStrB;
  QString AddStrE;
};

// What the window hands to the desktop; replaceable so that tests see the calls
// instead of starting programs or showing message boxes.
struct TDesktopServices {
  std::function<bool(const QString& address)> openWebAddress = platform::OpenWebAddress;
  std::function<platform::StartResult(const QString& program, const QStringList& arguments,
                                      const QString& workingFolder)>
      startProgram = platform::StartProgram;
  // An error message box: text, caption.
  std::function<void(const QString& text, const QString& caption)> showError;
  // Runs an open or save dialog; the chosen files, none when cancelled.
  std::function<QStringList(QFileDialog* dialog)> runFileDialog;
  // The one-line input box: caption, prompt; nothing when cancelled.
  std::function<std::optional<QString>(const QString& caption, const QString& prompt)> inputText;
  // The folder browser: title; nothing when cancelled.
  std::function<std::optional<QString>(const QString& title)> selectFolder;
};

// The product's own web pages opened from the main menu.
inline constexpr char16_t kHelpAddress[] = u"https://plavex.example.org/help";
inline constexpr char16_t kFeedbackAddress[] = u"https://plavex.example.org/feedback";
// The outside upgrade tool beside the program (an executable despite its name).
inline constexpr char16_t kUpgradeTool[] = u"Updrift.dll";

class TMainFrm : public QMainWindow {
  Q_OBJECT
 public:
  explicit TMainFrm(QWidget* parent = nullptr);
  ~TMainFrm() override;

  // Page switching: 0 play, 1 search, 2 capture, 3 web directory. The tool-bar
  // button of the active page is pressed and disabled. Other indexes are ignored.
  void ShowPage(int index);
  int ActivePage() const;
  QString PanStatusText() const;
  // Restores a minimised window, raises it and gives it the focus.
  void BringToFront();

  // ---- Play list and playing ----
  int IndexOfUrl(const QString& address) const;
  void AddToPlayList(const QString& address, const QString& title = {}, const QString& timeText = {});
  void PlayUrl(const QString& address);
  void OpenPlayListItem(int index);
  void SetPlayState(bool paused);
  // Replaces the list with a PLF file's entries (a missing file changes nothing; one that
  // cannot be read is reported and the list stays); starts the first entry when idle.
  TPlfReadResult LoadPlayList(const QString& fileName);
  TPlfSaveResult SavePlayList(const QString& fileName) const;
  // Adds a PLF file's entries to the list (the Explorer hand-over to a running player);
  // plays the first of them when nothing plays.
  TPlfReadResult AddPlayListFile(const QString& fileName);
  // Whether Flash1 holds a play-list movie (not the idle movie).
  bool MovieOpen() const;
  int SelectedIndex() const;  // -1 without a selection
  void SelectEntry(int index);
  // Seeks the open movie to a frame, as a thumb released there would.
  void Seek(int frame);
  void SetAutoMode(bool on);
  bool Muted() const;
  // The command line of the first activation (the program's arguments, without its name).
  void setCommandLine(const QStringList& arguments) { commandLine_ = arguments; }
  // Where the default play list lives (AppDir + "Default.PLF" unless a test says otherwise).
  QString DefaultPlayListPath() const { return defaultPlayList_; }
  void setDefaultPlayListPath(const QString& path) { defaultPlayList_ = path; }
  // The close steps; false when the play list could not be saved (the window stays open).
  bool FormCloseQuery();

  void setDesktopServices(TDesktopServices services);
  const TDesktopServices& DesktopServices() const { return desktop_; }

  // ---- Components (layout names) ----
  // Top strip.
  QFrame* PanTop = nullptr;
  QToolBar* ToolBar1 = nullptr;
  QToolButton* TBPlay = nullptr;
  QToolButton* TbSearch = nullptr;
  QToolButton* TbGather = nullptr;
  QToolButton* TbWebFlash = nullptr;
  engine::TTransparentFlashPlayerControl* FlashAd = nullptr;
  QFrame* Panel1 = nullptr;
  QToolButton* SBSysMenu = nullptr;
  QStackedWidget* Pages = nullptr;
  QWidget* Page1 = nullptr;
  QWidget* Page2 = nullptr;
  QWidget* Page3 = nullptr;
  QWidget* Page4 = nullptr;
  QWidget* PageUnVisible = nullptr;

  // Play page.
  QFrame* PanFlash = nullptr;
  engine::TFlashPlayerControl* Flash1 = nullptr;
  QFrame* PanPlayProgress = nullptr;
  QLabel* PanStatus = nullptr;
  QLabel* PanFrames = nullptr;
  QLabel* LbCurFrames = nullptr;
  QLabel* LbAllFrames = nullptr;
  controls::TPlayProgress* PP1 = nullptr;
  QSplitter* Splitter1 = nullptr;
  QFrame* PanPlyList = nullptr;
  TPlayListView* PlyList = nullptr;
  TPlayListModel* PlyListModel = nullptr;  // the play list itself; the view shows it
  QToolBar* ToolBar2 = nullptr;
  QToolButton* ToolButton1 = nullptr;
  QToolButton* ToolButton2 = nullptr;
  QToolButton* ToolButton3 = nullptr;
  QFrame* PanPlayCtrl = nullptr;
  controls::TImgBtn* BtnStop = nullptr;
  controls::TImgBtn* BtnPre = nullptr;
  controls::TImgBtn* BtnPlay = nullptr;
  controls::TImgBtn* BtnPause = nullptr;
  controls::TImgBtn* BtnNext = nullptr;
  QToolButton* SbMuteOn = nullptr;
  QToolButton* SbMuteOff = nullptr;
  controls::TVolumeCtrlBar* VCB1 = nullptr;
  QToolButton* SB_AUTO = nullptr;
  QFrame* PanRB = nullptr;
  QToolButton* SbEject = nullptr;
  QToolButton* SBSave = nullptr;
  QToolButton* SbFullScreenOn = nullptr;
  QToolButton* SbFullScreenOff = nullptr;
  QToolButton* SbListOpen = nullptr;
  QToolButton* SbListClose = nullptr;

  // Search page.
  QFrame* Panel4 = nullptr;
  QLineEdit* EdSearchKey = nullptr;
  QPushButton* BtnSearch = nullptr;
  QFrame* Panel6 = nullptr;
  QListWidget* ListSearch = nullptr;
  QFrame* PanSViewAll = nullptr;
  QFrame* PanSView = nullptr;
  engine::TFlashPlayerControl* FlashSView = nullptr;
  QToolButton* SBSPlay = nullptr;
  QToolButton* SbSAdd = nullptr;
  QLabel* PanSearchMsg = nullptr;
  QProgressBar* G1 = nullptr;

  // Capture page.
  QFrame* Panel2 = nullptr;
  QLineEdit* EdGatherUrl = nullptr;
  QPushButton* BtnGather = nullptr;
  QFrame* Panel3 = nullptr;
  QListWidget* ListGather = nullptr;
  QFrame* PanGViewAll = nullptr;
  QFrame* PanGView = nullptr;
  engine::TFlashPlayerControl* FlashGView = nullptr;
  QToolButton* SbGPlay = nullptr;
  QToolButton* SBGAdd = nullptr;
  QLabel* PanGatherMsg = nullptr;
  engine::TTransparentFlashPlayerControl* FlashLoad1 = nullptr;

  // Web directory page.
  QTreeWidget* TV1 = nullptr;
  QSplitter* Splitter2 = nullptr;
  QFrame* Panel5 = nullptr;
  web::TWebBrowser* WB1 = nullptr;
  QLabel* PanPgCtrl = nullptr;
  QToolButton* SBPrePage = nullptr;
  QToolButton* SBNextPage = nullptr;
  QComboBox* CBPages = nullptr;
  QFrame* PanWBLoad = nullptr;
  engine::TFlashPlayerControl* FlashWBLoad = nullptr;
  QProgressBar* G2 = nullptr;

  // Hidden working page.
  engine::TFlashPlayerControl* UVFlashGather = nullptr;
  engine::TFlashPlayerControl* UVFlashSearch = nullptr;
  engine::TFlashPlayerControl* UVFlashFWeb = nullptr;
  web::TWebBrowser* WBGather = nullptr;
  web::TWebBrowser* WBS1 = nullptr;
  web::TWebBrowser* WBS2 = nullptr;
  web::TWebBrowser* WB2 = nullptr;
  web::TWebBrowser* WBAd = nullptr;
  QPlainTextEdit* Memo1 = nullptr;
  // The invisible, silent browser that takes every page's pop-up windows. It has
  // no parent window; the main window owns it.
  web::TWebBrowser* PopupSink = nullptr;

  // Actions.
  QObject* ActionList1 = nullptr;
  QAction* ActStop = nullptr;
  QAction* ActPre = nullptr;
  QAction* ActPause = nullptr;
  QAction* ActPlay = nullptr;
  QAction* ActNext = nullptr;
  QAction* ActFullOn = nullptr;
  QAction* ActFullOff = nullptr;

  // Timers (all stopped at start).
  QTimer* TimerCheck = nullptr;
  QTimer* TimerLoad = nullptr;
  QTimer* TimerPlay = nullptr;
  QTimer* TimerGatherFlash = nullptr;
  QTimer* TimerSearchFlash = nullptr;
  QTimer* TimerWebFlash = nullptr;

  // Dialogs.
  QFileDialog* OD1 = nullptr;
  QFileDialog* OD2 = nullptr;
  QFileDialog* SD1 = nullptr;

  // Pop-up menus and their items.
  QMenu* PMListAdd = nullptr;
  QAction* L1 = nullptr;
  QAction* P1 = nullptr;
  QAction* N1 = nullptr;
  QAction* W1 = nullptr;
  QMenu* PMListDel = nullptr;
  QAction* MISaveFlash = nullptr;
  QAction* P2 = nullptr;
  QAction* N2 = nullptr;
  QAction* N3 = nullptr;
  QMenu* PMListList = nullptr;
  QAction* MenuItem1 = nullptr;
  QAction* MenuItem2 = nullptr;
  QMenu* PMMain = nullptr;
  QAction* S1 = nullptr;
  QAction* N16 = nullptr;
  QAction* MIH1 = nullptr;
  QAction* MIR1 = nullptr;
  QAction* U1 = nullptr;
  QAction* N13 = nullptr;
  QAction* MIA1 = nullptr;
  QMenu* PMFlash = nullptr;
  QAction* N5 = nullptr;
  QAction* N6 = nullptr;
  QAction* N7 = nullptr;
  QAction* N8 = nullptr;
  QAction* N4 = nullptr;
  QAction* N9 = nullptr;
  QAction* N10 = nullptr;
  QMenu* N12 = nullptr;
  QActionGroup* ScaleGroup = nullptr;
  QAction* MISOrg = nullptr;
  QAction* MISAll = nullptr;
  QAction* MISScale = nullptr;
  QMenu* N11 = nullptr;
  QAction* N14 = nullptr;
  QAction* N15 = nullptr;

  // Esc, wherever the focus is inside the player.
  QShortcut* EscHotKey = nullptr;

  // Image lists.
  TImageList ImgsTb;
  TImageList ImgsPlyList;
  TImageList ImgsLstCtrl;
  TImageList ImgsGather;
  TImageList ImgsTV;

  // ---- Shared state ----
  int CurrentIndex = -1;
  int ScaleSetting = 0;
  bool Stopped = true;
  bool FullScreen = false;
  bool Dragging = false;
  bool AutoMode = false;
  // The movie information of the movie last read, and the window's margin around Flash1.
  int MovieWidth = 0;
  int MovieHeight = 0;
  float MovieFrameRate = 0;
  int FrameMarginWidth = 0;
  int FrameMarginHeight = 0;
  // The title text that scrolls in the window title while a movie plays.
  QString ScrollTitle;
  int SearchPageLimit = 10;
  QStringList GatherList;
  QStringList SearchFound;
  QStringList FoundFlash;
  QStringList SearchLinks;
  QStringList FlashFilter;
  QList<TFlashRule> FlashRules;
  QStringList SearchFilter;

 public slots:
  // Window events.
  void FormCreate();
  void FormActivate();
  void FormClose();

  // Transport (play page).
  void ActStopExecute();
  void ActPreExecute();
  void ActPauseExecute();
  void ActPlayExecute();
  void ActNextExecute();
  void ActFullOnExecute();
  void ActFullOffExecute();
  void EscHotKeyPressed();
  void SbEjectClick();
  void SBSaveClick();
  void SbMuteOnClick();
  void SbMuteOffClick();
  void SB_AUTOMouseDown();
  void SbListOpenClick();
  void SbListCloseClick();
  void VCB1PlayPosChanged(QObject* sender);
  void PP1PlayPosChanged(QObject* sender);
  void PP1ThumbDraged(QObject* sender);
  void PanFlashResize();
  void MISOrgClick();
  void MISAllClick();
  void MISScaleClick();

  // Timers.
  void TimerCheckTimer();
  void TimerLoadTimer();
  void TimerPlayTimer();
  void TimerGatherFlashTimer();
  void TimerSearchFlashTimer();
  void TimerWebFlashTimer();

  // Play list.
  void ToolButton1Click();
  void ToolButton2Click();
  void ToolButton3Click();
  void L1Click();
  void P1Click();
  void W1Click();
  void MISaveFlashClick();
  void P2Click();
  void N3Click();
  void MenuItem1Click();
  void MenuItem2Click();
  void PlyListDblClick();
  void PlyListKeyDown();
  void PlyListDragDrop(int dropRow);

  // Tool strip and main menu.
  void TBPlayClick();
  void TbSearchClick();
  void TbGatherClick();
  void TbWebFlashClick();
  void SBSysMenuClick();
  void S1Click();
  void MIH1Click();
  void MIR1Click();
  void U1Click();
  void MIA1Click();

  // Search page.
  void BtnSearchClick();
  void SBSPlayClick();
  void SbSAddClick();
  void ListSearchDblClick();
  void ListSearchSelectItem();
  void EdSearchKeyEnter();
  void EdSearchKeyExit();
  void EdSearchKeyKeyPress(int key);
  void WBS1DocumentComplete(const QUrl& url);
  void WBS2DocumentComplete(const QUrl& url);

  // Capture page.
  void BtnGatherClick();
  void SbGPlayClick();
  void SBGAddClick();
  void ListGatherDblClick();
  void ListGatherSelectItem();
  void EdGatherUrlEnter();
  void EdGatherUrlExit();
  void EdGatherUrlKeyPress(int key);
  void WBGatherNewWindow2(QWebEngineNewWindowRequest& request);

  // Web directory page.
  void TV1DblClick();
  void WB1ProgressChange(int percent);
  void WB1NavigateComplete2(const QUrl& url);
  void WB1DocumentComplete(const QUrl& url);
  void SBPrePageClick();
  void SBNextPageClick();
  void CBPagesChange(int index);
  void WB2ProgressChange(int percent);

  // Advert strip.
  void WBAdDocumentComplete(const QUrl& url);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  // Building the component tree, one part each.
  void CreateActions();
  void CreateTimers();
  void CreateDialogs();
  void CreateMenus();
  void LoadImageLists();
  void BuildTopStrip(QWidget* central);
  void BuildPlayPage();
  void BuildPlayControlBar(QWidget* page);
  void BuildSearchPage();
  void BuildGatherPage();
  void BuildWebPage();
  void BuildHiddenPage();
  void ConnectHandlers();
  void ShowAdvertMovie(const QString& url, const QString& html);
  void PopupAtCursor(QMenu* menu);
  void ShowError(const QString& text, const QString& caption);
  QStringList RunFileDialog(QFileDialog* dialog);
  // Keeps an entry's mark as its drawing shows it: "Err" invalid, the open movie current.
  void ApplyDrawingRule(int index);
  void ApplyDrawingRuleToAll();
  void EnterFullScreen();
  void ShowTimeAt(int frame);

  TDesktopServices desktop_;
  std::unique_ptr<web::TWebBrowser> popupSink_;  // owns PopupSink
  bool firstActivation_ = true;
  bool closed_ = false;
  QStringList commandLine_;
  QString defaultPlayList_;
  // Window state and bounds before full screen.
  Qt::WindowStates savedState_;
  QRect savedBounds_;
  QPointer<QWidget> aboutFrm_;
  QPointer<QWidget> optionFrm_;
};

}  // namespace plavex
