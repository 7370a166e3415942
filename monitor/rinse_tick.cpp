#include "monitor/rinse_tick.h"

namespace velta {

// The product is formed at full precision and only then rounded to single precision: rounding
// the count or the factor to single first loses seconds (80354 ticks would show 32912, not 32913).
std::uint32_t RinseTicksToSeconds(std::uint32_t ticks) {
  const auto seconds = static_cast<float>(static_cast<double>(ticks) * 0.4096);
  return static_cast<std::uint32_t>(seconds);
}

DayTime SplitSeconds(std::uint32_t seconds) {
  return {seconds / 86400, seconds / 3600 % 24, seconds / 60 % 60, seconds % 60};
}

}  // namespace velta
