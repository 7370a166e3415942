#include "bridge/watched_controller.h"

#include <cmath>

#include <sys/socket.h>
#include <unistd.h>

#include "bridge/documents.h"
#include "bridge/event_log.h"
#include "bridge/service_session.h"
#include "i18n/lookup.h"

namespace velta::bridge {
namespace {

// The cistern's volume follows from its level once its size is configured.
Reading ReadingOf(const StatusValues& values, int cisternLitres) {
  Reading reading{std::chrono::system_clock::to_time_t(values.mainAt), values.readings};
  if (cisternLitres > 0) {
    if (const std::optional<double> level = NumberOf(values.readings[ReadingId::Level])) {
      reading.values.SetNumber(ReadingId::Volume, std::floor(*level * cisternLitres / 100));
    } else {
      reading.values.SetNone(ReadingId::Volume);
    }
  }
  return reading;
}

// Discovery changes only with the firmware and the readings the controller has given so far.
std::string DiscoveryKey(const ControllerSnapshot& snapshot) {
  std::string key = snapshot.firmware + "/";
  for (const ReadingRow& row : ReadingRows()) {
    key += snapshot.reading && snapshot.reading->values.Known(row.id) ? '1' : '0';
  }
  return key;
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
  poller_.Stop();
  if (pendingClient_ >= 0) close(pendingClient_);
  watch_.Close();
}

void WatchedController::Stop() {
  std::lock_guard lock(mutex_);
  stop_ = true;
  poller_.AskToStop();
}

void WatchedController::Start() {
  poller_.AddSink([this](const service::PollEvent& event) {
    if (event.step && !event.step->lostLine.empty()) LogEvent(config_.name, event.step->lostLine);
    if (event.step && !event.step->restoredLine.empty()) LogEvent(config_.name, event.step->restoredLine);
    Show(event.step);
  });
  // A waiting service client gets the link between two steps.
  poller_.SetBetweenSteps([this] { return ServeWaitingClient(); });
  poller_.Start([this](const WatchOpen& open) {
    lastStep_ = std::chrono::steady_clock::now().time_since_epoch().count();
    if (open.opened) {
      LogEvent(config_.name, V_("watching ") + config_.link +
                                 (open.reason.empty() ? "" : " (" + open.reason + ")"));
    } else if (!openFailureLogged_) {
      LogEvent(config_.name, Format(V_("cannot open %s: %s; trying again every second"),
                                    config_.link.c_str(), open.reason.c_str()));
    }
    openFailureLogged_ = !open.opened;
  });
}

bool WatchedController::OfferClient(int clientFd) {
  std::lock_guard lock(mutex_);
  // A client that closed a moment ago leaves room for the next one (velta-cli opens the link
  // anew for each step of a job), even before the relay has noticed.
  std::uint8_t byte;
  const bool sessionGone = sessionClient_ >= 0 && recv(sessionClient_, &byte, 1, MSG_PEEK | MSG_DONTWAIT) == 0;
  if (pendingClient_ >= 0 || (sessionClient_ >= 0 && !sessionGone)) {
    LogEvent(config_.name, Format(V_("a second service client from %s was refused: a session is open"),
                                  PeerText(clientFd).c_str()));
    return false;
  }
  pendingClient_ = clientFd;
  poller_.Wake();
  return true;
}

bool WatchedController::ServeWaitingClient() {
  std::unique_lock lock(mutex_);
  if (pendingClient_ < 0) return false;
  sessionClient_ = std::exchange(pendingClient_, -1);
  lock.unlock();
  RunSession(sessionClient_);
  lock.lock();
  close(std::exchange(sessionClient_, -1));
  return true;
}

void WatchedController::RunSession(int clientFd) {
  // Suspend lets the exchange in flight finish; from then on the link is the client's alone.
  Channel* channel = watch_.Suspend();
  if (!channel) {
    watch_.Resume();
    LogEvent(config_.name, V_("service session refused: the link to the controller is down"));
    return;
  }
  LogEvent(config_.name, Format(V_("service session opened for %s"), PeerText(clientFd).c_str()));
  inSession_ = true;
  snapshot_.sessionOpen = true;
  Show(nullptr);
  const RelayLimits limits;
  const RelayEnd end = RelayBytes(clientFd, channel, limits, stop_);
  watch_.Resume();
  inSession_ = false;
  LogEvent(config_.name, V_("service session closed: ") + RelayEndText(end, limits));
  snapshot_.sessionOpen = false;
  // The controller answered the client all along: its silence counts from the session's end.
  lastAnswer_ = std::chrono::steady_clock::now();
  Show(nullptr);
}

bool WatchedController::Stepping(std::chrono::steady_clock::time_point now, std::chrono::seconds window) const {
  const std::chrono::steady_clock::time_point shown{std::chrono::steady_clock::duration(lastStep_)};
  return inSession_ || now - shown < window;
}

void WatchedController::Show(const WatchStep* step) {
  const auto now = std::chrono::steady_clock::now();
  lastStep_ = now.time_since_epoch().count();
  if (step && step->update && step->update->verdict.good) lastAnswer_ = now;
  const bool answering = watch_.LinkUp() && now - lastAnswer_ < kSilentOffline;
  // A session holds the poll; the controller counts as there as long as its link stands.
  const bool linkUp = snapshot_.sessionOpen ? watch_.LinkUp() : answering;
  const WatchCounts counts = watch_.Counts();
  snapshot_.linkUp = linkUp;
  snapshot_.exchanges = counts.exchanges;
  snapshot_.failedExchanges = counts.failedExchanges;
  const StatusValues latest = watch_.Latest();
  if (const auto* firmware = std::get_if<std::string>(&latest.readings[ReadingId::Firmware])) {
    snapshot_.firmware = *firmware;
  }
  if (step && step->update && step->update->main) {
    snapshot_.reading = ReadingOf(latest, config_.cisternLitres);
  }
  if (publisher_) snapshot_.mqttConnected = publisher_->Connected();
  board_.Put(index_, snapshot_);
  if (!publisher_) return;
  const std::string discoveryKey = DiscoveryKey(snapshot_);
  // Sent once the first Main page came, with the firmware asked before it: not twice at start.
  if (snapshot_.reading && discoveryKey != discoveryKey_) {
    for (const Publication& config : DiscoveryConfigs(snapshot_, publisher_->DiscoveryPrefix())) publisher_->Retain(config.topic, config.payload);
    publisher_->Announced();
    discoveryKey_ = discoveryKey;
  }
  publisher_->Retain(AvailabilityTopic(config_.name), linkUp ? "online" : "offline");
  // The state follows every Main page and every session change, once there is a reading.
  if (snapshot_.reading && (!step || (step->update && step->update->main))) {
    publisher_->Retain(StateTopic(config_.name), StateDocument(snapshot_));
  }
}

}  // namespace velta::bridge
