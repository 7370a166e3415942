// How an operation reports in a window: lines in its log memo, the beep, and the progress bar
// (green while reading, red while writing, blue during a firmware update). A window without a
// progress bar of its own (the Monitor window's service requests) reports in its memo only.
#pragma once

#include "controller/feedback.h"

class QPlainTextEdit;
class QProgressBar;

namespace velta {

class MemoFeedback : public Feedback {
 public:
  MemoFeedback(QPlainTextEdit& memo, QProgressBar& bar) : memo_(memo), bar_(&bar) {}
  explicit MemoFeedback(QPlainTextEdit& memo) : memo_(memo), bar_(nullptr) {}

  void Log(const std::string& line) override;
  void ClearLog() override;
  void Beep() override;
  void SetBarColour(BarColour colour) override;
  void SetBarMaximum(int maximum) override;
  void SetBarPosition(int position) override;
  void FillBar() override;
  void EmptyBar() override;
  void Repaint() override;

 private:
  QPlainTextEdit& memo_;
  QProgressBar* bar_;
};

}  // namespace velta
