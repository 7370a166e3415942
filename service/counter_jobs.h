// The Settings window's counter and error memory jobs: read the counters, set one, read the error
// memory, clear one error count. Reads are kept in the history; writes move the write baseline.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "controller/block_diff.h"
#include "controller/counters.h"
#include "service/records.h"

namespace velta::service {

// Why `value` cannot be stored in `counter` ("Pump hours: 65536 is outside 0..65535"); nothing
// when it can.
std::optional<std::string> CounterValueRefusal(Counter counter, std::uint32_t value);

// Reads addresses 0..kCountersReadLast; `image` holds them all afterwards, and the history keeps
// the four counters as "counters".
MemoryRead ReadCounters(const ConnectionSettings& settings, Feedback& feedback, Records records);

struct MemoryWrite : JobResult {
  ControllerImage image;  // the image given, with what was written
};

// Checks `value` against the counter's range (Refused, nothing sent, when outside), stores it in
// `image` and writes the counter, then the Restart request.
MemoryWrite SetCounter(const ConnectionSettings& settings, Feedback& feedback, Records records,
                       ControllerImage image, Counter counter, std::uint32_t value);

// Reads addresses 0..kErrorMemoryReadLast, copies the counts into `image`, logs the read-out and
// keeps it in the history as "error-memory".
MemoryRead ReadErrorCounts(const ConnectionSettings& settings, Feedback& feedback,
                           Records records, ControllerImage image);

// Sets the count of error kind `index` (0..10, else Refused and nothing sent) to 0.
MemoryWrite ClearErrorCount(const ConnectionSettings& settings, Feedback& feedback,
                            Records records, int index);

// A counter set or an error clear planned on its link: the controller's counters (or error
// memory) read once and kept in the history as the copy before the write, what the write
// changes, and why that copy could not be kept. Nothing has been written yet.
struct SmallWritePlan : JobResult {
  ChannelHandle link;
  ControllerImage before;  // the controller's bytes as read
  ControllerImage after;   // with the new value in
  std::optional<Counter> counter;  // the counter set; nothing: the error count `errorIndex`
  int errorIndex = -1;
  std::vector<FieldChange> changes;
  std::string historyFailure;  // empty: the copy was kept
  Baselines* baselines = nullptr;  // the records' baseline, which CarryOut brings up to date
};

// Checks the value (Refused, nothing read, when outside), reads the counters on the plan's link
// and keeps them as "counters".
SmallWritePlan PlanCounterSet(const ConnectionSettings& settings, Feedback& feedback,
                              Records records, Counter counter, std::uint32_t value);
// Checks the index (Refused, nothing read, when outside 0..10), reads the error memory on the
// plan's link and keeps it as "error-memory".
SmallWritePlan PlanErrorClear(const ConnectionSettings& settings, Feedback& feedback,
                              Records records, int index);
// Writes what the plan holds on its link; a plan that stopped writes nothing.
MemoryWrite CarryOut(SmallWritePlan plan, const ConnectionSettings& settings, Feedback& feedback);

}  // namespace velta::service
