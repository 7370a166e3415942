// The read-only HTTP face: GET /status (JSON) and GET /metrics (Prometheus text), both from the
// latest snapshots. Nothing on it reaches the controller.
#pragma once

#include <memory>
#include <string>
#include <thread>

#include "bridge/bridge_config.h"
#include "bridge/snapshot.h"

namespace httplib {
class Server;
}

namespace velta::bridge {

class HttpFace {
 public:
  explicit HttpFace(const SnapshotBoard& board);
  ~HttpFace();
  // Binds the address; false and `error` when it cannot ("cannot listen on ...: why").
  bool Open(const Endpoint& endpoint, std::string& error);
  // Serves on a thread of its own until the face goes.
  void Start();

 private:
  const SnapshotBoard& board_;
  std::unique_ptr<httplib::Server> server_;
  std::thread thread_;
};

}  // namespace velta::bridge
