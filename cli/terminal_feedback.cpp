#include "cli/terminal_feedback.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "i18n/lookup.h"

namespace velta::cli {
namespace {

constexpr int kBarWidth = 40;
// Without a terminal a line is written each time the progress has moved on by this much.
constexpr int kPlainStepPercent = 10;
constexpr int kNothingShown = -1;

}  // namespace

TerminalFeedback::TerminalFeedback() : terminal_(isatty(STDERR_FILENO) == 1) {}

void TerminalFeedback::Log(const std::string& line) {
  if (!showLog_) return;
  EndBar();
  std::fprintf(stderr, "%s\n", line.c_str());
}

void TerminalFeedback::Beep() {
  if (terminal_) std::fputc('\a', stderr);
}

void TerminalFeedback::SetBarMaximum(int maximum) {
  maximum = std::max(maximum, 1);
  // The update sets the same maximum before every block; only a new one starts another count.
  if (maximum != maximum_) plainShown_ = kNothingShown;
  maximum_ = maximum;
}

void TerminalFeedback::SetBarPosition(int position) {
  position_ = std::clamp(position, 0, maximum_);
  if (terminal_) {
    DrawBar();
  } else {
    WritePlainLine();
  }
}

void TerminalFeedback::FillBar() { SetBarPosition(maximum_); }

void TerminalFeedback::EmptyBar() { EndBar(); }

void TerminalFeedback::WritePlainLine() {
  const int percent = position_ * 100 / maximum_;
  if (percent < plainShown_) plainShown_ = kNothingShown;  // another job counts from the start
  // A full bar alone is how a read shows that it worked; only a job that counts up gets lines.
  if (plainShown_ == kNothingShown && percent == 100) return;
  if (plainShown_ != kNothingShown &&
      (percent == plainShown_ || (percent < plainShown_ + kPlainStepPercent && percent < 100))) {
    return;
  }
  std::fprintf(stderr, "%s\n", Format(V_("Progress: %d%%"), percent).c_str());
  plainShown_ = percent;
}

void TerminalFeedback::DrawBar() {
  const int filled = position_ * kBarWidth / maximum_;
  std::fprintf(stderr, "\r[%s%s] %3d%%", std::string(filled, '#').c_str(),
               std::string(kBarWidth - filled, ' ').c_str(), position_ * 100 / maximum_);
  std::fflush(stderr);
  barShown_ = true;
}

void TerminalFeedback::EndBar() {
  if (!barShown_) return;
  // A bar still counting is wiped (the next position draws it again below the new line); a
  // finished one stays.
  std::fputs(position_ < maximum_ ? "\r\033[K" : "\n", stderr);
  barShown_ = false;
}

}  // namespace velta::cli
