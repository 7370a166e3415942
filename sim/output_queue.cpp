#include "sim/output_queue.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <vector>

namespace velta::sim {

namespace {
// Keeps a byte that lands exactly on a tick from missing it by a rounding error.
constexpr double kTickSlack = 1e-9;
}  // namespace

void OutputQueue::Add(std::span<const std::uint8_t> bytes, double now) {
  for (const std::uint8_t value : bytes) {
    lineFree_ = std::max(now, lineFree_) + byteSeconds_;
    pending_.push_back({value, lineFree_});
  }
}

std::size_t OutputQueue::OffLineBy(double when) const {
  const auto firstLater = std::find_if(pending_.begin(), pending_.end(),
                                       [when](const Byte& byte) { return byte.offLine > when; });
  return static_cast<std::size_t>(firstLater - pending_.begin());
}

double OutputQueue::TickAtOrBefore(double when) const {
  const double period = adapter_.seconds;
  return adapter_.start + std::floor((when - adapter_.start) / period + kTickSlack) * period;
}

double OutputQueue::TickAtOrAfter(double when) const {
  const double period = adapter_.seconds;
  return adapter_.start + std::ceil((when - adapter_.start) / period - kTickSlack) * period;
}

std::size_t OutputQueue::Due(double now) const {
  const std::size_t off = OffLineBy(now);
  if (adapter_.seconds <= 0 || off == 0) return off;
  // The timer's last tick took what had arrived by then; since, only full packets went.
  const std::size_t byTimer = OffLineBy(TickAtOrBefore(now));
  return byTimer + (off - byTimer) / kAdapterPacketBytes * kAdapterPacketBytes;
}

bool OutputQueue::Flush(int fd, double now) {
  blocked_ = false;
  while (!pending_.empty()) {
    const std::size_t due = Due(now);
    if (due == 0) return true;
    std::vector<std::uint8_t> chunk;
    for (std::size_t i = 0; i < due; ++i) chunk.push_back(pending_[i].value);
    const ssize_t n = write(fd, chunk.data(), chunk.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) {
      blocked_ = true;
      return true;
    }
    if (n <= 0) return false;
    pending_.erase(pending_.begin(), pending_.begin() + n);
  }
  return true;
}

double OutputQueue::SecondsToNext(double now) const {
  if (pending_.empty()) return -1;
  if (Due(now) > 0) return 0;
  const double firstOff = pending_.front().offLine;
  double next = firstOff;
  if (adapter_.seconds > 0) {
    // The first tick that finds the oldest byte in the chip, or the moment a packet is full.
    next = TickAtOrAfter(firstOff);
    if (pending_.size() >= kAdapterPacketBytes) {
      next = std::min(next, pending_[kAdapterPacketBytes - 1].offLine);
    }
  }
  return std::max(0.0, next - now);
}

}  // namespace velta::sim
