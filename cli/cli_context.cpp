#include "cli/cli_context.h"

#include <strings.h>

#include <cctype>
#include <charconv>
#include <cstdio>

#include "cli/messages.h"
#include "link/port_search.h"

namespace velta::cli {
namespace {

// Digits only, read in `base`: no sign, no blanks, and a leading zero is no octal prefix, so
// "052011" is port 52011 and not 21513.
bool ParseNumber(const std::string& text, int base, long minimum, long maximum, long& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  return !text.empty() && std::isxdigit(static_cast<unsigned char>(text[0])) &&
         error == std::errc() && end == text.data() + text.size() && value >= minimum &&
         value <= maximum;
}

bool ParseDecimal(const std::string& text, long minimum, long maximum, long& value) {
  return ParseNumber(text, 10, minimum, maximum, value);
}

// The Admin flags as documented: decimal, or hexadecimal behind "0x".
bool ParseAdmin(const std::string& text, long& value) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  return hex ? ParseNumber(text.substr(2), 16, 0, 255, value) : ParseDecimal(text, 0, 255, value);
}

}  // namespace

int Fail(ExitCode code, const std::string& message) {
  std::fprintf(stderr, "%s\n", message.c_str());
  return code;
}

bool CliContext::Connection(ConnectionSettings& settings) const {
  long admin = 0;
  if (!ParseAdmin(this->admin, admin)) {
    Fail(kExitRefused, TypedRefusal(Typed::Admin, this->admin));
    return false;
  }
  settings.admin = static_cast<std::uint8_t>(admin);
  const int given = !port.empty() + !device.empty() + !tcp.empty();
  if (given != 1) {
    Fail(kExitRefused, TypedRefusal(Typed::Connection, ""));
    return false;
  }
  if (!tcp.empty()) {
    const auto colon = tcp.rfind(':');
    long number = 0;
    if (colon == std::string::npos || colon == 0 ||
        !ParseDecimal(tcp.substr(colon + 1), 1, kHighestTcpPort, number)) {
      Fail(kExitRefused, TypedRefusal(Typed::Tcp, tcp));
      return false;
    }
    settings.useTcp = true;
    settings.tcpHost = tcp.substr(0, colon);
    settings.tcpPort = static_cast<std::int32_t>(number);
    return true;
  }
  if (!device.empty()) {
    // Its COM number by the fixed mapping, so the messages name it as the windows would; a
    // device the mapping does not reach is named by its path alone.
    const std::uint32_t number = ComNumberOfDevice(device);
    SetComPortOverride(number, device);
    settings.comPort = static_cast<std::int32_t>(number);
    serialUsed = settings;
    return true;
  }
  const std::string digits = strncasecmp(port.c_str(), "COM", 3) == 0 ? port.substr(3) : port;
  long number = 0;
  if (!ParseDecimal(digits, 1, 255, number)) {
    Fail(kExitRefused, TypedRefusal(Typed::Port, port));
    return false;
  }
  settings.comPort = static_cast<std::int32_t>(number);
  serialUsed = settings;
  return true;
}

}  // namespace velta::cli
