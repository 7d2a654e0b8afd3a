#include "PlayListModel.h"

#include <algorithm>
#include <climits>

namespace plavex {

namespace {
constexpr int kNothingStale = INT_MAX;
bool IsAsciiUpper(char16_t u) { return u >= u'A' && u <= u'Z'; }
}  // namespace

QString AsciiLower(const QString& address) {
  // Most addresses are lower case already: share their text instead of copying it.
  const auto firstUpper = std::find_if(address.cbegin(), address.cend(), [](QChar c) { return IsAsciiUpper(c.unicode()); });
  if (firstUpper == address.cend()) return address;
  QString out = address;
  for (qsizetype i = firstUpper - address.cbegin(); i < out.size(); ++i) {
    const char16_t u = out.at(i).unicode();
    if (IsAsciiUpper(u)) out[i] = QChar(static_cast<char16_t>(u + (u'a' - u'A')));
  }
  return out;
}

QString TitleFromAddress(const QString& address) {
  qsizetype last = -1;
  for (qsizetype i = address.size() - 1; i >= 0; --i) {
    const QChar c = address.at(i);
    if (c == u'/' || c == u'\\' || c == u':') {
      last = i;
      break;
    }
  }
  return address.mid(last + 1);
}

int TPlayList::IndexOfUrl(const QString& address) const {
  const auto it = FIndex.constFind(AsciiLower(address));
  if (it == FIndex.cend()) return -1;
  Renumber();
  const int index = it.value();
  // Only one entry per lowered address exists, so an exact match can only be this one.
  return FEntries[static_cast<std::size_t>(index)].address == address ? index : -1;
}

bool TPlayList::ContainsAddress(const QString& address) const { return FIndex.contains(AsciiLower(address)); }

bool TPlayList::AddToPlayList(const QString& address, const QString& title, const QString& timeText) {
  // One hash lookup: operator[] inserts a slot only for a new address.
  const qsizetype sizeBefore = FIndex.size();
  int& position = FIndex[AsciiLower(address)];
  if (FIndex.size() == sizeBefore) return false;
  // The new entry's position is right even while earlier positions are stale.
  position = Count();
  TPlayListEntry entry;
  entry.title = title.isEmpty() ? TitleFromAddress(address) : title;
  entry.caption = entry.title;
  entry.timeText = timeText;
  entry.address = address;
  FEntries.push_back(std::move(entry));
  return true;
}

bool TPlayList::Remove(int index) {
  if (!InRange(index)) return false;
  FIndex.remove(AsciiLower(FEntries[static_cast<std::size_t>(index)].address));
  FEntries.erase(FEntries.begin() + index);
  Invalidate(index);
  return true;
}

void TPlayList::Clear() {
  FEntries.clear();
  FIndex.clear();
  FStaleFrom = kNothingStale;
}

int TPlayList::RemoveInvalid() {
  const auto firstRemoved =
      std::stable_partition(FEntries.begin(), FEntries.end(), [](const TPlayListEntry& e) { return e.mark != MarkInvalid; });
  const int removed = static_cast<int>(FEntries.end() - firstRemoved);
  if (removed == 0) return 0;
  for (auto it = firstRemoved; it != FEntries.end(); ++it) FIndex.remove(AsciiLower(it->address));
  FEntries.erase(firstRemoved, FEntries.end());
  Invalidate(0);
  return removed;
}

int TPlayList::Move(int from, int before) {
  if (!InRange(from)) return -1;
  before = std::clamp(before, 0, Count());
  // Dropping on itself or on the entry just below leaves the order as it is.
  const int to = before > from ? before - 1 : before;
  if (to == from) return from;
  const auto first = FEntries.begin();
  if (to < from) std::rotate(first + to, first + from, first + from + 1);
  else std::rotate(first + from, first + from + 1, first + to + 1);
  Invalidate(std::min(from, to));
  return to;
}

bool TPlayList::SetMark(int index, int mark) {
  if (!InRange(index)) return false;
  FEntries[static_cast<std::size_t>(index)].mark = mark;
  return true;
}

bool TPlayList::SetTimeText(int index, const QString& timeText) {
  if (!InRange(index)) return false;
  FEntries[static_cast<std::size_t>(index)].timeText = timeText;
  return true;
}

bool TPlayList::Rename(int index, const QString& title) {
  if (!InRange(index)) return false;
  TPlayListEntry& entry = FEntries[static_cast<std::size_t>(index)];
  entry.title = title;
  entry.caption = title;
  return true;
}

std::vector<TPlfRecord> TPlayList::ToRecords() const {
  std::vector<TPlfRecord> records;
  records.reserve(FEntries.size());
  for (const TPlayListEntry& e : FEntries) records.push_back({e.address, e.title, e.timeText});
  return records;
}

int TPlayList::ReplaceWith(const std::vector<TPlfRecord>& records) {
  Clear();
  FEntries.reserve(records.size());
  FIndex.reserve(static_cast<qsizetype>(records.size()));
  int added = 0;
  for (const TPlfRecord& r : records) added += AddToPlayList(r.address, r.title, r.timeText) ? 1 : 0;
  return added;
}

void TPlayList::Invalidate(int from) const { FStaleFrom = std::min(FStaleFrom, from); }

void TPlayList::Renumber() const {
  for (int i = FStaleFrom; i < Count(); ++i) FIndex[AsciiLower(FEntries[static_cast<std::size_t>(i)].address)] = i;
  FStaleFrom = kNothingStale;
}

}  // namespace plavex
