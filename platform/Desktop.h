#pragma once
// Hand-offs to the desktop: the user's web browser and starting other programs.

#include <QString>
#include <QStringList>

namespace plavex::platform {

// Opens a web address in the user's default browser. False when nothing could open it.
bool OpenWebAddress(const QString& address);

// Starts a program without waiting for it, in the given working folder.
// False (with a reason) when the program cannot be started.
struct StartResult {
  bool started = false;
  QString error;
};
StartResult StartProgram(const QString& program, const QStringList& arguments,
                         const QString& workingFolder);

}  // namespace plavex::platform
