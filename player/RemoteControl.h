#pragma once
// The commands a running player answers over its single-instance socket
// (`plavex --ipc COMMAND`): state as JSON, and commands that drive the window.

#include <QString>

#include "platform/SingleInstance.h"

namespace plavex {

class TMainFrm;

class RemoteControl {
 public:
  explicit RemoteControl(TMainFrm& window) : window_(window) {}

  platform::IpcReply Handle(const QString& command, const QString& arguments);

  // The window's state as one JSON object.
  QByteArray StateJson() const;

 private:
  // The commands of the play page: open, transport, screen and sound, play-list files.
  platform::IpcReply HandlePlayPage(const QString& command, const QString& arguments);

  TMainFrm& window_;
};

}  // namespace plavex
