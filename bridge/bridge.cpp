#include "bridge/bridge.h"

#include <pthread.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <memory>
#include <optional>
#include <thread>

#include "bridge/event_log.h"
#include "bridge/http_face.h"
#include "bridge/service_session.h"
#include "bridge/watched_controller.h"
#include "link/port_search.h"

namespace velta::bridge {
namespace {

constexpr const char* kProgram = "velta-bridge";

std::vector<ControllerSnapshot> FirstSnapshots(const BridgeConfig& config) {
  std::vector<ControllerSnapshot> snapshots;
  for (const ControllerConfig& controller : config.controllers) {
    ControllerSnapshot snapshot;
    snapshot.name = controller.name;
    snapshot.link = controller.link;
    snapshot.cisternLitres = controller.cisternLitres;
    snapshots.push_back(snapshot);
  }
  return snapshots;
}

}  // namespace

int RunBridge(const BridgeConfig& config) {
  // The signals are taken by sigwait below; every thread started from here inherits the block.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  std::signal(SIGPIPE, SIG_IGN);

  std::string error;
  std::vector<int> serveFds;
  const auto closeServeFds = [&] {
    for (int fd : serveFds) {
      if (fd >= 0) close(fd);
    }
  };
  for (const ControllerConfig& controller : config.controllers) {
    serveFds.push_back(controller.serve ? Listen(*controller.serve, error) : -1);
    if (controller.serve && serveFds.back() < 0) {
      std::fprintf(stderr, "%s: %s: %s\n", kProgram, controller.name.c_str(), error.c_str());
      closeServeFds();
      return kExitNoListen;
    }
  }
  SnapshotBoard board(FirstSnapshots(config));
  std::optional<HttpFace> http;
  if (config.http) {
    http.emplace(board);
    if (!http->Open(*config.http, error)) {
      std::fprintf(stderr, "%s: --http: %s\n", kProgram, error.c_str());
      closeServeFds();
      return kExitNoListen;
    }
  }

  std::vector<std::unique_ptr<WatchedController>> controllers;
  for (std::size_t i = 0; i < config.controllers.size(); ++i) {
    const ControllerConfig& controller = config.controllers[i];
    if (!controller.device.empty()) SetComPortOverride(controller.connection.comPort, controller.device);
    std::unique_ptr<MqttPublisher> publisher;
    if (config.mqtt) publisher = std::make_unique<MqttPublisher>(*config.mqtt, controller.name);
    controllers.push_back(std::make_unique<WatchedController>(
        controller, std::chrono::milliseconds(config.passPauseMs), board, i, std::move(publisher)));
    if (controller.serve) {
      LogEvent(controller.name, "service sessions on " + controller.serve->Text());
    }
  }
  for (auto& controller : controllers) controller->Start();
  SessionListener listener(serveFds, [&](std::size_t i, int fd) { return controllers[i]->OfferClient(fd); });
  std::thread listening([&] { listener.Run(); });
  if (http) {
    if (!http->Start(error)) LogEvent(kProgram, "--http: " + error);
    else LogEvent(kProgram, "HTTP /status and /metrics on " + config.http->Text());
  }

  int received = 0;
  sigwait(&signals, &received);
  LogEvent(kProgram, std::string("stopping on ") + (received == SIGINT ? "SIGINT" : "SIGTERM"));
  listener.Stop();
  listening.join();
  // All stop at once; each then closes its link and says offline.
  for (auto& controller : controllers) controller->Stop();
  controllers.clear();
  return kExitStopped;
}

}  // namespace velta::bridge
