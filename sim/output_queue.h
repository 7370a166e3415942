// Reply bytes on their way out of the simulator. Unpaced, they leave at once; paced, each byte
// leaves when a real line at the given baud rate would have finished sending it (10 bits per
// byte), counted from the byte before, so the rate holds exactly even when the loop wakes late.
#pragma once

#include <cstdint>
#include <deque>
#include <span>

namespace velta::sim {

class OutputQueue {
 public:
  explicit OutputQueue(int baud = 0) : byteSeconds_(baud > 0 ? 10.0 / baud : 0) {}

  void Add(std::span<const std::uint8_t> bytes, double now);
  // Writes what is due by `now` to the non-blocking `fd`. False when the peer is gone.
  bool Flush(int fd, double now);
  bool Empty() const { return pending_.empty(); }
  // True when the last Flush stopped because the peer's buffer was full.
  bool Blocked() const { return blocked_; }
  // Seconds from `now` until the next byte is due (0 when due), or -1 when nothing waits.
  double SecondsToNext(double now) const;
  void Clear() { pending_.clear(); }

 private:
  std::deque<std::uint8_t> pending_;
  double byteSeconds_;
  double nextDue_ = 0;   // when the oldest pending byte is due
  double lineFree_ = 0;  // when the line finishes the last byte sent or scheduled
  bool blocked_ = false;
};

}  // namespace velta::sim
