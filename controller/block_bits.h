// The packed bytes of the Parameter block as the Settings window builds and splits them: the input
// functions of `Eingang`, `Leck`, `SanftStart` and `SetupFlags`, and the regulation presets.
#pragma once

#include <cstdint>

namespace velta {

// Item indices of the Min and Max input lists.
enum InputFunction {
  kInputNone = 0,
  kInputWasseruhr = 1,
  kInputLecksensor = 2,
  kInputPumpeAus = 3
};

struct InputChoice {
  int min = kInputNone;
  int max = kInputNone;
};

// Pairs are examined in the order water meter, leak sensor, pump off; 01 gives the function to
// Min, 10 to Max, a later pair overwrites an earlier one; 00 and 11 change nothing.
InputChoice DecodeInputs(std::uint8_t eingang);
// `wasserZcount` << 2 plus the bit of each input's function.
std::uint8_t EncodeEingang(int wasserZcount, InputChoice inputs);

// `LeckAnzahl` (bits 0..5), bit 6 "Dynamisch", bit 7 monitoring on.
std::uint8_t EncodeLeck(int count, bool dynamic, bool monitoring);
// Ramp (bits 0..6) with bit 7 when the same ramp runs as the pump stops.
std::uint8_t EncodeSanftStart(int ramp, bool rampOnStop);

struct SetupOptions {
  bool alwaysOff = false;  // "immer Aus": stored as bit 0 clear
  bool showTxRx = false;
  bool flowSensor = false;
  bool regulation = false;
  bool flowControl = false;
  bool floatSwitch = false;
  int rueckstau = 0;  // 0 backflow, 1 overflow
};
// Bit 7 (power stage "Phase") is always set in a block collected from the window, whatever the
// power-stage list shows: the controllers in the field need it.
std::uint8_t EncodeSetupFlags(const SetupOptions& options);

struct RegulationPreset {
  int p;
  int d;
};
inline constexpr int kPresetCount = 3;
inline constexpr RegulationPreset kRegulationPresets[kPresetCount] = {
    {20, 25}, {40, 50}, {60, 100}};
inline constexpr int kUserDefinedPreset = 3;
// The preset list item for a pair of proportional and differential parts.
int PresetIndex(int p, int d);

}  // namespace velta
