// The player's entry: remote-control client, single instance, and the main window.

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTextStream>
#include <cstdio>
#include <unistd.h>

#include "BuiltinMovies.h"
#include "ComVar.h"
#include "MainFrm.h"
#include "RemoteControl.h"
#include "platform/SingleInstance.h"

namespace {

const QString kInstanceKey = QStringLiteral("PlavexKey");

// `plavex --ipc COMMAND [ARGS]`: 0 answered, 1 no player runs, 2 unknown command.
int RunRemoteCommand(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QStringList words = app.arguments().mid(2);
  if (words.isEmpty()) {
    std::fputs("usage: plavex --ipc COMMAND [ARGUMENTS]\n", stderr);
    return 2;
  }
  const auto reply = plavex::platform::SendCommand(kInstanceKey, words.join(u' '));
  if (!reply) {
    std::fputs("plavex: no running player answers\n", stderr);
    return 1;
  }
  std::fwrite(reply->body.constData(), 1, static_cast<size_t>(reply->body.size()), stdout);
  if (reply->status == plavex::platform::IpcReply::Ok) return 0;
  return reply->status == plavex::platform::IpcReply::UnknownCommand ? 2 : 3;
}

// The engine is part of the player; it is usable when its built-in movies are there.
void PrepareFlashEngine() {
  if (!plavex::BuiltinMovie(QStringLiteral("LOADING")).isEmpty()) return;
  QMessageBox::critical(nullptr, QStringLiteral("AmbrelFlash播放器"),
                        QStringLiteral("Flash播放控件“Flash.ocx”丢失，动画不能正常播放！"));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && qstrcmp(argv[1], "--ipc") == 0) return RunRemoteCommand(argc, argv);

  // The browser engine's sandbox cannot run for root; it has to be off for the pages
  // to load at all in that case.
  if (getuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");

  // The browser engine shares GL contexts with the widgets; it must be said before the application exists.
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Plavex"));
  PrepareFlashEngine();

  const QStringList arguments = app.arguments().mid(1);
  const bool fromExplorer = arguments.size() >= 2 && arguments.at(0) == QLatin1String("Load") &&
                            arguments.at(1) == QLatin1String("By_Explorer");
  plavex::platform::SingleInstance instance(kInstanceKey);
  if (!instance.IsFirstInstance()) {
    if (fromExplorer) {
      // The Explorer extension wrote the chosen files into the default list beside the
      // program: the running player adds them, so they are not lost when it saves its
      // own list over that file at close.
      plavex::InitAppDir(QCoreApplication::applicationFilePath());
      const auto reply = plavex::platform::SendCommand(
          kInstanceKey, QStringLiteral("handover ") + plavex::AppDir() + QStringLiteral("Default.PLF"), 3000, 10000);
      if (reply) return 0;
    }
    // Another player runs: bring it to the front; this start's other arguments are dropped.
    plavex::platform::SendCommand(kInstanceKey, QStringLiteral("activate"), 3000, 3000);
    return 0;
  }

  plavex::TMainFrm window;
  window.setCommandLine(arguments);
  plavex::RemoteControl remote(window);
  instance.setHandler([&remote](const QString& command, const QString& arguments) {
    return remote.Handle(command, arguments);
  });
  window.show();
  return app.exec();
}
