#include "ui/busy_window.h"

#include <QAbstractButton>

namespace velta {

BusyWindow::BusyWindow(QWidget& window, QAbstractButton& button, const QString& busyCaption)
    : window_(window), button_(button), caption_(button.text()) {
  window_.setEnabled(false);
  button_.setEnabled(false);
  if (!busyCaption.isEmpty()) button_.setText(busyCaption);
}

BusyWindow::~BusyWindow() {
  button_.setText(caption_);
  button_.setEnabled(true);
  window_.setEnabled(true);
}

}  // namespace velta
