#include "sim/input_queue.h"

#include <algorithm>

namespace velta::sim {

void InputQueue::Add(std::span<const std::uint8_t> bytes, double now) {
  for (std::uint8_t value : bytes) {
    lineFree_ = std::max(now, lineFree_) + byteSeconds_;
    pending_.push_back({value, lineFree_});
  }
}

std::vector<InputQueue::Byte> InputQueue::TakeComplete(double now) {
  std::vector<Byte> complete;
  while (!pending_.empty() && pending_.front().complete <= now) {
    complete.push_back(pending_.front());
    pending_.pop_front();
  }
  return complete;
}

double InputQueue::SecondsToNext(double now) const {
  if (pending_.empty()) return -1;
  return std::max(0.0, pending_.front().complete - now);
}

}  // namespace velta::sim
