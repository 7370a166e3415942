#include "service/status_watch.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

#include "link/exchange.h"
#include "link/open_reason.h"

namespace velta {
namespace {

// As the controller's display shows it: "1.60".
std::string FirmwareText(const ControllerVersion& version) {
  return std::to_string(version.shown[0]) + "." + std::to_string(version.shown[1]) +
         std::to_string(version.shown[2]);
}

}  // namespace

void TakeUpdate(StatusValues& values, const StatusUpdate& update, const PollCycle& cycle) {
  if (update.main) {
    values.main = update.main;
    values.e1 = cycle.shownE1;
    values.e2 = cycle.shownE2;
    values.mainAt = std::chrono::system_clock::now();
  }
  values.readings.Merge(update.readings);
  if (update.history) values.history = update.history;
  for (const ShownText& shown : update.texts) {
    const auto same = std::find_if(values.texts.begin(), values.texts.end(),
                                   [&](const ShownText& kept) {
                                     return std::string_view(kept.field.key) == shown.field.key;
                                   });
    if (same == values.texts.end()) {
      values.texts.push_back(shown);
    } else {
      same->text = shown.text;
    }
  }
}

StatusWatch::StatusWatch(ConnectionSettings settings)
    : settings_(std::move(settings)), passPause_(kPollInterval) {}

void StatusWatch::SetConnection(const ConnectionSettings& settings) { settings_ = settings; }

void StatusWatch::SetPassPause(std::chrono::milliseconds pause) { passPause_ = pause; }

void StatusWatch::SetAskVersion(bool ask) { askVersion_ = ask; }

WatchOpen StatusWatch::Open(int connectTimeoutMs) {
  const std::lock_guard link(link_);
  channel_ = OpenFromSettings(settings_, connectTimeoutMs);
  // The reasons come from this thread's last open, so they are worded here.
  if (!channel_.IsOpen()) return {false, OpenFailureReason(settings_)};
  ResetForPollingStart(cycle_);
  versionDue_ = askVersion_;
  const std::lock_guard state(state_);
  watching_ = true;
  suspended_ = false;
  lostAt_.reset();
  return {true, OpenedReason(settings_)};
}

void StatusWatch::Close() {
  const std::lock_guard link(link_);
  channel_.Close();
  const std::lock_guard state(state_);
  watching_ = false;
  suspended_ = false;
  if (lostAt_) counts_.withoutLink += std::chrono::steady_clock::now() - *lostAt_;
  lostAt_.reset();
}

WatchStep StatusWatch::Step() {
  const std::lock_guard link(link_);
  bool watching = false, suspended = false, lost = false;
  {
    const std::lock_guard state(state_);
    watching = watching_;
    suspended = suspended_;
    lost = lostAt_.has_value();
  }
  if (!watching || suspended) return Result(std::nullopt);
  if (lost) return Heal();
  return versionDue_ ? AskVersion() : Poll();
}

WatchStep StatusWatch::AskVersion() {
  versionDue_ = false;
  std::array<std::uint8_t, kVersionReplyLength> reply{};
  const bool good =
      ExchangeUnsummed(channel_, StatusRequest(kVersionQuery), reply) == ExchangeOutcome::Good;
  {
    const std::lock_guard state(state_);
    ++counts_.exchanges;
    if (!good) ++counts_.failedExchanges;
    if (good) {
      version_ = ParseVersionReply(reply);
      latest_.readings.Set(ReadingId::Firmware, FirmwareText(*version_));
    }
  }
  return Result(std::nullopt);
}

WatchStep StatusWatch::Poll() {
  const StatusUpdate update = PollTick(cycle_, channel_);
  {
    const std::lock_guard state(state_);
    ++counts_.exchanges;
    if (!update.verdict.good) ++counts_.failedExchanges;
    if (update.main) ++counts_.mainPages;
    TakeUpdate(latest_, update, cycle_);
    if (update.lost) {
      ++counts_.timesLost;
      lostAt_ = std::chrono::steady_clock::now();
    }
  }
  if (update.lost) channel_.Close();
  WatchStep step = Result(update);
  if (update.lost) step.lostLine = ConnectionLostLine(settings_);
  return step;
}

WatchStep StatusWatch::Heal() {
  channel_ = OpenFromSettings(settings_, kHealConnectMs);
  if (!channel_.IsOpen()) return Result(std::nullopt);
  cycle_.state = PollState::MainStatus;
  ResetForPollingStart(cycle_);
  versionDue_ = askVersion_;
  {
    const std::lock_guard state(state_);
    counts_.withoutLink += std::chrono::steady_clock::now() - *lostAt_;
    lostAt_.reset();
  }
  WatchStep step = Result(std::nullopt);
  step.restoredLine = ConnectionRestoredLine(settings_);
  return step;
}

// The step's common part, read with the link lock held.
WatchStep StatusWatch::Result(std::optional<StatusUpdate> update) const {
  WatchStep step;
  step.update = std::move(update);
  step.cycle = cycle_;
  const std::lock_guard state(state_);
  step.linkUp = watching_ && !lostAt_;
  if (!watching_ || suspended_) {
    step.nextStepIn = kPollInterval;
  } else if (lostAt_) {
    step.nextStepIn = kHealInterval;
  } else {
    step.nextStepIn = cycle_.state == PollState::MainStatus ? passPause_ : kPollInterval;
  }
  return step;
}

Channel* StatusWatch::Suspend() {
  const std::lock_guard link(link_);
  const std::lock_guard state(state_);
  suspended_ = true;
  return watching_ && !lostAt_ ? channel_.get() : nullptr;
}

void StatusWatch::Resume() {
  const std::lock_guard link(link_);
  ChannelDiscardInput(channel_.get());
  cycle_.state = PollState::MainStatus;
  const std::lock_guard state(state_);
  suspended_ = false;
}

bool StatusWatch::Watching() const {
  const std::lock_guard state(state_);
  return watching_;
}

bool StatusWatch::LinkUp() const {
  const std::lock_guard state(state_);
  return watching_ && !lostAt_;
}

bool StatusWatch::Suspended() const {
  const std::lock_guard state(state_);
  return suspended_;
}

WatchCounts StatusWatch::Counts() const {
  const std::lock_guard state(state_);
  WatchCounts counts = counts_;
  if (lostAt_) counts.withoutLink += std::chrono::steady_clock::now() - *lostAt_;
  return counts;
}

StatusValues StatusWatch::Latest() const {
  const std::lock_guard state(state_);
  return latest_;
}

std::optional<ControllerVersion> StatusWatch::Version() const {
  const std::lock_guard state(state_);
  return version_;
}

}  // namespace velta
