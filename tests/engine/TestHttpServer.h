#pragma once
// A small HTTP/1.0 server on 127.0.0.1 for the loading tests: fixed answers per path,
// optionally holding back the end of a body until the test releases it.

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

namespace plavex::engine::test {

class TestHttpServer : public QObject {
  Q_OBJECT
 public:
  struct Answer {
    int status = 200;
    QByteArray body;
    qsizetype sendFirst = -1;  // bytes sent at once; the rest waits for release() (-1: all)
  };

  TestHttpServer() {
    server_.listen(QHostAddress::LocalHost, 0);
    connect(&server_, &QTcpServer::newConnection, this, [this] {
      while (QTcpSocket* s = server_.nextPendingConnection()) {
        connect(s, &QTcpSocket::readyRead, this, [this, s] { onRequest(s); });
        connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
      }
    });
  }
  QString url(const QString& path) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path);
  }
  void set(const QString& path, Answer answer) { answers_[path] = std::move(answer); }
  // Sends what was held back and closes those connections.
  void release() {
    for (auto& [socket, rest] : held_)
      if (socket) {
        socket->write(rest);
        socket->disconnectFromHost();
      }
    held_.clear();
  }

 private:
  void onRequest(QTcpSocket* s) {
    request_[s] += s->readAll();
    if (!request_[s].contains("\r\n\r\n")) return;
    QList<QByteArray> line = request_[s].left(request_[s].indexOf("\r\n")).split(' ');
    request_.remove(s);
    QString path = line.size() > 1 ? QString::fromLatin1(line[1]) : QString();
    Answer a = answers_.value(path, Answer{404, "not found", -1});
    QByteArray head = "HTTP/1.0 " + QByteArray::number(a.status) + (a.status == 200 ? " OK" : " Error") +
                      "\r\nContent-Type: application/x-shockwave-flash\r\nContent-Length: " +
                      QByteArray::number(a.body.size()) + "\r\n\r\n";
    if (a.sendFirst < 0 || a.sendFirst >= a.body.size()) {
      s->write(head + a.body);
      s->disconnectFromHost();
      return;
    }
    s->write(head + a.body.left(a.sendFirst));
    s->flush();
    held_.push_back({QPointer<QTcpSocket>(s), a.body.mid(a.sendFirst)});
  }

  QTcpServer server_;
  QMap<QString, Answer> answers_;
  QMap<QTcpSocket*, QByteArray> request_;
  std::vector<std::pair<QPointer<QTcpSocket>, QByteArray>> held_;
};

}  // namespace plavex::engine::test
