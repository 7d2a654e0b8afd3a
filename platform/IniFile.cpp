#include "IniFile.h"

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <climits>

#include "TextCodec.h"

namespace plavex::platform {

namespace {

bool SameName(const QString& a, const QString& b) {
  return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString StripQuotes(QString value) {
  if (value.size() >= 2) {
    const QChar first = value.front();
    if ((first == u'"' || first == u'\'') && value.back() == first) return value.mid(1, value.size() - 2);
  }
  return value;
}

}  // namespace

IniFile IniFile::FromText(const QString& text) {
  IniFile ini;
  Section* current = nullptr;
  const QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
  for (const QString& raw : lines) {
    const QString line = raw.trimmed();
    if (line.isEmpty() || line.startsWith(u';')) continue;
    if (line.startsWith(u'[')) {
      const qsizetype close = line.indexOf(u']');
      if (close < 0) continue;
      const QString name = line.mid(1, close - 1).trimmed();
      current = nullptr;
      for (Section& s : ini.sections_)
        if (SameName(s.name, name)) current = &s;
      if (!current) {
        ini.sections_.push_back(Section{name, {}});
        current = &ini.sections_.back();
      }
      continue;
    }
    const qsizetype eq = line.indexOf(u'=');
    if (eq <= 0 || !current) continue;
    const QString key = line.left(eq).trimmed();
    bool known = false;
    for (const Entry& e : current->entries) known = known || SameName(e.key, key);
    if (!known) current->entries.push_back(Entry{key, line.mid(eq + 1).trimmed()});
  }
  return ini;
}

IniFile IniFile::Load(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return FromText(DecodeText(file.readAll()));
}

const IniFile::Section* IniFile::findSection(const QString& name) const {
  for (const Section& s : sections_)
    if (SameName(s.name, name)) return &s;
  return nullptr;
}

std::optional<QString> IniFile::value(const QString& section, const QString& key) const {
  const Section* s = findSection(section);
  if (!s) return std::nullopt;
  for (const Entry& e : s->entries)
    if (SameName(e.key, key)) return StripQuotes(e.value);
  return std::nullopt;
}

QString IniFile::readString(const QString& section, const QString& key, const QString& fallback) const {
  return value(section, key).value_or(fallback);
}

int IniFile::readInteger(const QString& section, const QString& key, int fallback) const {
  const auto text = value(section, key);
  if (!text) return fallback;
  const QString t = text->trimmed();
  qsizetype end = 0;
  if (end < t.size() && (t[end] == u'-' || t[end] == u'+')) ++end;
  const qsizetype digitsStart = end;
  while (end < t.size() && t[end].isDigit() && end - digitsStart < 10) ++end;
  if (end == digitsStart) return fallback;
  bool ok = false;
  const qlonglong number = t.left(end).toLongLong(&ok);
  if (!ok || number > INT_MAX || number < INT_MIN) return fallback;
  return static_cast<int>(number);
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value) {
  Section* s = const_cast<Section*>(findSection(section));
  if (!s) {
    sections_.push_back(Section{section, {}});
    s = &sections_.back();
  }
  for (Entry& e : s->entries) {
    if (SameName(e.key, key)) {
      e.value = value;
      return;
    }
  }
  s->entries.push_back(Entry{key, value});
}

QString IniFile::toText() const {
  QString out;
  for (const Section& s : sections_) {
    out += u'[' + s.name + QStringLiteral("]\r\n");
    for (const Entry& e : s.entries) out += e.key + u'=' + e.value + QStringLiteral("\r\n");
    out += QStringLiteral("\r\n");
  }
  return out;
}

bool IniFile::Save(const QString& path) const {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  const QByteArray bytes = EncodeGbkOrUtf8(toText());
  if (file.write(bytes) != bytes.size()) return false;
  return file.commit();
}

}  // namespace plavex::platform
