#include "SwfInfo.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <algorithm>
#include <cstdint>
#include <filesystem>

#include "engine/format/SwfReader.h"

namespace plavex {

namespace {

int PixelsOrNone(std::int64_t pixels) {
  // A reversed stage rectangle gives no usable size.
  return pixels > 0 ? static_cast<int>(std::min<std::int64_t>(pixels, INT32_MAX)) : 0;
}

TSwfInfo Failure(QString why) {
  TSwfInfo info;
  info.error = std::move(why);
  return info;
}

// The local file an address names, or an empty string with `why` set.
QString LocalFileOf(const QString& address, const TCacheLookup& cachedFileFor, QString& why) {
  if (IsWebAddress(address)) {
    const QString cached = cachedFileFor ? cachedFileFor(address) : QString();
    if (cached.isEmpty()) why = QStringLiteral("the movie is not in the download cache");
    return cached;
  }
  if (address.startsWith(QStringLiteral("file:"), Qt::CaseInsensitive)) {
    const QString local = QUrl(address).toLocalFile();
    if (local.isEmpty()) why = QStringLiteral("not a local file address");
    return local;
  }
  if (address.isEmpty()) why = QStringLiteral("no movie address");
  return address;
}

}  // namespace

bool IsWebAddress(const QString& address) {
  return address.startsWith(QStringLiteral("http://"), Qt::CaseInsensitive) ||
         address.startsWith(QStringLiteral("https://"), Qt::CaseInsensitive);
}

TSwfInfo ReadSwfInfo(const QString& address, const TCacheLookup& cachedFileFor) {
  QString why;
  const QString path = LocalFileOf(address, cachedFileFor, why);
  if (path.isEmpty()) return Failure(why);
  // Only regular files: opening a FIFO or a device for reading could block for ever.
  if (!QFileInfo(path).isFile()) return Failure(QStringLiteral("no movie file at \"%1\"").arg(path));

  const swf::HeaderResult read = swf::readSwfHeader(std::filesystem::path(QFile::encodeName(path).toStdString()));
  if (!read.header) return Failure(QString::fromStdString(read.error));

  TSwfInfo info;
  info.width = PixelsOrNone(read.header->stageWidthPixels());
  info.height = PixelsOrNone(read.header->stageHeightPixels());
  info.frameRate = static_cast<float>(read.header->frameRate);
  info.frameCount = read.header->frameCount;
  return info;
}

}  // namespace plavex
