#include "cli/terminal_feedback.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace velta::cli {
namespace {

constexpr int kBarWidth = 40;

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

void TerminalFeedback::SetBarMaximum(int maximum) { maximum_ = std::max(maximum, 1); }

void TerminalFeedback::SetBarPosition(int position) {
  position_ = std::clamp(position, 0, maximum_);
  DrawBar();
}

void TerminalFeedback::FillBar() { SetBarPosition(maximum_); }

void TerminalFeedback::EmptyBar() { EndBar(); }

void TerminalFeedback::DrawBar() {
  if (!terminal_) return;
  const int filled = position_ * kBarWidth / maximum_;
  std::fprintf(stderr, "\r[%s%s] %3d%%", std::string(filled, '#').c_str(),
               std::string(kBarWidth - filled, ' ').c_str(), position_ * 100 / maximum_);
  std::fflush(stderr);
  barShown_ = true;
}

void TerminalFeedback::EndBar() {
  if (!barShown_) return;
  std::fputc('\n', stderr);
  barShown_ = false;
}

}  // namespace velta::cli
