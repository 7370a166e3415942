// The water meter page (status page 15): two 32-bit readings and a flags byte. The decoder reads
// it and the simulated controller builds it from these.
#pragma once

#include <cstdint>

namespace velta::water_meter_page {

constexpr int kFirstReadingByte = 0;   // big-endian, shown in edWasser2
constexpr int kSecondReadingByte = 4;  // big-endian, shown in edWasser1
constexpr int kFlagsByte = 8;

// Bits 2..3: how many of the reading's last digits are decimals of a cubic metre (0: three,
// 1: two, 2: one, 3: none); the same bits as in the settings' input byte.
constexpr std::uint8_t kDecimalsMask = 0x0C;
constexpr int kDecimalsShift = 2;
// The meter's pulse indicator (lblWasserZ).
constexpr std::uint8_t kPulseIndicator = 0x80;

}  // namespace velta::water_meter_page
