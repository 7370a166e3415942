// The controller image: 256 bytes indexed by controller address. Bytes 0..51 are the Parameter
// block, 0..255 the Backup image. Multi-byte numbers are big-endian.
#pragma once

#include <array>
#include <cstdint>

#include "controller/memory_map.h"
#include "link/big_endian.h"

namespace velta {

struct ControllerImage {
  std::array<std::uint8_t, kImageSize> bytes{};

  std::uint8_t Byte(int address) const { return bytes[static_cast<std::size_t>(address)]; }
  void SetByte(int address, std::uint8_t value) { bytes[static_cast<std::size_t>(address)] = value; }
  std::uint16_t Word(int address) const {
    return BigEndian16(bytes, static_cast<std::size_t>(address));
  }
  void SetWord(int address, std::uint16_t value) {
    SetByte(address, static_cast<std::uint8_t>(value >> 8));
    SetByte(address + 1, static_cast<std::uint8_t>(value & 0xFF));
  }
  std::uint32_t Long(int address) const {
    return BigEndian32(bytes, static_cast<std::size_t>(address));
  }
  void SetLong(int address, std::uint32_t value) {
    SetWord(address, static_cast<std::uint16_t>(value >> 16));
    SetWord(address + 2, static_cast<std::uint16_t>(value & 0xFFFF));
  }
};

}  // namespace velta
