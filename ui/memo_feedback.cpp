#include "ui/memo_feedback.h"

#include <QCoreApplication>
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
  QPalette palette = bar_.palette();
  palette.setColor(QPalette::Highlight, BarColor(colour));
  bar_.setPalette(palette);
}

void MemoFeedback::SetBarMaximum(int maximum) { bar_.setMaximum(maximum); }

void MemoFeedback::SetBarPosition(int position) { bar_.setValue(position); }

void MemoFeedback::FillBar() { bar_.setValue(bar_.maximum()); }

void MemoFeedback::EmptyBar() { bar_.setValue(bar_.minimum()); }

// Lets the window paint during a long blocking loop without taking user input.
void MemoFeedback::Repaint() {
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace velta
