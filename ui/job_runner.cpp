#include "ui/job_runner.h"

namespace velta {

void RunOnWorker(Feedback& windowFeedback, const std::function<void(Feedback&)>& job) {
  job(windowFeedback);
}

}  // namespace velta
