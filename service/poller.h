// The one poll loop: a thread of its own that steps a StatusWatch at the poll interval (the pause
// before a new pass as the watch says), opens a link that could not be opened yet about once a
// second, holds still while a job or a service session borrows the link, and hands every step to
// the sinks registered with it. Sinks run on the poll thread; a window relays to its own thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "service/status_watch.h"

namespace velta::service {

// What a sink is told after each step.
struct PollEvent {
  const WatchStep* step;  // null: no step was made (an open that failed, a held poll)
  const StatusValues* values;  // the readings as the step left them (set with every Main page)
  std::chrono::system_clock::time_point when;
  std::uint64_t switches;  // Switches() when the step began
};
using PollSink = std::function<void(const PollEvent& event)>;

// One pass of the poll cycle with no pause between the steps, from where the cycle stands until it
// is back at the Main page: `velta-cli status`. It ends early when the link is found gone or the
// Main page does not come whole.
struct StatusPass {
  std::string lostLine;  // set when the link was found gone
  StatusValues values;   // as the pass left them; no Main page when it did not come
  bool mainPageFailed = false;
};
StatusPass PollOnePass(StatusWatch& watch);

class Poller {
 public:
  explicit Poller(StatusWatch& watch) : watch_(watch) {}
  ~Poller() { Stop(); }
  Poller(const Poller&) = delete;
  Poller& operator=(const Poller&) = delete;

  // Before Start.
  void AddSink(PollSink sink) { sinks_.push_back(std::move(sink)); }
  // Starts the poll thread; a watch that is not open yet is opened by it, again every second
  // while that fails (`onOpen` tells each attempt).
  void Start(std::function<void(const WatchOpen&)> onOpen = {});
  // Starts the poll thread switched off, for a face that switches the poll on and off (the
  // Monitor window); `onOpen` tells each SwitchOn's open with that switch's number.
  void StartSwitchedOff(std::function<void(const WatchOpen&, std::uint64_t switches)> onOpen);

  // Neither waits for the wire: each is done on the poll thread after the step in flight, in the
  // order asked. SwitchOn opens the link once; when that fails the poll stays off. SwitchOff lets
  // no later step be told, then closes the link after `closeDelay`.
  void SwitchOn(const ConnectionSettings& settings);
  void SwitchOff(std::chrono::milliseconds closeDelay);
  // How often the poll was switched: an event of an earlier switch is stale.
  std::uint64_t Switches() const;
  // Ends the thread after the step in flight and waits for it; the watch stays open for the
  // caller to close.
  void Stop();
  // Asks the thread to end after the step in flight, without waiting.
  void AskToStop();

  // Wakes the thread before its next step is due, e.g. for a session waiting for the link.
  void Wake();
  // Before Start: work done on the poll thread before each step, with the poll held still while
  // it runs (a service session borrowing the link through StatusWatch::Suspend). Returns true when
  // it did something, and the step is then left out.
  void SetBetweenSteps(std::function<bool()> work) { betweenSteps_ = std::move(work); }

 private:
  void Run();
  void Tell(const WatchStep* step, std::uint64_t switches);
  void Post(std::function<void()> job);

  StatusWatch& watch_;
  std::vector<PollSink> sinks_;
  std::function<bool()> betweenSteps_;
  std::function<void(const WatchOpen&)> onOpen_;
  std::function<void(const WatchOpen&, std::uint64_t)> onSwitchOpen_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool stop_ = false;
  bool woken_ = false;
  bool on_ = true;
  std::uint64_t switches_ = 0;
  std::deque<std::function<void()>> jobs_;  // switches not done yet
  std::thread thread_;
};

}  // namespace velta::service
