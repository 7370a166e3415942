#include "monitor/history_block.h"

namespace velta {
namespace {

// The block starts with the ring; the newest sample's address follows it.
constexpr int kPositionByte = kHistoryPositionAddress - kHistoryRingAddress;
constexpr int kRingEnd = kHistoryRingAddress + kHistorySamples - 1;

}  // namespace

std::optional<HistoryView> DecodeHistoryBlock(std::span<const std::uint8_t> block,
                                              bool levelMeasurementOn) {
  const int position = block[kPositionByte];
  if (position < kHistoryRingAddress || position > kRingEnd) return std::nullopt;
  const int newest = position - kHistoryRingAddress;
  HistoryView view{{}, levelMeasurementOn};
  for (int j = 0; j < kHistorySamples; ++j) {
    view.samples[j] = block[(newest - j + kHistorySamples) % kHistorySamples];
  }
  return view;
}

}  // namespace velta
