#include "engine/core/DownloadCache.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>

namespace plavex::engine {

namespace {
QString fileNameFor(const QString& url) {
  return QString::fromLatin1(QCryptographicHash::hash(url.toUtf8(), QCryptographicHash::Sha1).toHex()) +
         QStringLiteral(".swf");
}
}  // namespace

DownloadCache& DownloadCache::instance() {
  static DownloadCache cache;
  return cache;
}

QString DownloadCache::folder() const {
  return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/movies");
}

QString DownloadCache::fileFor(const QString& url) const {
  if (url.isEmpty()) return {};
  QString path = folder() + QLatin1Char('/') + fileNameFor(url);
  return QFileInfo::exists(path) ? path : QString();
}

QString DownloadCache::store(const QString& url, const QByteArray& bytes) {
  if (url.isEmpty() || bytes.size() > limitBytes_) return {};
  if (!QDir().mkpath(folder())) return {};
  QString path = folder() + QLatin1Char('/') + fileNameFor(url);
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) return {};
  evict(path);
  return path;
}

void DownloadCache::evict(const QString& keep) {
  QDir dir(folder());
  auto entries = dir.entryInfoList(QStringList{QStringLiteral("*.swf")}, QDir::Files, QDir::Time | QDir::Reversed);
  std::int64_t total = 0;
  for (const auto& e : entries) total += e.size();
  for (const auto& e : entries) {  // oldest first
    if (total <= limitBytes_) break;
    if (e.absoluteFilePath() == QFileInfo(keep).absoluteFilePath()) continue;
    total -= e.size();
    QFile::remove(e.absoluteFilePath());
  }
}

QString CachedFileFor(const QString& url) { return DownloadCache::instance().fileFor(url); }

}  // namespace plavex::engine
