#include "link/numbers.h"

#include <strings.h>

#include <charconv>

namespace velta {

std::optional<long> ParseDecimal(std::string_view text, long minimum, long maximum) {
  long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
  if (text.empty() || text.front() < '0' || text.front() > '9' || error != std::errc() ||
      end != text.data() + text.size() || value < minimum || value > maximum) {
    return std::nullopt;
  }
  return value;
}

std::optional<std::int32_t> ParseComPort(std::string_view text) {
  if (text.size() >= 3 && strncasecmp(text.data(), "COM", 3) == 0) text.remove_prefix(3);
  const std::optional<long> number = ParseDecimal(text, kFirstComPort, kLastComPort);
  if (!number) return std::nullopt;
  return static_cast<std::int32_t>(*number);
}

}  // namespace velta
