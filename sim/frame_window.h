// Finds 4-byte request frames in a byte stream. Bytes that cannot start a frame with a good sum
// are dropped one at a time, so the stream falls back into step after line noise.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "link/frames.h"

namespace velta::sim {

class FrameWindow {
 public:
  // Adds one byte; returns the frame it completes, if any. A byte that leaves the window full but
  // with a wrong sum pushes the oldest byte out into Dropped().
  std::optional<Frame> Push(std::uint8_t byte);
  // Forgets a partial frame (a new connection, or a pause far longer than a frame takes).
  void Reset();
  bool Empty() const { return count_ == 0; }
  // Bytes thrown away since the last call, oldest first.
  std::vector<std::uint8_t> TakeDropped();

 private:
  Frame bytes_{};
  int count_ = 0;
  std::vector<std::uint8_t> dropped_;
};

}  // namespace velta::sim
