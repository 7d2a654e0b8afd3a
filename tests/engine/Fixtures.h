#pragma once
// Small movies for the engine tests, made with the project's SWF writer.

#include <QByteArray>
#include <cstdint>
#include <vector>

#include "engine/format/Records.h"

namespace plavex::engine::test {

using swf::Tag;

// A rectangle shape (twips) filled with one style.
swf::DefineShape rectShape(std::uint16_t id, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                           swf::FillStyle fill, std::uint8_t version = 3);
swf::FillStyle solid(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a = 255);
swf::PlaceObject place(std::uint16_t depth, std::uint16_t character, std::int32_t tx = 0, std::int32_t ty = 0);
swf::PlaceObject move(std::uint16_t depth, std::int32_t tx, std::int32_t ty);
swf::RemoveObject removeAt(std::uint16_t depth);
swf::Matrix translate(std::int32_t tx, std::int32_t ty);

// A movie of the given stage size (pixels) and tags; frame count from the ShowFrames.
swf::Movie makeMovie(int widthPx, int heightPx, std::vector<Tag> tags, const char* signature = "FWS",
                     double frameRate = 24);
QByteArray toBytes(const swf::Movie& movie);

}  // namespace plavex::engine::test
