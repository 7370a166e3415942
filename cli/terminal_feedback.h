// The terminal's side of an operation's feedback: the windows' log lines go to stderr only when
// asked for (--verbose; the commands word their results themselves), the beep is the terminal
// bell, and the progress bar is drawn on stderr only when stderr is a terminal.
#pragma once

#include <string>

#include "controller/feedback.h"
#include "controller/listing_feedback.h"

namespace velta::cli {

class TerminalFeedback : public Feedback {
 public:
  TerminalFeedback();
  void ShowLogLines(bool show) { showLog_ = show; }
  void Log(const std::string& line) override;
  void Beep() override;
  void SetBarMaximum(int maximum) override;
  void SetBarPosition(int position) override;
  void FillBar() override;
  void EmptyBar() override;

 private:
  void DrawBar();
  void EndBar();

  bool terminal_;
  bool showLog_ = false;
  bool barShown_ = false;
  int maximum_ = 100;
  int position_ = 0;
};

}  // namespace velta::cli
