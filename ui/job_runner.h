// Runs one controller job for a window. Every window hands its jobs (reads, writes, transfers, the
// firmware update, the service requests) to RunJob with the feedback it reports through; the job
// receives the feedback it must use and returns its result by value.
//
// The job runs on a worker thread while the window thread waits in a local event loop, painting
// and running its timers; each feedback call of the job reaches `windowFeedback` on the window
// thread, in the order the job made them, before RunJob returns. While a job runs, user input to
// every window of the program is dropped, so nothing clicked meanwhile runs later. The job must
// touch no control of a window: it gets what it needs (the connection settings among them) before
// it starts, and it opens its Channel itself, so that the open's reason line is that of its thread.
// It may update the window's history and write baselines it was handed: the window waits for it
// and takes no input meanwhile, so nothing else reads them while it runs.
#pragma once

#include <functional>
#include <optional>
#include <type_traits>
#include <utility>

#include "controller/feedback.h"

namespace velta {

// Runs `job` on a worker thread and returns when it has ended and its feedback has been shown.
// An exception that leaves the job is thrown again here.
void RunOnWorker(Feedback& windowFeedback, const std::function<void(Feedback&)>& job);

template <typename Job>
auto RunJob(Feedback& windowFeedback, Job&& job) {
  using Result = std::invoke_result_t<Job&, Feedback&>;
  if constexpr (std::is_void_v<Result>) {
    RunOnWorker(windowFeedback, job);
  } else {
    std::optional<Result> result;
    RunOnWorker(windowFeedback, [&](Feedback& feedback) { result.emplace(job(feedback)); });
    return std::move(*result);
  }
}

}  // namespace velta
