// The one poll loop: a thread of its own that steps a StatusWatch at the poll interval (the pause
// before a new pass as the watch says), opens a link that could not be opened yet about once a
// second, holds still while a job or a service session borrows the link, and hands every step to
// the sinks registered with it. Sinks run on the poll thread; a window relays to its own thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "service/status_watch.h"

namespace velta::service {

// What a sink is told after each step.
struct PollEvent {
  const WatchStep* step;  // null: no step was made (an open that failed, a held poll)
  const StatusValues* values;  // the readings as the step left them (set with every Main page)
  std::chrono::system_clock::time_point when;
};
using PollSink = std::function<void(const PollEvent& event)>;

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
  void Run(std::function<void(const WatchOpen&)> onOpen);
  void Tell(const WatchStep* step);

  StatusWatch& watch_;
  std::vector<PollSink> sinks_;
  std::function<bool()> betweenSteps_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stop_ = false;
  bool woken_ = false;
  std::thread thread_;
};

}  // namespace velta::service
