// Request frames: 4 bytes {command, argument 1, argument 2, sum of the three modulo 256}, the
// command set, and the reply lengths of the status pages.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace velta {

using Frame = std::array<std::uint8_t, 4>;

// Status request codes (argument 2 of a 0x60 frame).
enum StatusCode : std::uint8_t {
  kMainStatusPage = 1,
  kUpdateRequest = 6,
  kVersionQuery = 7,
  kSettingsDone = 8,
  kRestartRequest = 9,
  kModuleRinsePage = 10,
  kFilterRinsePage = 11,
  kCountersPage = 12,
  kClearErrorsRequest = 13,
  kWriteEnableRequest = 14,
  kWaterMeterPage = 15,
};

constexpr std::uint8_t kStatusCommand = 0x60;
constexpr std::uint8_t kReadCommand = 0x88;
constexpr std::uint8_t kSerialWriteBase = 0x90;
constexpr std::uint8_t kTcpWriteBase = 0x98;
constexpr int kVersionReplyLength = 9;

// Data bytes (without checksum) of each status page reply.
constexpr int kMainStatusPageLength = 14;
constexpr int kModuleRinsePageLength = 6;
constexpr int kFilterRinsePageLength = 4;
constexpr int kCountersPageLength = 14;
constexpr int kWaterMeterPageLength = 9;

std::uint8_t Checksum(std::span<const std::uint8_t> bytes);

Frame BuildFrame(std::uint8_t command, std::uint8_t argument1, std::uint8_t argument2);
Frame StatusRequest(std::uint8_t code);
// Read of addresses first..last inclusive (address masked to 11 bits, count = last - first + 1).
Frame ReadRequest(std::uint16_t first, std::uint16_t last);
Frame WriteRequest(std::uint8_t writeBase, std::uint16_t address, std::uint8_t value);

}  // namespace velta
