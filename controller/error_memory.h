// The controller's error memory: one count per error kind at addresses 64..74, in the order of
// the error choice list.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "controller/feedback.h"
#include "controller/memory_map.h"
#include "controller/image.h"
#include "link/channel_handle.h"
#include "link/connection.h"

namespace velta {

// The error kinds in the order of the error memory: the code the controller's display shows
// and the read-out's label (a msgid).
struct ErrorKind {
  const char* code;
  const char* memoryLabel;
};
inline constexpr ErrorKind kErrorKinds[kErrorCounterCount] = {
    {"Er.t", "Er.t #"}, {"Er.P", "Er.P #"}, {"Er.C", "Er.C #"},     {"Er.h", "Er.h #"},
    {"Er.L", "Er.L #"}, {"Er.1", "Er.1 #"}, {"Er.2", "Er.2 #"},     {"Er.b", "Er.b #"},
    {"P.LE", "P.LE #"}, {"Overflow", "Rückstau #"}, {"Er.F", "Er.F #"},
};

// The error kinds by name, as indices of kErrorKinds.
namespace error_kind {
inline constexpr int kOverTemperature = 0, kDryRun = 1, kAirDrawn = 2, kMaxRunTime = 3, kLeak = 4,
                     kMaxLoad = 5, kPressureSensor = 6, kCisternSensor = 7, kWaterLeak = 8,
                     kBackflow = 9, kFlowSensorStuck = 10;
}  // namespace error_kind

// The index of the error kind whose code is `code` (any case) or whose index is written as
// `code`; -1 for none.
int ErrorKindIndex(const std::string& code);

// The read-out: an empty line, the heading and one "label count" line per error kind.
std::vector<std::string> ErrorMemoryLines(const ControllerImage& image);

// The read that covers the error memory: addresses 0..kErrorMemoryReadLast.
inline constexpr int kErrorMemoryReadLast = 81;

// Copies the counts of a read of 0..kErrorMemoryReadLast into the image and logs the read-out.
void ListErrorMemory(std::span<const std::uint8_t> read, Feedback& feedback,
                     ControllerImage& image);

// Sets the count of error kind `index` (0..10) to 0 in the controller; the image is unchanged
// until the next read.
bool ClearErrorCounter(const ChannelHandle& channel, const ConnectionSettings& settings,
                       Feedback& feedback, int index);

}  // namespace velta
