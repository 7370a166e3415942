// Watching the controller's status: the Monitor window's poll cycle on one long-lived link, one
// exchange per step. A link whose far end is gone is told once, then reopened about once a second
// (each attempt connecting for at most a quarter of a second) and, once back, told once more and
// polled again from the Main page. Each step returns what it did as a value, so the window, `velta-cli
// status --watch` and the bridge only present it and choose when the next step runs.
//
// Step() and Suspend() may be called from different threads (a poll thread and a session
// thread); Counts(), Latest(), LinkUp() and Suspended() from any thread.
#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "controller/read_range.h"
#include "link/channel_handle.h"
#include "link/connection.h"
#include "monitor/poll_tick.h"

namespace velta {

// Reopen attempts while the link is lost.
constexpr std::chrono::milliseconds kHealInterval{1000};
constexpr int kHealConnectMs = 250;

// The values last seen, page by page; a page that has not come yet is empty.
struct StatusValues {
  std::optional<MainPageView> main;
  std::uint8_t e1 = 0, e2 = 0;  // the error pair of that Main page
  std::chrono::system_clock::time_point mainAt{};
  Readings readings;  // every reading as last given, the firmware version included
  std::optional<HistoryView> history;
  std::vector<ShownText> texts;  // each field's last text, in the order they first came
};

// Takes what an exchange decoded; `cycle` is the poll cycle as that exchange left it.
void TakeUpdate(StatusValues& values, const StatusUpdate& update, const PollCycle& cycle);

struct WatchCounts {
  std::uint64_t exchanges = 0;
  std::uint64_t failedExchanges = 0;  // short, no reply or wrong sum
  std::uint64_t mainPages = 0;        // good Main status pages
  std::uint32_t timesLost = 0;
  std::chrono::steady_clock::duration withoutLink{};  // lost time so far, a loss still going included
};

struct WatchOpen {
  bool opened = false;
  // Failed: why, in the English line every face prints after its own message. Opened: what the
  // open reached when that is not plain from the settings ("127.1" is 127.0.0.1), else empty.
  std::string reason;
};

struct WatchStep {
  std::optional<StatusUpdate> update;  // the exchange this step made, if it made one
  PollCycle cycle;                     // the poll cycle as the step left it
  std::string lostLine;                // set when this step found the link gone
  std::string restoredLine;            // set when this step opened it again
  bool linkUp = false;
  std::chrono::milliseconds nextStepIn{};  // the pause before the next step
};

class StatusWatch {
 public:
  explicit StatusWatch(ConnectionSettings settings = {});
  StatusWatch(const StatusWatch&) = delete;
  StatusWatch& operator=(const StatusWatch&) = delete;

  // The connection the next Open uses.
  void SetConnection(const ConnectionSettings& settings);
  // The pause before the step that starts a new pass at the Main page; the other steps follow
  // each other at the poll interval. Default: the poll interval, as the window polls.
  void SetPassPause(std::chrono::milliseconds pause);
  // Asks the controller's firmware version once after every open, before the first poll
  // exchange; the window's poll does not ask.
  void SetAskVersion(bool ask);

  // Opens the link and starts watching. The poll cycle lives on from an earlier watch; a start
  // only counts the Main pages from zero and asks for the filter rinse page again.
  WatchOpen Open(int connectTimeoutMs = kTcpConnectTimeoutMs);
  // Stops watching and closes the link (a serial close waits for the last bytes to leave).
  void Close();

  // One step: an exchange of the poll cycle while the link is up, a reopen attempt while it is
  // lost, nothing while suspended or closed.
  WatchStep Step();

  // Finishes the exchange in flight and holds the poll: steps do nothing until Resume. Returns the
  // open link for the caller to talk through, or null when the link is lost or closed.
  Channel* Suspend();
  // Throws away what the borrower left unread and polls again from the Main page.
  void Resume();

  bool Watching() const;
  bool LinkUp() const;
  bool Suspended() const;
  WatchCounts Counts() const;
  StatusValues Latest() const;
  // What the controller answered to the version query after the last open; empty until then.
  std::optional<ControllerVersion> Version() const;
  const ConnectionSettings& Connection() const { return settings_; }

 private:
  WatchStep Poll();
  WatchStep Heal();
  WatchStep AskVersion();
  WatchStep Result(std::optional<StatusUpdate> update) const;

  ConnectionSettings settings_;
  std::chrono::milliseconds passPause_;
  std::mutex link_;  // held through every use of the link
  ChannelHandle channel_;
  PollCycle cycle_;
  bool askVersion_ = false;
  bool versionDue_ = false;

  mutable std::mutex state_;  // guards what other threads read
  bool watching_ = false;
  bool suspended_ = false;
  std::optional<std::chrono::steady_clock::time_point> lostAt_;
  WatchCounts counts_;
  StatusValues latest_;
  std::optional<ControllerVersion> version_;
};

}  // namespace velta
