#include "sim/memory.h"

#include <cmath>

#include "controller/default_block.h"

namespace velta::sim {

Memory InitialMemory() {
  Memory memory;
  for (int i = 0; i < address::kParameterBlockSize; ++i) {
    memory.SetByte(address::kParameterBlock + i, kDefaultBlock[static_cast<std::size_t>(i)]);
  }
  memory.SetLong(address::kMainsMeter, 12345);
  memory.SetLong(address::kCisternMeter, 67890);
  memory.SetWord(address::kPumpTime, 0);
  memory.SetWord(address::kPumpHours, 1234);
  static constexpr std::uint8_t kErrorCounts[address::kErrorCounterCount] = {3, 1, 0, 2, 0, 0,
                                                                             1, 0, 0, 4, 0};
  for (int i = 0; i < address::kErrorCounterCount; ++i) {
    memory.SetByte(address::kErrorCounters + i, kErrorCounts[i]);
  }
  memory.SetLong(address::kPumpStarts, 45678);
  // Half a day of a cistern slowly filling after rain, newest sample in the middle of the ring.
  const int newest = 20;
  for (int age = 0; age < address::kHistorySamples; ++age) {
    const int slot = (newest - age + address::kHistorySamples) % address::kHistorySamples;
    const double level = 57.0 - 0.4 * age + 4.0 * std::sin(age / 6.0);
    memory.SetByte(address::kHistoryRing + slot, static_cast<std::uint8_t>(level));
  }
  memory.SetByte(address::kHistoryPosition, static_cast<std::uint8_t>(address::kHistoryRing + newest));
  for (int i = 0; i < address::kTankTableSize; ++i) {
    memory.SetByte(address::kTankTable + i, static_cast<std::uint8_t>(i));
  }
  return memory;
}

}  // namespace velta::sim
