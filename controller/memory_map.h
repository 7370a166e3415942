// Where things live in controller memory: every address the program reads or writes, and the
// simulated controller keeps its memory by the same map. The Parameter block's fields are named
// one by one in fields.h.
#pragma once

namespace velta {

// The controller's settings, addresses 0..51.
constexpr int kParameterBlockSize = 52;
// What a system backup saves and restores, addresses 0..255.
constexpr int kImageSize = 256;

// The running counters, big-endian.
constexpr int kMainsMeterAddress = 52;    // 32-bit mains water meter pulses
constexpr int kCisternMeterAddress = 56;  // 32-bit cistern water meter pulses
constexpr int kPumpTimeAddress = 60;      // 32-bit pump run time; the hours are its low word
constexpr int kPumpHoursAddress = 62;     // 16-bit pump hours
constexpr int kPumpStartsAddress = 84;    // 32-bit pump starts

// The error memory: one count per error kind.
constexpr int kErrorCountersAddress = 64;
constexpr int kErrorCounterCount = 11;

// The History block: a ring of one-byte samples with the address of the newest one behind it.
constexpr int kHistoryRingAddress = 0x062;
constexpr int kHistorySamples = 56;
constexpr int kHistoryPositionAddress = kHistoryRingAddress + kHistorySamples;

// The tank table: entry i at kTankTableAddress + i, up to the end of the image.
constexpr int kTankTableAddress = 155;
constexpr int kTankEntries = 101;

}  // namespace velta
