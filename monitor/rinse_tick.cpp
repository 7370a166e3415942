#include "monitor/rinse_tick.h"

namespace velta {

std::uint32_t RinseTicksToSeconds(std::uint32_t ticks) {
  const float seconds = static_cast<float>(ticks) * 0.4096f;
  return static_cast<std::uint32_t>(seconds);
}

DayTime SplitSeconds(std::uint32_t seconds) {
  return {seconds / 86400, seconds / 3600 % 24, seconds / 60 % 60, seconds % 60};
}

}  // namespace velta
