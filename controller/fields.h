// Named fields of the controller image: the Parameter block (addresses 0..51) field by field and
// the counters and tables beyond it. A field is a small descriptor; Get/Set read and write it.
#pragma once

#include <cstdint>

#include "controller/image.h"

namespace velta {

// One byte, a big-endian 16-bit word or 32-bit long, or a run of bits inside one byte.
struct ByteField {
  int address;
};
struct WordField {
  int address;
};
struct LongField {
  int address;
};
struct BitField {
  int address;
  int shift;
  int width;
  constexpr std::uint8_t Mask() const {
    return static_cast<std::uint8_t>(((1u << width) - 1u) << shift);
  }
};

// Setters keep the low bits that fit: a 16-bit field given 70000 stores 70000 & 0xFFFF.
inline int Get(const ControllerImage& image, ByteField f) { return image.Byte(f.address); }
inline void Set(ControllerImage& image, ByteField f, long long value) {
  image.SetByte(f.address, static_cast<std::uint8_t>(value & 0xFF));
}
inline int Get(const ControllerImage& image, WordField f) { return image.Word(f.address); }
inline void Set(ControllerImage& image, WordField f, long long value) {
  image.SetWord(f.address, static_cast<std::uint16_t>(value & 0xFFFF));
}
inline std::uint32_t Get(const ControllerImage& image, LongField f) {
  return image.Long(f.address);
}
inline void Set(ControllerImage& image, LongField f, long long value) {
  image.SetLong(f.address, static_cast<std::uint32_t>(value & 0xFFFFFFFF));
}
inline int Get(const ControllerImage& image, BitField f) {
  return (image.Byte(f.address) & f.Mask()) >> f.shift;
}
inline void Set(ControllerImage& image, BitField f, int value) {
  const auto bits = static_cast<std::uint8_t>((value << f.shift) & f.Mask());
  image.SetByte(f.address, static_cast<std::uint8_t>((image.Byte(f.address) & ~f.Mask()) | bits));
}
inline bool IsSet(const ControllerImage& image, BitField f) { return Get(image, f) != 0; }

// The rinse intervals are stored in Rinse ticks; the Settings window edits them in days.
int IntervalDays(const ControllerImage& image, LongField f);
void SetIntervalDays(ControllerImage& image, LongField f, int days);

namespace field {

// --- Parameter block, in address order ---
inline constexpr ByteField RetryCount{0};
inline constexpr ByteField ZistLeer{1};
inline constexpr ByteField ZistVoll{2};
inline constexpr ByteField Tankform{3};
inline constexpr WordField RefZistVoll{4};
inline constexpr ByteField Auto{6};  // 0 = automatic switching, anything else manual
inline constexpr ByteField Anzeige{7};
inline constexpr ByteField Drucksensor{8};
inline constexpr ByteField Druckendwert{9};
inline constexpr ByteField DruckRegel{10};
inline constexpr ByteField DruckEin{11};
inline constexpr ByteField Eingang{12};
inline constexpr BitField WasseruhrInputs{12, 0, 2};   // 01 on Min, 10 on Max
inline constexpr BitField WasserZcount{12, 2, 2};      // "1L", "10L", "100L", "1m³"
inline constexpr BitField LecksensorInputs{12, 4, 2};  // 01 on Min, 10 on Max
inline constexpr BitField PumpeAusInputs{12, 6, 2};    // 01 on Min, 10 on Max
inline constexpr ByteField RegelT{13};
inline constexpr ByteField RegelP{14};
inline constexpr ByteField RegelD{15};
inline constexpr WordField RefZistLeer{16};
inline constexpr WordField TempOff{18};
inline constexpr WordField TempOn{20};
inline constexpr ByteField PumpeMin{22};
inline constexpr ByteField Nachlaufzeit{23};
inline constexpr ByteField Laufzeit{24};
inline constexpr ByteField Variante{25};
inline constexpr ByteField StartDelay{26};
inline constexpr ByteField PulsFenster{27};
inline constexpr ByteField LaufzeitProzent{28};
inline constexpr ByteField KugelhahnLaufzeit{29};
inline constexpr WordField FilterSpuelZeit{30};
inline constexpr LongField FilterSpuelIntervall{32};  // Rinse ticks
inline constexpr WordField ModulSpuelZeit{36};
inline constexpr LongField ModulSpuelIntervall{38};  // Rinse ticks
inline constexpr BitField SanftStart{42, 0, 7};
inline constexpr BitField SanftOff{42, 7, 1};
inline constexpr ByteField ShowPumpenLeistung{43};  // any non-zero value reads as on
inline constexpr ByteField Leck{44};
inline constexpr BitField LeckAnzahl{44, 0, 6};
inline constexpr BitField NoLeckError15s{44, 6, 1};
inline constexpr BitField LeckUeberwachung{44, 7, 1};
inline constexpr ByteField LeckDauer{45};
inline constexpr ByteField MaxPower{46};
inline constexpr WordField MaxPowerTime{47};
inline constexpr WordField RetryIntervallTime{49};
inline constexpr ByteField SetupFlags{51};
inline constexpr BitField Urlaub{51, 0,
                                 1};  // stored inverted: 1 = normal operation, 0 = pump always off
inline constexpr BitField ShowTxRx{51, 1, 1};
inline constexpr BitField SetupFlusssensor{51, 2, 1};
inline constexpr BitField Regelung{51, 3, 1};
inline constexpr BitField FlowControl{51, 4, 1};
inline constexpr BitField SchwimmerSchalter{51, 5, 1};
inline constexpr BitField Rueckstau{51, 6, 1};  // 0 backflow (make-up on), 1 overflow (pump off)
inline constexpr BitField Power{51, 7, 1};      // 0 PWM, 1 phase control

// --- Beyond the Parameter block ---
inline constexpr LongField StadtwasserPulse{kMainsMeterAddress};
inline constexpr LongField ZisternePulse{kCisternMeterAddress};
// Written whole; the hours are its low word.
inline constexpr LongField PumpeZeit{kPumpTimeAddress};
inline constexpr WordField PumpeStunden{kPumpHoursAddress};
inline constexpr LongField PumpeStarts{kPumpStartsAddress};

constexpr ByteField ErrorCounter(int index) { return ByteField{kErrorCountersAddress + index}; }

}  // namespace field
}  // namespace velta
