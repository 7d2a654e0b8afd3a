#pragma once
// A tiny HTTP server on 127.0.0.1 that runs on its own thread, so a test may block on
// the player while the server answers. Serves fixed bodies by path; 404 otherwise.

#include <QByteArray>
#include <QString>
#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>

class LocalHttpServer {
 public:
  LocalHttpServer();
  ~LocalHttpServer();
  LocalHttpServer(const LocalHttpServer&) = delete;
  LocalHttpServer& operator=(const LocalHttpServer&) = delete;

  void serve(const std::string& path, const QByteArray& body);
  QString url(const std::string& path) const;
  int requests() const { return requests_; }

 private:
  void run();
  void answer(int client);

  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<int> requests_{0};
  std::mutex mutex_;
  std::map<std::string, QByteArray> bodies_;
  std::thread thread_;
};
