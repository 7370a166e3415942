#include "service/poller.h"

namespace velta::service {

void Poller::Start(std::function<void(const WatchOpen&)> onOpen) {
  {
    const std::lock_guard lock(mutex_);
    stop_ = false;
  }
  thread_ = std::thread(&Poller::Run, this, std::move(onOpen));
}

void Poller::Stop() {
  AskToStop();
  if (thread_.joinable()) thread_.join();
}

void Poller::AskToStop() {
  const std::lock_guard lock(mutex_);
  stop_ = true;
  wake_.notify_all();
}

void Poller::Wake() {
  const std::lock_guard lock(mutex_);
  woken_ = true;
  wake_.notify_all();
}

void Poller::Run(std::function<void(const WatchOpen&)> onOpen) {
  bool openFailed = false;
  std::unique_lock lock(mutex_);
  while (!stop_) {
    lock.unlock();
    if (betweenSteps_ && betweenSteps_()) {
      lock.lock();
      continue;
    }
    // Steps start at their interval, as a timer fires, however long an exchange took.
    const auto stepStart = std::chrono::steady_clock::now();
    std::chrono::milliseconds next{};
    if (!watch_.Watching()) {
      // A link that cannot be opened yet is tried again as a lost one is.
      const WatchOpen open = watch_.Open(openFailed ? kHealConnectMs : kTcpConnectTimeoutMs);
      if (onOpen) onOpen(open);
      openFailed = !open.opened;
      Tell(nullptr);
      next = open.opened ? kPollInterval : std::chrono::milliseconds(kHealInterval);
    } else {
      const WatchStep step = watch_.Step();
      Tell(&step);
      next = step.nextStepIn;
    }
    lock.lock();
    wake_.wait_until(lock, stepStart + next, [this] { return stop_ || woken_; });
    woken_ = false;
  }
}

void Poller::Tell(const WatchStep* step) {
  const StatusValues values = watch_.Latest();
  const PollEvent event{step, &values, std::chrono::system_clock::now()};
  for (const PollSink& sink : sinks_) sink(event);
}

}  // namespace velta::service
