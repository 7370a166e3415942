// Runs one controller job for a window. Every window hands its jobs (reads, writes, transfers, the
// firmware update, the service requests) to RunJob with the feedback it reports through; the job
// receives the feedback it must use and returns its result by value.
#pragma once

#include <functional>
#include <optional>
#include <type_traits>
#include <utility>

#include "controller/feedback.h"

namespace velta {

// Runs `job` to its end and returns when it has ended.
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
