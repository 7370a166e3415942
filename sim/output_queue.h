// Reply bytes on their way out of the simulator. Unpaced, they leave at once; paced, each byte
// leaves when a real line at the given baud rate would have finished sending it (10 bits per
// byte), counted from the byte before, so the rate holds exactly even when the loop wakes late.
// Behind a modelled USB serial adapter, bytes off the line wait in the adapter chip until its
// free-running latency timer fires, or until a USB packet's worth of them is waiting.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>

namespace velta::sim {

// Data bytes in one USB packet of the adapter chip: this many waiting go to the host at once.
constexpr std::size_t kAdapterPacketBytes = 62;

struct AdapterLatency {
  double seconds = 0;  // the latency timer's period; 0: no adapter, bytes go out as they are off the line
  double start = 0;    // a moment the timer fired; it fires every `seconds` from there
};

class OutputQueue {
 public:
  explicit OutputQueue(int baud = 0, AdapterLatency adapter = {})
      : byteSeconds_(baud > 0 ? 10.0 / baud : 0), adapter_(adapter) {}

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
  struct Byte {
    std::uint8_t value;
    double offLine;  // when its last bit has left the line
  };
  // How many of the oldest bytes have left the line by `when`.
  std::size_t OffLineBy(double when) const;
  // How many of the oldest bytes may be written at `now`.
  std::size_t Due(double now) const;
  // The latest tick of the latency timer at or before `when`, and the first at or after it.
  double TickAtOrBefore(double when) const;
  double TickAtOrAfter(double when) const;

  std::deque<Byte> pending_;
  double byteSeconds_;
  AdapterLatency adapter_;
  double lineFree_ = 0;  // when the line finishes the last byte sent or scheduled
  bool blocked_ = false;
};

}  // namespace velta::sim
