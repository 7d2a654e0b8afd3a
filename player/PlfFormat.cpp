#include "PlfFormat.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <optional>

#include "PlayListModel.h"
#include "platform/TextCodec.h"

namespace plavex {

namespace {

constexpr QChar kFieldSeparator = u'^';

bool IsLineBreakOrNul(QChar c) { return c == u'\r' || c == u'\n' || c == QChar(0); }

// "scheme://" as in http://, https://, ftp://: such an address is a URL, where "^" and
// its percent-encoded form "%5E" name the same resource.
bool HasUrlScheme(const QString& address) {
  const qsizetype colon = address.indexOf(u':');
  if (colon <= 0 || !address.mid(colon).startsWith(QStringLiteral("://"))) return false;
  for (qsizetype i = 0; i < colon; ++i) {
    const char16_t c = address.at(i).unicode();
    const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    const bool other = (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.';
    if (!letter && !(i > 0 && other)) return false;
  }
  return true;
}

// A title or time text in the form the reader gives back unchanged.
QString ReadableField(const QString& text) {
  qsizetype lead = 0;
  while (lead < text.size() && text.at(lead) == u' ') ++lead;
  const bool clean = std::none_of(text.cbegin() + lead, text.cend(),
                                  [](QChar c) { return c == kFieldSeparator || IsLineBreakOrNul(c); });
  if (clean) return lead == 0 ? text : text.mid(lead);  // the usual case: no copy
  QString out = text.mid(lead);
  for (QChar& c : out) {
    if (IsLineBreakOrNul(c)) c = u' ';
    else if (c == kFieldSeparator) c = QChar(0xFF3E);  // FULLWIDTH CIRCUMFLEX ACCENT, in GBK
  }
  // A line break turned into a space may now lead the field.
  lead = 0;
  while (lead < out.size() && out.at(lead) == u' ') ++lead;
  return out.mid(lead);
}

}  // namespace

namespace {

// Calls `onField` with each field of the line until it returns false.
template <typename OnField>
void ForEachField(QStringView line, OnField onField) {
  qsizetype pos = 0;
  const qsizetype end = line.size();
  while (pos < end) {
    while (pos < end && line.at(pos) == u' ') ++pos;
    qsizetype stop = pos;
    while (stop < end && line.at(stop) != kFieldSeparator) ++stop;
    if (stop > pos && !onField(line.mid(pos, stop - pos))) return;
    pos = stop + 1;  // past the "^" (or past the end)
  }
}

// The record of a line of one to three fields; nothing for other lines.
std::optional<TPlfRecord> RecordOfLine(QStringView line) {
  TPlfRecord record;
  int count = 0;
  ForEachField(line, [&](QStringView field) {
    ++count;
    if (count == 1) record.address = field.toString();
    else if (count == 2) record.title = field.toString();
    else if (count == 3) record.timeText = field.toString();
    return count <= 3;  // a fourth field already rules the line out
  });
  if (count == 0 || count > 3) return std::nullopt;
  return record;
}

}  // namespace

QStringList SplitPlfLine(QStringView line) {
  QStringList fields;
  ForEachField(line, [&](QStringView field) {
    fields.append(field.toString());
    return true;
  });
  return fields;
}

std::vector<TPlfRecord> ParsePlf(const QByteArray& bytes) {
  QString text = platform::DecodeText(bytes);
  const qsizetype nul = text.indexOf(QChar(0));
  if (nul >= 0) text.truncate(nul);

  std::vector<TPlfRecord> records;
  const QStringView all(text);
  qsizetype lineStart = 0;
  while (lineStart < all.size()) {
    qsizetype lineEnd = lineStart;
    while (lineEnd < all.size() && all.at(lineEnd) != u'\r' && all.at(lineEnd) != u'\n') ++lineEnd;
    if (std::optional<TPlfRecord> record = RecordOfLine(all.mid(lineStart, lineEnd - lineStart))) {
      records.push_back(std::move(*record));
    }
    lineStart = lineEnd;
    if (lineStart < all.size() && all.at(lineStart) == u'\r') ++lineStart;
    if (lineStart < all.size() && all.at(lineStart) == u'\n') ++lineStart;
  }
  return records;
}

QString PlfLine(const TPlfRecord& record) {
  QString address = record.address;
  if (HasUrlScheme(address)) address.replace(kFieldSeparator, QStringLiteral("%5E"));
  if (address.isEmpty() || address.startsWith(u' ')) return {};
  for (QChar c : address) {
    if (c == kFieldSeparator || IsLineBreakOrNul(c)) return {};
  }

  QString title = ReadableField(record.title);
  QString timeText = ReadableField(record.timeText);
  if (title.isEmpty() && !timeText.isEmpty()) {
    // An empty title field is dropped on reading, which would move the time text into
    // the title's place.
    title = ReadableField(TitleFromAddress(address));
    if (title.isEmpty()) timeText.clear();
  }
  QString line;
  line.reserve(address.size() + title.size() + timeText.size() + 2);
  line += address;
  line += kFieldSeparator;
  line += title;
  line += kFieldSeparator;
  line += timeText;
  return line;
}

TPlfWriteResult WritePlf(const std::vector<TPlfRecord>& records) {
  TPlfWriteResult result;
  QString text;
  qsizetype length = 0;
  for (const TPlfRecord& r : records) length += r.address.size() + r.title.size() + r.timeText.size() + 4;
  text.reserve(length);
  for (const TPlfRecord& record : records) {
    const QString line = PlfLine(record);
    if (line.isEmpty()) {
      ++result.skipped;
      continue;
    }
    text += line;
    text += QStringLiteral("\r\n");
  }
  if (!text.isEmpty()) result.bytes = platform::EncodeGbkOrUtf8(text);
  return result;
}

TPlfReadResult ReadPlfFile(const QString& fileName) {
  TPlfReadResult result;
  const QFileInfo info(fileName);
  if (!info.exists()) return result;  // Missing
  result.status = TPlfReadResult::Status::Failed;
  if (!info.isFile()) {
    result.error = QStringLiteral("\"%1\" is not a file").arg(fileName);
    return result;
  }
  if (info.size() > kMaxPlfFileBytes) {
    result.error = QStringLiteral("\"%1\" is too large for a play list").arg(fileName);
    return result;
  }
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) {
    result.error = QStringLiteral("cannot open \"%1\": %2").arg(fileName, file.errorString());
    return result;
  }
  // Read at most one byte past the limit: the file may have grown since it was measured.
  const QByteArray bytes = file.read(kMaxPlfFileBytes + 1);
  if (file.error() != QFileDevice::NoError) {
    result.error = QStringLiteral("cannot read \"%1\": %2").arg(fileName, file.errorString());
    return result;
  }
  if (bytes.size() > kMaxPlfFileBytes) {
    result.error = QStringLiteral("\"%1\" is too large for a play list").arg(fileName);
    return result;
  }
  result.records = ParsePlf(bytes);
  result.status = TPlfReadResult::Status::Read;
  return result;
}

TPlfSaveResult SavePlfFile(const QString& fileName, const std::vector<TPlfRecord>& records) {
  TPlfSaveResult result;
  const TPlfWriteResult written = WritePlf(records);
  result.skipped = written.skipped;
  QSaveFile file(fileName);
  if (!file.open(QIODevice::WriteOnly)) {
    result.error = QStringLiteral("cannot create \"%1\": %2").arg(fileName, file.errorString());
    return result;
  }
  if (file.write(written.bytes) != written.bytes.size()) {
    result.error = QStringLiteral("cannot write \"%1\": %2").arg(fileName, file.errorString());
    file.cancelWriting();
    return result;
  }
  if (!file.commit()) {
    result.error = QStringLiteral("cannot save \"%1\": %2").arg(fileName, file.errorString());
    return result;
  }
  result.ok = true;
  return result;
}

}  // namespace plavex
