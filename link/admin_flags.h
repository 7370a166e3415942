// The Admin flags: the 8-bit feature mask read from the settings value "Admin" (never written by
// the program), which unlocks service functions for the maker's staff.
#pragma once

#include <cstdint>

namespace velta {

// The Monitor window shows "Lösche Fehler" (clear all error messages).
constexpr std::uint8_t kAdminClearErrors = 0x01;
// Over TCP, memory writes use the serial command base 0x90 instead of 0x98.
constexpr std::uint8_t kAdminSerialWriteBase = 0x02;
// The Settings window keeps its firmware update button when TCP is selected.
constexpr std::uint8_t kAdminUpdateOverTcp = 0x04;
// The Monitor window shows the write-enable button.
constexpr std::uint8_t kAdminWriteEnable = 0x08;
// The Settings window shows the error memory list and its clear button.
constexpr std::uint8_t kAdminErrorMemory = 0x10;
// The Settings window opens in the expert view without asking for consent.
constexpr std::uint8_t kAdminExpertView = 0x80;

}  // namespace velta
