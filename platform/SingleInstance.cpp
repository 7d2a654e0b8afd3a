#include "SingleInstance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QFileInfo>
#include <QThread>
#include <unistd.h>

namespace plavex::platform {

namespace {

QString RuntimeFolder() {
  // The session's runtime folder when there is one; the per-uid names keep users apart otherwise.
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty() && QFileInfo(runtime).isDir()) return runtime;
  return QDir::tempPath();
}

// Requests and replies are one frame each: the request is a line of UTF-8, the reply a
// status line ("0", "2" ...) followed by the body; the server closes after the reply.
QByteArray EncodeReply(const IpcReply& reply) {
  return QByteArray::number(reply.status) + '\n' + reply.body;
}

}  // namespace

QString InstanceSocketName(const QString& key) {
  return RuntimeFolder() + QStringLiteral("/%1-%2.sock").arg(key).arg(getuid());
}

SingleInstance::SingleInstance(const QString& key, QObject* parent) : QObject(parent), key_(key) {}

SingleInstance::~SingleInstance() {
  if (server_) server_->close();
}

bool SingleInstance::IsFirstInstance() {
  const QString socketName = InstanceSocketName(key_);
  lock_ = std::make_unique<QLockFile>(socketName + QStringLiteral(".lock"));
  lock_->setStaleLockTime(0);  // a lock whose owner died is taken over
  if (!lock_->tryLock(0)) {
    lock_.reset();
    return false;
  }
  // We hold the lock: any socket file left is from a player that died.
  QLocalServer::removeServer(socketName);
  server_ = std::make_unique<QLocalServer>();
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(socketName)) {
    // Still the first instance; only the remote control is unavailable.
    qWarning("plavex: cannot listen on %s: %s", qPrintable(socketName),
             qPrintable(server_->errorString()));
    return true;
  }
  connect(server_.get(), &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* socket = server_->nextPendingConnection()) serve(socket);
  });
  return true;
}

void SingleInstance::serve(QLocalSocket* socket) {
  connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
  connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
    if (!socket->canReadLine()) {
      if (socket->bytesAvailable() > 64 * 1024) socket->abort();  // no sane request is this long
      return;
    }
    const QString line = QString::fromUtf8(socket->readLine()).trimmed();
    const qsizetype space = line.indexOf(u' ');
    const QString command = space < 0 ? line : line.left(space);
    const QString arguments = space < 0 ? QString() : line.mid(space + 1).trimmed();
    IpcReply reply{IpcReply::UnknownCommand, QByteArray("unknown command\n")};
    if (handler_) reply = handler_(command, arguments);
    socket->write(EncodeReply(reply));
    socket->flush();
    socket->disconnectFromServer();
  });
}

std::optional<IpcReply> SendCommand(const QString& key, const QString& commandLine,
                                    int connectTimeoutMs, int replyTimeoutMs) {
  QLocalSocket socket;
  QElapsedTimer clock;
  clock.start();
  // The first player may hold the lock a moment before it listens: retry briefly.
  for (;;) {
    socket.connectToServer(InstanceSocketName(key));
    if (socket.waitForConnected(200)) break;
    if (clock.elapsed() >= connectTimeoutMs) return std::nullopt;
    QThread::msleep(50);
  }
  QByteArray request = commandLine.toUtf8();
  request.replace('\n', ' ');
  socket.write(request + '\n');
  socket.waitForBytesWritten(1000);
  QByteArray answer;
  QElapsedTimer replyClock;
  replyClock.start();
  while (socket.state() == QLocalSocket::ConnectedState && replyClock.elapsed() < replyTimeoutMs) {
    if (socket.waitForReadyRead(100)) answer += socket.readAll();
  }
  answer += socket.readAll();
  const qsizetype newline = answer.indexOf('\n');
  if (newline < 0) return std::nullopt;
  bool ok = false;
  const int status = answer.left(newline).toInt(&ok);
  if (!ok) return std::nullopt;
  return IpcReply{status, answer.mid(newline + 1)};
}

}  // namespace plavex::platform
