#pragma once
// The local copy of a downloaded web movie, as the movie engine's download cache keeps it.

#include <QString>

namespace plavex {

// 0 with path set to the cached copy of the url; otherwise an error number (ENOENT when
// the movie is not in the cache), path unchanged.
int GetCacheFileName(const QString& url, QString& path);

// The file a movie address is read from: the cached copy of a web movie (http or
// https), the address itself otherwise. Empty for a web movie that is not cached.
QString MovieSourceFile(const QString& address);

}  // namespace plavex
