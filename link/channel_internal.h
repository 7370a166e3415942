// What the channel dispatch shares with the two kinds of Channel. Not for use outside link/.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "link/channel.h"

namespace velta::detail {

void SetLastOpenError(OpenError error);
void SetLastOpenAddress(const std::string& address);

inline std::int64_t MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               start)
      .count();
}

std::int32_t SerialSend(int fd, const std::uint8_t* bytes, std::int32_t count);
std::int32_t SerialReceive(int fd, std::uint8_t* buffer, std::int32_t count);
void SerialDiscardInput(int fd);
void SerialClose(int fd);

std::int32_t TcpSend(int fd, const std::uint8_t* bytes, std::int32_t count);
std::int32_t TcpReceive(int fd, std::uint8_t* buffer, std::int32_t count);
void TcpClose(int fd);

}  // namespace velta::detail
