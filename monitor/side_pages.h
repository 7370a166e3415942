// Decoders of the status pages besides the Main status page: module rinse (10), filter rinse (11),
// counters (12) and water meters (15). Each takes the reply bytes and gives the texts to show,
// already translated and formatted.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "monitor/readings.h"

namespace velta {

// lblModulSpuelung: the running rinse's seconds while a rinse runs, else the module rinse time.
std::string DecodeModuleRinsePage(std::span<const std::uint8_t> page, bool rinseRunning);

// FF FF FF FF: the controller has no filter rinse.
bool IsNoFilterRinse(std::span<const std::uint8_t> page);

// lblFilterSpuelung: the filter rinse time, or that there is no filter rinse.
std::string DecodeFilterRinsePage(std::span<const std::uint8_t> page);

struct CountersView {
  std::optional<std::string> starts;  // lblStarts, only from a reply with a matching sum
  std::string pumpHours;              // lblPumpeh "12h:59m"
  std::string leakStarts;             // lblLeck, empty without leak starts
};
// Called for every reply of full length; `good` says whether its sum matched.
CountersView DecodeCountersPage(std::span<const std::uint8_t> page, bool good,
                                std::uint16_t pumpHours);

struct WaterMeterView {
  std::string first;      // edWasser2 (bytes 0-3)
  std::string second;     // edWasser1 (bytes 4-7)
  std::string indicator;  // lblWasserZ "1" or "0"
};
WaterMeterView DecodeWaterMeterPage(std::span<const std::uint8_t> page);

// A reading in cubic metres with 3, 2, 1 or 0 decimals, as selector 0..3 chooses.
std::string FormatWaterMeter(std::uint32_t reading, unsigned selector);

// The pages' readings as numbers: rinse times in seconds (none: no filter rinse), pump starts
// (from a reply with a matching sum) and leak starts, water meters in cubic metres with the
// decimals the page selects.
void DecodeModuleRinseReadings(std::span<const std::uint8_t> page, Readings& readings);
void DecodeFilterRinseReadings(std::span<const std::uint8_t> page, Readings& readings);
void DecodeCounterReadings(std::span<const std::uint8_t> page, bool good, Readings& readings);
void DecodeWaterMeterReadings(std::span<const std::uint8_t> page, Readings& readings);

}  // namespace velta
