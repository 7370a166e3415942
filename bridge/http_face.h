// The read-only HTTP face: GET /status (JSON) and GET /metrics (Prometheus text), both from the
// latest snapshots. Nothing on it reaches the controller. One event-driven thread serves every
// connection, so a slow or idle client holds a slot of its own and no one else's; the slots, each
// address's share of them, a connection's memory (its request line and headers) and its idle time
// are bounded by the server library itself.
#pragma once

#include <string>

#include "bridge/bridge_config.h"
#include "bridge/snapshot.h"

struct MHD_Daemon;

namespace velta::bridge {

// Open connections at once, and how many of them one client address may hold.
constexpr unsigned kHttpConnections = 64;
constexpr unsigned kHttpConnectionsPerAddress = 8;
// A connection that sends or takes nothing this long is closed.
constexpr unsigned kHttpIdleSeconds = 5;
// A request line and its headers must fit here; a larger request is answered 431 and closed.
constexpr std::size_t kHttpConnectionMemory = 16 * 1024;

class HttpFace {
 public:
  explicit HttpFace(const SnapshotBoard& board) : board_(board) {}
  ~HttpFace();
  HttpFace(const HttpFace&) = delete;
  HttpFace& operator=(const HttpFace&) = delete;
  // Binds the address; false and `error` when it cannot ("cannot listen on ...: why").
  bool Open(const Endpoint& endpoint, std::string& error);
  // Serves on a thread of its own until the face goes; false and `error` when it cannot.
  bool Start(std::string& error);

  // The answer to one request: the status code, the content type and the body.
  struct Answer {
    unsigned status;
    const char* type;
    std::string body;
  };
  Answer Respond(const std::string& method, const std::string& path) const;

 private:
  const SnapshotBoard& board_;
  int listenFd_ = -1;  // the daemon's from Start on
  MHD_Daemon* daemon_ = nullptr;
};

}  // namespace velta::bridge
