#include "monitor/history_block.h"

namespace velta {
namespace {

constexpr int kPositionByte = 56;
constexpr int kRingStart = 0x62;  // controller address of ring byte 0
constexpr int kRingEnd = kRingStart + kHistorySamples - 1;

}  // namespace

std::optional<HistoryView> DecodeHistoryBlock(std::span<const std::uint8_t> block,
                                              bool levelMeasurementOn) {
  const int position = block[kPositionByte];
  if (position < kRingStart || position > kRingEnd) return std::nullopt;
  const int newest = position - kRingStart;
  HistoryView view{{}, levelMeasurementOn};
  for (int j = 0; j < kHistorySamples; ++j) {
    view.samples[j] = block[(newest - j + kHistorySamples) % kHistorySamples];
  }
  return view;
}

}  // namespace velta
