#pragma once
// Filters and blend modes, as pixel operations on premultiplied ARGB images.

#include <QImage>
#include <vector>

#include "engine/format/Records.h"

namespace plavex::engine::render {

// Box blur, `passes` times, radii in pixels (a pass of radius r averages 2r+1 pixels).
void blurImage(QImage& image, double radiusX, double radiusY, int passes);

// Applies the filters in order; `scale` converts the filters' pixel sizes to the image's.
// The image must have room around the content for the effects to spread into.
void applyFilters(QImage& image, const std::vector<swf::Filter>& filters, double scale);

// How far filters spread beyond the content, in image pixels.
int filterMargin(const std::vector<swf::Filter>& filters, double scale);

// Composites `source` onto `target` at `offset` with a SWF blend mode (0..14).
void blendInto(QImage& target, const QImage& source, QPoint offset, std::uint8_t mode);

}  // namespace plavex::engine::render
