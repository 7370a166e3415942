// The controller's four running counters (pump hours, pump starts, mains and cistern meter
// pulses): where they live in memory, how they are shown and how a new number is stored.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "controller/feedback.h"
#include "controller/image.h"
#include "controller/memory_map.h"
#include "link/channel_handle.h"
#include "link/connection.h"

namespace velta {

// In the order of the counter choice list.
enum class Counter { PumpHours = 0, PumpStarts = 1, MainsPulses = 2, CisternPulses = 3 };

struct AddressRange {
  int first;
  int last;
};

// The bytes that hold the value, and the bytes a write replaces (the hour counter's two upper
// bytes are cleared with every write).
AddressRange CounterReadRange(Counter counter);
AddressRange CounterWriteRange(Counter counter);

// The counter's value in the image as a decimal text.
std::string CounterText(const ControllerImage& image, Counter counter);

// The number typed by the user: empty means 0; only decimal digits, at most 4294967295.
std::optional<std::uint32_t> ParseCounterValue(std::string_view text);

// Puts `value` into the counter's write range (hours keep their low 16 bits).
void StoreCounter(ControllerImage& image, Counter counter, std::uint32_t value);

// One read from address 0 to the last byte of the pump starts covers every counter (and the
// error memory before them).
inline constexpr int kCountersReadLast = kPumpStartsAddress + 3;

// Writes the counter's write range of `image` (StoreCounter has put the value there), then the
// Restart request.
bool WriteCounter(const ChannelHandle& channel, const ConnectionSettings& settings,
                  Feedback& feedback, const ControllerImage& image, Counter counter);

}  // namespace velta
