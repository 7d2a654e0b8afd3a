// The window's non-visual parts (actions, timers, dialogs, image lists, pop-up
// menus) and the commands of the main menu.

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QCursor>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QTimer>

#include "AboutFrm.h"
#include "ComVar.h"
#include "FileFilter.h"
#include "MainFrm.h"
#include "OptionFrm.h"

namespace plavex {
namespace {

QAction* MakeAction(QObject* owner, const char* name, const QString& hint) {
  auto* action = new QAction(hint, owner);
  action->setObjectName(QString::fromLatin1(name));
  action->setToolTip(hint);
  action->setStatusTip(hint);
  return action;
}

QTimer* MakeTimer(QObject* owner, const char* name, int interval) {
  auto* timer = new QTimer(owner);
  timer->setObjectName(QString::fromLatin1(name));
  timer->setInterval(interval);
  return timer;
}

QMenu* MakeMenu(QWidget* owner, const char* name) {
  auto* menu = new QMenu(owner);
  menu->setObjectName(QString::fromLatin1(name));
  return menu;
}

QAction* AddItem(QMenu* menu, const char* name, const QString& caption) {
  QAction* item = menu->addAction(caption);
  item->setObjectName(QString::fromLatin1(name));
  return item;
}

QAction* AddSeparator(QMenu* menu, const char* name) {
  QAction* item = menu->addSeparator();
  item->setObjectName(QString::fromLatin1(name));
  return item;
}

// A menu item bound to an action: it runs the action and follows its enabled state.
QAction* AddBoundItem(QMenu* menu, const char* name, const QString& caption, QAction* action) {
  QAction* item = AddItem(menu, name, caption);
  const auto follow = [item, action] { item->setEnabled(action->isEnabled()); };
  follow();
  QObject::connect(action, &QAction::changed, item, follow);
  QObject::connect(item, &QAction::triggered, action, [action] { action->trigger(); });
  return item;
}

QFileDialog* MakeFileDialog(QWidget* owner, const char* name, QFileDialog::AcceptMode mode,
                            QFileDialog::FileMode fileMode) {
  auto* dialog = new QFileDialog(owner);
  dialog->setObjectName(QString::fromLatin1(name));
  dialog->setAcceptMode(mode);
  dialog->setFileMode(fileMode);
  return dialog;
}

}  // namespace

void TMainFrm::CreateActions() {
  ActionList1 = new QObject(this);
  ActionList1->setObjectName(QStringLiteral("ActionList1"));
  ActStop = MakeAction(ActionList1, "ActStop", QStringLiteral("停止"));
  ActPre = MakeAction(ActionList1, "ActPre", QStringLiteral("上一个"));
  ActPause = MakeAction(ActionList1, "ActPause", QStringLiteral("暂停"));
  ActPlay = MakeAction(ActionList1, "ActPlay", QStringLiteral("播放"));
  ActNext = MakeAction(ActionList1, "ActNext", QStringLiteral("下一个"));
  ActFullOn = MakeAction(ActionList1, "ActFullOn", QStringLiteral("全屏播放"));
  ActFullOff = MakeAction(ActionList1, "ActFullOff", QStringLiteral("退出全屏"));
  ActFullOff->setEnabled(false);
}

void TMainFrm::CreateTimers() {
  TimerCheck = MakeTimer(this, "TimerCheck", 100);
  TimerLoad = MakeTimer(this, "TimerLoad", 100);
  TimerPlay = MakeTimer(this, "TimerPlay", 500);
  TimerGatherFlash = MakeTimer(this, "TimerGatherFlash", 100);
  TimerSearchFlash = MakeTimer(this, "TimerSearchFlash", 100);
  TimerWebFlash = MakeTimer(this, "TimerWebFlash", 100);
}

void TMainFrm::CreateDialogs() {
  const QStringList movieFilter = QtFilterFromWindowsFilter(QString::fromUtf16(kMovieFilter));
  OD1 = MakeFileDialog(this, "OD1", QFileDialog::AcceptOpen, QFileDialog::ExistingFile);
  OD1->setNameFilters(movieFilter);
  OD2 = MakeFileDialog(this, "OD2", QFileDialog::AcceptOpen, QFileDialog::ExistingFiles);
  OD2->setNameFilters(movieFilter);
  SD1 = MakeFileDialog(this, "SD1", QFileDialog::AcceptSave, QFileDialog::AnyFile);
  SD1->setOption(QFileDialog::DontConfirmOverwrite, false);
}

void TMainFrm::LoadImageLists() {
  ImgsTb = LoadImageList({48, 48}, {QStringLiteral("tb_play"), QStringLiteral("tb_search"),
                                    QStringLiteral("tb_gather"), QStringLiteral("tb_web")});
  ImgsPlyList =
      LoadImageList({12, 20}, {QStringLiteral("plylist_current"), QStringLiteral("plylist_invalid")});
  ImgsLstCtrl = LoadImageList({16, 11}, {QStringLiteral("lst_add"), QStringLiteral("lst_del"),
                                         QStringLiteral("lst_list")});
  ImgsGather = LoadImageList({32, 32}, {QStringLiteral("gather_movie")});
  ImgsTV = LoadImageList({20, 20}, {QStringLiteral("tv_folder"), QStringLiteral("tv_folder_open"),
                                    QStringLiteral("tv_site"), QStringLiteral("tv_root")});
}

void TMainFrm::CreateMenus() {
  PMListAdd = MakeMenu(this, "PMListAdd");
  L1 = AddItem(PMListAdd, "L1", QStringLiteral("添加本地动画(&L)..."));
  P1 = AddItem(PMListAdd, "P1", QStringLiteral("添加文件夹(&D)..."));
  N1 = AddSeparator(PMListAdd, "N1");
  N1->setVisible(false);
  W1 = AddItem(PMListAdd, "W1", QStringLiteral("添加网络动画(&W)..."));

  PMListDel = MakeMenu(this, "PMListDel");
  MISaveFlash = AddItem(PMListDel, "MISaveFlash", QStringLiteral("删除选中动画(&S)"));
  P2 = AddItem(PMListDel, "P2", QStringLiteral("删除无效动画(&N)"));
  N2 = AddSeparator(PMListDel, "N2");
  N3 = AddItem(PMListDel, "N3", QStringLiteral("删除全部动画(&A)"));

  PMListList = MakeMenu(this, "PMListList");
  MenuItem1 = AddItem(PMListList, "MenuItem1", QStringLiteral("打开播放列表(&O)..."));
  MenuItem2 = AddItem(PMListList, "MenuItem2", QStringLiteral("保存播放列表(&S)..."));

  PMMain = MakeMenu(this, "PMMain");
  S1 = AddItem(PMMain, "S1", QStringLiteral("设置(&S)..."));
  N16 = AddSeparator(PMMain, "N16");
  MIH1 = AddItem(PMMain, "MIH1", QStringLiteral("使用帮助(&H)"));
  MIR1 = AddItem(PMMain, "MIR1", QStringLiteral("意见反馈(&R)"));
  U1 = AddItem(PMMain, "U1", QStringLiteral("在线升级(&U)"));
  N13 = AddSeparator(PMMain, "N13");
  MIA1 = AddItem(PMMain, "MIA1", QStringLiteral("关于(&A)"));

  PMFlash = MakeMenu(this, "PMFlash");
  N5 = AddBoundItem(PMFlash, "N5", QStringLiteral("播放"), ActPlay);
  N6 = AddBoundItem(PMFlash, "N6", QStringLiteral("暂停"), ActPause);
  N7 = AddBoundItem(PMFlash, "N7", QStringLiteral("停止"), ActStop);
  N8 = AddSeparator(PMFlash, "N8");
  N4 = AddBoundItem(PMFlash, "N4", QStringLiteral("上一个"), ActPre);
  N9 = AddBoundItem(PMFlash, "N9", QStringLiteral("下一个"), ActNext);
  N10 = AddSeparator(PMFlash, "N10");
  N12 = PMFlash->addMenu(QStringLiteral("缩放"));
  N12->setObjectName(QStringLiteral("N12"));
  N12->menuAction()->setObjectName(QStringLiteral("N12"));
  ScaleGroup = new QActionGroup(N12);
  ScaleGroup->setObjectName(QStringLiteral("ScaleGroup"));
  ScaleGroup->setExclusive(true);
  MISOrg = AddItem(N12, "MISOrg", QStringLiteral("原始比例"));
  MISAll = AddItem(N12, "MISAll", QStringLiteral("拉伸显示"));
  MISScale = AddItem(N12, "MISScale", QStringLiteral("原始大小"));
  for (QAction* item : {MISOrg, MISAll, MISScale}) {
    item->setCheckable(true);
    ScaleGroup->addAction(item);
  }
  MISOrg->setChecked(true);
  N12->setDefaultAction(MISOrg);
  N11 = PMFlash->addMenu(QStringLiteral("全屏"));
  N11->setObjectName(QStringLiteral("N11"));
  N11->menuAction()->setObjectName(QStringLiteral("N11"));
  N14 = AddBoundItem(N11, "N14", QStringLiteral("全屏播放"), ActFullOn);
  N15 = AddBoundItem(N11, "N15", QStringLiteral("退出全屏 (ESC)"), ActFullOff);
}

// The list buttons and the main-menu button show their menu with its top-left
// corner at the mouse pointer.
void TMainFrm::PopupAtCursor(QMenu* menu) { menu->popup(QCursor::pos()); }

void TMainFrm::ToolButton1Click() { PopupAtCursor(PMListAdd); }
void TMainFrm::ToolButton2Click() { PopupAtCursor(PMListDel); }
void TMainFrm::ToolButton3Click() { PopupAtCursor(PMListList); }
void TMainFrm::SBSysMenuClick() { PopupAtCursor(PMMain); }

// ---------------------------------------------------------------- main menu

void TMainFrm::S1Click() {
  TOptionFrm dialog(this);
  dialog.exec();
}

void TMainFrm::MIA1Click() {
  TAboutFrm dialog(this);
  dialog.exec();
}

void TMainFrm::MIH1Click() { desktop_.openWebAddress(QString::fromUtf16(kHelpAddress)); }

void TMainFrm::MIR1Click() { desktop_.openWebAddress(QString::fromUtf16(kFeedbackAddress)); }

void TMainFrm::U1Click() {
  const QString program = AppDir() + QString::fromUtf16(kUpgradeTool);
  const QString ownName = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
  const platform::StartResult result = desktop_.startProgram(program, {ownName}, AppDir());
  if (!result.started) ShowError(QStringLiteral("加载工具失败,请重试!"), QStringLiteral("出错了"));
}

}  // namespace plavex
