#pragma once
// The play list: the ordered entries the player can play, keyed by address. Pure
// QtCore, so the rules hold whatever view shows the list.

#include <QHash>
#include <QString>
#include <climits>
#include <vector>

#include "PlfFormat.h"

namespace plavex {

// The marks an entry shows in front of its title.
enum TPlayListMark : int { MarkNone = -1, MarkCurrent = 0, MarkInvalid = 1 };

// One entry: caption, mark, then the sub-items title, time text, address in this order.
struct TPlayListEntry {
  QString caption;
  int mark = MarkNone;
  QString title;
  QString timeText;
  QString address;  // the key
  bool operator==(const TPlayListEntry&) const = default;
};

// The address with only the ASCII letters A to Z lowered: the form in which the play list
// compares addresses for duplicates.
QString AsciiLower(const QString& address);

// The title an address gives: the part after the last "\", "/" or ":" (the whole address
// when none occurs); empty for an address ending in a separator.
QString TitleFromAddress(const QString& address);

class TPlayList {
 public:
  int Count() const { return static_cast<int>(FEntries.size()); }
  bool IsEmpty() const { return FEntries.empty(); }
  // index must be in [0, Count()).
  const TPlayListEntry& At(int index) const { return FEntries.at(static_cast<std::size_t>(index)); }
  const std::vector<TPlayListEntry>& Entries() const { return FEntries; }

  // Position of the entry whose address equals the argument exactly (case-sensitive),
  // -1 when there is none.
  int IndexOfUrl(const QString& address) const;
  // Whether an entry's address equals the argument with ASCII letters compared without case.
  bool ContainsAddress(const QString& address) const;

  // Appends an entry (mark none; empty title: derived from the address; caption := title)
  // unless an entry with the same address, ASCII letters compared without case, exists.
  // Returns whether an entry was added. Constant time on average.
  bool AddToPlayList(const QString& address, const QString& title = {}, const QString& timeText = {});

  // Index arguments out of range are ignored (the call changes nothing and returns false).
  bool Remove(int index);
  void Clear();
  // Removes the entries marked invalid; returns how many.
  int RemoveInvalid();
  // Moves the entry at `from` so that it stands immediately before the entry that is now
  // at `before`, or last when `before` is Count() (or beyond). Returns its new position,
  // -1 when `from` is out of range.
  int Move(int from, int before);

  bool SetMark(int index, int mark);
  bool SetTimeText(int index, const QString& timeText);
  // The accepted in-place rename: title and caption take the new text.
  bool Rename(int index, const QString& title);

  // The entries as PLF records, in list order.
  std::vector<TPlfRecord> ToRecords() const;
  // Clears the list and adds the records in order through AddToPlayList, so duplicates
  // collapse to their first occurrence. Returns the number of entries added.
  int ReplaceWith(const std::vector<TPlfRecord>& records);

 private:
  bool InRange(int index) const { return index >= 0 && index < Count(); }
  void Invalidate(int from) const;
  void Renumber() const;

  std::vector<TPlayListEntry> FEntries;
  // Lowered address -> position. Positions from FStaleFrom on may be outdated after a
  // remove or move; they are renumbered the next time a position is needed.
  mutable QHash<QString, int> FIndex;
  mutable int FStaleFrom = INT_MAX;
};

}  // namespace plavex
