#include "bridge/watched_controller.h"

#include <cmath>

#include <sys/socket.h>
#include <unistd.h>

#include "bridge/documents.h"
#include "bridge/event_log.h"
#include "bridge/service_session.h"

namespace velta::bridge {
namespace {

Reading ReadingOf(const StatusValues& values) {
  const MainPageView& main = *values.main;
  Reading reading;
  reading.time = std::chrono::system_clock::to_time_t(values.mainAt);
  reading.levelPercent = main.levelPercent;
  reading.pressureBar = main.pressureTenthsBar / 10.0;
  reading.temperatureCelsius = main.temperatureCelsius;
  reading.pumpRunning = main.pumpRunning;
  reading.pumpPowerPercent = main.pumpPowerPercent;
  reading.errors = ActiveErrors(values.e1, values.e2);
  // In the order the measurement log writes them.
  if (const std::optional<WaterMeterView>& meters = values.waterMeters) {
    const double perCubicMetre = std::pow(10.0, meters->decimals);
    reading.waterMeters[0] = meters->firstReading / perCubicMetre;
    reading.waterMeters[1] = meters->secondReading / perCubicMetre;
  }
  return reading;
}

}  // namespace

WatchedController::WatchedController(const ControllerConfig& config,
                                     std::chrono::milliseconds passPause, SnapshotBoard& board,
                                     std::size_t index, std::unique_ptr<MqttPublisher> publisher)
    : config_(config), board_(board), index_(index), publisher_(std::move(publisher)),
      watch_(config.connection) {
  watch_.SetPassPause(passPause);
  // The firmware version names the device in Home Assistant.
  watch_.SetAskVersion(true);
  snapshot_.name = config.name;
  snapshot_.link = config.link;
  snapshot_.cisternLitres = config.cisternLitres;
}

WatchedController::~WatchedController() {
  Stop();
  if (thread_.joinable()) thread_.join();
  if (pendingClient_ >= 0) close(pendingClient_);
  watch_.Close();
}

void WatchedController::Stop() {
  std::lock_guard lock(mutex_);
  stop_ = true;
  wake_.notify_all();
}

void WatchedController::Start() { thread_ = std::thread(&WatchedController::Run, this); }

bool WatchedController::OfferClient(int clientFd) {
  std::lock_guard lock(mutex_);
  // A client that closed a moment ago leaves room for the next one (velta-cli opens the link
  // anew for each step of a job), even before the relay has noticed.
  std::uint8_t byte;
  const bool sessionGone = sessionClient_ >= 0 && recv(sessionClient_, &byte, 1, MSG_PEEK | MSG_DONTWAIT) == 0;
  if (pendingClient_ >= 0 || (sessionClient_ >= 0 && !sessionGone)) {
    LogEvent(config_.name, "a second service client from " + PeerText(clientFd) + " was refused: a session is open");
    return false;
  }
  pendingClient_ = clientFd;
  wake_.notify_all();
  return true;
}

void WatchedController::Run() {
  std::unique_lock lock(mutex_);
  bool openFailureLogged = false;
  while (!stop_) {
    if (pendingClient_ >= 0) {
      sessionClient_ = std::exchange(pendingClient_, -1);
      lock.unlock();
      RunSession(sessionClient_);
      lock.lock();
      close(std::exchange(sessionClient_, -1));
      continue;
    }
    lock.unlock();
    // Steps start at their interval, as the window's timer fires, however long an exchange took.
    const auto stepStart = std::chrono::steady_clock::now();
    std::chrono::milliseconds next{};
    if (!watch_.Watching()) {
      // Unattended, a link that cannot be opened yet is tried again as a lost one is.
      const WatchOpen open = watch_.Open(openFailureLogged ? kHealConnectMs : kTcpConnectTimeoutMs);
      if (open.opened) {
        LogEvent(config_.name, "watching " + config_.link + (open.reason.empty() ? "" : " (" + open.reason + ")"));
      } else if (!openFailureLogged) {
        LogEvent(config_.name, "cannot open " + config_.link + ": " + open.reason + "; trying again every second");
      }
      openFailureLogged = !open.opened;
      Show(nullptr);
      next = open.opened ? kPollInterval : std::chrono::milliseconds(kHealInterval);
    } else {
      const WatchStep step = watch_.Step();
      if (!step.lostLine.empty()) LogEvent(config_.name, step.lostLine);
      if (!step.restoredLine.empty()) LogEvent(config_.name, step.restoredLine);
      Show(&step);
      next = step.nextStepIn;
    }
    lock.lock();
    wake_.wait_until(lock, stepStart + next, [this] { return stop_ || pendingClient_ >= 0; });
  }
}

void WatchedController::RunSession(int clientFd) {
  // Suspend lets the exchange in flight finish; from then on the link is the client's alone.
  Channel* channel = watch_.Suspend();
  if (!channel) {
    watch_.Resume();
    LogEvent(config_.name, "service session refused: the link to the controller is down");
    return;
  }
  LogEvent(config_.name, "service session opened for " + PeerText(clientFd));
  snapshot_.sessionOpen = true;
  Show(nullptr);
  const RelayLimits limits;
  const RelayEnd end = RelayBytes(clientFd, channel, limits, stop_);
  watch_.Resume();
  LogEvent(config_.name, "service session closed: " + RelayEndText(end, limits));
  snapshot_.sessionOpen = false;
  // The controller answered the client all along: its silence counts from the session's end.
  lastAnswer_ = std::chrono::steady_clock::now();
  Show(nullptr);
}

void WatchedController::Show(const WatchStep* step) {
  const auto now = std::chrono::steady_clock::now();
  if (step && step->update && step->update->verdict.good) lastAnswer_ = now;
  const bool answering = watch_.LinkUp() && now - lastAnswer_ < kSilentOffline;
  // A session holds the poll; the controller counts as there as long as its link stands.
  const bool linkUp = snapshot_.sessionOpen ? watch_.LinkUp() : answering;
  const WatchCounts counts = watch_.Counts();
  snapshot_.linkUp = linkUp;
  snapshot_.exchanges = counts.exchanges;
  snapshot_.failedExchanges = counts.failedExchanges;
  if (const auto version = watch_.Version()) {
    snapshot_.firmware = std::to_string(version->shown[0]) + "." + std::to_string(version->shown[1]) +
                         std::to_string(version->shown[2]);
  }
  if (step && step->update && step->update->main) {
    snapshot_.reading = ReadingOf(watch_.Latest());
  }
  board_.Put(index_, snapshot_);
  if (!publisher_) return;
  // Discovery changes only with the firmware and the water meters; built only then.
  const std::string discoveryKey = snapshot_.firmware + "/" +
                                   std::to_string(snapshot_.reading && snapshot_.reading->waterMeters[0]) +
                                   std::to_string(snapshot_.reading && snapshot_.reading->waterMeters[1]);
  if (discoveryKey != discoveryKey_) {
    for (const Publication& config : DiscoveryConfigs(snapshot_)) publisher_->Retain(config.topic, config.payload);
    discoveryKey_ = discoveryKey;
  }
  publisher_->Retain(AvailabilityTopic(config_.name), linkUp ? "online" : "offline");
  // The state follows every Main page and every session change, once there is a reading.
  if (snapshot_.reading && (!step || (step->update && step->update->main))) {
    publisher_->Retain(StateTopic(config_.name), StateDocument(snapshot_));
  }
}

}  // namespace velta::bridge
