#include "ui/poll_worker.h"

#include <utility>

namespace velta {

PollWorker::PollWorker() : thread_([this] { Run(); }) {}

PollWorker::~PollWorker() { Finish(); }

void PollWorker::Post(std::function<void()> job) {
  {
    const std::lock_guard lock(mutex_);
    if (finishing_) return;
    jobs_.push_back(std::move(job));
  }
  posted_.notify_one();
}

void PollWorker::Finish() {
  {
    const std::lock_guard lock(mutex_);
    finishing_ = true;
  }
  posted_.notify_one();
  if (thread_.joinable()) thread_.join();
}

void PollWorker::Run() {
  for (;;) {
    std::function<void()> job;
    {
      std::unique_lock lock(mutex_);
      posted_.wait(lock, [this] { return finishing_ || !jobs_.empty(); });
      if (jobs_.empty()) return;
      job = std::move(jobs_.front());
      jobs_.pop_front();
    }
    job();
  }
}

}  // namespace velta
