// The terminal's side of an operation's feedback: log lines go to stderr as the windows' memo
// shows them, the beep is the terminal bell, and the progress bar is drawn on stderr only when
// stderr is a terminal (a script's log gets the lines alone).
#pragma once

#include <string>
#include <vector>

#include "controller/feedback.h"

namespace velta::cli {

class TerminalFeedback : public Feedback {
 public:
  TerminalFeedback();
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
  bool barShown_ = false;
  int maximum_ = 100;
  int position_ = 0;
};

// Keeps what an operation lists in its log (a read-out that replaces the log) instead of
// printing it; the lines since the last ClearLog are the listing.
class ListingFeedback : public Feedback {
 public:
  void Log(const std::string& line) override { lines.push_back(line); }
  void ClearLog() override { lines.clear(); }
  void Beep() override {}

  std::vector<std::string> lines;
};

}  // namespace velta::cli
