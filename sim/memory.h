// The simulated controller's 2048-byte memory, laid out by the program's own memory map
// (controller/memory_map.h, and fields.h for the Parameter block).
#pragma once

#include <array>
#include <cstdint>

#include "controller/fields.h"
#include "controller/memory_map.h"

namespace velta::sim {

constexpr int kMemorySize = 2048;
constexpr int kAddressMask = kMemorySize - 1;

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
