#include "controller/block_bits.h"

namespace velta {
namespace {

// Bit offset of each input function's pair in `Eingang`, by list index (none has no pair).
constexpr int kPairShift[] = {-1, 0, 4, 6};

}  // namespace

InputChoice DecodeInputs(std::uint8_t eingang) {
  InputChoice choice;
  for (int function = kInputWasseruhr; function <= kInputPumpeAus; ++function) {
    const int pair = (eingang >> kPairShift[function]) & 0x03;
    if (pair == 0x01) choice.min = function;
    if (pair == 0x02) choice.max = function;
  }
  return choice;
}

std::uint8_t EncodeEingang(int wasserZcount, InputChoice inputs) {
  int value = (wasserZcount & 0x03) << 2;
  if (inputs.min != kInputNone) value += 0x01 << kPairShift[inputs.min];
  if (inputs.max != kInputNone) value += 0x02 << kPairShift[inputs.max];
  return static_cast<std::uint8_t>(value);
}

std::uint8_t EncodeLeck(int count, bool dynamic, bool monitoring) {
  return static_cast<std::uint8_t>((count & 0x3F) | (dynamic ? 0x40 : 0) | (monitoring ? 0x80 : 0));
}

std::uint8_t EncodeSanftStart(int ramp, bool rampOnStop) {
  return static_cast<std::uint8_t>((ramp & 0x7F) | (rampOnStop ? 0x80 : 0));
}

std::uint8_t EncodeSetupFlags(const SetupOptions& o) {
  int flags = 0x80;
  if (!o.alwaysOff) flags |= 0x01;
  if (o.showTxRx) flags |= 0x02;
  if (o.flowSensor) flags |= 0x04;
  if (o.regulation) flags |= 0x08;
  if (o.flowControl) flags |= 0x10;
  if (o.floatSwitch) flags |= 0x20;
  if (o.rueckstau != 0) flags |= 0x40;
  return static_cast<std::uint8_t>(flags);
}

int PresetIndex(int p, int d) {
  for (int i = 0; i < kPresetCount; ++i) {
    if (kRegulationPresets[i].p == p && kRegulationPresets[i].d == d) return i;
  }
  return kUserDefinedPreset;
}

}  // namespace velta
