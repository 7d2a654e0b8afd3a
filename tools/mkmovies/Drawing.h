#pragma once
// Small helpers that build shape records from simple figures (twips coordinates).

#include <cstdint>
#include <vector>

#include "engine/format/Records.h"

namespace plavex::mkmovies {

using swf::ShapeRecord;

// A closed circle of quadratic curves, filled with fill style `fill` (1-based) on the
// right side, starting at the rightmost point.
void appendCircle(std::vector<ShapeRecord>& out, std::int32_t cx, std::int32_t cy, std::int32_t radius,
                  std::uint32_t fill, std::uint32_t line = 0);
void appendRect(std::vector<ShapeRecord>& out, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                std::uint32_t fill, std::uint32_t line = 0);
// A closed polygon through the points (absolute coordinates).
void appendPolygon(std::vector<ShapeRecord>& out, const std::vector<std::pair<std::int32_t, std::int32_t>>& points,
                   std::uint32_t fill, std::uint32_t line = 0);

swf::FillStyle solidFill(swf::Rgba c);
// Gradient matrices map the 32768-twip gradient square onto a box of the given size.
swf::FillStyle linearGradient(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                              std::vector<swf::GradientRecord> stops, double angleRadians = 0);
swf::FillStyle radialGradient(std::int32_t cx, std::int32_t cy, std::int32_t radius, std::vector<swf::GradientRecord> stops);

// A translation/rotation/scale matrix.
swf::Matrix transform(double scale, double angleRadians, std::int32_t tx, std::int32_t ty);

}  // namespace plavex::mkmovies
