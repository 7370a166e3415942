#include "ui/memo_feedback.h"

#include <QPlainTextEdit>
#include <QProgressBar>

#include "ui/desktop.h"
#include "ui/qt_text.h"

namespace velta {
namespace {

QColor BarColor(BarColour colour) {
  switch (colour) {
    case BarColour::Green: return QColor(0, 128, 0);
    case BarColour::Red: return QColor(255, 0, 0);
    case BarColour::Blue: return QColor(0, 0, 255);
  }
  return QColor(0, 128, 0);
}

}  // namespace

void MemoFeedback::Log(const std::string& line) { memo_.appendPlainText(ToQString(line)); }

void MemoFeedback::ClearLog() { memo_.clear(); }

void MemoFeedback::Beep() { CurrentDesktop().Beep(); }

void MemoFeedback::SetBarColour(BarColour colour) {
  if (bar_ == nullptr) return;
  QPalette palette = bar_->palette();
  palette.setColor(QPalette::Highlight, BarColor(colour));
  bar_->setPalette(palette);
}

void MemoFeedback::SetBarMaximum(int maximum) {
  if (bar_ != nullptr) bar_->setMaximum(maximum);
}

void MemoFeedback::SetBarPosition(int position) {
  if (bar_ != nullptr) bar_->setValue(position);
}

void MemoFeedback::FillBar() {
  if (bar_ != nullptr) bar_->setValue(bar_->maximum());
}

void MemoFeedback::EmptyBar() {
  if (bar_ != nullptr) bar_->setValue(bar_->minimum());
}

// The job runs on a worker, so the window thread is free: the memo and the bar paint now, once
// per step of the job, instead of whenever the queued updates come round.
void MemoFeedback::Repaint() {
  memo_.viewport()->repaint();
  if (bar_ != nullptr) bar_->repaint();
}

}  // namespace velta
