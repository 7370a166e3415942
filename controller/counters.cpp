#include "controller/counters.h"

#include <algorithm>
#include <charconv>
#include <span>

#include "controller/fields.h"
#include "controller/write_loop.h"

namespace velta {
namespace {

// The three 32-bit counters; callers treat the hour counter on its own.
LongField LongCounter(Counter counter) {
  switch (counter) {
    case Counter::PumpStarts: return field::PumpeStarts;
    case Counter::MainsPulses: return field::StadtwasserPulse;
    default: return field::ZisternePulse;
  }
}

}  // namespace

AddressRange CounterReadRange(Counter counter) {
  if (counter == Counter::PumpHours) {
    return {field::PumpeStunden.address, field::PumpeStunden.address + 1};
  }
  const int first = LongCounter(counter).address;
  return {first, first + 3};
}

AddressRange CounterWriteRange(Counter counter) {
  // The hour counter is written as the whole four-byte run time, upper word cleared.
  if (counter == Counter::PumpHours) {
    return {field::PumpeZeit.address, field::PumpeZeit.address + 3};
  }
  return CounterReadRange(counter);
}

std::string CounterText(const ControllerImage& image, Counter counter) {
  if (counter == Counter::PumpHours) return std::to_string(Get(image, field::PumpeStunden));
  return std::to_string(Get(image, LongCounter(counter)));
}

std::optional<std::uint32_t> ParseCounterValue(std::string_view text) {
  if (text.empty()) return 0;
  std::uint32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

void StoreCounter(ControllerImage& image, Counter counter, std::uint32_t value) {
  if (counter == Counter::PumpHours) {
    Set(image, field::PumpeZeit, value & 0xFFFF);
    return;
  }
  Set(image, LongCounter(counter), value);
}

bool WriteCounter(const ChannelHandle& channel, const ConnectionSettings& settings,
                  Feedback& feedback, const ControllerImage& image, Counter counter) {
  const AddressRange range = CounterWriteRange(counter);
  WritePlan plan;
  plan.firstAddress = range.first;
  const auto length = static_cast<std::size_t>(range.last - range.first + 1);
  plan.values = std::span(image.bytes).subspan(static_cast<std::size_t>(range.first), length);
  plan.closing = ClosingRequest::Restart;
  return WriteBytes(channel, settings, feedback, plan) == ExchangeOutcome::Good;
}

}  // namespace velta
