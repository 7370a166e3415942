#include "cli/cli_context.h"

#include <cstdio>
#include <cstdlib>
#include <strings.h>

#include "link/port_search.h"

namespace velta::cli {
namespace {

// --device borrows the highest COM number, which no fixed mapping uses on a service laptop.
constexpr std::int32_t kDeviceComNumber = 255;

bool ParseNumber(const std::string& text, long minimum, long maximum, long& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtol(text.c_str(), &end, 0);
  return *end == '\0' && value >= minimum && value <= maximum;
}

}  // namespace

int Fail(ExitCode code, const std::string& message) {
  std::fprintf(stderr, "%s\n", message.c_str());
  return code;
}

bool CliContext::Connection(ConnectionSettings& settings) const {
  long admin = 0;
  if (!ParseNumber(this->admin, 0, 255, admin)) {
    Fail(kExitRefused, "--admin takes a number 0..255");
    return false;
  }
  settings.admin = static_cast<std::uint8_t>(admin);
  const int given = !port.empty() + !device.empty() + !tcp.empty();
  if (given != 1) {
    Fail(kExitRefused, "Give exactly one of --port, --device or --tcp");
    return false;
  }
  if (!tcp.empty()) {
    const auto colon = tcp.rfind(':');
    long number = 0;
    if (colon == std::string::npos || colon == 0 ||
        !ParseNumber(tcp.substr(colon + 1), 1, kHighestTcpPort, number)) {
      Fail(kExitRefused, "--tcp takes host:port");
      return false;
    }
    settings.useTcp = true;
    settings.tcpHost = tcp.substr(0, colon);
    settings.tcpPort = static_cast<std::int32_t>(number);
    return true;
  }
  if (!device.empty()) {
    SetComPortOverride(kDeviceComNumber, device);
    settings.comPort = kDeviceComNumber;
    return true;
  }
  const std::string digits = strncasecmp(port.c_str(), "COM", 3) == 0 ? port.substr(3) : port;
  long number = 0;
  if (!ParseNumber(digits, 1, 255, number)) {
    Fail(kExitRefused, "--port takes COM1..COM255");
    return false;
  }
  settings.comPort = static_cast<std::int32_t>(number);
  return true;
}

}  // namespace velta::cli
