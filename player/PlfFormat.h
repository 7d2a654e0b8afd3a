#pragma once
// The PLF play-list file: plain text, one entry per line, "address^title^time text",
// CR LF line ends, GBK (or UTF-8 with a byte-order mark when GBK cannot hold the list).
// Pure functions on bytes plus a file reader and an atomic file writer.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <vector>

namespace plavex {

// One line of a PLF file as the format holds it.
struct TPlfRecord {
  QString address;
  QString title;     // empty: the play list derives it from the address
  QString timeText;  // empty until the movie has been loaded once; "Err" after a failed load
  bool operator==(const TPlfRecord&) const = default;
};

// The fields of one line: leading spaces of each field skipped, fields run to the next
// "^" or the line end, empty fields dropped. Quote characters are ordinary characters.
QStringList SplitPlfLine(QStringView line);

// The records of a whole file's bytes. A byte-order mark selects UTF-8/UTF-16, GBK
// otherwise; lines end at CR LF, CR or LF; a NUL ends the text. Lines with no fields or
// with four or more fields are skipped. Never fails: garbage gives few or no records.
std::vector<TPlfRecord> ParsePlf(const QByteArray& bytes);

// The text of one written line, without the line end, or an empty string when the
// address cannot be written so that it reads back as itself (empty, leading space, or a
// "^" / CR / LF / NUL in a local path; in a URL "^" becomes "%5E"). Title and time text
// are made readable: CR, LF, NUL become spaces, "^" becomes "＾", leading spaces go; an
// empty title before a time text is replaced by the title the address gives (or, when
// that is empty too, the time text is left out), so the fields keep their places.
QString PlfLine(const TPlfRecord& record);

struct TPlfWriteResult {
  QByteArray bytes;
  int skipped = 0;  // records whose address the format cannot hold (see PlfLine)
};

// The bytes of a PLF file: one CR LF terminated line per record; GBK when every
// character fits, UTF-8 with a byte-order mark otherwise. No records give 0 bytes.
TPlfWriteResult WritePlf(const std::vector<TPlfRecord>& records);

// Reading a PLF file from disk.
struct TPlfReadResult {
  enum class Status { Read, Missing, Failed };
  Status status = Status::Missing;
  std::vector<TPlfRecord> records;  // set when status is Read
  QString error;                    // set when status is Failed
  bool ok() const { return status == Status::Read; }
};

// Files larger than this are refused rather than read into memory.
inline constexpr qint64 kMaxPlfFileBytes = qint64{256} << 20;

// Missing: no regular file of that name. Failed: it exists but cannot be read (or is too
// large). The caller keeps its list unless the result is Read.
TPlfReadResult ReadPlfFile(const QString& fileName);

struct TPlfSaveResult {
  bool ok = false;
  QString error;    // set when ok is false; the file on disk is then unchanged
  int skipped = 0;  // records left out because the format cannot hold their address
};

// Writes the records to the file through a temporary file renamed into place, so a
// failed or interrupted save never leaves half a list.
TPlfSaveResult SavePlfFile(const QString& fileName, const std::vector<TPlfRecord>& records);

}  // namespace plavex
