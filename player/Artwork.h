#pragma once
// The window's pictures, drawn from the SVG artwork compiled into the program.

#include <QIcon>
#include <QList>
#include <QPixmap>
#include <QSize>
#include <QStringList>

namespace plavex {

// A picture of the artwork set (":/artwork/<name>.svg") rendered at the given size.
// A missing or broken picture gives a null pixmap (the control then shows its
// background only).
QPixmap ArtworkPixmap(const QString& name, const QSize& size);
QIcon ArtworkIcon(const QString& name, const QSize& size);

// A fixed-size list of pictures addressed by index, like the tool bars' image lists.
struct TImageList {
  QSize size;
  QList<QPixmap> images;

  int Count() const { return static_cast<int>(images.size()); }
  QPixmap Pixmap(int index) const;  // null for an index outside the list
  QIcon Icon(int index) const;
};

TImageList LoadImageList(const QSize& size, const QStringList& names);

}  // namespace plavex
