#include "Desktop.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace plavex::platform {

bool OpenWebAddress(const QString& address) {
  const QUrl url = QUrl::fromUserInput(address);
  if (!url.isValid()) return false;
  return QDesktopServices::openUrl(url);
}

StartResult StartProgram(const QString& program, const QStringList& arguments,
                         const QString& workingFolder) {
  const QFileInfo info(program);
  if (!info.exists()) return {false, QStringLiteral("no such program: ") + program};
  if (!info.isExecutable()) return {false, QStringLiteral("not executable: ") + program};
  QProcess process;
  process.setProgram(program);
  process.setArguments(arguments);
  process.setWorkingDirectory(workingFolder);
  qint64 pid = 0;
  if (!process.startDetached(&pid)) return {false, process.errorString()};
  return {true, {}};
}

}  // namespace plavex::platform
