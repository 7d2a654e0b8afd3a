#include <gtest/gtest.h>

#include <QSignalSpy>

#include "ControlsTestSupport.h"
#include "controls/ImgTrackBar.h"

namespace plavex::controls {
namespace {

using namespace plavex::controls::testing;

// The play page's bar: 434 wide, a 16 x 9 thumb, 1 x 2 bar pictures, range 0..100.
class PlayProgressTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bar.setPictureLoad(Picture(1, 2, Qt::lightGray));
    bar.setPicturePlay(Picture(1, 2, Qt::blue));
    bar.setPictureThumbNormal(Picture(16, 9, Qt::darkBlue));
    bar.setPictureThumbHot(Picture(16, 9, Qt::cyan));
    bar.resize(434, 9);
    bar.show();
    bar.setPosLoad(100);
  }
  int changes() const { return static_cast<int>(changed.count()); }

  TPlayProgress bar;
  QSignalSpy changed{&bar, &TPlayProgress::OnPlayPosChanged};
  QSignalSpy dragged{&bar, &TPlayProgress::OnThumbDraged};
};

TEST_F(PlayProgressTest, TickSizeIsStoredAsFloat) {
  EXPECT_EQ(bar.TickSize(), 416.0f / 100.0f);
  EXPECT_EQ(bar.Thumb()->size(), QSize(16, 9));
}

TEST_F(PlayProgressTest, PositionsTruncateToPixels) {
  const struct {
    int pos, pixels;
  } cases[] = {{58, 241}, {50, 207}, {100, 415}, {0, 0}};
  for (const auto& c : cases) {
    bar.setPosPlay(c.pos);
    EXPECT_EQ(bar.PlayBarWidth(), c.pixels) << c.pos;
    EXPECT_EQ(bar.Thumb()->x(), c.pixels) << c.pos;
    EXPECT_EQ(bar.ThumbPos, c.pos);
  }
}

TEST_F(PlayProgressTest, RangeIsClamped) {
  bar.setMax(0);
  EXPECT_EQ(bar.Max(), 1);
  bar.setMin(-5);
  EXPECT_EQ(bar.Min(), 0);
}

TEST_F(PlayProgressTest, PlayNeverPassesLoadedPartWhenLoadPictureSet) {
  bar.setPosLoad(40);
  changed.clear();
  bar.setPosPlay(90);
  EXPECT_EQ(bar.PosPlay(), 40);
  EXPECT_EQ(changes(), 1);
  bar.setPosPlay(40);
  EXPECT_EQ(changes(), 1) << "writing the current value fires nothing";
}

TEST_F(PlayProgressTest, LoadToZeroPullsPlayBack) {
  bar.setPosPlay(58);
  changed.clear();
  bar.setPosLoad(0);
  EXPECT_EQ(bar.PosPlay(), 0);
  EXPECT_EQ(changes(), 1);
}

TEST_F(PlayProgressTest, LoweringMaxClampsPlay) {
  bar.setPosPlay(80);
  changed.clear();
  bar.setMax(50);
  EXPECT_EQ(bar.PosPlay(), 50);
  EXPECT_EQ(changes(), 1);
}

TEST(PlayProgressNoLoadPicture, PlayMayPassLoad) {
  TPlayProgress bar;
  bar.setPosLoad(20);
  bar.setPosPlay(70);
  EXPECT_EQ(bar.PosPlay(), 70);
}

TEST_F(PlayProgressTest, DragAndReleaseDeriveThePositionFromThePixels) {
  bar.setPosPlay(58);
  changed.clear();
  bar.ThumbMoved(1, 0);  // to left 242
  EXPECT_EQ(bar.Thumb()->x(), 242);
  EXPECT_EQ(bar.ThumbPos, 58);
  EXPECT_EQ(dragged.count(), 1);
  EXPECT_EQ(bar.PosPlay(), 58) << "the play position waits for the release";
  bar.ThumbReleased();
  EXPECT_EQ(bar.PosPlay(), 58);
  EXPECT_EQ(changes(), 0);

  bar.ThumbMoved(-1, 0);  // back to 241
  bar.ThumbReleased();
  EXPECT_EQ(bar.PosPlay(), 57);
  EXPECT_EQ(changes(), 1);
}

TEST_F(PlayProgressTest, DragStepsOutsideTheSpanAreRefused) {
  bar.setPosPlay(100);
  bar.ThumbMoved(1, 0);
  EXPECT_EQ(bar.Thumb()->x(), 415);
  bar.setPosPlay(0);
  bar.ThumbMoved(-1, 0);
  EXPECT_EQ(bar.Thumb()->x(), 0);
  bar.setPosLoad(50);
  bar.ThumbMoved(210, 0);  // past the loaded 208 pixels
  EXPECT_EQ(bar.Thumb()->x(), 0);
  EXPECT_EQ(dragged.count(), 0);
}

TEST_F(PlayProgressTest, ThumbReportsRelativeMovesThroughTheMouse) {
  bar.setPosPlay(50);
  TCvMoveImage* thumb = bar.Thumb();
  const QPoint start(300, 100);
  SendMouse(thumb, QEvent::MouseButtonPress, Qt::LeftButton, {3, 3}, start);
  SendMouse(thumb, QEvent::MouseMove, Qt::LeftButton, {3, 9}, start + QPoint(0, 6));
  EXPECT_EQ(thumb->x(), 207) << "a vertical move is ignored";
  SendMouse(thumb, QEvent::MouseMove, Qt::LeftButton, {8, 3}, start + QPoint(5, 0));
  EXPECT_EQ(thumb->x(), 212);
  SendMouse(thumb, QEvent::MouseButtonRelease, Qt::LeftButton, {8, 3}, start + QPoint(5, 0));
  EXPECT_EQ(bar.PosPlay(), 50);  // 211 pixels / 4.16 = 50.7
  EXPECT_FALSE(thumb->MouseDown());
}

TEST(PlayProgressDynamicThumb, ThumbShowsOnlyWhileMouseIsOverTheBar) {
  TPlayProgress bar;
  bar.setPictureThumbNormal(Picture(16, 9));
  bar.setDynamicThumb(true);
  bar.resize(200, 9);
  bar.show();
  EXPECT_EQ(bar.Thumb()->FPicture, nullptr);
  SendEnter(&bar);
  EXPECT_EQ(bar.Thumb()->FPicture, &bar.Thumb()->FPictureNormal);
  SendLeave(&bar);
  EXPECT_EQ(bar.Thumb()->FPicture, nullptr);
}

}  // namespace
}  // namespace plavex::controls

namespace plavex::controls {
namespace {

using namespace plavex::controls::testing;

TEST(PlayProgressWorkedExample, LayoutOfThePlayPageBar) {
  TPlayProgress bar;
  bar.setPictureLoad(Picture(1, 2));
  bar.setPicturePlay(Picture(1, 2));
  bar.setPictureThumbNormal(Picture(16, 9));
  bar.resize(434, 9);
  bar.show();
  EXPECT_EQ(bar.BevelGeometry(), QRect(8, 2, 418, 4));
  EXPECT_EQ(bar.LoadBarPos(), QPoint(9, 3));
  EXPECT_EQ(bar.PlayBarPos(), QPoint(9, 3));
  EXPECT_EQ(static_cast<double>(bar.TickSize()), static_cast<double>(4.16f));
  EXPECT_NEAR(static_cast<double>(bar.TickSize()), 4.1599998474, 1e-9);
}

TEST(PlayProgressWorkedExample, PressAndReleaseWithoutMovingRederivesThePosition) {
  TPlayProgress bar;
  bar.setPictureLoad(Picture(1, 2));
  bar.setPicturePlay(Picture(1, 2));
  bar.setPictureThumbNormal(Picture(16, 9));
  bar.resize(434, 9);
  bar.show();
  bar.setPosLoad(100);
  bar.setPosPlay(58);
  QSignalSpy changed(&bar, &TPlayProgress::OnPlayPosChanged);
  TCvMoveImage* thumb = bar.Thumb();
  SendMouse(thumb, QEvent::MouseButtonPress, Qt::LeftButton, {4, 4}, {400, 300});
  SendMouse(thumb, QEvent::MouseButtonRelease, Qt::LeftButton, {4, 4}, {400, 300});
  EXPECT_EQ(bar.PosPlay(), 57);  // 241 pixels / 4.16 = 57.9
  EXPECT_EQ(changed.count(), 1);
  // Where the truncations agree nothing fires.
  bar.setPosPlay(0);
  changed.clear();
  SendMouse(thumb, QEvent::MouseButtonPress, Qt::LeftButton, {4, 4}, {400, 300});
  SendMouse(thumb, QEvent::MouseButtonRelease, Qt::LeftButton, {4, 4}, {400, 300});
  EXPECT_EQ(bar.PosPlay(), 0);
  EXPECT_EQ(changed.count(), 0);
}

TEST(PlayProgressWorkedExample, ThumbPicturesOfAStaticThumb) {
  TPlayProgress bar;
  bar.setPictureThumbNormal(Picture(16, 9, Qt::blue));
  bar.setPictureThumbHot(Picture(16, 9, Qt::red));
  bar.resize(200, 9);
  bar.show();
  TCvMoveImage* thumb = bar.Thumb();
  SendEnter(thumb);
  EXPECT_EQ(thumb->FPicture, &thumb->FPictureHot);
  SendMouse(thumb, QEvent::MouseButtonPress, Qt::LeftButton, {1, 1}, {10, 10});
  EXPECT_EQ(thumb->FPicture, &thumb->FPictureHot) << "pressing changes nothing on a static thumb";
  SendLeave(thumb);
  EXPECT_EQ(thumb->FPicture, &thumb->FPictureNormal);
}

}  // namespace
}  // namespace plavex::controls
