#include "LocalHttpServer.h"

#include <QUrl>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string_view>

LocalHttpServer::LocalHttpServer() {
  listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
  ::listen(listener_, 16);
  socklen_t length = sizeof address;
  ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { run(); });
}

LocalHttpServer::~LocalHttpServer() {
  stopping_ = true;
  thread_.join();
  ::close(listener_);
}

void LocalHttpServer::serve(const std::string& path, const QByteArray& body) {
  std::lock_guard lock(mutex_);
  bodies_[path] = body;
}

QString LocalHttpServer::url(const std::string& path) const {
  return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(QString::fromStdString(path));
}

void LocalHttpServer::run() {
  while (!stopping_) {
    pollfd waiting{listener_, POLLIN, 0};
    if (::poll(&waiting, 1, 100) <= 0) continue;
    const int client = ::accept(listener_, nullptr, nullptr);
    if (client < 0) continue;
    answer(client);
    ::close(client);
  }
}

void LocalHttpServer::answer(int client) {
  std::string request;
  char buffer[4096];
  while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
    pollfd readable{client, POLLIN, 0};
    if (::poll(&readable, 1, 2000) <= 0) return;
    const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
    if (n <= 0) return;
    request.append(buffer, static_cast<size_t>(n));
  }
  ++requests_;
  const size_t start = request.find(' ') + 1;
  const std::string encoded = request.substr(start, request.find(' ', start) - start);
  const std::string path = QUrl::fromPercentEncoding(QByteArray::fromStdString(encoded)).toStdString();
  QByteArray body;
  bool found = false;
  {
    std::lock_guard lock(mutex_);
    if (auto it = bodies_.find(path); it != bodies_.end()) {
      body = it->second;
      found = true;
    }
  }
  const std::string head = std::string(found ? "HTTP/1.1 200 OK\r\n" : "HTTP/1.1 404 Not Found\r\n") +
                           "Content-Type: application/x-shockwave-flash\r\nContent-Length: " +
                           std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n";
  std::string reply = head + std::string(body.constData(), static_cast<size_t>(body.size()));
  for (size_t sent = 0; sent < reply.size();) {
    const ssize_t n = ::send(client, reply.data() + sent, reply.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return;
    sent += static_cast<size_t>(n);
  }
}
