#include "sim/pages.h"

#include <array>
#include <algorithm>
#include <cmath>

#include "link/frames.h"

namespace velta::sim {

namespace {

// Segment bits: g 0x80, a 0x40, d 0x20, e 0x10, f 0x08, b 0x04, c 0x02, point 0x01.
constexpr std::uint8_t kDigits[10] = {0x7E, 0x06, 0xF4, 0xE6, 0x8E, 0xEA, 0xFA, 0x46, 0xFE, 0xEE};
constexpr std::uint8_t kPoint = 0x01;
constexpr std::uint8_t kE = 0xF8;
constexpr std::uint8_t kRPoint = 0x90 | kPoint;

// What the display shows for each error, in the order of the error flags E1 bits 2..7 and E2
// bits 0..4. The backflow alarm has no code of its own: the red LED shows it.
struct ErrorDisplay {
  bool second;  // a flag of E2
  std::uint8_t bit;
  std::array<std::uint8_t, 3> segments;
};
constexpr ErrorDisplay kErrorDisplays[] = {
    {false, 0x04, {kE, kRPoint, 0xBA}},        // Er.b
    {false, 0x08, {kE, kRPoint, 0xDC}},        // Er.P
    {false, 0x20, {kE, kRPoint, 0xB8}},        // Er.t
    {false, 0x40, {kE, kRPoint, kDigits[2]}},  // Er.2
    {false, 0x80, {kE, kRPoint, 0x9A}},        // Er.h
    {true, 0x01, {kE, kRPoint, 0x38}},         // Er.L
    {true, 0x02, {kE, kRPoint, kDigits[1]}},   // Er.1
    {true, 0x04, {kE, kRPoint, 0x78}},         // Er.C
    {true, 0x08, {0xDC | kPoint, 0x38, kE}},   // P.LE
    {true, 0x10, {kE, kRPoint, 0xD8}},         // Er.F
};

std::uint8_t Byte(unsigned value) { return static_cast<std::uint8_t>(value & 0xFF); }

void PutWord(std::vector<std::uint8_t>& page, std::uint32_t value) {
  page.push_back(Byte(value >> 8));
  page.push_back(Byte(value));
}

void PutLong(std::vector<std::uint8_t>& page, std::uint32_t value) {
  PutWord(page, value >> 16);
  PutWord(page, value & 0xFFFF);
}

std::uint8_t Flag(bool on, std::uint8_t bit) { return on ? bit : 0; }

std::vector<std::uint8_t> MainPage(const LiveState& s, const Memory& memory, bool writeEnabled) {
  std::vector<std::uint8_t> page;
  for (std::uint8_t segments : DisplaySegments(s, memory)) page.push_back(segments);
  page.push_back(Flag(s.sensorMin, 0x01) | Flag(s.sensorMax, 0x02) |
                 Flag(s.backflowSensor, 0x04) | Flag(!s.buttonPressed, 0x08) |
                 Flag(s.moduleRinse, 0x10) | Flag(!s.levelSensor, 0x20) |
                 Flag(s.flowSensor, 0x40));
  page.push_back(Flag(s.makeUp, 0x01) | Flag(!s.hand, 0x02) |
                 Flag(s.overflowAlarm || s.backflowSensor, 0x04) | Flag(s.blueLed, 0x08) |
                 Flag(s.valve, 0x10) | Flag(!s.makeUp, 0x20) | Flag(!s.makeUp, 0x40) |
                 Flag(s.rinseRunning, 0x80));
  page.push_back((s.errors1 & 0xFC) | Flag(s.hand, 0x01) | Flag(s.beep, 0x02) |
                 Flag(s.overflowAlarm, 0x10));
  page.push_back((s.errors2 & 0x1F) | Flag(s.waterMeter, 0x20) | Flag(writeEnabled, 0x40) |
                 Flag(s.pumpSwitchedOff, 0x80));
  page.push_back(Byte(static_cast<unsigned>(s.level)));
  page.push_back(Byte(static_cast<unsigned>(s.pumpPower)));
  page.push_back(Byte(static_cast<unsigned>(s.pressure)));
  page.push_back(Byte(static_cast<unsigned>(s.temperatureRaw)));
  PutWord(page, memory.Word(address::kPumpHours));
  page.push_back(Byte(static_cast<unsigned>(s.meanPower)));
  return page;
}

std::vector<std::uint8_t> ModuleRinsePage(const LiveState& s) {
  std::vector<std::uint8_t> page;
  PutLong(page, static_cast<std::uint32_t>(s.moduleRinseTicks));
  PutWord(page, static_cast<std::uint32_t>(s.rinseProgressTicks));
  return page;
}

std::vector<std::uint8_t> FilterRinsePage(const LiveState& s) {
  std::vector<std::uint8_t> page;
  PutLong(page, s.filterRinse ? static_cast<std::uint32_t>(s.filterRinseTicks) : 0xFFFFFFFFu);
  return page;
}

// Raw converter readings behind the displayed values, on the controller's 10-bit scale.
std::vector<std::uint8_t> CountersPage(const LiveState& s, const Memory& memory,
                                       int writeEnableSeconds) {
  std::vector<std::uint8_t> page;
  PutWord(page, static_cast<std::uint32_t>(102 + s.pressure * 8));
  PutWord(page, static_cast<std::uint32_t>(s.temperatureRaw * 4 + 1));
  const int empty = memory.Word(address::kRefEmpty);
  const int full = memory.Word(address::kRefFull);
  PutWord(page, static_cast<std::uint32_t>(empty + (full - empty) * s.level / 100.0));
  PutWord(page, static_cast<std::uint32_t>(s.runTicks));
  page.push_back(Byte(static_cast<unsigned>(s.leakStarts)));
  page.push_back(Byte(static_cast<unsigned>(std::min(writeEnableSeconds, 255))));
  PutLong(page, memory.Long(address::kPumpStarts));
  return page;
}

std::vector<std::uint8_t> WaterMeterPage(const LiveState& s, const Memory& memory) {
  std::vector<std::uint8_t> page;
  PutLong(page, memory.Long(address::kCisternMeter));
  PutLong(page, memory.Long(address::kMainsMeter));
  page.push_back((memory.Byte(address::kInputs) & 0x0C) | Flag(s.meterIndicator, 0x80));
  return page;
}

}  // namespace

std::vector<std::uint8_t> WithChecksum(std::vector<std::uint8_t> data) {
  const std::uint8_t sum = Checksum(data);
  data.push_back(sum);
  return data;
}

std::array<std::uint8_t, 3> DisplaySegments(const LiveState& s, const Memory& memory) {
  if (s.displayOverride) return {s.display[0], s.display[1], s.display[2]};
  for (const auto& e : kErrorDisplays) {
    if (((e.second ? s.errors2 : s.errors1) & e.bit) != 0) return e.segments;
  }
  // The display alternates between level and pressure every Anzeige steps of 81.92 ms.
  const double period = std::max(1, int{memory.Byte(address::kDisplayTime)}) * 0.08192;
  const bool showPressure = std::fmod(s.displayClock, 2 * period) >= period;
  if (showPressure) {
    const int p = std::clamp(s.pressure, 0, 999);
    if (p >= 100) return {kDigits[p / 100], kDigits[p / 10 % 10], kDigits[p % 10]};
    return {0, static_cast<std::uint8_t>(kDigits[p / 10] | kPoint), kDigits[p % 10]};
  }
  const int level = std::clamp(static_cast<int>(s.level), 0, 999);
  return {level >= 100 ? kDigits[level / 100] : std::uint8_t{0},
          level >= 10 ? kDigits[level / 10 % 10] : std::uint8_t{0}, kDigits[level % 10]};
}

std::optional<std::vector<std::uint8_t>> BuildStatusPage(int code, const LiveState& state,
                                                         const Memory& memory,
                                                         int writeEnableSeconds) {
  switch (code) {
    case kMainStatusPage:
      return WithChecksum(MainPage(state, memory, writeEnableSeconds > 0));
    case kModuleRinsePage:
      return WithChecksum(ModuleRinsePage(state));
    case kFilterRinsePage:
      return WithChecksum(FilterRinsePage(state));
    case kCountersPage:
      return WithChecksum(CountersPage(state, memory, writeEnableSeconds));
    case kWaterMeterPage:
      return WithChecksum(WaterMeterPage(state, memory));
    default:
      return std::nullopt;
  }
}

}  // namespace velta::sim
