#include "engine/render/ColorTransform.h"

namespace plavex::engine::render {

void applyToImage(QImage& image, const CxForm& cx) {
  if (cx.isIdentity()) return;
  if (image.format() != QImage::Format_ARGB32_Premultiplied)
    image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      QRgb p = line[x];
      int a = qAlpha(p);
      if (a == 0 && cx.aa <= 0) continue;
      // Unpremultiply, transform, premultiply.
      double r = a ? qRed(p) * 255.0 / a : 0, g = a ? qGreen(p) * 255.0 / a : 0, b = a ? qBlue(p) * 255.0 / a : 0;
      int na = CxForm::clamp8(a * cx.ma + cx.aa);
      int nr = CxForm::clamp8(r * cx.mr + cx.ar), ng = CxForm::clamp8(g * cx.mg + cx.ag),
          nb = CxForm::clamp8(b * cx.mb + cx.ab);
      line[x] = qRgba(nr * na / 255, ng * na / 255, nb * na / 255, na);
    }
  }
}

}  // namespace plavex::engine::render
