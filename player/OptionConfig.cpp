#include "OptionConfig.h"

#include "platform/IniFile.h"

namespace plavex {

QStringList SplitFilter(const QString& value) {
  QStringList pieces;
  QString piece;
  QChar quote;  // the quote that opened the current quoted stretch, if any
  bool started = false;
  auto finish = [&] {
    if (!piece.isEmpty()) pieces.push_back(piece);
    piece.clear();
    started = false;
  };
  for (const QChar c : value) {
    if (!quote.isNull()) {
      piece += c;
      if (c == quote) quote = QChar();
      continue;
    }
    if (c == u'^') {
      finish();
      continue;
    }
    if (!started && c.unicode() <= 0x20) continue;  // blanks before a piece
    started = true;
    piece += c;
    if (c == u'"' || c == u'\'') quote = c;
  }
  finish();
  return pieces;
}

SearchOptions ReadSearchOptions(const QString& iniPath) {
  SearchOptions options;
  const platform::IniFile ini = platform::IniFile::Load(iniPath);
  if (const auto filter = ini.value(QStringLiteral("Search"), QStringLiteral("Filter")))
    options.filter = SplitFilter(*filter);
  options.pageLimit = ini.readInteger(QStringLiteral("Search"), QStringLiteral("URLS"), 10);
  if (options.pageLimit < 5) options.pageLimit = 5;
  return options;
}

}  // namespace plavex
