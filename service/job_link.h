// The one Channel a job runs all its exchanges on.
#pragma once

#include <string>

#include "controller/feedback.h"
#include "link/channel_handle.h"
#include "link/connection.h"
#include "service/job_result.h"

namespace velta::service {

// Opens the job's Channel. When none opens, logs `failureLine` (already translated; empty: none)
// and the English reason line, and `failure` becomes NoLink with that reason; the caller beeps
// where its window does.
ChannelHandle OpenJobLink(const ConnectionSettings& settings, Feedback& feedback,
                          const std::string& failureLine, JobResult& failure);

}  // namespace velta::service
