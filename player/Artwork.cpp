#include "Artwork.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

// The artwork resources live in a static library; register them before first use.
static void EnsureArtworkResources() {
  static const bool registered = [] {
    Q_INIT_RESOURCE(artwork);
    return true;
  }();
  (void)registered;
}

namespace plavex {

QPixmap ArtworkPixmap(const QString& name, const QSize& size) {
  EnsureArtworkResources();
  QSvgRenderer renderer(QStringLiteral(":/artwork/%1.svg").arg(name));
  if (!renderer.isValid() || size.isEmpty()) return {};
  QPixmap pixmap(size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
  return pixmap;
}

QIcon ArtworkIcon(const QString& name, const QSize& size) {
  const QPixmap pixmap = ArtworkPixmap(name, size);
  return pixmap.isNull() ? QIcon() : QIcon(pixmap);
}

QPixmap TImageList::Pixmap(int index) const {
  if (index < 0 || index >= Count()) return {};
  return images[index];
}

QIcon TImageList::Icon(int index) const {
  const QPixmap pixmap = Pixmap(index);
  return pixmap.isNull() ? QIcon() : QIcon(pixmap);
}

TImageList LoadImageList(const QSize& size, const QStringList& names) {
  TImageList list{size, {}};
  for (const QString& name : names) list.images << ArtworkPixmap(name, size);
  return list;
}

}  // namespace plavex
