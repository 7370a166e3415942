#include "bridge/bridge.h"

#include <pthread.h>
#include <systemd/sd-daemon.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <memory>
#include <optional>
#include <thread>

#include "bridge/announced.h"
#include "bridge/event_log.h"
#include "bridge/http_face.h"
#include "bridge/service_session.h"
#include "bridge/watched_controller.h"
#include "i18n/lookup.h"
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

// Descriptors the bridge may hold at once: its own (stdio, logs, epoll, wake-ups), per controller
// its link, serve socket, session and waiting client and broker connection, and the HTTP face's.
rlim_t OpenFilesNeeded(const BridgeConfig& config) {
  constexpr rlim_t kOwn = 32, kPerController = 8;
  return kOwn + kPerController * config.controllers.size() + (config.http ? kHttpConnections + 2 : 0);
}

// Raises the soft open-files limit to what the bridge needs, up to the hard limit.
bool RaiseOpenFiles(rlim_t needed, std::string& error) {
  rlimit limit{};
  getrlimit(RLIMIT_NOFILE, &limit);
  if (limit.rlim_cur >= needed) return true;
  if (limit.rlim_max != RLIM_INFINITY && limit.rlim_max < needed) {
    error = Format(V_("needs %llu open files for its controllers and listeners, but the hard limit "
                      "is %llu (LimitNOFILE= in the unit)"),
                   static_cast<unsigned long long>(needed),
                   static_cast<unsigned long long>(limit.rlim_max));
    return false;
  }
  limit.rlim_cur = needed;
  return setrlimit(RLIMIT_NOFILE, &limit) == 0;
}

// How long a poll may go without a step before the watchdog is no longer fed: longer than the
// slowest open attempt and exchange.
constexpr std::chrono::seconds kStepWindow{30};

// Waits for SIGINT or SIGTERM; meanwhile tells the service manager how many controllers answer
// and, while every poll steps, feeds its watchdog.
int WaitForSignal(const sigset_t& signals, const std::vector<std::unique_ptr<WatchedController>>& controllers,
                  const SnapshotBoard& board) {
  std::uint64_t watchdogUs = 0;
  const bool watchdog = sd_watchdog_enabled(0, &watchdogUs) > 0;
  const long periodMs = watchdog ? static_cast<long>(watchdogUs / 2000) : 5000;
  for (;;) {
    const timespec period{periodMs / 1000, (periodMs % 1000) * 1'000'000};
    const int received = sigtimedwait(&signals, nullptr, &period);
    if (received == SIGINT || received == SIGTERM) return received;
    const auto now = std::chrono::steady_clock::now();
    const bool stepping = std::all_of(controllers.begin(), controllers.end(),
                                      [&](const auto& c) { return c->Stepping(now, kStepWindow); });
    const std::vector<ControllerSnapshot> snapshots = board.All();
    const auto up = std::count_if(snapshots.begin(), snapshots.end(), [](const auto& s) { return s.linkUp; });
    const std::string status = "STATUS=" + std::to_string(up) + " of " + std::to_string(snapshots.size()) +
                               " controllers answering" + (stepping ? "" : "; a poll is stuck");
    sd_notify(0, status.c_str());
    if (watchdog && stepping) sd_notify(0, "WATCHDOG=1");
  }
}

}  // namespace

int RunBridge(const BridgeConfig& config) {
  std::string error;
  if (!RaiseOpenFiles(OpenFilesNeeded(config), error)) {
    std::fprintf(stderr, "%s: %s\n", kProgram, error.c_str());
    return kExitRefused;
  }
  // The signals are taken by sigwait below; every thread started from here inherits the block.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  std::signal(SIGPIPE, SIG_IGN);

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

  // The configs of controllers announced before and no longer configured go with the first one's.
  std::vector<std::string> forgotten;
  if (config.mqtt) {
    std::string warning;
    forgotten = TakeOverAnnounced(*config.mqtt, config.controllers, warning);
    if (!warning.empty()) LogEvent(kProgram, warning);
    for (const std::string& topics : forgotten) LogEvent(kProgram, V_("emptying the configs retained at ") + topics);
  }
  std::vector<std::unique_ptr<WatchedController>> controllers;
  for (std::size_t i = 0; i < config.controllers.size(); ++i) {
    const ControllerConfig& controller = config.controllers[i];
    std::unique_ptr<MqttPublisher> publisher;
    if (config.mqtt) {
      publisher = std::make_unique<MqttPublisher>(*config.mqtt, controller.name,
                                                  i == 0 ? std::move(forgotten) : std::vector<std::string>{});
    }
    controllers.push_back(std::make_unique<WatchedController>(
        controller, std::chrono::milliseconds(config.passPauseMs), board, i, std::move(publisher)));
    if (controller.serve) {
      LogEvent(controller.name, V_("service sessions on ") + controller.serve->Text());
    }
  }
  for (auto& controller : controllers) controller->Start();
  SessionListener listener(serveFds, [&](std::size_t i, int fd) { return controllers[i]->OfferClient(fd); });
  std::thread listening([&] { listener.Run(); });
  if (http) {
    if (!http->Start(error)) LogEvent(kProgram, "--http: " + error);
    else LogEvent(kProgram, V_("HTTP /status and /metrics on ") + config.http->Text());
  }

  sd_notify(0, "READY=1");
  const int received = WaitForSignal(signals, controllers, board);
  LogEvent(kProgram, V_("stopping on ") + (received == SIGINT ? "SIGINT" : "SIGTERM"));
  listener.Stop();
  listening.join();
  // All stop at once; each then closes its link and says offline.
  for (auto& controller : controllers) controller->Stop();
  controllers.clear();
  return kExitStopped;
}

}  // namespace velta::bridge
