#include "cli/cli_context.h"

#include <cctype>
#include <charconv>
#include <cstdio>

#include "cli/messages.h"
#include "link/numbers.h"

namespace velta::cli {
namespace {

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
    const std::optional<long> number =
        colon == std::string::npos ? std::nullopt
                                   : ParseDecimal(std::string_view(tcp).substr(colon + 1), 1,
                                                  kHighestTcpPort);
    if (colon == 0 || !number) {
      Fail(kExitRefused, TypedRefusal(Typed::Tcp, tcp));
      return false;
    }
    settings.useTcp = true;
    settings.tcpHost = tcp.substr(0, colon);
    settings.tcpPort = static_cast<std::int32_t>(*number);
    return true;
  }
  if (!device.empty()) {
    // Opened by its path; the messages name it by the table's COM number when it has one.
    settings.devicePath = device;
    serialUsed = settings;
    return true;
  }
  const std::optional<std::int32_t> number = ParseComPort(port);
  if (!number) {
    Fail(kExitRefused, TypedRefusal(Typed::Port, port));
    return false;
  }
  settings.comPort = *number;
  serialUsed = settings;
  return true;
}

}  // namespace velta::cli
