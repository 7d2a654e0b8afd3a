#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QToolButton>

#include "ComVar.h"
#include "MainFrmFixture.h"

namespace plavex {
namespace {

using testing::MainFrmTest;

// Records what the window hands to the desktop instead of doing it.
struct RecordingDesktop {
  QStringList opened;
  QString program;
  QStringList arguments;
  QString folder;
  bool startSucceeds = false;
  QStringList errors;  // "caption: text"

  TDesktopServices Services() {
    TDesktopServices services;
    services.openWebAddress = [this](const QString& address) {
      opened << address;
      return true;
    };
    services.startProgram = [this](const QString& p, const QStringList& a, const QString& f) {
      program = p;
      arguments = a;
      folder = f;
      return platform::StartResult{startSucceeds, startSucceeds ? QString() : QStringLiteral("no such file")};
    };
    services.showError = [this](const QString& text, const QString& caption) {
      errors << caption + QStringLiteral(": ") + text;
    };
    return services;
  }
};

class MainMenuTest : public MainFrmTest {
 protected:
  void SetUp() override {
    MainFrmTest::SetUp();
    window->setDesktopServices(desktop.Services());
  }
  RecordingDesktop desktop;
};

TEST_F(MainMenuTest, UpgradeStartsTheToolWithTheProgramName) {
  desktop.startSucceeds = true;
  window->U1->trigger();
  EXPECT_EQ(desktop.program, AppDir() + QStringLiteral("Updrift.dll"));
  const QString ownName = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
  EXPECT_EQ(desktop.arguments, QStringList{ownName});
  EXPECT_FALSE(desktop.arguments.front().contains(u'/'));
  EXPECT_EQ(desktop.folder, AppDir());
  EXPECT_TRUE(desktop.errors.isEmpty());
}

TEST_F(MainMenuTest, UpgradeToolThatCannotStartIsReported) {
  desktop.startSucceeds = false;
  window->U1->trigger();
  EXPECT_EQ(desktop.errors, QStringList{QStringLiteral("出错了: 加载工具失败,请重试!")});
}

TEST_F(MainFrmTest, UpgradeWithTheRealStarterReportsAMissingTool) {
  // The test folder holds no upgrade tool: the real starter fails and the message comes.
  ASSERT_FALSE(QFileInfo::exists(AppDir() + QStringLiteral("Updrift.dll")));
  QStringList errors;
  TDesktopServices services;
  services.showError = [&errors](const QString& text, const QString& caption) {
    errors << caption + QStringLiteral(": ") + text;
  };
  window->setDesktopServices(services);
  window->U1Click();
  EXPECT_EQ(errors, QStringList{QStringLiteral("出错了: 加载工具失败,请重试!")});
}

TEST_F(MainMenuTest, HelpAndFeedbackOpenTheProductPages) {
  window->MIH1->trigger();
  window->MIR1->trigger();
  EXPECT_EQ(desktop.opened, (QStringList{QString::fromUtf16(kHelpAddress), QString::fromUtf16(kFeedbackAddress)}));
  EXPECT_NE(desktop.opened[0], desktop.opened[1]);
}

TEST_F(MainFrmTest, MenuButtonsPopTheirMenusUp) {
  window->show();
  const struct {
    QToolButton* button;
    QMenu* menu;
  } cases[] = {{window->SBSysMenu, window->PMMain},
               {window->ToolButton1, window->PMListAdd},
               {window->ToolButton2, window->PMListDel},
               {window->ToolButton3, window->PMListList}};
  for (const auto& c : cases) {
    c.button->click();
    EXPECT_TRUE(c.menu->isVisible()) << c.menu->objectName().toStdString();
    c.menu->hide();
  }
}

TEST_F(MainFrmTest, RemoteControlAccessors) {
  EXPECT_EQ(window->PanStatusText(), QStringLiteral("就绪"));
  window->ShowPage(1);
  EXPECT_EQ(window->ActivePage(), 1);
  window->showMinimized();
  window->BringToFront();
  EXPECT_FALSE(window->isMinimized());
  EXPECT_TRUE(window->isVisible());
}

TEST_F(MainFrmTest, ClosingTwiceIsHarmless) {
  window->show();
  EXPECT_TRUE(window->close());
  window->show();
  EXPECT_TRUE(window->close());
}

}  // namespace
}  // namespace plavex
