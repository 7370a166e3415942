// The input functions packed into `Eingang` and the regulation presets, as the Settings window
// shows and stores them.
#pragma once

#include "controller/image.h"

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
InputChoice DecodeInputs(const ControllerImage& image);
// Each function's pair gets the bit of the input it is on; `WasserZcount` stays.
void StoreInputs(ControllerImage& image, InputChoice inputs);

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
