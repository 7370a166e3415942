#include "sim/controller_model.h"

#include <algorithm>
#include <cmath>

#include "monitor/main_page_bits.h"

namespace velta::sim {

namespace {

using namespace main_page;

constexpr double kTickSeconds = 0.4096;
constexpr double kTicksPerHour = 3600.0 / kTickSeconds;

// Error counter (index in the error memory) for each error flag, E1 then E2.
struct ErrorCounterOf {
  bool second;
  std::uint8_t bit;
  int counter;
};
constexpr ErrorCounterOf kErrorCounterOf[] = {
    {false, kCisternSensorError, 7},   {false, kDryRunError, 1},
    {false, kBackflowError, 9},        {false, kOverTemperatureError, 0},
    {false, kPressureSensorError, 6},  {false, kMaxRunTimeError, 3},
    {true, kLeakError, 4},             {true, kMaxLoadError, 5},
    {true, kAirDrawnError, 2},         {true, kWaterLeakError, 8},
    {true, kFlowSensorStuck, 10}};

void Increment(Memory& memory, int address, std::uint32_t by = 1) {
  memory.SetLong(address, memory.Long(address) + by);
}

// Taps open for 12 s of every 40 s; the pump follows unless it is switched off or in error.
void RunPump(LiveState& state, Memory& memory, double seconds) {
  const bool demand = std::fmod(state.seconds, 40.0) < 12.0;
  const bool allowed = !state.pumpSwitchedOff && !state.hand && state.errors1 == 0 &&
                       state.errors2 == 0;
  const bool running = demand && allowed;
  if (running && state.pumpPower == 0) Increment(memory, kPumpStartsAddress);
  // Water flows exactly while the pump runs; the blue LED shows the flow.
  state.flowSensor = running;
  state.blueLed = running;
  if (running) {
    state.pumpPower = 70 + static_cast<int>(20 * std::sin(state.seconds / 3.0));
    state.pressure = memory.Byte(field::DruckRegel.address) - 1 +
                     static_cast<int>(std::fmod(state.seconds, 3.0));
    state.runTicks += seconds / kTickSeconds;
    if (state.runTicks >= kTicksPerHour) {
      state.runTicks -= kTicksPerHour;
      memory.SetWord(kPumpHoursAddress,
                     static_cast<std::uint16_t>(memory.Word(kPumpHoursAddress) + 1));
    }
    state.pendingPulses += seconds;  // about one litre per second
  } else {
    state.pumpPower = 0;
    const int rest = memory.Byte(field::DruckEin.address) + 5;
    if (state.pressure > rest) --state.pressure;
  }
  while (state.pendingPulses >= 1.0) {
    state.pendingPulses -= 1.0;
    Increment(memory, state.makeUp ? kMainsMeterAddress : kCisternMeterAddress);
    state.meterIndicator = !state.meterIndicator;
  }
}

// Rain for 30 s of every 120 s fills the cistern; pumping cistern water empties it.
void MoveLevel(LiveState& state, const Memory& memory, double seconds) {
  if (std::fmod(state.seconds, 120.0) < 30.0) state.level += 0.3 * seconds;
  if (state.pumpPower > 0 && !state.makeUp) state.level -= 0.15 * seconds;
  state.level = std::clamp(state.level, 0.0, 100.0);
  if (state.level <= memory.Byte(field::ZistLeer.address)) state.makeUp = true;
  if (state.level >= memory.Byte(field::ZistVoll.address)) state.makeUp = false;
  state.temperatureRaw = 128 + static_cast<int>(4 * std::sin(state.seconds / 50.0));
}

void RunRinses(LiveState& state, const Memory& memory, double seconds) {
  const double ticks = seconds / kTickSeconds;
  if (state.rinseRunning) {
    state.rinseProgressTicks += ticks;
    if (state.rinseProgressTicks >= memory.Word(field::ModulSpuelZeit.address)) {
      state.rinseRunning = false;
      state.rinseProgressTicks = 0;
      state.moduleRinseTicks = memory.Long(field::ModulSpuelIntervall.address);
    }
  } else if (state.moduleRinse) {
    state.moduleRinseTicks -= ticks;
    if (state.moduleRinseTicks <= 0) {
      state.moduleRinseTicks = 0;
      state.rinseRunning = true;
    }
  }
  state.valve = state.rinseRunning;
  state.filterRinseTicks -= ticks;
  if (state.filterRinseTicks <= 0) {
    state.filterRinseTicks = memory.Long(field::FilterSpuelIntervall.address);
  }
}

void RecordHistory(LiveState& state, Memory& memory, double seconds) {
  state.historyClock += seconds;
  while (state.historyInterval > 0 && state.historyClock >= state.historyInterval) {
    state.historyClock -= state.historyInterval;
    int position = memory.Byte(kHistoryPositionAddress);
    const int last = kHistoryRingAddress + kHistorySamples - 1;
    position = (position < kHistoryRingAddress || position >= last) ? kHistoryRingAddress
                                                                       : position + 1;
    memory.SetByte(position, static_cast<std::uint8_t>(state.level));
    memory.SetByte(kHistoryPositionAddress, static_cast<std::uint8_t>(position));
  }
}

}  // namespace

void AdvanceModel(LiveState& state, Memory& memory, double seconds) {
  // Large jumps run in one-second steps, so a pump cycle is never skipped.
  while (seconds > 0) {
    const double step = std::min(seconds, 1.0);
    state.seconds += step;
    state.displayClock += step;
    RunPump(state, memory, step);
    MoveLevel(state, memory, step);
    RunRinses(state, memory, step);
    RecordHistory(state, memory, step);
    seconds -= step;
  }
}

void RaiseErrors(LiveState& state, Memory& memory, std::uint8_t errors1, std::uint8_t errors2) {
  errors1 &= kErrors1Mask;
  errors2 &= kErrors2Mask;
  for (const auto& e : kErrorCounterOf) {
    const std::uint8_t before = e.second ? state.errors2 : state.errors1;
    const std::uint8_t after = e.second ? errors2 : errors1;
    if ((after & e.bit) != 0 && (before & e.bit) == 0) {
      const int a = kErrorCountersAddress + e.counter;
      if (memory.Byte(a) < 255) memory.SetByte(a, static_cast<std::uint8_t>(memory.Byte(a) + 1));
    }
  }
  state.errors1 = errors1;
  state.errors2 = errors2;
}

}  // namespace velta::sim
