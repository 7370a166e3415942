// Feeds arbitrary bytes to the link's two parsers: the port-name list of the port search and the
// data-reply check. Each result must keep the rules every caller relies on.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "link/exchange.h"
#include "link/port_search.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

// Names separated by NUL bytes, the maximum count from the first byte (signed, so negative too).
void CheckPortNames(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return;
  const std::int32_t maximum = static_cast<std::int8_t>(data[0]);
  std::vector<std::string> names(1);
  for (std::size_t i = 1; i < size; ++i) {
    if (data[i] == 0) {
      names.emplace_back();
    } else {
      names.back() += static_cast<char>(data[i]);
    }
  }
  const std::vector<std::int32_t> numbers = velta::ComNumbersFromNames(names, maximum);
  Require(static_cast<std::int32_t>(numbers.size()) <= (maximum > 0 ? maximum : 0));
  Require(numbers.size() <= names.size());
  for (const std::int32_t n : numbers) Require(n >= 1 && n <= 255);
}

// A reply buffer of the input (its size the expected length) and a claimed received count from
// the first byte.
void CheckDataReply(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return;
  const std::int32_t received = static_cast<std::int8_t>(data[0]) * 3;
  const std::vector<std::uint8_t> reply(data + 1, data + size);
  const velta::ExchangeOutcome outcome = velta::JudgeDataReply(reply, received);
  Require(outcome != velta::ExchangeOutcome::NoChannel);
  if (outcome == velta::ExchangeOutcome::Short) {
    Require(received != static_cast<std::int32_t>(reply.size()) || reply.empty());
    return;
  }
  Require(received == static_cast<std::int32_t>(reply.size()) && !reply.empty());
  const bool sumMatches =
      velta::Checksum(std::span(reply).first(reply.size() - 1)) == reply.back();
  Require(sumMatches == (outcome == velta::ExchangeOutcome::Good));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CheckPortNames(data, size);
  CheckDataReply(data, size);
  return 0;
}
