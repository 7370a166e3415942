#include "sim/pages.h"

#include <array>
#include <algorithm>
#include <cmath>

#include "link/frames.h"
#include "monitor/main_page_bits.h"
#include "monitor/water_meter_bits.h"

namespace velta::sim {

namespace {

using namespace main_page;

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
    {false, kCisternSensorError, {kE, kRPoint, 0xBA}},         // Er.b
    {false, kDryRunError, {kE, kRPoint, 0xDC}},                // Er.P
    {false, kOverTemperatureError, {kE, kRPoint, 0xB8}},       // Er.t
    {false, kPressureSensorError, {kE, kRPoint, kDigits[2]}},  // Er.2
    {false, kMaxRunTimeError, {kE, kRPoint, 0x9A}},            // Er.h
    {true, kLeakError, {kE, kRPoint, 0x38}},                   // Er.L
    {true, kMaxLoadError, {kE, kRPoint, kDigits[1]}},          // Er.1
    {true, kAirDrawnError, {kE, kRPoint, 0x78}},               // Er.C
    {true, kWaterLeakError, {0xDC | kPoint, 0x38, kE}},        // P.LE
    {true, kFlowSensorStuck, {kE, kRPoint, 0xD8}},             // Er.F
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
  page.push_back(Flag(s.sensorMin, kSensorMin) | Flag(s.sensorMax, kSensorMax) |
                 Flag(s.backflowSensor, kOverflowSensor) | Flag(!s.buttonPressed, kButtonOff) |
                 Flag(s.moduleRinse, kModuleRinseConfigured) |
                 Flag(!s.levelSensor, kNoLevelMeasurement) | Flag(s.flowSensor, kFlowSensor));
  page.push_back(Flag(s.makeUp, kYellowLed) | Flag(!s.hand, kGreenLed) |
                 Flag(s.overflowAlarm || s.backflowSensor, kRedLed) | Flag(s.blueLed, kBlueLed) |
                 Flag(s.valve, kValve) | Flag(!s.makeUp, kRelay1Cistern) |
                 Flag(!s.makeUp, kRelay2Cistern) | Flag(s.rinseRunning, kRinseRunning));
  page.push_back((s.errors1 & kErrors1Mask) | Flag(s.hand, kHandMode) |
                 Flag(s.beep, kWarningTone) | Flag(s.overflowAlarm, kOverflowAlarm));
  page.push_back((s.errors2 & kErrors2Mask) | Flag(s.waterMeter, kWaterMeterPresent) |
                 Flag(writeEnabled, kWriteEnabled) | Flag(s.pumpSwitchedOff, kPumpSwitchedOff));
  page.push_back(Byte(static_cast<unsigned>(s.level)));
  page.push_back(Byte(static_cast<unsigned>(s.pumpPower)));
  page.push_back(Byte(static_cast<unsigned>(s.pressure)));
  page.push_back(Byte(static_cast<unsigned>(s.temperatureRaw)));
  PutWord(page, memory.Word(kPumpHoursAddress));
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
  const int empty = memory.Word(field::RefZistLeer.address);
  const int full = memory.Word(field::RefZistVoll.address);
  PutWord(page, static_cast<std::uint32_t>(empty + (full - empty) * s.level / 100.0));
  PutWord(page, static_cast<std::uint32_t>(s.runTicks));
  page.push_back(Byte(static_cast<unsigned>(s.leakStarts)));
  page.push_back(Byte(static_cast<unsigned>(std::min(writeEnableSeconds, 255))));
  PutLong(page, memory.Long(kPumpStartsAddress));
  return page;
}

std::vector<std::uint8_t> WaterMeterPage(const LiveState& s, const Memory& memory) {
  std::vector<std::uint8_t> page;
  PutLong(page, memory.Long(kCisternMeterAddress));
  PutLong(page, memory.Long(kMainsMeterAddress));
  // The decimals come from the settings' input byte, whose bits they share.
  page.push_back((memory.Byte(field::Eingang.address) & water_meter_page::kDecimalsMask) |
                 Flag(s.meterIndicator, water_meter_page::kPulseIndicator));
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
  const double period = std::max(1, int{memory.Byte(field::Anzeige.address)}) * 0.08192;
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
