#pragma once
// One player per user session: a lock file decides who is first, a local socket named
// after "PlavexKey" carries the later starts' requests and the remote-control commands.

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace plavex::platform {

// What a command handler answers: a status and a body printed by the client.
struct IpcReply {
  enum Status { Ok = 0, UnknownCommand = 2, BadArguments = 3 };
  int status = Ok;
  QByteArray body;
};

// The session-wide names (socket and lock) for the key.
QString InstanceSocketName(const QString& key);

class SingleInstance : public QObject {
  Q_OBJECT
 public:
  using Handler = std::function<IpcReply(const QString& command, const QString& arguments)>;

  explicit SingleInstance(const QString& key, QObject* parent = nullptr);
  ~SingleInstance() override;

  // True when this process is the first player of the session; it then listens.
  bool IsFirstInstance();
  // Every request of a later start or of `--ipc` goes to the handler.
  void setHandler(Handler handler) { handler_ = std::move(handler); }

 private:
  void serve(class QLocalSocket* socket);

  QString key_;
  std::unique_ptr<QLockFile> lock_;
  std::unique_ptr<QLocalServer> server_;
  Handler handler_;
};

// Client side. Sends one command line and returns the reply; nothing when no player
// answers within the timeout.
std::optional<IpcReply> SendCommand(const QString& key, const QString& commandLine,
                                    int connectTimeoutMs = 2000, int replyTimeoutMs = 60000);

}  // namespace plavex::platform
