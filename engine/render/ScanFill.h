#pragma once
// Aliased filling with the movie's own pixel rule. The painter's rasterizer rounds
// outline points to 1/64 pixel, which moves slanted edges across pixel centres the
// movie's rasterizer leaves alone; this filler puts the points on a 1/256 pixel grid
// and decides every pixel by its centre, exactly in whole grid units.

#include <QPainterPath>
#include <QRegion>

namespace plavex::engine::render {

// The pixels of `devicePath` (already in device pixels) whose centres lie inside it under
// the path's fill rule, limited to `clip`, as a region of scanline spans.
// A centre exactly on an edge is inside when the edge is the span's left end or the
// edge's upper end (spans are [left, right), edges [top, bottom)).
QRegion aliasedCoverage(const QPainterPath& devicePath, const QRect& clip);

}  // namespace plavex::engine::render
