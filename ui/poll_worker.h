// The Monitor window's poll worker: one thread that runs the status watch's opens, steps and
// closes in the order the window posts them, so the window never waits on the wire. A job hands
// its result back to the window thread itself (a queued call).
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace velta {

class PollWorker {
 public:
  PollWorker();
  // Finishes the job running and those posted, then ends the thread.
  ~PollWorker();
  PollWorker(const PollWorker&) = delete;
  PollWorker& operator=(const PollWorker&) = delete;

  // Runs `job` on the worker thread after every job posted before it.
  void Post(std::function<void()> job);
  // Waits until every job posted so far has run; later posts are refused.
  void Finish();

 private:
  void Run();

  std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<std::function<void()>> jobs_;
  bool finishing_ = false;
  std::thread thread_;  // last: starts when everything above is ready
};

}  // namespace velta
