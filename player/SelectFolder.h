#pragma once
// The folder browser of the "add a folder" command.

#include <QString>
#include <optional>

class QWidget;

namespace plavex {

// Shows the platform's folder browser owned by the window, with the title as its
// instruction; the picked folder's path, or nothing when cancelled.
std::optional<QString> SelectFolder(QWidget* owner, const QString& title);

// The regular files directly inside a folder whose names match *.swf (letter case
// ignored), each as folder + separator + name, in the order the file system lists them.
QStringList MovieFilesIn(const QString& folder);

}  // namespace plavex
