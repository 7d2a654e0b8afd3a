#include "SelectFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFileDialog>
#include <QFileInfo>

namespace plavex {

std::optional<QString> SelectFolder(QWidget* owner, const QString& title) {
  const QString folder = QFileDialog::getExistingDirectory(owner, title, QDir::rootPath(),
                                                           QFileDialog::ShowDirsOnly);
  if (folder.isEmpty()) return std::nullopt;
  return folder;
}

QStringList MovieFilesIn(const QString& folder) {
  QStringList files;
  if (folder.isEmpty()) return files;
  // QDirIterator lists in the file system's own order; no sorting.
  QDirIterator it(folder, {QStringLiteral("*.swf")}, QDir::Files | QDir::Hidden | QDir::System);
  const QString prefix = folder.endsWith(u'/') ? folder : folder + u'/';
  while (it.hasNext()) {
    it.next();
    const QFileInfo info = it.fileInfo();
    if (!info.isFile()) continue;
    files.append(prefix + info.fileName());
  }
  return files;
}

}  // namespace plavex
