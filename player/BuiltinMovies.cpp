#include "BuiltinMovies.h"

#include <QFile>

// The movie resources live in a static library; register them before first use.
static void EnsureMovieResources() {
  static const bool registered = [] {
    Q_INIT_RESOURCE(builtin_movies);
    return true;
  }();
  (void)registered;
}

namespace plavex {

QByteArray BuiltinMovie(const QString& name) {
  EnsureMovieResources();
  QFile file(QStringLiteral(":/swf/") + name);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

}  // namespace plavex
