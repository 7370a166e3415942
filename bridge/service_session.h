// Remote service sessions: a TCP listener per controller, and the relay that hands a client the
// controller's link byte for byte while the poll holds still.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bridge/bridge_config.h"
#include "link/channel.h"

namespace velta::bridge {

// A session ends when the client has been silent this long,
constexpr std::chrono::seconds kSessionSilence{60};
// when it has taken no bytes this long while the controller's answers wait for it,
constexpr std::chrono::seconds kSessionStall{10};
// or when this many of the controller's bytes wait unread in its socket.
constexpr int kSessionBacklogBytes = 64 * 1024;

struct RelayLimits {
  std::chrono::milliseconds silence = kSessionSilence;
  std::chrono::milliseconds stall = kSessionStall;
  int backlogBytes = kSessionBacklogBytes;
};

// Opens a listening TCP socket; -1 and `error` ("cannot listen on HOST:PORT: why") on failure.
// `backlog`: connections the kernel completes before they are accepted.
int Listen(const Endpoint& endpoint, std::string& error, int backlog = 4);

enum class RelayEnd { ClientClosed, ClientSilent, ClientStalled, ClientBehind, LinkFailed, Stopped };
// Why the session ended, for its log line; the limits are the ones the relay ran with.
std::string RelayEndText(RelayEnd end, const RelayLimits& limits = {});

// Copies bytes unchanged from the client to the controller's link and back until the client
// closes, stays silent, stops taking bytes or falls behind (see RelayLimits), the link fails or
// `stop` is set. Works on the descriptors themselves: a relay is a byte stream, not exchanges, so
// nothing pending is thrown away.
RelayEnd RelayBytes(int clientFd, Channel* channel, const RelayLimits& limits, const std::atomic<bool>& stop);

// "ADDR:PORT" of a connected socket's peer, for log lines.
std::string PeerText(int fd);

// Accepts clients on the controllers' serve sockets (one thread for all of them) and offers each
// to its controller; a client the controller does not take (a session is open) is closed at once.
class SessionListener {
 public:
  using Offer = std::function<bool(std::size_t controller, int clientFd)>;
  // fds[i] is controller i's listening socket, or -1.
  SessionListener(std::vector<int> fds, Offer offer) : fds_(std::move(fds)), offer_(std::move(offer)) {}
  ~SessionListener();
  // Runs until Stop.
  void Run();
  void Stop() { stop_ = true; }

 private:
  std::vector<int> fds_;
  Offer offer_;
  std::atomic<bool> stop_{false};
};

}  // namespace velta::bridge
