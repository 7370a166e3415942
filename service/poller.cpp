#include "service/poller.h"

#include "monitor/status_pages.h"

namespace velta::service {

StatusPass PollOnePass(StatusWatch& watch) {
  StatusPass pass;
  for (std::size_t i = 0; i < StatusPages().size(); ++i) {
    const WatchStep step = watch.Step();
    pass.lostLine = step.lostLine;
    pass.mainPageFailed = step.update && !step.update->verdict.good &&
                          step.update->verdict.page == PollState::MainStatus;
    if (!pass.lostLine.empty() || pass.mainPageFailed ||
        step.cycle.state == PollState::MainStatus) {
      break;
    }
  }
  pass.values = watch.Latest();
  return pass;
}

void Poller::Start(std::function<void(const WatchOpen&)> onOpen) {
  {
    const std::lock_guard lock(mutex_);
    stop_ = false;
    onOpen_ = std::move(onOpen);
  }
  thread_ = std::thread(&Poller::Run, this);
}

void Poller::StartSwitchedOff(std::function<void(const WatchOpen&, std::uint64_t)> onOpen) {
  {
    const std::lock_guard lock(mutex_);
    on_ = false;
    onSwitchOpen_ = std::move(onOpen);
  }
  Start();
}

void Poller::Post(std::function<void()> job) {
  jobs_.push_back(std::move(job));
  wake_.notify_all();
}

void Poller::SwitchOn(const ConnectionSettings& settings) {
  const std::lock_guard lock(mutex_);
  const std::uint64_t switches = ++switches_;
  Post([this, settings, switches] {
    watch_.SetConnection(settings);
    const WatchOpen open = watch_.Open();
    {
      const std::lock_guard lock(mutex_);
      on_ = open.opened && switches == switches_;
    }
    if (onSwitchOpen_) onSwitchOpen_(open, switches);
  });
}

void Poller::SwitchOff(std::chrono::milliseconds closeDelay) {
  const std::lock_guard lock(mutex_);
  ++switches_;
  on_ = false;
  Post([this, closeDelay] {
    std::this_thread::sleep_for(closeDelay);
    watch_.Close();
  });
}

std::uint64_t Poller::Switches() const {
  const std::lock_guard lock(mutex_);
  return switches_;
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

void Poller::Run() {
  bool openFailed = false;
  std::unique_lock lock(mutex_);
  const auto jobOrStop = [this] { return stop_ || !jobs_.empty(); };
  while (!stop_ || !jobs_.empty()) {
    if (!jobs_.empty()) {
      const std::function<void()> job = std::move(jobs_.front());
      jobs_.pop_front();
      lock.unlock();
      job();
      lock.lock();
      // A poll switched on takes its first step an interval after the open, as a timer would.
      if (on_) wake_.wait_for(lock, kPollInterval, jobOrStop);
      continue;
    }
    if (!on_) {
      wake_.wait(lock, jobOrStop);
      continue;
    }
    const std::uint64_t switches = switches_;
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
      if (onOpen_) onOpen_(open);
      openFailed = !open.opened;
      Tell(nullptr, switches);
      next = open.opened ? kPollInterval : std::chrono::milliseconds(kHealInterval);
    } else {
      const WatchStep step = watch_.Step();
      Tell(&step, switches);
      next = step.nextStepIn;
    }
    lock.lock();
    wake_.wait_until(lock, stepStart + next,
                     [this] { return stop_ || woken_ || !jobs_.empty(); });
    woken_ = false;
  }
}

void Poller::Tell(const WatchStep* step, std::uint64_t switches) {
  const StatusValues values = watch_.Latest();
  const PollEvent event{step, &values, std::chrono::system_clock::now(), switches};
  for (const PollSink& sink : sinks_) sink(event);
}

}  // namespace velta::service
