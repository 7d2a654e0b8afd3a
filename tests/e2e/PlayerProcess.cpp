#include "PlayerProcess.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QThread>

namespace {

void CopyFolder(const QString& from, const QString& to) {
  QDirIterator it(from, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString source = it.next();
    const QString relative = QDir(from).relativeFilePath(source);
    // Only the player and what it needs beside it.
    if (relative.startsWith(QLatin1String("Default.PLF"))) continue;
    const QString target = to + QLatin1Char('/') + relative;
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile::copy(source, target);
    QFile::setPermissions(target, QFile::permissions(source));
  }
}

}  // namespace

PlayerProcess::PlayerProcess() {
  CopyFolder(QStringLiteral(PLAVEX_APP_DIR), app_.path());
  QFile::setPermissions(runtime_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

PlayerProcess::~PlayerProcess() {
  if (player_ && player_->state() != QProcess::NotRunning) {
    player_->kill();
    player_->waitForFinished(5000);
  }
}

QProcessEnvironment PlayerProcess::environment() const {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_.path());
  if (!env.contains(QStringLiteral("QT_QPA_PLATFORM"))) env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  env.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
  env.insert(QStringLiteral("HOME"), runtime_.path());
  env.insert(QStringLiteral("XDG_CACHE_HOME"), runtime_.path() + QStringLiteral("/cache"));
  env.insert(QStringLiteral("XDG_DATA_HOME"), runtime_.path() + QStringLiteral("/data"));
  return env;
}

bool PlayerProcess::start(const QStringList& arguments, int timeoutMs) {
  player_ = std::make_unique<QProcess>();
  player_->setProcessEnvironment(environment());
  player_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  player_->setStandardOutputFile(QProcess::nullDevice());
  player_->start(program(), arguments);
  if (!player_->waitForStarted(5000)) return false;
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < timeoutMs) {
    if (player_->state() == QProcess::NotRunning) return false;
    if (ipc({QStringLiteral("state")}, 2000).exitCode == 0) return true;
    QThread::msleep(100);
  }
  return false;
}

IpcResult PlayerProcess::ipc(const QStringList& words, int timeoutMs) const {
  QProcess client;
  client.setProcessEnvironment(environment());
  client.start(program(), QStringList{QStringLiteral("--ipc")} + words);
  if (!client.waitForFinished(timeoutMs)) {
    client.kill();
    client.waitForFinished(1000);
    return {};
  }
  return {client.exitStatus() == QProcess::NormalExit ? client.exitCode() : -1, client.readAllStandardOutput()};
}

QJsonObject PlayerProcess::state() const {
  return QJsonDocument::fromJson(ipc({QStringLiteral("state")}).out).object();
}

int PlayerProcess::waitForExit(int timeoutMs) {
  if (!player_ || !player_->waitForFinished(timeoutMs)) return -1;
  return player_->exitStatus() == QProcess::NormalExit ? player_->exitCode() : -1;
}

std::pair<int, qint64> PlayerProcess::runSecondStart(const QStringList& arguments, int timeoutMs) const {
  QProcess second;
  second.setProcessEnvironment(environment());
  second.setStandardOutputFile(QProcess::nullDevice());
  QElapsedTimer clock;
  clock.start();
  second.start(program(), arguments);
  if (!second.waitForFinished(timeoutMs)) {
    second.kill();
    second.waitForFinished(1000);
    return {-1, clock.elapsed()};
  }
  return {second.exitStatus() == QProcess::NormalExit ? second.exitCode() : -1, clock.elapsed()};
}
