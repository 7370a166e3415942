// The Settings window's counter and error memory jobs: read the counters, set one, read the error
// memory, clear one error count. Reads are kept in the history; writes move the write baseline.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

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
  Baselines baselines;
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

}  // namespace velta::service
