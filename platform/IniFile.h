#pragma once
// Windows-style INI files: "[section]" headers and "key=value" lines, names compared
// without regard to letter case, read in GBK unless a byte-order mark says otherwise.

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace plavex::platform {

class IniFile {
 public:
  // Parses INI text. Malformed lines are skipped.
  static IniFile FromText(const QString& text);
  // Reads a file; a missing or unreadable file reads as empty.
  static IniFile Load(const QString& path);

  // The value of a key as the profile functions give it: blanks around it removed and
  // one pair of enclosing quotes dropped. Nothing when the section or key is missing.
  std::optional<QString> value(const QString& section, const QString& key) const;
  QString readString(const QString& section, const QString& key, const QString& fallback) const;
  // The leading integer of the value (with sign); the fallback when the key is missing
  // or holds no number.
  int readInteger(const QString& section, const QString& key, int fallback) const;

  void writeString(const QString& section, const QString& key, const QString& value);
  QString toText() const;
  // Writes the file in GBK (UTF-8 with a byte-order mark if a character does not fit)
  // through a temporary file renamed into place. False when it cannot be written.
  bool Save(const QString& path) const;

 private:
  struct Entry {
    QString key;
    QString value;
  };
  struct Section {
    QString name;
    std::vector<Entry> entries;
  };
  const Section* findSection(const QString& name) const;
  std::vector<Section> sections_;
};

}  // namespace plavex::platform
