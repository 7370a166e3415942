#include "link/connection.h"

#include "link/frames.h"

namespace velta {

Channel* OpenFromSettings(const ConnectionSettings& settings) {
  if (!settings.useTcp) {
    return OpenSerialChannel(static_cast<std::uint32_t>(settings.comPort), 9600);
  }
  return OpenTcpChannel(settings.tcpHost, static_cast<std::uint16_t>(settings.tcpPort));
}

std::uint8_t WriteFamilyBase(const ConnectionSettings& settings) {
  if (!settings.useTcp || (settings.admin & kAdminSerialWriteBase) != 0) return kSerialWriteBase;
  return kTcpWriteBase;
}

}  // namespace velta
