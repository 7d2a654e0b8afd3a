#include "FileFilter.h"

namespace plavex {

QStringList QtFilterFromWindowsFilter(const QString& filter) {
  const QStringList parts = filter.split(u'|');
  QStringList result;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString description = parts[i].trimmed();
    QStringList patterns;
    for (const QString& pattern : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
      const QString trimmed = pattern.trimmed();
      if (!trimmed.isEmpty()) patterns << trimmed;
    }
    if (patterns.isEmpty()) continue;
    const QString joined = patterns.join(u' ');
    result << (description.isEmpty() ? joined : description + QStringLiteral(" (") + joined + u')');
  }
  return result;
}

}  // namespace plavex
