#include <gtest/gtest.h>

#include <QAction>

#include "ControlsTestSupport.h"
#include "controls/ImgBtn.h"

namespace plavex::controls {
namespace {

using namespace plavex::controls::testing;
using Face = TImgBtn::Face;

class ImgBtnTest : public ::testing::Test {
 protected:
  void SetUp() override {
    button.setPictureNormal(Picture(29, 29, Qt::blue));
    button.setPictureDown(Picture(29, 29, Qt::darkBlue));
  }
  void press(Qt::MouseButton which) { SendMouse(&button, QEvent::MouseButtonPress, which, {5, 5}, {5, 5}); }
  void release(Qt::MouseButton which) { SendMouse(&button, QEvent::MouseButtonRelease, which, {5, 5}, {5, 5}); }
  TImgBtn button;
};

TEST_F(ImgBtnTest, TakesTheSizeOfItsPicture) {
  TImgBtn fresh;
  EXPECT_EQ(fresh.size(), QSize(40, 40));
  fresh.setPictureNormal(Picture(29, 29));
  EXPECT_EQ(fresh.size(), QSize(29, 29));
}

TEST_F(ImgBtnTest, HoverWithoutHotPictureKeepsNormal) {
  SendEnter(&button);
  EXPECT_EQ(button.CurrentFace(), Face::Normal);
  button.setPictureHot(Picture(29, 29, Qt::cyan));
  SendEnter(&button);
  EXPECT_EQ(button.CurrentFace(), Face::Hot);
  SendLeave(&button);
  EXPECT_EQ(button.CurrentFace(), Face::Normal);
}

TEST_F(ImgBtnTest, RightButtonChangesNothingAndAnyReleaseShowsNormal) {
  press(Qt::RightButton);
  EXPECT_EQ(button.CurrentFace(), Face::Normal);
  press(Qt::LeftButton);
  EXPECT_EQ(button.CurrentFace(), Face::Down);
  release(Qt::RightButton);
  EXPECT_EQ(button.CurrentFace(), Face::Normal);
}

TEST_F(ImgBtnTest, DisabledWithoutPictureShowsPlainPanelThenNormalAgain) {
  button.setEnabled(false);
  EXPECT_EQ(button.CurrentFace(), Face::Disabled);
  EXPECT_TRUE(button.PictureDisabled().isNull());
  button.setEnabled(true);
  EXPECT_EQ(button.CurrentFace(), Face::Normal);
}

TEST_F(ImgBtnTest, NormalPictureAssignedWhileDisabledIsStoredNotShown) {
  button.setEnabled(false);
  button.setPictureNormal(Picture(45, 45, Qt::red));
  EXPECT_EQ(button.CurrentFace(), Face::Disabled);
  EXPECT_EQ(button.PictureNormal().size(), QSize(45, 45));
  button.setEnabled(true);
  EXPECT_EQ(button.size(), QSize(45, 45));
}

TEST_F(ImgBtnTest, FollowsItsActionAndRunsIt) {
  QAction action(QStringLiteral("停止"));
  action.setToolTip(QStringLiteral("停止"));
  int runs = 0;
  QObject::connect(&action, &QAction::triggered, [&runs] { ++runs; });
  button.setAction(&action);
  EXPECT_EQ(button.toolTip(), QStringLiteral("停止"));

  press(Qt::LeftButton);
  release(Qt::LeftButton);
  EXPECT_EQ(runs, 1);

  action.setEnabled(false);
  EXPECT_FALSE(button.isEnabled());
  EXPECT_EQ(button.CurrentFace(), Face::Disabled);
  press(Qt::LeftButton);
  release(Qt::LeftButton);
  EXPECT_EQ(runs, 1) << "a disabled button runs nothing";

  action.setEnabled(true);
  EXPECT_TRUE(button.isEnabled());
  EXPECT_EQ(button.CurrentFace(), Face::Normal);
}

TEST_F(ImgBtnTest, HiddenButtonStaysHiddenWhileActionOnlyChangesState) {
  QAction action;
  button.setAction(&action);
  button.setVisible(false);
  action.setEnabled(false);
  action.setEnabled(true);
  EXPECT_TRUE(button.isHidden());
}

TEST_F(ImgBtnTest, ReleaseOutsideIsNoClick) {
  int clicks = 0;
  QObject::connect(&button, &TImgBtn::OnClick, [&clicks] { ++clicks; });
  press(Qt::LeftButton);
  SendMouse(&button, QEvent::MouseButtonRelease, Qt::LeftButton, {100, 100}, {100, 100});
  EXPECT_EQ(clicks, 0);
  press(Qt::LeftButton);
  release(Qt::LeftButton);
  EXPECT_EQ(clicks, 1);
}

}  // namespace
}  // namespace plavex::controls
