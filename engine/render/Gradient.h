#pragma once
// Gradient fills: a 256-entry colour ramp built from the gradient records (in sRGB or
// linear RGB as the gradient asks), turned into a brush in the 32768-twip gradient
// square that the fill's matrix maps onto the shape.

#include <QBrush>
#include <array>

#include "engine/format/Records.h"
#include "engine/render/ColorTransform.h"

namespace plavex::engine::render {

using GradientRamp = std::array<QRgb, 256>;  // non-premultiplied ARGB

GradientRamp buildRamp(const swf::Gradient& gradient, const CxForm& cx);

// type: swf::fill::kLinear, kRadial or kFocal.
QBrush gradientBrush(std::uint8_t type, const swf::Gradient& gradient, const swf::Matrix& matrix, const CxForm& cx);

}  // namespace plavex::engine::render
