// A window and the button that started an operation stay disabled while the operation runs, and
// come back on every way out of it, an exception included. The button may show another caption
// meanwhile ("Lese...").
#pragma once

#include <QString>

class QAbstractButton;
class QWidget;

namespace velta {

class BusyWindow {
 public:
  BusyWindow(QWidget& window, QAbstractButton& button, const QString& busyCaption = QString());
  ~BusyWindow();
  BusyWindow(const BusyWindow&) = delete;
  BusyWindow& operator=(const BusyWindow&) = delete;

 private:
  QWidget& window_;
  QAbstractButton& button_;
  QString caption_;
};

}  // namespace velta
