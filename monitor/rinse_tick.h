// The controller's Rinse tick of 0.4096 s, in which it counts rinse times and pump run time.
#pragma once

#include <cstdint>

namespace velta {

// Whole seconds of `ticks`: the product is rounded to single precision first and then truncated,
// as the controller's own display does (210937 ticks give 86399 s, not 86400).
std::uint32_t RinseTicksToSeconds(std::uint32_t ticks);

struct DayTime {
  std::uint32_t days, hours, minutes, seconds;
};
DayTime SplitSeconds(std::uint32_t seconds);

}  // namespace velta
