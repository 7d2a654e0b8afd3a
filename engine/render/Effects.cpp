#include "engine/render/Effects.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace plavex::engine::render {

namespace {

void blurLine(QRgb* data, int count, int stride, int radius, std::vector<int>& acc) {
  if (radius <= 0 || count <= 1) return;
  std::vector<QRgb> copy(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) copy[static_cast<std::size_t>(i)] = data[i * stride];
  const int window = 2 * radius + 1;
  int sa = 0, sr = 0, sg = 0, sb = 0;
  auto px = [&](int i) -> QRgb { return (i < 0 || i >= count) ? 0u : copy[static_cast<std::size_t>(i)]; };
  for (int i = -radius; i <= radius; ++i) {
    QRgb p = px(i);
    sa += qAlpha(p), sr += qRed(p), sg += qGreen(p), sb += qBlue(p);
  }
  for (int i = 0; i < count; ++i) {
    data[i * stride] = qRgba(sr / window, sg / window, sb / window, sa / window);
    QRgb out = px(i - radius), in = px(i + radius + 1);
    sa += qAlpha(in) - qAlpha(out), sr += qRed(in) - qRed(out), sg += qGreen(in) - qGreen(out),
        sb += qBlue(in) - qBlue(out);
  }
  (void)acc;
}

QImage alphaTinted(const QImage& source, QColor colour, double strength, bool invertAlpha) {
  QImage out(source.size(), QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < source.height(); ++y) {
    const auto* s = reinterpret_cast<const QRgb*>(source.constScanLine(y));
    auto* d = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < source.width(); ++x) {
      int a = qAlpha(s[x]);
      if (invertAlpha) a = 255 - a;
      int na = std::clamp(static_cast<int>(a * strength * colour.alphaF()), 0, 255);
      d[x] = qRgba(colour.red() * na / 255, colour.green() * na / 255, colour.blue() * na / 255, na);
    }
  }
  return out;
}

QImage shifted(const QImage& image, double dx, double dy) {
  QImage out(image.size(), QImage::Format_ARGB32_Premultiplied);
  out.fill(Qt::transparent);
  QPainter p(&out);
  p.drawImage(QPointF(dx, dy), image);
  return out;
}

// Keeps `image` only where `mask` has alpha (destination-in) or where it has none (destination-out).
void maskWith(QImage& image, const QImage& mask, bool keepInside) {
  QPainter p(&image);
  p.setCompositionMode(keepInside ? QPainter::CompositionMode_DestinationIn : QPainter::CompositionMode_DestinationOut);
  p.drawImage(0, 0, mask);
}

void shadowLike(QImage& image, QColor colour, double blurX, double blurY, int passes, double strength, double angle,
                double distance, bool inner, bool knockout, bool hideObject) {
  QImage source = image;
  QImage shadow = alphaTinted(source, colour, 1.0, inner);
  shadow = shifted(shadow, std::cos(angle) * distance, std::sin(angle) * distance);
  blurImage(shadow, blurX, blurY, passes);
  if (strength != 1.0) {
    for (int y = 0; y < shadow.height(); ++y) {
      auto* d = reinterpret_cast<QRgb*>(shadow.scanLine(y));
      for (int x = 0; x < shadow.width(); ++x) {
        QRgb p = d[x];
        int a = std::min(255, static_cast<int>(qAlpha(p) * strength));
        d[x] = a ? qRgba(colour.red() * a / 255, colour.green() * a / 255, colour.blue() * a / 255, a) : 0;
      }
    }
  }
  QImage result(image.size(), QImage::Format_ARGB32_Premultiplied);
  result.fill(Qt::transparent);
  QPainter p(&result);
  if (inner) {
    maskWith(shadow, source, true);
    if (!knockout && !hideObject) p.drawImage(0, 0, source);
    p.drawImage(0, 0, shadow);
  } else {
    p.drawImage(0, 0, shadow);
    if (knockout) {
      p.end();
      maskWith(result, source, false);
    } else if (!hideObject) {
      p.drawImage(0, 0, source);
    }
  }
  if (p.isActive()) p.end();
  image = result;
}

void colourMatrix(QImage& image, const std::vector<float>& m) {
  if (m.size() < 20) return;
  for (int y = 0; y < image.height(); ++y) {
    auto* d = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      QRgb p = d[x];
      int a = qAlpha(p);
      double r = a ? qRed(p) * 255.0 / a : 0, g = a ? qGreen(p) * 255.0 / a : 0, b = a ? qBlue(p) * 255.0 / a : 0;
      auto ch = [&](int row) {
        const float* k = &m[static_cast<std::size_t>(row) * 5];
        return std::clamp(static_cast<int>(k[0] * r + k[1] * g + k[2] * b + k[3] * a + k[4]), 0, 255);
      };
      int nr = ch(0), ng = ch(1), nb = ch(2), na = ch(3);
      d[x] = qRgba(nr * na / 255, ng * na / 255, nb * na / 255, na);
    }
  }
}

QColor toColour(const swf::Rgba& c) { return QColor(c.r, c.g, c.b, c.a); }

}  // namespace

void blurImage(QImage& image, double radiusX, double radiusY, int passes) {
  if (image.isNull()) return;
  if (image.format() != QImage::Format_ARGB32_Premultiplied)
    image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  // A SWF blur of size b spreads over b pixels: box radius (b - 1) / 2.
  int rx = std::max(0, static_cast<int>((radiusX - 1) / 2 + 0.5));
  int ry = std::max(0, static_cast<int>((radiusY - 1) / 2 + 0.5));
  passes = std::clamp(passes, 1, 15);
  std::vector<int> acc;
  auto* bits = reinterpret_cast<QRgb*>(image.bits());
  const int w = image.width(), h = image.height();
  const int stride = static_cast<int>(image.bytesPerLine() / 4);
  for (int pass = 0; pass < passes; ++pass) {
    if (rx > 0)
      for (int y = 0; y < h; ++y) blurLine(bits + static_cast<std::ptrdiff_t>(y) * stride, w, 1, rx, acc);
    if (ry > 0)
      for (int x = 0; x < w; ++x) blurLine(bits + x, h, stride, ry, acc);
  }
}

int filterMargin(const std::vector<swf::Filter>& filters, double scale) {
  double margin = 0;
  for (const auto& f : filters) {
    double b = std::max(f.blurX, f.blurY) / 65536.0 * std::max(1, int(f.passes));
    margin += (b + std::abs(f.distance / 65536.0)) * scale;
  }
  return static_cast<int>(std::ceil(std::min(margin, 512.0))) + 2;
}

void applyFilters(QImage& image, const std::vector<swf::Filter>& filters, double scale) {
  for (const auto& f : filters) {
    const double bx = f.blurX / 65536.0 * scale, by = f.blurY / 65536.0 * scale;
    const double angle = f.angle / 65536.0, distance = f.distance / 65536.0 * scale;
    const double strength = f.strength / 256.0;
    const int passes = std::max(1, int(f.passes));
    switch (f.type) {
      case swf::filter::kBlur: blurImage(image, bx, by, passes); break;
      case swf::filter::kDropShadow:
        shadowLike(image, f.colors.empty() ? QColor(0, 0, 0) : toColour(f.colors[0]), bx, by, passes, strength, angle,
                   distance, f.innerShadow, f.knockout, !f.compositeSource);
        break;
      case swf::filter::kGlow:
        shadowLike(image, f.colors.empty() ? QColor(255, 0, 0) : toColour(f.colors[0]), bx, by, passes, strength, 0, 0,
                   f.innerShadow, f.knockout, !f.compositeSource);
        break;
      case swf::filter::kBevel:
        if (f.colors.size() >= 2) {
          // Highlight towards the light, shadow away from it.
          QImage source = image;
          shadowLike(image, toColour(f.colors[0]), bx, by, passes, strength, angle, distance, false, f.knockout, false);
          QImage highlight = source;
          shadowLike(highlight, toColour(f.colors[1]), bx, by, passes, strength, angle + M_PI, distance, false, true, false);
          QPainter p(&image);
          p.drawImage(0, 0, highlight);
        }
        break;
      case swf::filter::kColorMatrix: colourMatrix(image, f.matrix); break;
      default: break;  // convolution and gradient filters are not drawn yet
    }
  }
}

void blendInto(QImage& target, const QImage& source, QPoint offset, std::uint8_t mode) {
  QPainter::CompositionMode qt = QPainter::CompositionMode_SourceOver;
  bool own = false;
  switch (mode) {
    case 3: qt = QPainter::CompositionMode_Multiply; break;
    case 4: qt = QPainter::CompositionMode_Screen; break;
    case 5: qt = QPainter::CompositionMode_Lighten; break;
    case 6: qt = QPainter::CompositionMode_Darken; break;
    case 7: qt = QPainter::CompositionMode_Difference; break;
    case 8: qt = QPainter::CompositionMode_Plus; break;
    case 13: qt = QPainter::CompositionMode_Overlay; break;
    case 14: qt = QPainter::CompositionMode_HardLight; break;
    case 9: case 10: case 11: case 12: own = true; break;
    default: break;
  }
  if (!own) {
    QPainter p(&target);
    p.setCompositionMode(qt);
    p.drawImage(offset, source);
    return;
  }
  const QRect area = QRect(offset, source.size()).intersected(target.rect());
  for (int y = area.top(); y <= area.bottom(); ++y) {
    auto* d = reinterpret_cast<QRgb*>(target.scanLine(y));
    const auto* s = reinterpret_cast<const QRgb*>(source.constScanLine(y - offset.y()));
    for (int x = area.left(); x <= area.right(); ++x) {
      QRgb src = s[x - offset.x()], dst = d[x];
      int sa = qAlpha(src);
      if (sa == 0) continue;
      int da = qAlpha(dst);
      switch (mode) {
        case 9: {  // subtract: destination minus source colour
          int r = std::max(0, qRed(dst) - qRed(src)), g = std::max(0, qGreen(dst) - qGreen(src)),
              b = std::max(0, qBlue(dst) - qBlue(src));
          d[x] = qRgba(std::min(r, da), std::min(g, da), std::min(b, da), da);
          break;
        }
        case 10: {  // invert the destination where the source is
          int r = da - qRed(dst), g = da - qGreen(dst), b = da - qBlue(dst);
          auto mix = [&](int inv, int orig) { return (inv * sa + orig * (255 - sa)) / 255; };
          d[x] = qRgba(mix(r, qRed(dst)), mix(g, qGreen(dst)), mix(b, qBlue(dst)), da);
          break;
        }
        case 11: {  // alpha: the destination takes the source's alpha
          d[x] = qRgba(qRed(dst) * sa / 255, qGreen(dst) * sa / 255, qBlue(dst) * sa / 255, da * sa / 255);
          break;
        }
        case 12: {  // erase: the source's alpha cuts the destination away
          int k = 255 - sa;
          d[x] = qRgba(qRed(dst) * k / 255, qGreen(dst) * k / 255, qBlue(dst) * k / 255, da * k / 255);
          break;
        }
        default: break;
      }
    }
  }
}

}  // namespace plavex::engine::render
