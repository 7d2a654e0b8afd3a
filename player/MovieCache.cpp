#include "MovieCache.h"

#include <QUrl>
#include <cerrno>

#include "SwfInfo.h"
#include "engine/core/DownloadCache.h"

namespace plavex {

int GetCacheFileName(const QString& url, QString& path) {
  const QString cached = engine::CachedFileFor(url);
  if (cached.isEmpty()) return ENOENT;
  path = cached;
  return 0;
}

QString MovieSourceFile(const QString& address) {
  if (IsWebAddress(address)) {
    QString path;
    return GetCacheFileName(address, path) == 0 ? path : QString();
  }
  if (address.startsWith(QStringLiteral("file:"), Qt::CaseInsensitive)) return QUrl(address).toLocalFile();
  return address;
}

}  // namespace plavex
