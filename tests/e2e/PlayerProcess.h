#pragma once
// A player started from a private copy of the program folder, in its own session
// (runtime folder), so tests never meet a player the user runs.

#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

struct IpcResult {
  int exitCode = -1;
  QByteArray out;
};

class PlayerProcess {
 public:
  PlayerProcess();
  ~PlayerProcess();

  // The copied program folder (with a trailing "/").
  QString appDir() const { return app_.path() + QLatin1Char('/'); }
  QProcessEnvironment environment() const;

  // Starts the player with arguments; waits until it answers `state`. False on timeout.
  bool start(const QStringList& arguments = {}, int timeoutMs = 15000);
  // Runs `plavex --ipc ...` in the same session.
  IpcResult ipc(const QStringList& words, int timeoutMs = 30000) const;
  QJsonObject state() const;
  // Waits for the started player to end; its exit code, or -1 on timeout.
  int waitForExit(int timeoutMs = 15000);
  QProcess& process() { return *player_; }
  // Starts another player process and waits for it; its exit code and time taken.
  std::pair<int, qint64> runSecondStart(const QStringList& arguments, int timeoutMs = 10000) const;

 private:
  QString program() const { return appDir() + QStringLiteral("plavex"); }
  QTemporaryDir app_;
  QTemporaryDir runtime_;
  std::unique_ptr<QProcess> player_;
};
