// The play timer's tick and the progress bar's update on the real window, with a
// movie playing and 100,000 entries in the list.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include "MainFrm.h"
#include "PlayListTableModel.h"
#include "controls/ImgTrackBar.h"
#include "engine/control/FlashPlayerControl.h"
#include "tests/support/TestMovies.h"

namespace {

struct PlayingWindow {
  QTemporaryDir folder;
  std::unique_ptr<plavex::TMainFrm> window;

  PlayingWindow() {
    window = std::make_unique<plavex::TMainFrm>();
    window->setDefaultPlayListPath(folder.filePath(QStringLiteral("Default.PLF")));
    for (int i = 0; i < 100000; ++i)
      window->AddToPlayList(QStringLiteral("/movies/clip%1.swf").arg(i));
    const QString movie = folder.filePath(QStringLiteral("long.swf"));
    plavex::testmovies::WriteFile(movie, plavex::testmovies::MovingSquareMovie(320, 240, 20000, 12));
    window->AddToPlayList(movie);
    window->show();
    window->PlayUrl(movie);
    QElapsedTimer clock;
    clock.start();
    while (window->Flash1->PercentLoaded() < 100 && clock.elapsed() < 10000)
      QApplication::processEvents(QEventLoop::AllEvents, 10);
    window->TimerCheckTimer();
    window->TimerLoadTimer();
    window->TimerPlay->stop();
  }
};

PlayingWindow& Playing() {
  static PlayingWindow playing;
  return playing;
}

void BM_PlayTimerTick(benchmark::State& state) {
  plavex::TMainFrm& w = *Playing().window;
  int frame = 0;
  for (auto _ : state) {
    w.Flash1->GotoFrame(frame = (frame + 7) % 19000);  // a new position every tick
    w.Flash1->Play();
    w.TimerPlayTimer();
  }
}
BENCHMARK(BM_PlayTimerTick)->Unit(benchmark::kMicrosecond);

void BM_ProgressBarUpdate(benchmark::State& state) {
  plavex::TMainFrm& w = *Playing().window;
  int frame = 0;
  for (auto _ : state) {
    frame = (frame + 13) % 19000;
    w.PP1->setPosPlay(frame);  // with the window's position-changed handler
  }
}
BENCHMARK(BM_ProgressBarUpdate)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
