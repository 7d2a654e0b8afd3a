// Starts the real player several times and reports how long it takes until its window
// is shown and its event loop answers, and how much memory the idle player holds.
//
//   startup_timing [RUNS]      (QT_QPA_PLATFORM and DISPLAY are taken from the caller)

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/SingleInstance.h"

namespace {

long ResidentKiB(qint64 pid) {
  QFile status(QStringLiteral("/proc/%1/status").arg(pid));
  if (!status.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
  std::vector<double> startMs;
  std::vector<long> rssKiB;
  for (int run = 0; run < runs; ++run) {
    QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    QProcess player;
    player.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    player.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    player.start(QStringLiteral(PLAVEX_APP_DIR "/plavex"), {});
    bool answered = false;
    while (clock.elapsed() < 20000 && player.state() != QProcess::NotRunning) {
      if (plavex::platform::SendCommand(QStringLiteral("PlavexKey"), QStringLiteral("state"), 5, 2000)) {
        answered = true;
        break;
      }
    }
    const double elapsed = clock.nsecsElapsed() / 1e6;
    if (!answered) {
      std::fprintf(stderr, "run %d: the player did not answer\n", run + 1);
      return 1;
    }
    QThread::msleep(2000);  // let it settle into idle
    const long rss = ResidentKiB(player.processId());
    startMs.push_back(elapsed);
    rssKiB.push_back(rss);
    std::printf("run %d: shown and answering after %.0f ms, idle resident %ld KiB\n", run + 1, elapsed, rss);
    plavex::platform::SendCommand(QStringLiteral("PlavexKey"), QStringLiteral("close"));
    player.waitForFinished(10000);
  }
  std::sort(startMs.begin(), startMs.end());
  std::printf("start-up median %.0f ms (goal 1000 ms); idle resident max %ld KiB (goal 150 MB)\n",
              startMs[startMs.size() / 2], *std::max_element(rssKiB.begin(), rssKiB.end()));
  return 0;
}
