#pragma once
// The player's configuration file Option.ini: section "Search", keys "Filter" and "URLS".

#include <QString>
#include <QStringList>

namespace plavex {

struct SearchOptions {
  QStringList filter{QStringLiteral("=")};  // address fragments that exclude a found movie
  int pageLimit = 10;                        // search-engine result pages to walk
};

// Cuts a "Filter" value at "^": leading blanks skipped, empty pieces dropped,
// quotes protect a "^" and stay part of the piece.
QStringList SplitFilter(const QString& value);

// Reads Option.ini; a missing file or key gives the defaults. Never writes.
SearchOptions ReadSearchOptions(const QString& iniPath);

}  // namespace plavex
