// One controller under the bridge's watch: its poll on a thread of its own, the faces fed after
// every step, and the service session that borrows its link while the poll holds still.
#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>

#include "bridge/bridge_config.h"
#include "bridge/mqtt_publisher.h"
#include "bridge/snapshot.h"
#include "service/poller.h"
#include "service/status_watch.h"

namespace velta::bridge {

// A controller that has not answered for this long is shown offline, even while its link stands
// (an adapter without its controller behind it).
constexpr std::chrono::milliseconds kSilentOffline{2000};

class WatchedController {
 public:
  // `publisher` may be null (no MQTT).
  WatchedController(const ControllerConfig& config, std::chrono::milliseconds passPause,
                    SnapshotBoard& board, std::size_t index, std::unique_ptr<MqttPublisher> publisher);
  ~WatchedController();  // stops the poll and closes the link
  void Start();
  // Asks the poll to stop after its step in flight; the destructor waits for it.
  void Stop();

  // From the listener: takes a service client unless a session is open or waiting.
  bool OfferClient(int clientFd);

  // True while the poll has stepped within `window` before `now`, or holds still for a session:
  // what the service manager's watchdog is told.
  bool Stepping(std::chrono::steady_clock::time_point now, std::chrono::seconds window) const;

 private:
  // On the poll thread between steps: relays for a waiting client, if there is one.
  bool ServeWaitingClient();
  // Relays for the client; the caller closes it.
  void RunSession(int clientFd);
  void Show(const WatchStep* step);

  const ControllerConfig config_;
  SnapshotBoard& board_;
  const std::size_t index_;
  std::unique_ptr<MqttPublisher> publisher_;
  StatusWatch watch_;
  ControllerSnapshot snapshot_;
  std::chrono::steady_clock::time_point lastAnswer_{};
  std::string discoveryKey_;

  std::mutex mutex_;
  int pendingClient_ = -1;
  int sessionClient_ = -1;  // closed by the poll thread with the mutex held
  std::atomic<bool> stop_{false};
  std::atomic<std::chrono::steady_clock::rep> lastStep_{0};  // steady clock ticks of the last step or open attempt
  std::atomic<bool> inSession_{false};
  bool openFailureLogged_ = false;  // on the poll thread
  service::Poller poller_{watch_};  // last: its thread ends before the rest goes
};

}  // namespace velta::bridge
