// The live side of the simulated controller: what its sensors, outputs and timers show right
// now, and how that changes as time passes. Counters live in Memory, where the program reads
// and writes them.
#pragma once

#include <cstdint>

#include "sim/memory.h"

namespace velta::sim {

struct LiveState {
  double seconds = 0;  // model time since start

  // Cistern and pump.
  double level = 57;           // percent; the page shows it truncated
  int pumpPower = 0;           // 0 = off, else percent
  int pressure = 32;           // tenths of a bar
  int temperatureRaw = 128;    // sensor byte; 128 reads as 38 degrees
  int meanPower = 255;         // percent shown in the pump group, 255 = none
  double runTicks = 0;         // pump run time within the current hour, 409.6 ms ticks
  int leakStarts = 0;

  // Error flags as the Main status page carries them.
  std::uint8_t errors1 = 0;  // byte 5, bits 2..7
  std::uint8_t errors2 = 0;  // byte 6, bits 0..4

  // Inputs and configuration.
  bool sensorMin = true;
  bool sensorMax = false;
  bool backflowSensor = false;
  bool buttonPressed = false;
  bool moduleRinse = true;      // module rinse configured
  bool levelSensor = true;      // level measurement on
  bool flowSensor = false;
  bool waterMeter = true;
  bool filterRinse = true;      // false: the filter rinse page reads FF FF FF FF
  bool hand = false;            // manual instead of automatic
  bool beep = true;
  bool overflowAlarm = false;
  bool pumpSwitchedOff = false;
  bool blueLed = false;

  // Outputs.
  bool makeUp = false;          // supplying mains make-up water instead of cistern water
  bool valve = false;
  bool rinseRunning = false;

  // Rinse timers in 409.6 ms ticks: time to the next rinse, and the running rinse.
  double moduleRinseTicks = 300;  // a demo sees the first module rinse after two minutes
  double rinseProgressTicks = 0;
  double filterRinseTicks = 234567;

  // Water meter pulse indicator (toggles with each pulse) and pulses not yet counted.
  bool meterIndicator = false;
  double pendingPulses = 0;

  double historyClock = 0;        // seconds since the last history sample
  double historyInterval = 30;    // seconds between history samples
  double displayClock = 0;        // seconds since the display switched values

  // Fixed display segments instead of the derived ones (left, middle, right), when set.
  bool displayOverride = false;
  std::uint8_t display[3] = {0, 0, 0};
};

// Runs the installation forward by `seconds`: water demand starts and stops the pump, rain and
// use move the level, counters, rinse timers and the history ring advance.
void AdvanceModel(LiveState& state, Memory& memory, double seconds);

// Raises error flags and counts each newly raised error in the error memory, as the controller
// does when an error appears.
void RaiseErrors(LiveState& state, Memory& memory, std::uint8_t errors1, std::uint8_t errors2);

}  // namespace velta::sim
