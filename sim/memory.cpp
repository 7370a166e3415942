#include "sim/memory.h"

#include <cmath>

#include "controller/default_block.h"

namespace velta::sim {

Memory InitialMemory() {
  Memory memory;
  for (int i = 0; i < kParameterBlockSize; ++i) {
    memory.SetByte(i, kDefaultBlock[static_cast<std::size_t>(i)]);
  }
  memory.SetLong(kMainsMeterAddress, 12345);
  memory.SetLong(kCisternMeterAddress, 67890);
  memory.SetWord(kPumpTimeAddress, 0);
  memory.SetWord(kPumpHoursAddress, 1234);
  static constexpr std::uint8_t kErrorCounts[kErrorCounterCount] = {3, 1, 0, 2, 0, 0,
                                                                    1, 0, 0, 4, 0};
  for (int i = 0; i < kErrorCounterCount; ++i) {
    memory.SetByte(kErrorCountersAddress + i, kErrorCounts[i]);
  }
  memory.SetLong(kPumpStartsAddress, 45678);
  // Half a day of a cistern slowly filling after rain, newest sample in the middle of the ring.
  const int newest = 20;
  for (int age = 0; age < kHistorySamples; ++age) {
    const int slot = (newest - age + kHistorySamples) % kHistorySamples;
    const double level = 57.0 - 0.4 * age + 4.0 * std::sin(age / 6.0);
    memory.SetByte(kHistoryRingAddress + slot, static_cast<std::uint8_t>(level));
  }
  memory.SetByte(kHistoryPositionAddress, static_cast<std::uint8_t>(kHistoryRingAddress + newest));
  for (int i = 0; i < kTankEntries; ++i) {
    memory.SetByte(kTankTableAddress + i, static_cast<std::uint8_t>(i));
  }
  return memory;
}

}  // namespace velta::sim
