// Hex text for the simulator's log and control port: "88 00 34 BC" out, loose forms in.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velta::sim {

// Upper-case hex, bytes separated by `separator` (empty for a packed string).
std::string HexBytes(std::span<const std::uint8_t> bytes, std::string_view separator = " ");

// Hex bytes written packed ("0A0B") or separated by blanks ("0A 0B", "a b"); nullopt when a
// character is not hex or a packed group has an odd number of digits.
std::optional<std::vector<std::uint8_t>> ParseHexBytes(std::string_view text);

// A whole number in decimal or with a 0x prefix in hex; nullopt on anything else.
std::optional<long long> ParseNumber(std::string_view text);

}  // namespace velta::sim
