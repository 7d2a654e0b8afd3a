#pragma once
// File-dialog filters written in the "description|pattern|description|pattern" form.

#include <QString>
#include <QStringList>

namespace plavex {

// "Flash影片（*.SWF）|*.swf" → {"Flash影片（*.SWF） (*.swf)"}. Patterns separated by
// ";" become blank-separated. A description without a pattern, or with an empty
// one, is dropped.
QStringList QtFilterFromWindowsFilter(const QString& filter);

// The filter of the movie open dialogs.
inline constexpr char16_t kMovieFilter[] = u"Flash影片（*.SWF）|*.swf";

}  // namespace plavex
