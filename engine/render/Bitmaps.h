#pragma once
// Decoding the bitmap characters: JPEG (with the movie's JPEG tables merged in and an
// optional alpha plane), PNG/GIF data in DefineBitsJPEG2+, and the zlib-compressed
// lossless formats 3 (colour-mapped), 4 (15-bit) and 5 (32-bit).

#include <QImage>
#include <optional>

#include "engine/core/Movie.h"

namespace plavex::engine::render {

// A premultiplied ARGB image, or a null image when the data is broken.
QImage decodeBitmap(const BitmapDefinition& bitmap);

// Inflates zlib data to at most `limit` bytes.
std::optional<std::vector<std::uint8_t>> inflateAll(const swf::Bytes& data, std::size_t limit);

}  // namespace plavex::engine::render
