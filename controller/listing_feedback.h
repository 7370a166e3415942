// A feedback that keeps what an operation lists in its log instead of showing it: the lines since
// the last ClearLog are the listing (the live values, a table read-out). Callers that print or
// report such a listing take it from here.
#pragma once

#include <string>
#include <vector>

#include "controller/feedback.h"

namespace velta {

class ListingFeedback : public Feedback {
 public:
  void Log(const std::string& line) override { lines.push_back(line); }
  void ClearLog() override { lines.clear(); }
  void Beep() override {}

  std::vector<std::string> lines;
};

}  // namespace velta
