#pragma once
// The process's one cache of downloaded movies: files under the user's cache folder
// ("movies"), named after the address, bounded in size (oldest evicted first).

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace plavex::engine {

class DownloadCache {
 public:
  static DownloadCache& instance();

  // The local copy of a movie downloaded before, or an empty text.
  QString fileFor(const QString& url) const;
  // Stores a complete download; returns the file written (empty on failure).
  QString store(const QString& url, const QByteArray& bytes);
  QString folder() const;
  void setLimitBytes(std::int64_t limit) { limitBytes_ = limit; }
  std::int64_t limitBytes() const { return limitBytes_; }

 private:
  DownloadCache() = default;
  void evict(const QString& keep);
  std::int64_t limitBytes_ = std::int64_t{512} << 20;
};

// The local file of a movie downloaded before, empty if none.
QString CachedFileFor(const QString& url);

}  // namespace plavex::engine
