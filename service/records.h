// What the memory jobs keep: the history of blocks read and overwritten, and the write baseline.
#pragma once

#include <cstdint>

#include "controller/feedback.h"
#include "controller/history.h"
#include "controller/image.h"
#include "controller/read_range.h"
#include "controller/write_baseline.h"
#include "link/channel_handle.h"
#include "link/connection.h"
#include "service/job_result.h"

namespace velta::service {

// A job's view of the controller: the history it files blocks in and the write baseline, which
// the job brings up to date with what it reads and writes (the face that owns both waits while
// the job runs and never sets the baseline itself).
struct Records {
  History& history;
  Baselines& baselines;
};

struct MemoryRead : JobResult {
  ControllerImage image;  // the image given, with what the reads brought copied in
  std::uint16_t version = 0;  // 0: the controller did not report one
};

// Opens the link of a job that starts with a read; when none opens, reports it as a read does
// (the open line, the reason line, a beep and the failed version check).
ChannelHandle OpenReadLink(const ConnectionSettings& settings, Feedback& feedback,
                           JobResult& failure);

// One read on the job's link. A good one is what the controller holds now: the baseline takes
// it, and the history names its files with the version reported.
ReadResult ReadKnown(const ChannelHandle& link, Feedback& feedback, Records& records, int first,
                     int last);

}  // namespace velta::service
