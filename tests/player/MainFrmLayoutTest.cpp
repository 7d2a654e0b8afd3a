#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QMenu>
#include <QShortcut>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QWebEngineView>
#include <optional>

#include "ComVar.h"
#include "MainFrmFixture.h"
#include "PlayListView.h"
#include "controls/ImgBtn.h"
#include "engine/control/FlashPlayerControl.h"
#include "web/WebBrowser.h"

namespace plavex {
namespace {

using testing::MainFrmTest;

struct Component {
  const char* name;
  const char* className;
  std::optional<const char*> text;  // unset: not checked
  const char* hint;
  bool visible;
  bool enabled;
};

constexpr bool kShown = true, kHidden = false, kEnabled = true, kDisabled = false;
constexpr const char* kFlash = "plavex::engine::TFlashPlayerControl";
constexpr const char* kTransparentFlash = "plavex::engine::TTransparentFlashPlayerControl";
constexpr const char* kBrowser = "plavex::web::TWebBrowser";
constexpr const char* kImgBtn = "plavex::controls::TImgBtn";

const Component kComponents[] = {
    {"PanTop", "QFrame", {}, "", kShown, kEnabled},
    {"ToolBar1", "QToolBar", {}, "", kShown, kEnabled},
    {"TBPlay", "QToolButton", " 动画播放 ", "播放Flash动画", kShown, kDisabled},
    {"TbSearch", "QToolButton", "动画搜索", "搜索Flash动画", kShown, kEnabled},
    {"TbGather", "QToolButton", "动画捕捉", "捕捉网页中的Flash动画", kShown, kEnabled},
    {"TbWebFlash", "QToolButton", "动画网站", "观看网络动画", kShown, kEnabled},
    {"FlashAd", kTransparentFlash, {}, "", kShown, kEnabled},
    {"Panel1", "QFrame", {}, "", kShown, kEnabled},
    {"SBSysMenu", "QToolButton", {}, "主菜单", kShown, kEnabled},
    {"Pages", "QStackedWidget", {}, "", kShown, kEnabled},
    // Play page.
    {"PanFlash", "QFrame", {}, "", kShown, kEnabled},
    {"Flash1", kFlash, {}, "", kShown, kEnabled},
    {"PanPlayProgress", "QFrame", {}, "", kHidden, kEnabled},
    {"PanStatus", "QLabel", "就绪", "", kShown, kEnabled},
    {"PanFrames", "QLabel", "/", "", kHidden, kEnabled},
    {"LbCurFrames", "QLabel", "00:00", "", kShown, kEnabled},
    {"LbAllFrames", "QLabel", "00:00", "", kShown, kEnabled},
    {"PP1", "plavex::controls::TPlayProgress", {}, "", kShown, kEnabled},
    {"Splitter1", "QSplitter", {}, "", kShown, kEnabled},
    {"PanPlyList", "QFrame", {}, "", kShown, kEnabled},
    {"PlyList", "plavex::TPlayListView", {}, "", kShown, kEnabled},
    {"ToolBar2", "QToolBar", {}, "", kShown, kEnabled},
    {"ToolButton1", "QToolButton", {}, "添加", kShown, kEnabled},
    {"ToolButton2", "QToolButton", {}, "删除", kShown, kEnabled},
    {"ToolButton3", "QToolButton", {}, "播放列表", kShown, kEnabled},
    {"PanPlayCtrl", "QFrame", {}, "", kShown, kEnabled},
    {"BtnStop", kImgBtn, {}, "停止", kShown, kEnabled},
    {"BtnPre", kImgBtn, {}, "上一个", kShown, kEnabled},
    {"BtnPlay", kImgBtn, {}, "播放", kShown, kEnabled},
    {"BtnPause", kImgBtn, {}, "暂停", kHidden, kEnabled},
    {"BtnNext", kImgBtn, {}, "下一个", kShown, kEnabled},
    {"SbMuteOn", "QToolButton", {}, "静音", kShown, kEnabled},
    {"SbMuteOff", "QToolButton", {}, "放音", kHidden, kEnabled},
    {"VCB1", "plavex::controls::TVolumeCtrlBar", {}, "100%", kShown, kEnabled},
    {"SB_AUTO", "QToolButton", {}, "全自动播放，适合播放Flash音乐", kShown, kEnabled},
    {"PanRB", "QFrame", {}, "", kShown, kEnabled},
    {"SbEject", "QToolButton", {}, "打开动画...", kShown, kEnabled},
    {"SBSave", "QToolButton", {}, "保存动画...", kShown, kDisabled},
    {"SbFullScreenOn", "QToolButton", {}, "全屏播放", kShown, kDisabled},
    {"SbFullScreenOff", "QToolButton", {}, "退出全屏", kHidden, kDisabled},
    {"SbListOpen", "QToolButton", {}, "显示播放列表", kHidden, kEnabled},
    {"SbListClose", "QToolButton", {}, "隐藏播放列表", kShown, kEnabled},
    // Search page.
    {"Panel4", "QFrame", {}, "", kShown, kEnabled},
    {"EdSearchKey", "QLineEdit", "请输入要搜索的Flash的关键字！", "", kShown, kEnabled},
    {"BtnSearch", "QPushButton", "开始搜索", "", kShown, kEnabled},
    {"Panel6", "QFrame", {}, "", kShown, kEnabled},
    {"ListSearch", "QListWidget", {}, "", kShown, kEnabled},
    {"PanSViewAll", "QFrame", {}, "", kShown, kEnabled},
    {"PanSView", "QFrame", {}, "", kHidden, kEnabled},
    {"FlashSView", kFlash, {}, "", kShown, kEnabled},
    {"SBSPlay", "QToolButton", "播放", "在播放器中播放", kShown, kEnabled},
    {"SbSAdd", "QToolButton", "添加", "添加到播放列表", kShown, kEnabled},
    {"PanSearchMsg", "QLabel", "", "", kShown, kEnabled},
    {"G1", "QProgressBar", {}, "", kHidden, kEnabled},
    // Capture page.
    {"Panel2", "QFrame", {}, "", kShown, kEnabled},
    {"EdGatherUrl", "QLineEdit", "请输入含有Flash动画的网页网址！", "", kShown, kEnabled},
    {"BtnGather", "QPushButton", "开始捕捉", "", kShown, kEnabled},
    {"Panel3", "QFrame", {}, "", kShown, kEnabled},
    {"ListGather", "QListWidget", {}, "", kShown, kEnabled},
    {"PanGViewAll", "QFrame", {}, "", kShown, kEnabled},
    {"PanGView", "QFrame", {}, "", kHidden, kEnabled},
    {"FlashGView", kFlash, {}, "", kShown, kEnabled},
    {"SbGPlay", "QToolButton", "播放", "在播放器中播放", kShown, kEnabled},
    {"SBGAdd", "QToolButton", "添加", "添加到播放列表", kShown, kEnabled},
    {"PanGatherMsg", "QLabel", "", "", kShown, kEnabled},
    {"FlashLoad1", kTransparentFlash, {}, "", kShown, kEnabled},
    // Web directory page.
    {"TV1", "QTreeWidget", {}, "", kShown, kEnabled},
    {"Splitter2", "QSplitter", {}, "", kShown, kEnabled},
    {"Panel5", "QFrame", {}, "", kShown, kEnabled},
    {"WB1", kBrowser, {}, "", kShown, kEnabled},
    {"PanPgCtrl", "QLabel", "                         跳到第        页", "", kHidden, kEnabled},
    {"SBPrePage", "QToolButton", "上一页", "", kShown, kEnabled},
    {"SBNextPage", "QToolButton", "下一页", "", kShown, kEnabled},
    {"CBPages", "QComboBox", {}, "", kShown, kEnabled},
    {"PanWBLoad", "QFrame", {}, "", kHidden, kEnabled},
    {"FlashWBLoad", kFlash, {}, "", kShown, kEnabled},
    {"G2", "QProgressBar", {}, "", kShown, kEnabled},
    // Hidden working page.
    {"UVFlashGather", kFlash, {}, "", kShown, kEnabled},
    {"UVFlashSearch", kFlash, {}, "", kShown, kEnabled},
    {"UVFlashFWeb", kFlash, {}, "", kShown, kEnabled},
    {"WBGather", kBrowser, {}, "", kShown, kEnabled},
    {"WBS1", kBrowser, {}, "", kShown, kEnabled},
    {"WBS2", kBrowser, {}, "", kShown, kEnabled},
    {"WB2", kBrowser, {}, "", kShown, kEnabled},
    {"WBAd", kBrowser, {}, "", kShown, kEnabled},
    {"Memo1", "QPlainTextEdit", {}, "", kHidden, kEnabled},
};

TEST_F(MainFrmTest, ComponentTreeHasEveryComponentWithItsInitialState) {
  window->show();  // tool-bar buttons are shown with their tool bar
  for (const Component& c : kComponents) {
    SCOPED_TRACE(c.name);
    const auto found = window->findChildren<QWidget*>(QString::fromLatin1(c.name));
    ASSERT_EQ(found.size(), 1);
    QWidget* w = found.front();
    EXPECT_STREQ(w->metaObject()->className(), c.className);
    if (c.text) {
      EXPECT_EQ(w->property("text").toString(), QString::fromUtf8(*c.text));
    }
    EXPECT_EQ(w->toolTip(), QString::fromUtf8(c.hint));
    EXPECT_EQ(!w->isHidden(), c.visible);
    EXPECT_EQ(w->isEnabled(), c.enabled);
  }
}

TEST_F(MainFrmTest, PagesHoldTheirComponents) {
  const struct {
    const char* page;
    const char* component;
  } cases[] = {{"Page1", "PlyList"},        {"Page1", "BtnPlay"},     {"Page2", "ListSearch"},
               {"Page3", "FlashLoad1"},     {"Page4", "CBPages"},     {"PageUnVisible", "WBAd"},
               {"PageUnVisible", "Memo1"},  {"PanTop", "FlashAd"},    {"PanRB", "SbListClose"},
               {"PanPlayProgress", "PP1"},  {"PanFrames", "LbAllFrames"}};
  for (const auto& c : cases) {
    QWidget* page = widget(c.page);
    ASSERT_NE(page, nullptr) << c.page;
    EXPECT_NE(page->findChild<QWidget*>(QString::fromLatin1(c.component)), nullptr)
        << c.component << " in " << c.page;
  }
  EXPECT_EQ(window->Pages->count(), 5);
  EXPECT_EQ(window->Pages->indexOf(window->PageUnVisible), 4);
}

TEST_F(MainFrmTest, WindowSettings) {
  EXPECT_EQ(window->windowTitle(), QStringLiteral("AmbrelFlash播放器"));
  EXPECT_EQ(window->size(), QSize(611, 427));
  EXPECT_EQ(window->minimumSize(), QSize(470, 318));
  EXPECT_EQ(window->font().family(), QStringLiteral("宋体"));
  EXPECT_EQ(window->font().pointSize(), 9);
}

TEST_F(MainFrmTest, FixedSizes) {
  const struct {
    const char* name;
    int width, height;  // 0: not fixed
  } cases[] = {{"PanTop", 0, 68},         {"Panel1", 53, 0},      {"PanPlayProgress", 0, 28},
               {"PanStatus", 0, 16},      {"PanFrames", 91, 0},   {"PP1", 0, 9},
               {"PanPlayCtrl", 0, 52},    {"PanRB", 153, 0},      {"Panel4", 0, 28},
               {"Panel2", 0, 28},         {"PanSViewAll", 168, 0}, {"PanGViewAll", 168, 0},
               {"PanSView", 0, 135},      {"PanGView", 0, 135},   {"PanSearchMsg", 0, 41},
               {"PanGatherMsg", 0, 27},   {"PanPgCtrl", 0, 31},   {"BtnSearch", 75, 0},
               {"FlashSView", 162, 105},  {"FlashGView", 162, 105}, {"TBPlay", 67, 67}};
  for (const auto& c : cases) {
    QWidget* w = widget(c.name);
    ASSERT_NE(w, nullptr) << c.name;
    if (c.width) {
      EXPECT_EQ(w->minimumWidth(), c.width) << c.name;
      EXPECT_EQ(w->maximumWidth(), c.width) << c.name;
    }
    if (c.height) {
      EXPECT_EQ(w->minimumHeight(), c.height) << c.name;
      EXPECT_EQ(w->maximumHeight(), c.height) << c.name;
    }
  }
  EXPECT_EQ(window->PanPlyList->minimumWidth(), 150);
  EXPECT_EQ(window->TV1->minimumWidth(), 100);
  EXPECT_EQ(window->FlashLoad1->size(), QSize(24, 24));
  EXPECT_EQ(window->BtnStop->size(), QSize(29, 29));
  EXPECT_EQ(window->BtnPre->size(), QSize(29, 29));
  EXPECT_EQ(window->BtnNext->size(), QSize(29, 29));
  EXPECT_EQ(window->BtnPlay->size(), QSize(45, 45));
  EXPECT_EQ(window->BtnPause->size(), QSize(45, 45));
  EXPECT_EQ(window->BtnPlay->pos(), window->BtnPause->pos() - QPoint(0, 1));
  EXPECT_EQ(window->SbMuteOn->pos(), window->SbMuteOff->pos());
}

TEST_F(MainFrmTest, PlayListHasFourColumnsWithTheAddressHidden) {
  TPlayListView* list = window->PlyList;
  ASSERT_EQ(list->model()->columnCount(), 4);
  EXPECT_EQ(list->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("标题"));
  EXPECT_EQ(list->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("时间"));
  EXPECT_EQ(list->model()->headerData(3, Qt::Horizontal).toString(), QStringLiteral("URL"));
  EXPECT_TRUE(list->isHeaderHidden());
  EXPECT_EQ(list->header()->sectionSize(0), 15);
  EXPECT_EQ(list->header()->sectionSize(2), 45);
  EXPECT_TRUE(list->isColumnHidden(3));
  EXPECT_EQ(list->selectionMode(), QAbstractItemView::SingleSelection);
}

TEST_F(MainFrmTest, ActionsAndTheButtonsThatFollowThem) {
  const struct {
    QAction* action;
    const char* name;
    const char* hint;
    bool enabled;
  } cases[] = {{window->ActStop, "ActStop", "停止", true},
               {window->ActPre, "ActPre", "上一个", true},
               {window->ActPause, "ActPause", "暂停", true},
               {window->ActPlay, "ActPlay", "播放", true},
               {window->ActNext, "ActNext", "下一个", true},
               {window->ActFullOn, "ActFullOn", "全屏播放", true},
               {window->ActFullOff, "ActFullOff", "退出全屏", false}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.action->objectName(), QString::fromLatin1(c.name));
    EXPECT_EQ(c.action->toolTip(), QString::fromUtf8(c.hint));
    EXPECT_EQ(c.action->isEnabled(), c.enabled) << c.name;
  }
  window->ActStop->setEnabled(false);
  EXPECT_FALSE(window->BtnStop->isEnabled());
  EXPECT_FALSE(window->N7->isEnabled()) << "the context-menu item follows the action";
  window->ActFullOff->setEnabled(true);
  EXPECT_TRUE(window->SbFullScreenOff->isEnabled());
  EXPECT_TRUE(window->N15->isEnabled());
}

TEST_F(MainFrmTest, TimersHaveTheirIntervalsAndAreStopped) {
  const struct {
    const char* name;
    int interval;
  } cases[] = {{"TimerCheck", 100},       {"TimerLoad", 100},        {"TimerPlay", 500},
               {"TimerGatherFlash", 100}, {"TimerSearchFlash", 100}, {"TimerWebFlash", 100}};
  for (const auto& c : cases) {
    auto* timer = window->findChild<QTimer*>(QString::fromLatin1(c.name));
    ASSERT_NE(timer, nullptr) << c.name;
    EXPECT_EQ(timer->interval(), c.interval) << c.name;
    EXPECT_FALSE(timer->isActive()) << c.name;
  }
}

struct MenuItem {
  const char* name;
  const char* caption;  // nullptr: a separator
  bool visible = true;
};

void ExpectMenu(QMenu* menu, std::initializer_list<MenuItem> items) {
  ASSERT_NE(menu, nullptr);
  const QList<QAction*> actions = menu->actions();
  ASSERT_EQ(actions.size(), static_cast<qsizetype>(items.size())) << menu->objectName().toStdString();
  int i = 0;
  for (const MenuItem& item : items) {
    QAction* action = actions[i++];
    SCOPED_TRACE(item.name);
    EXPECT_EQ(action->objectName(), QString::fromLatin1(item.name));
    EXPECT_EQ(action->isSeparator(), item.caption == nullptr);
    if (item.caption) {
      EXPECT_EQ(action->text(), QString::fromUtf8(item.caption));
    }
    EXPECT_EQ(action->isVisible(), item.visible);
  }
}

TEST_F(MainFrmTest, PopupMenusHaveTheirItemsInOrder) {
  ExpectMenu(window->PMListAdd, {{"L1", "添加本地动画(&L)..."},
                                 {"P1", "添加文件夹(&D)..."},
                                 {"N1", nullptr, false},
                                 {"W1", "添加网络动画(&W)..."}});
  ExpectMenu(window->PMListDel, {{"MISaveFlash", "删除选中动画(&S)"},
                                 {"P2", "删除无效动画(&N)"},
                                 {"N2", nullptr},
                                 {"N3", "删除全部动画(&A)"}});
  ExpectMenu(window->PMListList,
             {{"MenuItem1", "打开播放列表(&O)..."}, {"MenuItem2", "保存播放列表(&S)..."}});
  ExpectMenu(window->PMMain, {{"S1", "设置(&S)..."},
                              {"N16", nullptr},
                              {"MIH1", "使用帮助(&H)"},
                              {"MIR1", "意见反馈(&R)"},
                              {"U1", "在线升级(&U)"},
                              {"N13", nullptr},
                              {"MIA1", "关于(&A)"}});
  ExpectMenu(window->PMFlash, {{"N5", "播放"},
                               {"N6", "暂停"},
                               {"N7", "停止"},
                               {"N8", nullptr},
                               {"N4", "上一个"},
                               {"N9", "下一个"},
                               {"N10", nullptr},
                               {"N12", "缩放"},
                               {"N11", "全屏"}});
  ExpectMenu(window->N12, {{"MISOrg", "原始比例"}, {"MISAll", "拉伸显示"}, {"MISScale", "原始大小"}});
  ExpectMenu(window->N11, {{"N14", "全屏播放"}, {"N15", "退出全屏 (ESC)"}});
}

TEST_F(MainFrmTest, ScaleItemsAreARadioGroupStartingAtOriginal) {
  EXPECT_TRUE(window->MISOrg->isChecked());
  EXPECT_EQ(window->N12->defaultAction(), window->MISOrg);
  window->MISAll->trigger();
  EXPECT_TRUE(window->MISAll->isChecked());
  EXPECT_FALSE(window->MISOrg->isChecked());
  window->MISScale->trigger();
  EXPECT_TRUE(window->MISScale->isChecked());
  EXPECT_FALSE(window->MISAll->isChecked());
}

TEST_F(MainFrmTest, ContextMenuItemsRunTheirActions) {
  int plays = 0;
  QObject::connect(window->ActPlay, &QAction::triggered, [&plays] { ++plays; });
  window->N5->trigger();
  EXPECT_EQ(plays, 1);
  EXPECT_EQ(window->Flash1->contextMenuPolicy(), Qt::CustomContextMenu);
}

TEST_F(MainFrmTest, FlashControlSettings) {
  using engine::Quality;
  using engine::WindowMode;
  EXPECT_EQ(window->Flash1->Movie(), StartMovie());
  EXPECT_EQ(window->Flash1->windowMode(), WindowMode::Window);
  EXPECT_EQ(window->Flash1->ScaleMode(), 0);
  EXPECT_TRUE(window->Flash1->Loop());
  EXPECT_TRUE(window->Flash1->Menu());
  EXPECT_EQ(window->Flash1->quality(), Quality::High);

  EXPECT_EQ(window->FlashAd->windowMode(), WindowMode::Transparent);
  EXPECT_EQ(window->FlashAd->AlignMode(), QStringLiteral("R"));
  EXPECT_EQ(window->FlashAd->ScaleMode(), 0);
  EXPECT_FALSE(window->FlashAd->Menu());
  EXPECT_EQ(window->FlashAd->AllowScriptAccess(), QStringLiteral("never"));
  EXPECT_TRUE(window->FlashAd->Movie().isEmpty());

  for (engine::TFlashPlayerControl* preview : {window->FlashSView, window->FlashGView}) {
    EXPECT_EQ(preview->ScaleMode(), 2);
    EXPECT_EQ(preview->AllowScriptAccess(), QStringLiteral("never"));
  }
  EXPECT_EQ(window->FlashLoad1->ScaleMode(), 2);
  EXPECT_EQ(window->FlashLoad1->windowMode(), WindowMode::Transparent);
  EXPECT_EQ(window->FlashWBLoad->ScaleMode(), 3);
  for (engine::TFlashPlayerControl* probe :
       {window->UVFlashGather, window->UVFlashSearch, window->UVFlashFWeb}) {
    EXPECT_EQ(probe->BGColor().toUpper().remove(u'#'), QStringLiteral("000000"));
    EXPECT_EQ(probe->ScaleMode(), 2);
    EXPECT_EQ(probe->AllowScriptAccess(), QStringLiteral("never"));
  }
}

TEST_F(MainFrmTest, ImageListsHaveTheirSizesAndCounts) {
  const struct {
    const TImageList& list;
    QSize size;
    int count;
  } cases[] = {{window->ImgsTb, {48, 48}, 4},
               {window->ImgsPlyList, {12, 20}, 2},
               {window->ImgsLstCtrl, {16, 11}, 3},
               {window->ImgsGather, {32, 32}, 1},
               {window->ImgsTV, {20, 20}, 4}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.list.size, c.size);
    ASSERT_EQ(c.list.Count(), c.count);
    for (const QPixmap& image : c.list.images) {
      EXPECT_FALSE(image.isNull());
      EXPECT_EQ(image.size(), c.size);
    }
  }
  EXPECT_FALSE(window->BtnPlay->PictureNormal().isNull());
  EXPECT_FALSE(window->BtnPlay->PictureHot().isNull());
  EXPECT_FALSE(window->BtnPlay->PictureDown().isNull());
}

TEST_F(MainFrmTest, CreationSetsTheSharedValues) {
  EXPECT_EQ(window->CurrentIndex, -1);
  EXPECT_EQ(window->ScaleSetting, 0);
  EXPECT_TRUE(window->Stopped);
  EXPECT_FALSE(window->FullScreen);
  EXPECT_TRUE(window->GatherList.isEmpty());
  EXPECT_TRUE(window->FlashRules.isEmpty());
  EXPECT_TRUE(AppDir().endsWith(u'/'));
  EXPECT_EQ(StartMovie(), AppDir() + QStringLiteral("swf/start.swf"));
}

TEST_F(MainFrmTest, EscIsAnApplicationShortcut) {
  ASSERT_NE(window->EscHotKey, nullptr);
  EXPECT_EQ(window->EscHotKey->key(), QKeySequence(Qt::Key_Escape));
  EXPECT_EQ(window->EscHotKey->context(), Qt::ApplicationShortcut);
}

bool AnyBrowserView() {
  for (QWidget* w : QApplication::allWidgets())
    if (qobject_cast<QWebEngineView*>(w)) return true;
  return false;
}

TEST_F(MainFrmTest, CreatingTheWindowStartsNoBrowser) {
  window->show();
  window->ShowPage(3);
  QApplication::processEvents();
  EXPECT_FALSE(AnyBrowserView());
  for (web::TWebBrowser* browser : {window->WB1, window->WBS1, window->WBS2, window->WBGather,
                                    window->WB2, window->WBAd, window->PopupSink})
    EXPECT_FALSE(browser->IsStarted()) << browser->objectName().toStdString();
  // The blank pages are loaded when these browsers are first used.
  EXPECT_EQ(window->PopupSink->InitialAddress(), QStringLiteral("about:blank"));
  EXPECT_EQ(window->WB2->InitialAddress(), QStringLiteral("about:blank"));
  EXPECT_TRUE(window->PopupSink->Silent());
  EXPECT_EQ(window->PopupSink->parentWidget(), nullptr);
}

TEST_F(MainFrmTest, ShowPagePressesAndDisablesTheButtonOfTheActivePage) {
  QToolButton* buttons[] = {window->TBPlay, window->TbSearch, window->TbGather, window->TbWebFlash};
  for (int page = 0; page < 4; ++page) {
    window->ShowPage(page);
    EXPECT_EQ(window->ActivePage(), page);
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(buttons[i]->isChecked(), i == page) << "page " << page << " button " << i;
      EXPECT_EQ(buttons[i]->isEnabled(), i != page) << "page " << page << " button " << i;
    }
  }
}

TEST_F(MainFrmTest, ShowPageIgnoresOtherIndexes) {
  window->ShowPage(2);
  for (int index : {-1, 4, 5}) {
    window->ShowPage(index);
    EXPECT_EQ(window->ActivePage(), 2);
    EXPECT_FALSE(window->TbGather->isEnabled());
  }
}

TEST_F(MainFrmTest, ToolBarButtonsSwitchPages) {
  const struct {
    QToolButton* button;
    int page;
  } cases[] = {{window->TbSearch, 1}, {window->TbGather, 2}, {window->TbWebFlash, 3}, {window->TBPlay, 0}};
  for (const auto& c : cases) {
    c.button->click();
    EXPECT_EQ(window->ActivePage(), c.page);
    EXPECT_TRUE(c.button->isChecked());
  }
  window->TBPlay->click();  // disabled: nothing happens
  EXPECT_EQ(window->ActivePage(), 0);
}

}  // namespace
}  // namespace plavex
