#include "engine/render/Gradient.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

#include "engine/core/Geometry.h"

namespace plavex::engine::render {

namespace {

double toLinear(double c) {
  c /= 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}
int fromLinear(double c) {
  c = c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
  return std::clamp(static_cast<int>(std::lround(c * 255)), 0, 255);
}

}  // namespace

GradientRamp buildRamp(const swf::Gradient& gradient, const CxForm& cx) {
  GradientRamp ramp{};
  const auto& recs = gradient.records;
  if (recs.empty()) {
    ramp.fill(0);
    return ramp;
  }
  std::vector<std::pair<int, QColor>> stops;
  for (const auto& r : recs) stops.emplace_back(r.ratio, cx.apply(r.color));
  const bool linear = gradient.interpolationMode == 1;
  auto mixColour = [&](const QColor& c0, const QColor& c1, double t) {
    auto mix = [&](int a, int b) { return a + (b - a) * t; };
    int alpha = static_cast<int>(std::lround(mix(c0.alpha(), c1.alpha())));
    if (linear) {
      auto ch = [&](int a, int b) { return fromLinear(toLinear(a) + (toLinear(b) - toLinear(a)) * t); };
      return QColor(ch(c0.red(), c1.red()), ch(c0.green(), c1.green()), ch(c0.blue(), c1.blue()), alpha);
    }
    return QColor(static_cast<int>(std::lround(mix(c0.red(), c1.red()))),
                  static_cast<int>(std::lround(mix(c0.green(), c1.green()))),
                  static_cast<int>(std::lround(mix(c0.blue(), c1.blue()))), alpha);
  };
  // Before the first record and after the last: their colours. In between, each pair of
  // neighbouring records paints its span, later pairs over earlier ones; records sharing
  // a ratio thus leave a hard step.
  const QRgb first = stops.front().second.rgba(), last = stops.back().second.rgba();
  for (int i = 0; i < 256; ++i) ramp[static_cast<std::size_t>(i)] = i < stops.front().first ? first : last;
  for (std::size_t k = 0; k + 1 < stops.size(); ++k) {
    const auto& [r0, c0] = stops[k];
    const auto& [r1, c1] = stops[k + 1];
    if (r1 < r0) continue;
    for (int i = r0; i <= r1; ++i) {
      double t = r1 == r0 ? 0.0 : double(i - r0) / (r1 - r0);
      ramp[static_cast<std::size_t>(i)] = mixColour(c0, c1, t).rgba();
    }
  }
  return ramp;
}

QBrush gradientBrush(std::uint8_t type, const swf::Gradient& gradient, const swf::Matrix& matrix, const CxForm& cx) {
  QGradientStops stops;
  bool sharedRatios = false;
  for (std::size_t k = 1; k < gradient.records.size(); ++k)
    sharedRatios |= gradient.records[k].ratio <= gradient.records[k - 1].ratio;
  // The painter blends stops in premultiplied colour; the movie's ramp mixes straight colour.
  bool translucent = !cx.onlyAlpha() || cx.ma != 1;
  for (const auto& r : gradient.records) translucent |= r.color.a != 255;
  sharedRatios |= translucent;
  if (gradient.interpolationMode == 1 || sharedRatios) {
    // The ramp itself, entry by entry.
    GradientRamp ramp = buildRamp(gradient, cx);
    for (int i = 0; i < 256; ++i) stops.append({i / 255.0, QColor::fromRgba(ramp[static_cast<std::size_t>(i)])});
  } else {
    // Straight interpolation between the records: the ramp's own stops.
    double last = -1;
    for (const auto& r : gradient.records) {
      double pos = r.ratio / 255.0;
      if (pos <= last) pos = std::min(1.0, last + 1e-6);
      stops.append({pos, cx.apply(r.color)});
      last = pos;
    }
    if (stops.isEmpty()) stops.append({0.0, QColor(0, 0, 0, 0)});
  }
  QGradient::Spread spread = gradient.spreadMode == 1   ? QGradient::ReflectSpread
                             : gradient.spreadMode == 2 ? QGradient::RepeatSpread
                                                        : QGradient::PadSpread;
  Affine m = Affine::from(matrix);
  QTransform t(m.a, m.b, m.c, m.d, m.tx, m.ty);
  if (type == swf::fill::kLinear) {
    QLinearGradient g(-16384, 0, 16384, 0);
    g.setStops(stops);
    g.setSpread(spread);
    QBrush brush(g);
    brush.setTransform(t);
    return brush;
  }
  double focal = type == swf::fill::kFocal ? std::clamp(gradient.focalPoint / 256.0, -0.98, 0.98) : 0.0;
  QRadialGradient g(QPointF(0, 0), 16384, QPointF(focal * 16384, 0));
  g.setStops(stops);
  g.setSpread(spread);
  QBrush brush(g);
  brush.setTransform(t);
  return brush;
}

}  // namespace plavex::engine::render
