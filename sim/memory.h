// The simulated controller's 2048-byte memory and where the program finds things in it.
#pragma once

#include <array>
#include <cstdint>

namespace velta::sim {

constexpr int kMemorySize = 2048;
constexpr int kAddressMask = kMemorySize - 1;

// Addresses the service program reads and writes.
namespace address {
constexpr int kParameterBlock = 0;
constexpr int kParameterBlockSize = 52;
constexpr int kCisternLow = 1;            // ZistLeer, percent
constexpr int kCisternHigh = 2;           // ZistVoll, percent
constexpr int kRefFull = 4;               // RefZistVoll, 16 bit
constexpr int kDisplayTime = 7;           // Anzeige, 81.92 ms steps
constexpr int kPressureRegulation = 10;   // DruckRegel, tenths of a bar
constexpr int kPressureOn = 11;           // DruckEin, tenths of a bar
constexpr int kInputs = 12;               // Eingang; bits 3..2 pulse value of the water meter
constexpr int kRefEmpty = 16;             // RefZistLeer, 16 bit
constexpr int kFilterRinseInterval = 32;  // 32 bit, rinse ticks
constexpr int kModuleRinseTime = 36;      // 16 bit, 409.6 ms
constexpr int kModuleRinseInterval = 38;  // 32 bit, rinse ticks
constexpr int kMainsMeter = 52;           // 32 bit pulses
constexpr int kCisternMeter = 56;         // 32 bit pulses
constexpr int kPumpTime = 60;             // 60..61 zero, 62..63 hours
constexpr int kPumpHours = 62;
constexpr int kErrorCounters = 64;        // 11 bytes
constexpr int kErrorCounterCount = 11;
constexpr int kPumpStarts = 84;           // 32 bit
constexpr int kHistoryRing = 0x62;        // 56 samples
constexpr int kHistorySamples = 56;
constexpr int kHistoryPosition = kHistoryRing + kHistorySamples;  // address of the newest sample
constexpr int kTankTable = 155;           // 101 entries
constexpr int kTankTableSize = 101;
}  // namespace address

struct Memory {
  std::array<std::uint8_t, kMemorySize> bytes{};

  std::uint8_t Byte(int a) const { return bytes[static_cast<std::size_t>(a & kAddressMask)]; }
  void SetByte(int a, std::uint8_t v) { bytes[static_cast<std::size_t>(a & kAddressMask)] = v; }
  std::uint16_t Word(int a) const {
    return static_cast<std::uint16_t>((Byte(a) << 8) | Byte(a + 1));
  }
  void SetWord(int a, std::uint16_t v) {
    SetByte(a, static_cast<std::uint8_t>(v >> 8));
    SetByte(a + 1, static_cast<std::uint8_t>(v & 0xFF));
  }
  std::uint32_t Long(int a) const { return (std::uint32_t{Word(a)} << 16) | Word(a + 2); }
  void SetLong(int a, std::uint32_t v) {
    SetWord(a, static_cast<std::uint16_t>(v >> 16));
    SetWord(a + 2, static_cast<std::uint16_t>(v & 0xFFFF));
  }
};

// A freshly installed controller with some service history: the Default block, counters that
// have been running for a while, a filled history ring and a linear tank table.
Memory InitialMemory();

}  // namespace velta::sim
