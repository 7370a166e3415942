// What the simulator's tests check on the wire besides the replies themselves.
#pragma once

#include <sys/socket.h>

#include <cerrno>
#include <cstdint>
#include <string>

#include "link/channel_handle.h"
#include "link/frames.h"

namespace velta::test {

// True when a TCP channel holds no further byte right now. The simulator writes each reply with
// one write, so bytes beyond the expected length would already be here.
inline bool NothingMoreWaiting(const ChannelHandle& channel) {
  std::uint8_t byte;
  return recv(channel.get()->handle, &byte, 1, MSG_DONTWAIT) < 0 && errno == EAGAIN;
}

// A frame as the simulator logs it: "88 00 34 BC".
inline std::string HexFrame(const Frame& frame) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (std::uint8_t b : frame) {
    if (!text.empty()) text += ' ';
    text += kDigits[b >> 4];
    text += kDigits[b & 0x0F];
  }
  return text;
}

}  // namespace velta::test
