#pragma once
// Colour transforms: multiply and add terms per channel, composed down the display tree.

#include <QColor>
#include <QImage>
#include <algorithm>

#include "engine/format/Records.h"

namespace plavex::engine::render {

struct CxForm {
  double mr = 1, mg = 1, mb = 1, ma = 1;  // multiply terms
  double ar = 0, ag = 0, ab = 0, aa = 0;  // add terms, 0..255 scale

  static CxForm from(const swf::ColorTransform& c) {
    return {c.multR / 256.0, c.multG / 256.0, c.multB / 256.0, c.multA / 256.0,
            double(c.addR), double(c.addG), double(c.addB), double(c.addA)};
  }
  bool isIdentity() const { return mr == 1 && mg == 1 && mb == 1 && ma == 1 && ar == 0 && ag == 0 && ab == 0 && aa == 0; }
  bool onlyAlpha() const { return mr == 1 && mg == 1 && mb == 1 && ar == 0 && ag == 0 && ab == 0 && aa == 0; }
  // this applied after `inner`.
  CxForm operator*(const CxForm& in) const {
    return {mr * in.mr, mg * in.mg, mb * in.mb, ma * in.ma,
            mr * in.ar + ar, mg * in.ag + ag, mb * in.ab + ab, ma * in.aa + aa};
  }
  static int clamp8(double v) { return std::clamp(static_cast<int>(v), 0, 255); }
  QColor apply(const swf::Rgba& c) const {
    return QColor(clamp8(c.r * mr + ar), clamp8(c.g * mg + ag), clamp8(c.b * mb + ab), clamp8(c.a * ma + aa));
  }
  bool operator==(const CxForm&) const = default;
};

// Applies a colour transform to a premultiplied image in place.
void applyToImage(QImage& image, const CxForm& cx);

}  // namespace plavex::engine::render
