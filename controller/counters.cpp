#include "controller/counters.h"

#include <algorithm>
#include <charconv>
#include <span>

#include "controller/read_range.h"
#include "controller/write_loop.h"

namespace velta {
namespace {

// Addresses 0..87 cover every counter in one read.
constexpr int kCountersLastAddress = 87;
constexpr int kHoursFirst = 60;
constexpr int kHoursValue = 62;

}  // namespace

AddressRange CounterReadRange(Counter counter) {
  switch (counter) {
    case Counter::PumpHours: return {kHoursValue, kHoursValue + 1};
    case Counter::PumpStarts: return {84, 87};
    case Counter::MainsPulses: return {52, 55};
    case Counter::CisternPulses: return {56, 59};
  }
  return {0, -1};
}

AddressRange CounterWriteRange(Counter counter) {
  if (counter == Counter::PumpHours) return {kHoursFirst, kHoursValue + 1};
  return CounterReadRange(counter);
}

std::string CounterText(const ControllerImage& image, Counter counter) {
  const int first = CounterReadRange(counter).first;
  if (counter == Counter::PumpHours) return std::to_string(image.Word(first));
  return std::to_string(image.Long(first));
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
    image.SetWord(kHoursFirst, 0);
    image.SetWord(kHoursValue, static_cast<std::uint16_t>(value & 0xFFFF));
    return;
  }
  image.SetLong(CounterReadRange(counter).first, value);
}

std::optional<std::string> ReadCounter(const ConnectionSettings& settings, Feedback& feedback,
                                       ControllerImage& image, Counter counter) {
  const ReadResult read = ReadRange(settings, feedback, 0, kCountersLastAddress);
  if (!read.success) return std::nullopt;
  const AddressRange range = CounterReadRange(counter);
  std::copy(read.data.begin() + range.first, read.data.begin() + range.last + 1,
            image.bytes.begin() + range.first);
  return CounterText(image, counter);
}

bool WriteCounter(const ConnectionSettings& settings, Feedback& feedback, ControllerImage& image,
                  Counter counter, std::uint32_t value) {
  StoreCounter(image, counter, value);
  const AddressRange range = CounterWriteRange(counter);
  WritePlan plan;
  plan.firstAddress = range.first;
  plan.values = std::span(image.bytes).subspan(static_cast<std::size_t>(range.first),
                                               static_cast<std::size_t>(range.last - range.first + 1));
  plan.openFailure = "Fehler beim Öffnen der Schnittstelle!";
  plan.closing = ClosingRequest::Restart;
  return WriteBytes(settings, feedback, plan) == WriteOutcome::Done;
}

}  // namespace velta
