#include "AdvertPage.h"

namespace plavex {

TAdvertChoice ChooseAdvertMovie(const QString& url, const QString& html) {
  if (url == QLatin1String("about:blank")) return {};
  static const QString begin = QStringLiteral("<!--TLabelB-->");
  static const QString end = QStringLiteral("<!--TLabelE-->");
  QString address;
  const qsizetype b = html.indexOf(begin);
  if (b >= 0) {
    const qsizetype start = b + begin.size();
    const qsizetype e = html.indexOf(end, start);
    if (e >= 0) address = html.mid(start, e - start).trimmed();
  }
  if (address.isEmpty()) return {TAdvertAction::LoadBuiltIn, {}};
  return {TAdvertAction::LoadAddress, address};
}

}  // namespace plavex
