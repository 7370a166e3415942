// Request/reply exchanges with the simulator over a real Channel, for the simulator's tests.
#pragma once

#include <sys/socket.h>

#include <cerrno>
#include <cstdint>
#include <string>
#include <vector>

#include "link/channel.h"
#include "link/frames.h"
#include "tests/support/sim_process.h"

namespace velta::test {

// A TCP channel to the simulator, closed when the object goes, also when a failed assertion ends
// the test early. Passes for the Channel* it holds.
class SimTcpChannel {
 public:
  explicit SimTcpChannel(const SimProcess& sim) : sim_(sim) { Open(); }
  ~SimTcpChannel() { CloseChannel(channel_); }
  SimTcpChannel(const SimTcpChannel&) = delete;
  SimTcpChannel& operator=(const SimTcpChannel&) = delete;

  operator Channel*() const { return channel_; }
  // Closes the connection and opens a new one, as a program does after a dropped connection.
  void Reconnect() {
    CloseChannel(channel_);
    Open();
  }

 private:
  void Open() { channel_ = OpenTcpChannel("127.0.0.1", sim_.TcpPort()); }

  const SimProcess& sim_;
  Channel* channel_ = nullptr;
};

// Sends `request` and receives up to `expected` bytes; returns what arrived.
inline std::vector<std::uint8_t> Exchange(Channel* channel, const std::vector<std::uint8_t>& request,
                                          int expected) {
  ChannelSend(channel, request.data(), static_cast<std::int32_t>(request.size()));
  std::vector<std::uint8_t> reply(static_cast<std::size_t>(expected));
  const std::int32_t received = ChannelReceive(channel, reply.data(), expected);
  reply.resize(received > 0 ? static_cast<std::size_t>(received) : 0);
  return reply;
}

inline std::vector<std::uint8_t> Exchange(Channel* channel, const Frame& request, int expected) {
  return Exchange(channel, std::vector<std::uint8_t>(request.begin(), request.end()), expected);
}

// True when a TCP channel holds no further byte right now. The simulator writes each reply with
// one write, so bytes beyond the expected length would already be here.
inline bool NothingMoreWaiting(Channel* channel) {
  std::uint8_t byte;
  return recv(channel->handle, &byte, 1, MSG_DONTWAIT) < 0 && errno == EAGAIN;
}

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

inline bool SumMatches(const std::vector<std::uint8_t>& reply) {
  return !reply.empty() &&
         Checksum(std::span(reply).first(reply.size() - 1)) == reply.back();
}

}  // namespace velta::test
