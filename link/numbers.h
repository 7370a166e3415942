// Numbers typed by a person or written in a configuration: the COM number of a serial port and
// decimal values within a range. One reading for the CLI, the bridge and the window's settings.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace velta {

// The COM numbers the program stores and shows (port_search.h maps them to device files).
inline constexpr std::int32_t kFirstComPort = 1;
inline constexpr std::int32_t kLastComPort = 255;

// Decimal digits only, within minimum..maximum: no sign, no blanks, no "0x" or exponent, and a
// leading zero is no octal prefix ("052011" is 52011). Nothing for anything else.
std::optional<long> ParseDecimal(std::string_view text, long minimum, long maximum);

// "COM5" (any case) or "5" as a COM number 1..255; nothing for anything else.
std::optional<std::int32_t> ParseComPort(std::string_view text);

}  // namespace velta
