// The display texts of the Settings window's value editors and the unit conversions behind them.
// Every real-to-integer conversion truncates toward zero. Texts that hold a catalogue word ("
// Tage", " Minuten", "Aus") are looked up when built.
#pragma once

#include <cstdint>
#include <string>

namespace velta {

// Rinse intervals: one day is 210937.5 Rinse ticks. Reading adds one tick so that a written whole
// number of days reads back as that number.
std::uint32_t TicksFromDays(int days);
int DaysFromTicks(std::uint32_t ticks);

// "3.5bar": tenths as integer part, a full stop whatever the locale, one digit, then the unit.
std::string TenthsText(int tenths, const char* unit);
// Tenths of a second in steps of 81.92 ms (fifth ticks) and 409.6 ms (ticks). The product is held
// as a 32-bit float before truncation, as the controller's own tools compute it.
float FifthTicksAsTenths(int position);
int FifthTicksTenths(int position);
int TicksTenths(int position);
// The three tenths editors: "2.5bar", fifth ticks and ticks as "12.3s".
std::string PressureText(int tenths);
std::string FifthTicksText(int position);
std::string TicksText(int position);

// The temperature sensor's reading (as the Parameter block stores its limits) in whole degrees
// Celsius, and "~87°C (172)" for a reading of 172.
int TemperatureReadingCelsius(int reading);
std::string TemperatureText(int reading);

std::string PercentText(int percent);
std::string DaysText(int days);
std::string RegelTText(int position);       // "327ms (3)"
std::string MaxPowerText(int percent);      // ">=99%" below 100, "=100%"
std::string MaxPowerTimeText(int ticks);    // whole minutes
std::string RetryIntervalText(int ticks);   // "4Min 59Sek"
std::string RetryCountText(int count);      // "Aus" or "3x"
std::string LaufzeitText(int position);     // "Aus" or minutes (2 per step)
std::string SanftStartText(int position);   // "Aus" or milliseconds (20 per step)
std::string PulsFensterText(int position);  // milliseconds (10 per step)

// The leak monitoring time (in ticks) kept above the pump run-on time (in fifth ticks).
struct LeakTimeLimits {
  int minimum;
  int position;
};
LeakTimeLimits LeakTimeFromRunOn(int runOnPosition, bool flowSensor);

// The monitoring time editor shows whole minutes and starts at one minute (147 ticks).
inline constexpr int kMaxPowerTimeFloor = 147;

}  // namespace velta
