// A Channel that closes itself: each operation owns one for as long as it talks to the
// controller, so no path out of the operation (an early return, an exception) leaves a port open.
#pragma once

#include <utility>

#include "link/channel.h"

namespace velta {

class ChannelHandle {
 public:
  ChannelHandle() = default;
  // Takes over what an open operation returned; the failure value is held as no Channel.
  explicit ChannelHandle(Channel* channel) : channel_(IsOpenChannel(channel) ? channel : nullptr) {}
  ~ChannelHandle() { Close(); }
  ChannelHandle(ChannelHandle&& other) noexcept
      : channel_(std::exchange(other.channel_, nullptr)) {}
  // Closes the Channel held so far. A handle assigned a fresh open closes its old Channel only
  // after that open: close first where a device may be open only once.
  ChannelHandle& operator=(ChannelHandle&& other) noexcept {
    if (this != &other) {
      Close();
      channel_ = std::exchange(other.channel_, nullptr);
    }
    return *this;
  }
  ChannelHandle(const ChannelHandle&) = delete;
  ChannelHandle& operator=(const ChannelHandle&) = delete;

  bool IsOpen() const { return channel_ != nullptr; }
  // The Channel for the byte operations of channel.h; null when none is open.
  Channel* get() const { return channel_; }

  // Closes now rather than when the handle goes: a serial close waits for the last bytes to
  // leave and pauses 150 ms, and what an operation logs after its exchanges comes after that.
  void Close() { CloseChannel(std::exchange(channel_, nullptr)); }

 private:
  Channel* channel_ = nullptr;
};

}  // namespace velta
