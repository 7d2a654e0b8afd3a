#pragma once
// Small helpers for driving the controls without a real mouse.

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <QWidget>

namespace plavex::controls::testing {

inline QPixmap Picture(int width, int height, QColor colour = Qt::blue) {
  QPixmap picture(width, height);
  picture.fill(colour);
  return picture;
}

inline void SendMouse(QWidget* widget, QEvent::Type type, Qt::MouseButton button, QPoint local,
                      QPoint global) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
  QMouseEvent event(type, QPointF(local), QPointF(global), button, held, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

inline void SendEnter(QWidget* widget) {
  QEnterEvent event(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
  QApplication::sendEvent(widget, &event);
}

inline void SendLeave(QWidget* widget) {
  QEvent event(QEvent::Leave);
  QApplication::sendEvent(widget, &event);
}

}  // namespace plavex::controls::testing
