#include "sim/frame_window.h"

#include <algorithm>
#include <span>

namespace velta::sim {

std::optional<Frame> FrameWindow::Push(std::uint8_t byte) {
  bytes_[static_cast<std::size_t>(count_++)] = byte;
  if (count_ < 4) return std::nullopt;
  if (Checksum(std::span(bytes_).first(3)) == bytes_[3]) {
    count_ = 0;
    return bytes_;
  }
  dropped_.push_back(bytes_[0]);
  std::rotate(bytes_.begin(), bytes_.begin() + 1, bytes_.end());
  count_ = 3;
  return std::nullopt;
}

void FrameWindow::Reset() {
  dropped_.insert(dropped_.end(), bytes_.begin(), bytes_.begin() + count_);
  count_ = 0;
}

std::vector<std::uint8_t> FrameWindow::TakeDropped() {
  std::vector<std::uint8_t> out;
  out.swap(dropped_);
  return out;
}

}  // namespace velta::sim
