// The History block: a ring of one-byte samples in controller memory with the address of the
// newest sample behind it (memory_map.h).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "controller/memory_map.h"

namespace velta {

struct HistoryView {
  std::array<std::uint8_t, kHistorySamples> samples;  // [0] newest .. [55] oldest
  bool line;  // Series1 (line) with level measurement, else Series2 (bars)
};

// Nothing when the position byte lies outside the ring (98..153): the chart stays as it was.
std::optional<HistoryView> DecodeHistoryBlock(std::span<const std::uint8_t> block,
                                              bool levelMeasurementOn);

// The chart's x for sample J: the newest at 0, the oldest at -27.5.
inline double HistoryX(int sample) { return -0.5 * sample; }

}  // namespace velta
