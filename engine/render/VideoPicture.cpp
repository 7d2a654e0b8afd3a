#include "engine/render/VideoPicture.h"

namespace plavex::engine::render {

namespace {
// The stream's size in pixels: what DefineVideoStream declares, else the picture's own.
QSizeF displaySize(const VideoPlayback& video) {
  const auto& s = video.stream();
  const auto& p = video.picture();
  return {s.width > 0 ? s.width : p.width, s.height > 0 ? s.height : p.height};
}
}  // namespace

QImage videoImage(const VideoPlayback& video) {
  const auto& p = video.picture();
  if (p.empty()) return {};
  return QImage(reinterpret_cast<const uchar*>(p.pixels.data()), p.width, p.height, p.width * 4,
                QImage::Format_ARGB32_Premultiplied);
}

void drawVideoPicture(QPainter& painter, const VideoPlayback& video, const QTransform& world, const CxForm& cx,
                      bool smoothingAllowed) {
  QImage image = videoImage(video);
  if (image.isNull()) return;
  const QSizeF size = displaySize(video);
  painter.save();
  painter.setTransform(QTransform::fromScale(20.0 * size.width() / image.width(), 20.0 * size.height() / image.height()) *
                       world);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, smoothingAllowed && video.stream().smoothing);
  if (cx.isIdentity()) {
    painter.drawImage(0, 0, image);
  } else {
    QImage tinted = image.copy();
    applyToImage(tinted, cx);
    painter.drawImage(0, 0, tinted);
  }
  painter.restore();
}

QPainterPath videoCoverage(const VideoPlayback& video, const QTransform& world) {
  QPainterPath out;
  if (video.picture().empty()) return out;
  const QSizeF size = displaySize(video);
  QPainterPath rect;
  rect.addRect(0, 0, size.width() * 20.0, size.height() * 20.0);
  out.addPath(world.map(rect));
  return out;
}

}  // namespace plavex::engine::render
