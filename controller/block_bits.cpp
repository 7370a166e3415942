#include "controller/block_bits.h"

#include "controller/fields.h"

namespace velta {
namespace {

constexpr int kOnMin = 0x01;
constexpr int kOnMax = 0x02;

// Each input function's pair in `Eingang`, by list index (none has no pair).
constexpr BitField kPairs[] = {{}, field::WasseruhrInputs, field::LecksensorInputs,
                               field::PumpeAusInputs};

}  // namespace

InputChoice DecodeInputs(const ControllerImage& image) {
  InputChoice choice;
  for (int function = kInputWasseruhr; function <= kInputPumpeAus; ++function) {
    const int pair = Get(image, kPairs[function]);
    if (pair == kOnMin) choice.min = function;
    if (pair == kOnMax) choice.max = function;
  }
  return choice;
}

void StoreInputs(ControllerImage& image, InputChoice inputs) {
  for (int function = kInputWasseruhr; function <= kInputPumpeAus; ++function) {
    Set(image, kPairs[function],
        (inputs.min == function ? kOnMin : 0) | (inputs.max == function ? kOnMax : 0));
  }
}

int PresetIndex(int p, int d) {
  for (int i = 0; i < kPresetCount; ++i) {
    if (kRegulationPresets[i].p == p && kRegulationPresets[i].d == d) return i;
  }
  return kUserDefinedPreset;
}

}  // namespace velta
