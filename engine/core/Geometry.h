#pragma once
// Affine transforms in double precision, from and to the SWF matrix.

#include <optional>

#include "engine/format/Records.h"

namespace plavex::engine {

struct Affine {
  double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;  // x' = a x + c y + tx, y' = b x + d y + ty

  static Affine from(const swf::Matrix& m) {
    return {m.scaleX / 65536.0, m.rotateSkew0 / 65536.0, m.rotateSkew1 / 65536.0, m.scaleY / 65536.0,
            double(m.translateX), double(m.translateY)};
  }
  // this after `inner`: (this * inner)(p) = this(inner(p)).
  Affine operator*(const Affine& in) const {
    return {a * in.a + c * in.b, b * in.a + d * in.b, a * in.c + c * in.d, b * in.c + d * in.d,
            a * in.tx + c * in.ty + tx, b * in.tx + d * in.ty + ty};
  }
  void map(double x, double y, double& ox, double& oy) const {
    ox = a * x + c * y + tx;
    oy = b * x + d * y + ty;
  }
  std::optional<Affine> inverted() const {
    double det = a * d - b * c;
    if (det == 0) return std::nullopt;
    Affine r{d / det, -b / det, -c / det, a / det, 0, 0};
    r.tx = -(r.a * tx + r.c * ty);
    r.ty = -(r.b * tx + r.d * ty);
    return r;
  }
};

}  // namespace plavex::engine
