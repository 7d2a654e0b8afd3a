#include <gtest/gtest.h>

#include <QSignalSpy>

#include "ControlsTestSupport.h"
#include "controls/ImgTrackBar.h"

namespace plavex::controls {
namespace {

using namespace plavex::controls::testing;

// The play page's volume bar: 99 x 9 tracks, an 8 x 12 thumb, range 0..100.
class VolumeCtrlBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bar.setPictureBackGround(Picture(99, 9, Qt::gray));
    bar.setPicturePostion(Picture(99, 9, Qt::darkGreen));
    bar.setPictureThumbNormal(Picture(8, 12, Qt::blue));
    bar.show();
  }
  TVolumeCtrlBar bar;
  QSignalSpy changed{&bar, &TVolumeCtrlBar::OnPlayPosChanged};
};

TEST_F(VolumeCtrlBarTest, SizesItselfToItsPictures) {
  EXPECT_EQ(bar.size(), QSize(107, 12));
  EXPECT_EQ(bar.TickSize(), 97.0f / 100.0f);
}

TEST_F(VolumeCtrlBarTest, PositionsTruncateToPixels) {
  const struct {
    int pos, pixels;
  } cases[] = {{100, 97}, {50, 48}, {1, 0}, {0, 0}};
  for (const auto& c : cases) {
    bar.setPosition(c.pos);
    EXPECT_EQ(bar.FilledWidth(), c.pixels) << c.pos;
    EXPECT_EQ(bar.Thumb()->x(), c.pixels) << c.pos;
  }
}

TEST_F(VolumeCtrlBarTest, OutOfRangeWritesAreClamped) {
  bar.setPosition(150);
  EXPECT_EQ(bar.Position(), 100);
  bar.setPosition(-3);
  EXPECT_EQ(bar.Position(), 0);
}

TEST_F(VolumeCtrlBarTest, DragRoundsToTheNearestPosition) {
  bar.setPosition(0);
  const struct {
    int left, pos;
  } cases[] = {{48, 49}, {50, 52}, {97, 100}};
  for (const auto& c : cases) {
    bar.ThumbMoved(c.left - bar.Thumb()->x(), 0);
    EXPECT_EQ(bar.Thumb()->x(), c.left);
    EXPECT_EQ(bar.Position(), c.pos) << c.left;
  }
}

TEST_F(VolumeCtrlBarTest, EveryAcceptedDragStepFiresAndRefusedOnesDoNot) {
  bar.setPosition(100);
  changed.clear();
  bar.ThumbMoved(1, 0);  // past the right end
  EXPECT_EQ(changed.count(), 0);
  EXPECT_EQ(bar.Thumb()->x(), 97);
  bar.setPosition(100);
  EXPECT_EQ(changed.count(), 0) << "writing the current value fires nothing";
  bar.ThumbMoved(0, 0);  // accepted, the position stays
  EXPECT_EQ(changed.count(), 1);
  bar.ThumbMoved(-98, 0);  // left of 0
  EXPECT_EQ(changed.count(), 1);
}

}  // namespace
}  // namespace plavex::controls

namespace plavex::controls {
namespace {

using namespace plavex::controls::testing;

TEST(VolumeCtrlBarWorkedExample, TracksSitCentredOnTheThumb) {
  TVolumeCtrlBar bar;
  bar.setPictureBackGround(Picture(99, 9));
  bar.setPicturePostion(Picture(99, 9));
  bar.setPictureThumbNormal(Picture(8, 12));
  bar.show();
  EXPECT_EQ(bar.TrackTop(), 1);
  EXPECT_NEAR(static_cast<double>(bar.TickSize()), 0.9700000286, 1e-9);
  bar.setPosition(100);
  // The right-most drag position is Nearest(100 x 0.97000003) = 97.
  bar.ThumbMoved(1, 0);
  EXPECT_EQ(bar.Thumb()->x(), 97);
  // Assigning a new track picture resizes the whole control.
  bar.setPictureBackGround(Picture(50, 6));
  EXPECT_EQ(bar.size(), QSize(58, 12));
}

TEST(VolumeCtrlBarWorkedExample, ThumbDragsThroughTheMouseAndReleaseDoesNothing) {
  TVolumeCtrlBar bar;
  bar.setPictureBackGround(Picture(99, 9));
  bar.setPicturePostion(Picture(99, 9));
  bar.setPictureThumbNormal(Picture(8, 12));
  bar.show();
  bar.setPosition(0);
  QSignalSpy changed(&bar, &TVolumeCtrlBar::OnPlayPosChanged);
  TCvMoveImage* thumb = bar.Thumb();
  SendMouse(thumb, QEvent::MouseButtonPress, Qt::LeftButton, {2, 2}, {100, 100});
  SendMouse(thumb, QEvent::MouseMove, Qt::LeftButton, {50, 2}, {148, 100});
  EXPECT_EQ(bar.Position(), 49);
  SendMouse(thumb, QEvent::MouseButtonRelease, Qt::LeftButton, {50, 2}, {148, 100});
  EXPECT_EQ(bar.Position(), 49);
  EXPECT_EQ(changed.count(), 1);
}

}  // namespace
}  // namespace plavex::controls
