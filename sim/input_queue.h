// Request bytes on their way into the simulated controller. Unpaced, a byte is there the moment
// it is read. Paced, a real line at the given baud rate needs 10 bits per byte: a byte is
// complete only that long after the later of its arrival and the end of the byte before it, and
// the controller cannot act on it earlier.
#pragma once

#include <cstdint>
#include <deque>
#include <span>
#include <vector>

namespace velta::sim {

class InputQueue {
 public:
  struct Byte {
    std::uint8_t value;
    double complete;  // when its last bit is in
  };

  explicit InputQueue(int baud = 0) : byteSeconds_(baud > 0 ? 10.0 / baud : 0) {}

  // Bytes read from the connection at `now`.
  void Add(std::span<const std::uint8_t> bytes, double now);
  // Removes and returns, oldest first, the bytes complete by `now`.
  std::vector<Byte> TakeComplete(double now);
  // Seconds from `now` until the next byte is complete (0 when it is), or -1 when none waits.
  double SecondsToNext(double now) const;
  // When the newest byte is complete (the earliest moment everything read so far is in).
  double LastComplete() const { return lineFree_; }
  bool Empty() const { return pending_.empty(); }
  std::size_t Size() const { return pending_.size(); }
  void Clear() { pending_.clear(); }

 private:
  std::deque<Byte> pending_;
  double byteSeconds_;
  double lineFree_ = 0;  // when the line finishes the newest byte
};

}  // namespace velta::sim
