// Scripts run in the control as in the headless tools: frame scripts, timers and
// input reach the movie.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QThread>

#include "engine/control/FlashKeys.h"
#include "engine/control/FlashPlayerControl.h"
#include "tests/engine/Fixtures.h"

namespace plavex::engine {
namespace {

using namespace test;

swf::Tag actions(std::vector<std::uint8_t> code) {
  code.push_back(0);  // End
  swf::DoAction a;
  a.actions = std::move(code);
  return Tag{a};
}

TEST(ControlScripts, FrameScriptOfTheFirstFrameRunsOnLoad) {
  // Frame 1: gotoAndStop(3) — GotoFrame 2 (0-based), Stop.
  TFlashPlayerControl control;
  ASSERT_TRUE(control.LoadMovieFromStream(
      0, toBytes(makeMovie(20, 20, {actions({0x81, 2, 0, 2, 0, 0x07}), Tag{swf::ShowFrame{}}, Tag{swf::ShowFrame{}},
                                    Tag{swf::ShowFrame{}}, Tag{swf::ShowFrame{}}}))));
  EXPECT_EQ(control.CurrentFrame(), 2);
  EXPECT_FALSE(control.Playing());
}

TEST(ControlScripts, KeyPressReachesTheMovie) {
  // Frame 1: if (Key.isDown(65)) gotoAndStop(3); frame 2: gotoAndPlay(1).
  std::vector<std::uint8_t> frame1 = {
      0x96, 5, 0, 7, 65, 0, 0, 0,                     // push 65
      0x96, 5, 0, 7, 1, 0, 0, 0,                      // push 1 (argument count)
      0x96, 5, 0, 0, 'K', 'e', 'y', 0,                // push "Key"
      0x1C,                                           // getVariable
      0x96, 8, 0, 0, 'i', 's', 'D', 'o', 'w', 'n', 0, // push "isDown"
      0x52,                                           // callMethod
      0x12,                                           // not
      0x9D, 2, 0, 6, 0,                               // if (!down) skip the goto
      0x81, 2, 0, 2, 0,                               // gotoFrame(2)
      0x07,                                           // stop
  };
  TFlashPlayerControl control;
  ASSERT_TRUE(control.LoadMovieFromStream(
      0, toBytes(makeMovie(20, 20, {actions(frame1), Tag{swf::ShowFrame{}}, actions({0x81, 2, 0, 0, 0, 0x06}), Tag{swf::ShowFrame{}},
                                    Tag{swf::ShowFrame{}}}, "FWS", 60))));
  EXPECT_NE(control.CurrentFrame(), 2);
  QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
  QCoreApplication::sendEvent(&control, &press);
  QElapsedTimer t;
  t.start();
  while (control.CurrentFrame() != 2 && t.elapsed() < 3000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(2);
  }
  EXPECT_EQ(control.CurrentFrame(), 2);
  EXPECT_FALSE(control.Playing());
}

TEST(FlashKeys, QtKeysToMovieKeyCodes) {
  const std::pair<int, int> cases[] = {{Qt::Key_A, 65},     {Qt::Key_Z, 90},     {Qt::Key_5, 53},
                                       {Qt::Key_Return, 13}, {Qt::Key_Enter, 13}, {Qt::Key_Left, 37},
                                       {Qt::Key_Down, 40},  {Qt::Key_F1, 112},   {Qt::Key_Escape, 27},
                                       {Qt::Key_Space, 32}, {Qt::Key_Minus, 189}, {Qt::Key_unknown, 0}};
  for (auto [qt, code] : cases) EXPECT_EQ(flashKeyCode(qt), code) << qt;
}

}  // namespace
}  // namespace plavex::engine
