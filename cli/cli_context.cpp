#include "cli/cli_context.h"

#include <cctype>
#include <charconv>
#include <cstdio>

#include "link/numbers.h"
#include "link/port_search.h"

namespace velta::cli {
namespace {

// --device borrows the highest COM number, which no fixed mapping uses on a service laptop.
constexpr std::int32_t kDeviceComNumber = kLastComPort;

// The Admin flags as documented: decimal, or hexadecimal behind "0x" (hex digits only).
bool ParseAdmin(const std::string& text, long& value) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  if (!hex) {
    const std::optional<long> decimal = ParseDecimal(text, 0, 255);
    if (decimal) value = *decimal;
    return decimal.has_value();
  }
  const std::string digits = text.substr(2);
  const auto [end, error] =
      std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
  return std::isxdigit(static_cast<unsigned char>(digits[0])) && error == std::errc() &&
         end == digits.data() + digits.size() && value >= 0 && value <= 255;
}

}  // namespace

int Fail(ExitCode code, const std::string& message) {
  std::fprintf(stderr, "%s\n", message.c_str());
  return code;
}

bool CliContext::Connection(ConnectionSettings& settings) const {
  long admin = 0;
  if (!ParseAdmin(this->admin, admin)) {
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
    const std::optional<long> number =
        colon == std::string::npos ? std::nullopt
                                   : ParseDecimal(std::string_view(tcp).substr(colon + 1), 1,
                                                  kHighestTcpPort);
    if (colon == 0 || !number) {
      Fail(kExitRefused, "--tcp takes host:port");
      return false;
    }
    settings.useTcp = true;
    settings.tcpHost = tcp.substr(0, colon);
    settings.tcpPort = static_cast<std::int32_t>(*number);
    return true;
  }
  if (!device.empty()) {
    SetComPortOverride(kDeviceComNumber, device);
    settings.comPort = kDeviceComNumber;
    serialUsed = settings;
    return true;
  }
  const std::optional<std::int32_t> number = ParseComPort(port);
  if (!number) {
    Fail(kExitRefused, "--port takes COM1..COM255");
    return false;
  }
  settings.comPort = *number;
  serialUsed = settings;
  return true;
}

}  // namespace velta::cli
