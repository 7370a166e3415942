// Input as a person gives it: queued by the window system and delivered whenever the window
// thread next takes its events, not sent on the spot as QTest does. Input given while the window
// thread is busy waits in this queue, as a real click does.
#pragma once

#include <qpa/qwindowsysteminterface.h>

#include <QWidget>
#include <QWindow>

namespace velta::test {

// A left click in the middle of `widget`, whose window is shown.
inline void QueueClick(const QWidget* widget) {
  QWindow* window = widget->window()->windowHandle();
  const QPointF local = widget->mapTo(widget->window(), widget->rect().center());
  const QPointF global = widget->mapToGlobal(widget->rect().center());
  QWindowSystemInterface::handleMouseEvent(window, local, global, Qt::LeftButton, Qt::LeftButton,
                                           QEvent::MouseButtonPress);
  QWindowSystemInterface::handleMouseEvent(window, local, global, Qt::NoButton, Qt::LeftButton,
                                           QEvent::MouseButtonRelease);
}

// A key pressed and let go in `window`, which has the focus.
inline void QueueKey(const QWidget* window, Qt::Key key) {
  QWindow* handle = window->windowHandle();
  QWindowSystemInterface::handleKeyEvent(handle, QEvent::KeyPress, key, Qt::NoModifier);
  QWindowSystemInterface::handleKeyEvent(handle, QEvent::KeyRelease, key, Qt::NoModifier);
}

// The window manager's close button of `window`.
inline void QueueCloseRequest(const QWidget* window) {
  QWindowSystemInterface::handleCloseEvent(window->windowHandle());
}

}  // namespace velta::test
