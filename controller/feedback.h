// How long operations (reads, writes, transfers, the firmware update, the poll) tell the user what
// they do. The windows implement it on their memo, beep and progress bar; tests record it.
#pragma once

#include <string>

namespace velta {

enum class BarColour { Green, Red, Blue };

class Feedback {
 public:
  virtual ~Feedback() = default;
  // One line appended to the window's log memo (already translated and formatted).
  virtual void Log(const std::string& line) = 0;
  // Empties the log memo (a table load starts afresh, a finished update leaves one line).
  virtual void ClearLog() {}
  // The system's exclamation beep that goes with an error.
  virtual void Beep() = 0;
  virtual void SetBarColour(BarColour) {}
  virtual void SetBarMaximum(int) {}
  virtual void SetBarPosition(int) {}
  // Position = maximum / minimum, as the read operations show activity.
  virtual void FillBar() {}
  virtual void EmptyBar() {}
  // Lets the window repaint during a long blocking loop (the firmware update, once per block).
  virtual void Repaint() {}
  // The three write buttons of the Settings window follow the last version check.
  virtual void ShowWriteButtons(bool) {}
};

}  // namespace velta
