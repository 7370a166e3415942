#include "controller/conversions.h"

#include "i18n/lookup.h"

namespace velta {
namespace {

constexpr double kTicksPerDay = 210937.5;

std::string Number(long long value) { return std::to_string(value); }

// The word "Aus" for an option stepped down to 0.
std::string OffText() { return _("Aus"); }

}  // namespace

std::uint32_t TicksFromDays(int days) { return static_cast<std::uint32_t>(days * kTicksPerDay); }

int DaysFromTicks(std::uint32_t ticks) {
  return static_cast<int>((static_cast<double>(ticks) + 1.0) / kTicksPerDay);
}

std::string TenthsText(int tenths, const char* unit) {
  return Number(tenths / 10) + "." + Number(tenths % 10) + unit;
}

float FifthTicksAsTenths(int position) { return static_cast<float>(position * 0.8192); }
int FifthTicksTenths(int position) { return static_cast<int>(FifthTicksAsTenths(position)); }
int TicksTenths(int position) { return static_cast<int>(static_cast<float>(position * 4.096)); }

std::string PressureText(int tenths) { return TenthsText(tenths, "bar"); }
std::string FifthTicksText(int position) { return TenthsText(FifthTicksTenths(position), "s"); }
std::string TicksText(int position) { return TenthsText(TicksTenths(position), "s"); }

int TemperatureReadingCelsius(int reading) {
  const double p = reading;
  return static_cast<int>(0.00008966659 * p * p - 0.2074395 * p + 120.8816);
}

std::string TemperatureText(int reading) {
  return "~" + Number(TemperatureReadingCelsius(reading)) + "°C (" + Number(reading) + ")";
}

std::string PercentText(int percent) { return Number(percent) + "%"; }

std::string DaysText(int days) { return Number(days) + _(" Tage"); }

std::string RegelTText(int position) {
  const auto ms = static_cast<long long>(position * 81.92 + 81.92);
  return Number(ms) + "ms (" + Number(position) + ")";
}

std::string MaxPowerText(int percent) {
  return (percent < 100 ? ">=" : "=") + PercentText(percent);
}

std::string MaxPowerTimeText(int ticks) {
  const auto seconds = static_cast<long long>(ticks * 0.4096);
  return Number(seconds / 60) + _(" Minuten");
}

std::string RetryIntervalText(int ticks) {
  const auto seconds = static_cast<long long>(ticks * 0.4096);
  return Number((seconds / 60) % 60) + "Min " + Number(seconds % 60) + "Sek";
}

std::string RetryCountText(int count) { return count == 0 ? OffText() : Number(count) + _("x"); }

std::string LaufzeitText(int position) {
  return position == 0 ? OffText() : Number(2 * position) + _(" Minuten");
}

std::string SanftStartText(int position) {
  return position == 0 ? OffText() : Number(2 * position) + _("0ms");
}

std::string PulsFensterText(int position) { return Number(position) + "0ms"; }

LeakTimeLimits LeakTimeFromRunOn(int runOnPosition, bool flowSensor) {
  // Tenths of a second to ticks; the float product of the run-on text is used on purpose, so
  // some multiples of 5 land one tick lower than exact arithmetic.
  const double ticks = static_cast<double>(FifthTicksAsTenths(runOnPosition)) * 0.244140625;
  return {static_cast<int>(ticks + (flowSensor ? 4 : 6)),
          static_cast<int>(ticks + (flowSensor ? 12 : 17))};
}

}  // namespace velta
