// A Feedback that remembers everything an operation reported, for assertions.
#pragma once

#include <string>
#include <vector>

#include "controller/feedback.h"

namespace velta::test {

class RecordingFeedback : public Feedback {
 public:
  void Log(const std::string& line) override { lines.push_back(line); }
  void ClearLog() override {
    lines.clear();
    ++clears;
  }
  void Beep() override { ++beeps; }
  void SetBarColour(BarColour colour) override { colours.push_back(colour); }
  void SetBarMaximum(int maximum) override { barMaximum = maximum; }
  void SetBarPosition(int position) override { positions.push_back(position); }
  void FillBar() override { positions.push_back(barMaximum); }
  void EmptyBar() override { positions.push_back(0); }
  void Repaint() override { ++repaints; }
  void ShowWriteButtons(bool visible) override { writeButtons.push_back(visible); }

  std::vector<std::string> lines;
  int clears = 0;
  int beeps = 0;
  std::vector<BarColour> colours;
  int barMaximum = 100;
  std::vector<int> positions;
  int repaints = 0;
  std::vector<bool> writeButtons;
};

}  // namespace velta::test
