// The main window's component tree: the tool strip, the four pages and the hidden
// working page, with their initial texts, hints, sizes and states.

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QStackedWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "MainFrm.h"
#include "PlayListTableModel.h"
#include "PlayListView.h"
#include "controls/ImgBtn.h"
#include "controls/ImgTrackBar.h"
#include "engine/control/FlashPlayerControl.h"
#include "web/WebBrowser.h"

namespace plavex {
namespace {

using engine::TFlashPlayerControl;
using engine::TTransparentFlashPlayerControl;

const QColor kGreyText(128, 128, 128);
const QColor kNavyText(0, 0, 128);
const QSize kGlyphSize(20, 20);
const QSize kSpeedButtonSize(30, 30);

template <class Widget>
Widget* Make(QWidget* parent, const char* name) {
  auto* widget = new Widget(parent);
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

QFrame* MakePanel(QWidget* parent, const char* name, QFrame::Shadow shadow = QFrame::Plain) {
  auto* panel = Make<QFrame>(parent, name);
  if (shadow == QFrame::Sunken) {
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Sunken);
  }
  return panel;
}

QVBoxLayout* VBox(QWidget* owner, int margin = 0, int spacing = 0) {
  auto* layout = new QVBoxLayout(owner);
  layout->setContentsMargins(margin, margin, margin, margin);
  layout->setSpacing(spacing);
  return layout;
}

QHBoxLayout* HBox(QWidget* owner, int margin = 0, int spacing = 0) {
  auto* layout = new QHBoxLayout(owner);
  layout->setContentsMargins(margin, margin, margin, margin);
  layout->setSpacing(spacing);
  return layout;
}

void SetTextColour(QWidget* widget, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, colour);
  palette.setColor(QPalette::Text, colour);
  palette.setColor(QPalette::ButtonText, colour);
  widget->setPalette(palette);
}

void SetBackground(QWidget* widget, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Window, colour);
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
}

// A flat speed button with a glyph and a hint.
QToolButton* MakeSpeedButton(QWidget* parent, const char* name, const QString& hint,
                             const QString& glyph) {
  auto* button = Make<QToolButton>(parent, name);
  button->setAutoRaise(true);
  button->setToolTip(hint);
  button->setIcon(ArtworkIcon(glyph, kGlyphSize));
  button->setIconSize(kGlyphSize);
  button->setFixedSize(kSpeedButtonSize);
  return button;
}

// A flat speed button with a caption.
QToolButton* MakeTextButton(QWidget* parent, const char* name, const QString& caption,
                            const QString& hint = {}) {
  auto* button = Make<QToolButton>(parent, name);
  button->setAutoRaise(true);
  button->setText(caption);
  button->setToolTip(hint);
  button->setToolButtonStyle(Qt::ToolButtonTextOnly);
  return button;
}

// A speed button that runs an action and takes its enabled state and hint.
QToolButton* MakeActionButton(QWidget* parent, const char* name, QAction* action,
                              const QString& glyph) {
  auto* button = MakeSpeedButton(parent, name, action->toolTip(), glyph);
  action->setIcon(ArtworkIcon(glyph, kGlyphSize));
  button->setDefaultAction(action);
  return button;
}

// A picture button face set: <base>_normal, _hot, _down.
controls::TImgBtn* MakeImgBtn(QWidget* parent, const char* name, QAction* action,
                              const QString& base, int size, QPoint place) {
  auto* button = Make<controls::TImgBtn>(parent, name);
  button->setCursor(Qt::PointingHandCursor);
  button->setTransparent(true);
  const QSize faceSize(size, size);
  button->setPictureNormal(ArtworkPixmap(base + QStringLiteral("_normal"), faceSize));
  button->setPictureHot(ArtworkPixmap(base + QStringLiteral("_hot"), faceSize));
  button->setPictureDown(ArtworkPixmap(base + QStringLiteral("_down"), faceSize));
  button->setAction(action);
  button->move(place);
  return button;
}

template <class Control = TFlashPlayerControl>
Control* MakeFlash(QWidget* parent, const char* name, int scaleMode) {
  auto* flash = Make<Control>(parent, name);
  flash->setScaleMode(scaleMode);
  flash->setQuality(engine::Quality::High);
  flash->setLoop(true);
  flash->setMenu(true);
  flash->setAllowFullScreen(false);
  return flash;
}

// The hidden probes and previews run no page scripts.
void ForbidScripts(TFlashPlayerControl* flash) { flash->setAllowScriptAccess(QStringLiteral("never")); }

QListWidget* MakeFoundList(QWidget* parent, const char* name, const TImageList& icons) {
  auto* list = Make<QListWidget>(parent, name);
  list->setViewMode(QListView::ListMode);
  list->setIconSize(icons.size);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setUniformItemSizes(true);
  return list;
}

QProgressBar* MakeGauge(QWidget* parent, const char* name) {
  auto* gauge = Make<QProgressBar>(parent, name);
  gauge->setTextVisible(false);
  gauge->setFixedHeight(12);
  QPalette palette = gauge->palette();
  palette.setColor(QPalette::Highlight, QColor(0, 0, 255));
  gauge->setPalette(palette);
  return gauge;
}

// A preview box of the search and capture pages: the movie and its two buttons.
struct PreviewParts {
  QFrame* box;
  TFlashPlayerControl* flash;
  QToolButton* play;
  QToolButton* add;
};

PreviewParts MakePreview(QWidget* parent, const char* boxName, const char* flashName,
                         const char* playName, const char* addName) {
  PreviewParts parts{};
  parts.box = MakePanel(parent, boxName);
  parts.box->setFixedHeight(135);
  auto* layout = VBox(parts.box, 3, 2);
  parts.flash = MakeFlash(parts.box, flashName, 2);
  ForbidScripts(parts.flash);
  parts.flash->setFixedSize(162, 105);
  layout->addWidget(parts.flash, 0, Qt::AlignHCenter);
  auto* row = new QHBoxLayout;
  row->setSpacing(4);
  parts.play = MakeTextButton(parts.box, playName, QStringLiteral("播放"), QStringLiteral("在播放器中播放"));
  parts.add = MakeTextButton(parts.box, addName, QStringLiteral("添加"), QStringLiteral("添加到播放列表"));
  row->addStretch(1);
  row->addWidget(parts.play);
  row->addWidget(parts.add);
  row->addStretch(1);
  layout->addLayout(row);
  parts.box->setVisible(false);
  return parts;
}

}  // namespace

// ---------------------------------------------------------------- top strip

void TMainFrm::BuildTopStrip(QWidget* central) {
  auto* layout = VBox(central);
  PanTop = MakePanel(central, "PanTop");
  PanTop->setFixedHeight(68);
  layout->addWidget(PanTop);
  Pages = Make<QStackedWidget>(central, "Pages");
  layout->addWidget(Pages, 1);

  auto* top = HBox(PanTop);
  ToolBar1 = Make<QToolBar>(PanTop, "ToolBar1");
  ToolBar1->setIconSize(ImgsTb.size);
  ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  ToolBar1->setMovable(false);
  ToolBar1->setFloatable(false);
  const auto addPageButton = [this](const char* name, const QString& caption, const QString& hint,
                                    int image) {
    auto* button = Make<QToolButton>(ToolBar1, name);
    button->setText(caption);
    button->setToolTip(hint);
    // The active page's button is pressed and disabled; it keeps its colours.
    QIcon icon = ImgsTb.Icon(image);
    icon.addPixmap(ImgsTb.Pixmap(image), QIcon::Disabled);
    button->setIcon(icon);
    QPalette palette = button->palette();
    palette.setColor(QPalette::Disabled, QPalette::ButtonText,
                     palette.color(QPalette::Active, QPalette::ButtonText));
    button->setPalette(palette);
    button->setIconSize(ImgsTb.size);
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    button->setCheckable(true);
    button->setFixedSize(67, 67);
    ToolBar1->addWidget(button);
    return button;
  };
  TBPlay = addPageButton("TBPlay", QStringLiteral(" 动画播放 "), QStringLiteral("播放Flash动画"), 0);
  TbSearch = addPageButton("TbSearch", QStringLiteral("动画搜索"), QStringLiteral("搜索Flash动画"), 1);
  TbGather = addPageButton("TbGather", QStringLiteral("动画捕捉"), QStringLiteral("捕捉网页中的Flash动画"), 2);
  TbWebFlash = addPageButton("TbWebFlash", QStringLiteral("动画网站"), QStringLiteral("观看网络动画"), 3);
  top->addWidget(ToolBar1);

  FlashAd = MakeFlash<TTransparentFlashPlayerControl>(PanTop, "FlashAd", 0);
  FlashAd->setWindowMode(engine::WindowMode::Transparent);
  FlashAd->setAlignMode(QStringLiteral("R"));
  FlashAd->setMenu(false);
  ForbidScripts(FlashAd);
  top->addWidget(FlashAd, 1);

  Panel1 = MakePanel(PanTop, "Panel1");
  Panel1->setFixedWidth(53);
  auto* menuBox = HBox(Panel1);
  SBSysMenu = Make<QToolButton>(Panel1, "SBSysMenu");
  SBSysMenu->setAutoRaise(true);
  SBSysMenu->setToolTip(QStringLiteral("主菜单"));
  SBSysMenu->setIcon(ArtworkIcon(QStringLiteral("sb_sysmenu"), {32, 32}));
  SBSysMenu->setIconSize({32, 32});
  SBSysMenu->setFixedSize(40, 40);
  menuBox->addWidget(SBSysMenu, 0, Qt::AlignCenter);
  top->addWidget(Panel1);
}

// ---------------------------------------------------------------- play page

void TMainFrm::BuildPlayPage() {
  Page1 = Make<QWidget>(Pages, "Page1");
  Pages->addWidget(Page1);
  auto* page = VBox(Page1);

  Splitter1 = Make<QSplitter>(Page1, "Splitter1");
  Splitter1->setOrientation(Qt::Horizontal);
  Splitter1->setHandleWidth(2);
  Splitter1->setChildrenCollapsible(false);
  page->addWidget(Splitter1, 1);

  PanFlash = MakePanel(Splitter1, "PanFlash", QFrame::Sunken);
  auto* flashBox = VBox(PanFlash, 1);
  Flash1 = MakeFlash(PanFlash, "Flash1", 0);
  Flash1->setWindowMode(engine::WindowMode::Window);
  Flash1->setContextMenuPolicy(Qt::CustomContextMenu);
  flashBox->addWidget(Flash1, 1);

  PanPlayProgress = MakePanel(PanFlash, "PanPlayProgress");
  PanPlayProgress->setFixedHeight(28);
  auto* progressBox = VBox(PanPlayProgress, 0, 1);
  PanStatus = Make<QLabel>(PanPlayProgress, "PanStatus");
  PanStatus->setText(QStringLiteral("就绪"));
  PanStatus->setFixedHeight(16);
  PanStatus->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  PanStatus->setIndent(5);
  SetTextColour(PanStatus, kGreyText);
  progressBox->addWidget(PanStatus);
  auto* statusRow = HBox(PanStatus);
  statusRow->addStretch(1);
  PanFrames = Make<QLabel>(PanStatus, "PanFrames");
  PanFrames->setText(QStringLiteral("/"));
  PanFrames->setAlignment(Qt::AlignCenter);
  PanFrames->setFixedWidth(91);
  SetTextColour(PanFrames, kGreyText);
  auto* framesRow = HBox(PanFrames);
  LbCurFrames = Make<QLabel>(PanFrames, "LbCurFrames");
  LbCurFrames->setText(QStringLiteral("00:00"));
  LbCurFrames->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  LbAllFrames = Make<QLabel>(PanFrames, "LbAllFrames");
  LbAllFrames->setText(QStringLiteral("00:00"));
  LbAllFrames->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  framesRow->addWidget(LbCurFrames, 1);
  framesRow->addSpacing(QFontMetrics(PanFrames->font()).horizontalAdvance(u'/') + 6);
  framesRow->addWidget(LbAllFrames, 1);
  statusRow->addWidget(PanFrames);
  PanFrames->setVisible(false);

  PP1 = Make<controls::TPlayProgress>(PanPlayProgress, "PP1");
  PP1->setFixedHeight(9);
  PP1->setCursor(Qt::PointingHandCursor);
  PP1->setPictureLoad(ArtworkPixmap(QStringLiteral("pp_load"), {1, 2}));
  PP1->setPicturePlay(ArtworkPixmap(QStringLiteral("pp_play"), {1, 2}));
  PP1->setPictureThumbNormal(ArtworkPixmap(QStringLiteral("pp_thumb_normal"), {16, 9}));
  PP1->setPictureThumbHot(ArtworkPixmap(QStringLiteral("pp_thumb_hot"), {16, 9}));
  PP1->setTransparent(false);
  PP1->setDynamicThumb(false);
  PP1->setMin(0);
  PP1->setMax(100);
  progressBox->addWidget(PP1);
  flashBox->addWidget(PanPlayProgress);
  PanPlayProgress->setVisible(false);

  PanPlyList = MakePanel(Splitter1, "PanPlyList");
  PanPlyList->setMinimumWidth(150);
  auto* listBox = VBox(PanPlyList);
  PlyListModel = new TPlayListModel(this);
  PlyListModel->setObjectName(QStringLiteral("PlyListModel"));
  PlyList = Make<TPlayListView>(PanPlyList, "PlyList");
  PlyList->setModel(PlyListModel);
  PlyList->setItemDelegate(new TPlayListDelegate(ImgsPlyList.Pixmap(0), ImgsPlyList.Pixmap(1),
                                                 [this] { return Flash1 ? Flash1->Movie() : QString(); }, PlyList));
  PlyList->setHeaderHidden(true);
  PlyList->setRootIsDecorated(false);
  PlyList->setItemsExpandable(false);
  PlyList->setAllColumnsShowFocus(true);
  PlyList->setSelectionMode(QAbstractItemView::SingleSelection);
  PlyList->setSelectionBehavior(QAbstractItemView::SelectRows);
  PlyList->setIconSize(ImgsPlyList.size);
  PlyList->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
  PlyList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  PlyList->setMouseTracking(true);
  QHeaderView* header = PlyList->header();
  header->setStretchLastSection(false);
  header->setMinimumSectionSize(0);
  header->setSectionResizeMode(0, QHeaderView::Fixed);
  header->setSectionResizeMode(1, QHeaderView::Stretch);
  header->setSectionResizeMode(2, QHeaderView::Fixed);
  header->setSectionResizeMode(3, QHeaderView::Fixed);
  header->resizeSection(0, 15);
  header->resizeSection(2, 45);
  header->resizeSection(3, 0);
  header->setDefaultAlignment(Qt::AlignLeft);
  PlyList->setColumnHidden(3, true);
  listBox->addWidget(PlyList, 1);

  ToolBar2 = Make<QToolBar>(PanPlyList, "ToolBar2");
  ToolBar2->setIconSize(ImgsLstCtrl.size);
  ToolBar2->setMovable(false);
  const auto addListButton = [this](const char* name, const QString& hint, int image) {
    auto* button = Make<QToolButton>(ToolBar2, name);
    button->setToolTip(hint);
    button->setIcon(ImgsLstCtrl.Icon(image));
    button->setIconSize(ImgsLstCtrl.size);
    button->setAutoRaise(true);
    ToolBar2->addWidget(button);
    return button;
  };
  ToolButton1 = addListButton("ToolButton1", QStringLiteral("添加"), 0);
  ToolButton2 = addListButton("ToolButton2", QStringLiteral("删除"), 1);
  ToolButton3 = addListButton("ToolButton3", QStringLiteral("播放列表"), 2);
  listBox->addWidget(ToolBar2);

  Splitter1->addWidget(PanFlash);
  Splitter1->addWidget(PanPlyList);
  Splitter1->setStretchFactor(0, 1);
  Splitter1->setStretchFactor(1, 0);
  Splitter1->setSizes({446, 165});

  BuildPlayControlBar(Page1);
}

void TMainFrm::BuildPlayControlBar(QWidget* pageWidget) {
  PanPlayCtrl = MakePanel(pageWidget, "PanPlayCtrl");
  PanPlayCtrl->setFixedHeight(52);
  static_cast<QVBoxLayout*>(pageWidget->layout())->addWidget(PanPlayCtrl);
  auto* bar = HBox(PanPlayCtrl);

  // The transport row keeps its own fixed places; it clips when the window is narrow.
  auto* transport = Make<QWidget>(PanPlayCtrl, "PanTransport");
  transport->setMinimumWidth(0);
  bar->addWidget(transport, 1);
  BtnStop = MakeImgBtn(transport, "BtnStop", ActStop, QStringLiteral("btn_stop"), 29, {6, 12});
  BtnPre = MakeImgBtn(transport, "BtnPre", ActPre, QStringLiteral("btn_pre"), 29, {39, 12});
  BtnPlay = MakeImgBtn(transport, "BtnPlay", ActPlay, QStringLiteral("btn_play"), 45, {72, 4});
  BtnPause = MakeImgBtn(transport, "BtnPause", ActPause, QStringLiteral("btn_pause"), 45, {72, 5});
  BtnPause->setVisible(false);
  BtnNext = MakeImgBtn(transport, "BtnNext", ActNext, QStringLiteral("btn_next"), 29, {121, 12});

  SbMuteOn = MakeSpeedButton(transport, "SbMuteOn", QStringLiteral("静音"), QStringLiteral("sb_mute_on"));
  SbMuteOn->move(152, 11);
  SbMuteOff = MakeSpeedButton(transport, "SbMuteOff", QStringLiteral("放音"), QStringLiteral("sb_mute_off"));
  SbMuteOff->move(152, 11);
  SbMuteOff->setVisible(false);

  VCB1 = Make<controls::TVolumeCtrlBar>(transport, "VCB1");
  VCB1->setCursor(Qt::PointingHandCursor);
  VCB1->setToolTip(QStringLiteral("100%"));
  VCB1->setPictureBackGround(ArtworkPixmap(QStringLiteral("vcb_background"), {99, 9}));
  VCB1->setPicturePostion(ArtworkPixmap(QStringLiteral("vcb_position"), {99, 9}));
  VCB1->setPictureThumbNormal(ArtworkPixmap(QStringLiteral("vcb_thumb_normal"), {8, 12}));
  VCB1->setPictureThumbHot(ArtworkPixmap(QStringLiteral("vcb_thumb_hot"), {8, 12}));
  VCB1->setTransparent(false);
  VCB1->setMin(0);
  VCB1->setMax(100);
  VCB1->setPosition(100);
  VCB1->move(180, 20);

  SB_AUTO = MakeSpeedButton(transport, "SB_AUTO", QStringLiteral("全自动播放，适合播放Flash音乐"),
                            QStringLiteral("sb_auto"));
  SB_AUTO->move(287, 11);

  PanRB = MakePanel(PanPlayCtrl, "PanRB");
  PanRB->setFixedWidth(153);
  bar->addWidget(PanRB);
  auto* right = HBox(PanRB, 0, 4);
  right->addStretch(1);
  SbEject = MakeSpeedButton(PanRB, "SbEject", QStringLiteral("打开动画..."), QStringLiteral("sb_eject"));
  SBSave = MakeSpeedButton(PanRB, "SBSave", QStringLiteral("保存动画..."), QStringLiteral("sb_save"));
  SBSave->setEnabled(false);
  SbFullScreenOn = MakeActionButton(PanRB, "SbFullScreenOn", ActFullOn, QStringLiteral("sb_fullscreen_on"));
  SbFullScreenOn->setEnabled(false);
  SbFullScreenOff = MakeActionButton(PanRB, "SbFullScreenOff", ActFullOff, QStringLiteral("sb_fullscreen_off"));
  SbFullScreenOff->setVisible(false);
  SbListOpen = MakeSpeedButton(PanRB, "SbListOpen", QStringLiteral("显示播放列表"), QStringLiteral("sb_list_open"));
  SbListOpen->setVisible(false);
  SbListClose = MakeSpeedButton(PanRB, "SbListClose", QStringLiteral("隐藏播放列表"), QStringLiteral("sb_list_close"));
  for (QWidget* button : std::initializer_list<QWidget*>{SbEject, SBSave, SbFullScreenOn, SbFullScreenOff,
                                                         SbListOpen, SbListClose})
    right->addWidget(button);
  right->addSpacing(4);
}

// ---------------------------------------------------------------- search and capture pages

namespace {

// The search and capture pages share one build: an address or keyword row on top, then
// the preview column (preview box, message panel) beside the list of found movies.
struct FinderPageNames {
  const char *page, *topPanel, *edit, *button, *body, *side, *previewBox, *flash, *play, *add, *message, *list;
  const char16_t *editText, *buttonText;
  int messageHeight;
};

struct FinderPageParts {
  QWidget* page;
  QFrame *topPanel, *body, *side;
  QLineEdit* edit;
  QPushButton* button;
  PreviewParts preview;
  QLabel* message;
  QListWidget* list;
};

FinderPageParts MakeFinderPage(QStackedWidget* pages, const FinderPageNames& n, const TImageList& icons) {
  FinderPageParts parts{};
  parts.page = Make<QWidget>(pages, n.page);
  pages->addWidget(parts.page);
  auto* column = VBox(parts.page);

  parts.topPanel = MakePanel(parts.page, n.topPanel);
  parts.topPanel->setFixedHeight(28);
  auto* row = HBox(parts.topPanel, 2, 3);
  parts.edit = Make<QLineEdit>(parts.topPanel, n.edit);
  parts.edit->setText(QString::fromUtf16(n.editText));
  SetTextColour(parts.edit, kGreyText);
  parts.button = Make<QPushButton>(parts.topPanel, n.button);
  parts.button->setText(QString::fromUtf16(n.buttonText));
  parts.button->setFixedWidth(75);
  row->addWidget(parts.edit, 1);
  row->addWidget(parts.button);
  column->addWidget(parts.topPanel);

  parts.body = MakePanel(parts.page, n.body, QFrame::Sunken);
  SetBackground(parts.body, Qt::white);
  auto* body = HBox(parts.body, 1);
  parts.side = MakePanel(parts.body, n.side);
  parts.side->setFixedWidth(168);
  auto* side = VBox(parts.side);
  parts.preview = MakePreview(parts.side, n.previewBox, n.flash, n.play, n.add);
  side->addWidget(parts.preview.box);
  side->addStretch(1);
  parts.message = Make<QLabel>(parts.side, n.message);
  parts.message->setFixedHeight(n.messageHeight);
  side->addWidget(parts.message);
  parts.list = MakeFoundList(parts.body, n.list, icons);
  body->addWidget(parts.side);
  body->addWidget(parts.list, 1);
  column->addWidget(parts.body, 1);
  return parts;
}

}  // namespace

void TMainFrm::BuildSearchPage() {
  const FinderPageParts parts = MakeFinderPage(
      Pages,
      {"Page2", "Panel4", "EdSearchKey", "BtnSearch", "Panel6", "PanSViewAll", "PanSView", "FlashSView", "SBSPlay",
       "SbSAdd", "PanSearchMsg", "ListSearch", u"请输入要搜索的Flash的关键字！", u"开始搜索", 41},
      ImgsGather);
  Page2 = parts.page;
  Panel4 = parts.topPanel;
  EdSearchKey = parts.edit;
  BtnSearch = parts.button;
  Panel6 = parts.body;
  PanSViewAll = parts.side;
  PanSView = parts.preview.box;
  FlashSView = parts.preview.flash;
  SBSPlay = parts.preview.play;
  SbSAdd = parts.preview.add;
  PanSearchMsg = parts.message;
  ListSearch = parts.list;

  PanSearchMsg->setWordWrap(true);
  PanSearchMsg->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  auto* msgBox = VBox(PanSearchMsg);
  msgBox->addStretch(1);
  G1 = MakeGauge(PanSearchMsg, "G1");
  G1->setVisible(false);
  msgBox->addWidget(G1);
}

void TMainFrm::BuildGatherPage() {
  const FinderPageParts parts = MakeFinderPage(
      Pages,
      {"Page3", "Panel2", "EdGatherUrl", "BtnGather", "Panel3", "PanGViewAll", "PanGView", "FlashGView", "SbGPlay",
       "SBGAdd", "PanGatherMsg", "ListGather", u"请输入含有Flash动画的网页网址！", u"开始捕捉", 27},
      ImgsGather);
  Page3 = parts.page;
  Panel2 = parts.topPanel;
  EdGatherUrl = parts.edit;
  BtnGather = parts.button;
  Panel3 = parts.body;
  PanGViewAll = parts.side;
  PanGView = parts.preview.box;
  FlashGView = parts.preview.flash;
  SbGPlay = parts.preview.play;
  SBGAdd = parts.preview.add;
  PanGatherMsg = parts.message;
  ListGather = parts.list;

  PanGatherMsg->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  PanGatherMsg->setIndent(28);
  FlashLoad1 = MakeFlash<TTransparentFlashPlayerControl>(PanGatherMsg, "FlashLoad1", 2);
  FlashLoad1->setWindowMode(engine::WindowMode::Transparent);
  FlashLoad1->setGeometry(2, 1, 24, 24);
}

// ---------------------------------------------------------------- web directory page

void TMainFrm::BuildWebPage() {
  Page4 = Make<QWidget>(Pages, "Page4");
  Pages->addWidget(Page4);
  auto* page = VBox(Page4);

  Splitter2 = Make<QSplitter>(Page4, "Splitter2");
  Splitter2->setHandleWidth(2);
  Splitter2->setChildrenCollapsible(false);
  page->addWidget(Splitter2, 1);

  TV1 = Make<QTreeWidget>(Splitter2, "TV1");
  TV1->setHeaderHidden(true);
  TV1->setColumnCount(1);
  TV1->setIconSize(ImgsTV.size);
  TV1->setIndentation(23);
  TV1->setRootIsDecorated(false);
  TV1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  TV1->setMinimumWidth(100);

  Panel5 = MakePanel(Splitter2, "Panel5");
  auto* right = VBox(Panel5);
  auto* browserArea = new QGridLayout;
  browserArea->setContentsMargins(0, 0, 0, 0);
  WB1 = Make<web::TWebBrowser>(Panel5, "WB1");
  browserArea->addWidget(WB1, 0, 0);
  PanWBLoad = MakePanel(Panel5, "PanWBLoad");
  SetBackground(PanWBLoad, Qt::white);
  auto* cover = VBox(PanWBLoad);
  FlashWBLoad = MakeFlash(PanWBLoad, "FlashWBLoad", 3);
  cover->addWidget(FlashWBLoad, 1);
  G2 = MakeGauge(PanWBLoad, "G2");
  cover->addWidget(G2);
  browserArea->addWidget(PanWBLoad, 0, 0);
  PanWBLoad->setVisible(false);
  right->addLayout(browserArea, 1);

  PanPgCtrl = Make<QLabel>(Panel5, "PanPgCtrl");
  PanPgCtrl->setText(QStringLiteral("                         跳到第        页"));
  PanPgCtrl->setFixedHeight(31);
  PanPgCtrl->setAlignment(Qt::AlignCenter);
  QFont bold = PanPgCtrl->font();
  bold.setBold(true);
  PanPgCtrl->setFont(bold);
  SetTextColour(PanPgCtrl, kNavyText);
  SBPrePage = MakeTextButton(PanPgCtrl, "SBPrePage", QStringLiteral("上一页"));
  SBNextPage = MakeTextButton(PanPgCtrl, "SBNextPage", QStringLiteral("下一页"));
  for (QToolButton* button : {SBPrePage, SBNextPage}) {
    button->setFont(font());
    SetTextColour(button, palette().color(QPalette::ButtonText));
  }
  CBPages = Make<QComboBox>(PanPgCtrl, "CBPages");
  CBPages->setEditable(false);
  CBPages->setFont(font());
  PanPgCtrl->installEventFilter(this);
  right->addWidget(PanPgCtrl);
  PanPgCtrl->setVisible(false);

  Splitter2->addWidget(TV1);
  Splitter2->addWidget(Panel5);
  Splitter2->setStretchFactor(0, 0);
  Splitter2->setStretchFactor(1, 1);
  Splitter2->setSizes({169, 442});
}

// ---------------------------------------------------------------- hidden working page

void TMainFrm::BuildHiddenPage() {
  PageUnVisible = Make<QWidget>(Pages, "PageUnVisible");
  Pages->addWidget(PageUnVisible);
  const auto probe = [this](const char* name) {
    auto* flash = MakeFlash(PageUnVisible, name, 2);
    flash->setBGColor(QStringLiteral("000000"));
    ForbidScripts(flash);
    flash->resize(64, 48);
    return flash;
  };
  UVFlashGather = probe("UVFlashGather");
  UVFlashSearch = probe("UVFlashSearch");
  UVFlashFWeb = probe("UVFlashFWeb");
  WBGather = Make<web::TWebBrowser>(PageUnVisible, "WBGather");
  WBS1 = Make<web::TWebBrowser>(PageUnVisible, "WBS1");
  WBS2 = Make<web::TWebBrowser>(PageUnVisible, "WBS2");
  WB2 = Make<web::TWebBrowser>(PageUnVisible, "WB2");
  WBAd = Make<web::TWebBrowser>(PageUnVisible, "WBAd");
  Memo1 = Make<QPlainTextEdit>(PageUnVisible, "Memo1");
  Memo1->setVisible(false);
}

// ---------------------------------------------------------------- events

void TMainFrm::ConnectHandlers() {
  connect(ActStop, &QAction::triggered, this, &TMainFrm::ActStopExecute);
  connect(ActPre, &QAction::triggered, this, &TMainFrm::ActPreExecute);
  connect(ActPause, &QAction::triggered, this, &TMainFrm::ActPauseExecute);
  connect(ActPlay, &QAction::triggered, this, &TMainFrm::ActPlayExecute);
  connect(ActNext, &QAction::triggered, this, &TMainFrm::ActNextExecute);
  connect(ActFullOn, &QAction::triggered, this, &TMainFrm::ActFullOnExecute);
  connect(ActFullOff, &QAction::triggered, this, &TMainFrm::ActFullOffExecute);

  connect(TimerCheck, &QTimer::timeout, this, &TMainFrm::TimerCheckTimer);
  connect(TimerLoad, &QTimer::timeout, this, &TMainFrm::TimerLoadTimer);
  connect(TimerPlay, &QTimer::timeout, this, &TMainFrm::TimerPlayTimer);
  connect(TimerGatherFlash, &QTimer::timeout, this, &TMainFrm::TimerGatherFlashTimer);
  connect(TimerSearchFlash, &QTimer::timeout, this, &TMainFrm::TimerSearchFlashTimer);
  connect(TimerWebFlash, &QTimer::timeout, this, &TMainFrm::TimerWebFlashTimer);

  connect(TBPlay, &QToolButton::clicked, this, &TMainFrm::TBPlayClick);
  connect(TbSearch, &QToolButton::clicked, this, &TMainFrm::TbSearchClick);
  connect(TbGather, &QToolButton::clicked, this, &TMainFrm::TbGatherClick);
  connect(TbWebFlash, &QToolButton::clicked, this, &TMainFrm::TbWebFlashClick);
  connect(SBSysMenu, &QToolButton::clicked, this, &TMainFrm::SBSysMenuClick);

  connect(Flash1, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { PMFlash->popup(Flash1->mapToGlobal(at)); });
  connect(SbEject, &QToolButton::clicked, this, &TMainFrm::SbEjectClick);
  connect(SBSave, &QToolButton::clicked, this, &TMainFrm::SBSaveClick);
  connect(SbMuteOn, &QToolButton::clicked, this, &TMainFrm::SbMuteOnClick);
  connect(SbMuteOff, &QToolButton::clicked, this, &TMainFrm::SbMuteOffClick);
  // Any mouse button pressed on the auto button flips the mode; the press is the
  // whole gesture, so the button does not toggle itself on release.
  SB_AUTO->setCheckable(true);
  SB_AUTO->installEventFilter(this);
  connect(SbListOpen, &QToolButton::clicked, this, &TMainFrm::SbListOpenClick);
  connect(SbListClose, &QToolButton::clicked, this, &TMainFrm::SbListCloseClick);
  connect(VCB1, &controls::TVolumeCtrlBar::OnPlayPosChanged, this, &TMainFrm::VCB1PlayPosChanged);
  connect(PP1, &controls::TPlayProgress::OnPlayPosChanged, this, &TMainFrm::PP1PlayPosChanged);
  connect(PP1, &controls::TPlayProgress::OnThumbDraged, this, &TMainFrm::PP1ThumbDraged);
  PanFlash->installEventFilter(this);
  Flash1->installEventFilter(this);
  connect(MISOrg, &QAction::triggered, this, &TMainFrm::MISOrgClick);
  connect(MISAll, &QAction::triggered, this, &TMainFrm::MISAllClick);
  connect(MISScale, &QAction::triggered, this, &TMainFrm::MISScaleClick);

  connect(ToolButton1, &QToolButton::clicked, this, &TMainFrm::ToolButton1Click);
  connect(ToolButton2, &QToolButton::clicked, this, &TMainFrm::ToolButton2Click);
  connect(ToolButton3, &QToolButton::clicked, this, &TMainFrm::ToolButton3Click);
  connect(L1, &QAction::triggered, this, &TMainFrm::L1Click);
  connect(P1, &QAction::triggered, this, &TMainFrm::P1Click);
  connect(W1, &QAction::triggered, this, &TMainFrm::W1Click);
  connect(MISaveFlash, &QAction::triggered, this, &TMainFrm::MISaveFlashClick);
  connect(P2, &QAction::triggered, this, &TMainFrm::P2Click);
  connect(N3, &QAction::triggered, this, &TMainFrm::N3Click);
  connect(MenuItem1, &QAction::triggered, this, &TMainFrm::MenuItem1Click);
  connect(MenuItem2, &QAction::triggered, this, &TMainFrm::MenuItem2Click);
  connect(PlyList, &QAbstractItemView::doubleClicked, this, &TMainFrm::PlyListDblClick);
  connect(PlyList, &TPlayListView::DeleteKeyPressed, this, &TMainFrm::PlyListKeyDown);
  connect(PlyList, &TPlayListView::EntryDropped, this, &TMainFrm::PlyListDragDrop);

  connect(S1, &QAction::triggered, this, &TMainFrm::S1Click);
  connect(MIH1, &QAction::triggered, this, &TMainFrm::MIH1Click);
  connect(MIR1, &QAction::triggered, this, &TMainFrm::MIR1Click);
  connect(U1, &QAction::triggered, this, &TMainFrm::U1Click);
  connect(MIA1, &QAction::triggered, this, &TMainFrm::MIA1Click);

  connect(BtnSearch, &QPushButton::clicked, this, &TMainFrm::BtnSearchClick);
  connect(SBSPlay, &QToolButton::clicked, this, &TMainFrm::SBSPlayClick);
  connect(SbSAdd, &QToolButton::clicked, this, &TMainFrm::SbSAddClick);
  connect(ListSearch, &QListWidget::itemDoubleClicked, this, &TMainFrm::ListSearchDblClick);
  connect(ListSearch, &QListWidget::itemSelectionChanged, this, &TMainFrm::ListSearchSelectItem);
  EdSearchKey->installEventFilter(this);
  connect(WBS1, &web::TWebBrowser::DocumentComplete, this, &TMainFrm::WBS1DocumentComplete);
  connect(WBS2, &web::TWebBrowser::DocumentComplete, this, &TMainFrm::WBS2DocumentComplete);

  connect(BtnGather, &QPushButton::clicked, this, &TMainFrm::BtnGatherClick);
  connect(SbGPlay, &QToolButton::clicked, this, &TMainFrm::SbGPlayClick);
  connect(SBGAdd, &QToolButton::clicked, this, &TMainFrm::SBGAddClick);
  connect(ListGather, &QListWidget::itemDoubleClicked, this, &TMainFrm::ListGatherDblClick);
  connect(ListGather, &QListWidget::itemSelectionChanged, this, &TMainFrm::ListGatherSelectItem);
  EdGatherUrl->installEventFilter(this);

  connect(TV1, &QTreeWidget::itemDoubleClicked, this, &TMainFrm::TV1DblClick);
  connect(WB1, &web::TWebBrowser::ProgressChange, this, &TMainFrm::WB1ProgressChange);
  connect(WB1, &web::TWebBrowser::NavigateComplete, this, &TMainFrm::WB1NavigateComplete2);
  connect(WB1, &web::TWebBrowser::DocumentComplete, this, &TMainFrm::WB1DocumentComplete);
  connect(SBPrePage, &QToolButton::clicked, this, &TMainFrm::SBPrePageClick);
  connect(SBNextPage, &QToolButton::clicked, this, &TMainFrm::SBNextPageClick);
  connect(CBPages, &QComboBox::activated, this, &TMainFrm::CBPagesChange);
  connect(WB2, &web::TWebBrowser::ProgressChange, this, &TMainFrm::WB2ProgressChange);
  connect(WBAd, &web::TWebBrowser::DocumentComplete, this, &TMainFrm::WBAdDocumentComplete);

  // Every browser's pop-up windows go to the pop-up sink.
  for (web::TWebBrowser* browser : {WB1, WBS1, WBS2, WBGather, WB2, WBAd})
    connect(browser, &web::TWebBrowser::NewWindow, this, &TMainFrm::WBGatherNewWindow2);
}

bool TMainFrm::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == PanFlash || watched == Flash1) && event->type() == QEvent::Resize) {
    PanFlashResize();
  } else if (watched == SB_AUTO &&
             (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)) {
    if (SB_AUTO->isEnabled()) SB_AUTOMouseDown();
    return true;
  } else if (watched == EdSearchKey || watched == EdGatherUrl) {
    const bool search = watched == EdSearchKey;
    if (event->type() == QEvent::FocusIn)
      search ? EdSearchKeyEnter() : EdGatherUrlEnter();
    else if (event->type() == QEvent::FocusOut)
      search ? EdSearchKeyExit() : EdGatherUrlExit();
    else if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      search ? EdSearchKeyKeyPress(key) : EdGatherUrlKeyPress(key);
    }
  } else if (watched == PanPgCtrl && event->type() == QEvent::Resize) {
    // The page chooser sits in the gap of the centred caption "跳到第        页";
    // the page buttons stand before it.
    const QFontMetrics metrics(PanPgCtrl->font());
    const QString text = PanPgCtrl->text();
    const int left = (PanPgCtrl->width() - metrics.horizontalAdvance(text)) / 2;
    const qsizetype gap = text.indexOf(QStringLiteral("        页"));
    const int gapLeft = left + metrics.horizontalAdvance(text.left(gap));
    const int gapWidth = metrics.horizontalAdvance(QStringLiteral("        "));
    const int h = PanPgCtrl->height();
    CBPages->setGeometry(gapLeft, (h - 22) / 2, std::max(gapWidth, 40), 22);
    const int labelLeft = left + metrics.horizontalAdvance(text.left(text.indexOf(u'跳')));
    const int buttonWidth = std::max(SBPrePage->sizeHint().width(), SBNextPage->sizeHint().width());
    SBNextPage->setGeometry(std::max(0, labelLeft - buttonWidth - 4), (h - 24) / 2, buttonWidth, 24);
    SBPrePage->setGeometry(std::max(0, labelLeft - 2 * buttonWidth - 6), (h - 24) / 2, buttonWidth, 24);
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace plavex
