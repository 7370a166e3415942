// The terminal's side of an operation's feedback: the windows' log lines go to stderr only when
// asked for (--verbose; the commands word their results themselves) and the beep is the terminal
// bell. Progress is one line on stderr: on a terminal a bar redrawn in place below the log lines,
// for a script's log a plain "Progress: 40%" line at every further tenth.
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
  void WritePlainLine();

  bool terminal_;
  bool showLog_ = false;
  bool barShown_ = false;
  int maximum_ = 100;
  int position_ = 0;
  int plainShown_ = -1;  // the percentage of the last plain line; -1: none in this count
};

}  // namespace velta::cli
