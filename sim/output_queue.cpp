#include "sim/output_queue.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace velta::sim {

void OutputQueue::Add(std::span<const std::uint8_t> bytes, double now) {
  if (bytes.empty()) return;
  if (pending_.empty()) nextDue_ = std::max(now, lineFree_) + byteSeconds_;
  pending_.insert(pending_.end(), bytes.begin(), bytes.end());
  lineFree_ = nextDue_ + byteSeconds_ * static_cast<double>(pending_.size() - 1);
}

bool OutputQueue::Flush(int fd, double now) {
  blocked_ = false;
  while (!pending_.empty()) {
    std::size_t due = pending_.size();
    if (byteSeconds_ > 0) {
      if (now < nextDue_) return true;
      due = std::min(due, static_cast<std::size_t>((now - nextDue_) / byteSeconds_) + 1);
    }
    const std::vector<std::uint8_t> chunk(pending_.begin(), pending_.begin() + static_cast<long>(due));
    const ssize_t n = write(fd, chunk.data(), chunk.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) {
      blocked_ = true;
      return true;
    }
    if (n <= 0) return false;
    pending_.erase(pending_.begin(), pending_.begin() + n);
    nextDue_ += byteSeconds_ * static_cast<double>(n);
  }
  return true;
}

double OutputQueue::SecondsToNext(double now) const {
  if (pending_.empty()) return -1;
  return std::max(0.0, nextDue_ - now);
}

}  // namespace velta::sim
