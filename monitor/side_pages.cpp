#include "monitor/side_pages.h"

#include <cmath>

#include "i18n/lookup.h"
#include "link/big_endian.h"
#include "monitor/rinse_tick.h"
#include "monitor/water_meter_bits.h"

namespace velta {
namespace {

using ulong = unsigned long;

// "%3d Tage(n) %2lu:%02lu:%02lu" behind the page's own prefix.
std::string FormatRinseTime(const char* msgid, std::uint32_t ticks) {
  const DayTime t = SplitSeconds(RinseTicksToSeconds(ticks));
  return Format(_(msgid), static_cast<int>(t.days), ulong{t.hours}, ulong{t.minutes},
                ulong{t.seconds});
}

unsigned DecimalsSelector(std::span<const std::uint8_t> page) {
  using namespace water_meter_page;
  return (page[kFlagsByte] & kDecimalsMask) >> kDecimalsShift;
}

}  // namespace

bool IsNoFilterRinse(std::span<const std::uint8_t> page) {
  return BigEndian32(page, 0) == 0xFFFFFFFFu;
}

std::string DecodeModuleRinsePage(std::span<const std::uint8_t> page, bool rinseRunning) {
  if (rinseRunning) {
    const auto seconds = RinseTicksToSeconds(BigEndian16(page, 4));
    return Format(_("Spülung läüft %4ds"), static_cast<int>(seconds));
  }
  return FormatRinseTime("Modulsp:%3d Tage(n) %2lu:%02lu:%02lu", BigEndian32(page, 0));
}

std::string DecodeFilterRinsePage(std::span<const std::uint8_t> page) {
  if (IsNoFilterRinse(page)) return _("Ohne Filterspülung");
  return FormatRinseTime("Filtersp:%3d Tage(n) %2lu:%02lu:%02lu", BigEndian32(page, 0));
}

CountersView DecodeCountersPage(std::span<const std::uint8_t> page, bool good,
                                std::uint16_t pumpHours) {
  CountersView view;
  if (good) view.starts = Format(_("%10lu Starts"), ulong{BigEndian32(page, 10)});
  const std::uint32_t seconds = RinseTicksToSeconds(BigEndian16(page, 6));
  view.pumpHours = Format("%dh:%02lum", int{pumpHours}, ulong{seconds / 60 % 60});
  if (page[8] != 0) view.leakStarts = _("Leckstarts:") + std::to_string(page[8]);
  return view;
}

std::string FormatWaterMeter(std::uint32_t reading, unsigned selector) {
  const ulong v = reading;
  switch (selector & 3) {
    case 0: return Format(_("%7lu.%03lum³"), v / 1000, v % 1000);
    case 1: return Format(_("%8lu.%02lum³"), v / 100, v % 100);
    case 2: return Format(_("%9lu.%1lum³"), v / 10, v % 10);
    default: return Format(_("%10lum³"), v);
  }
}

WaterMeterView DecodeWaterMeterPage(std::span<const std::uint8_t> page) {
  using namespace water_meter_page;
  const std::uint8_t flags = page[kFlagsByte];
  const unsigned selector = DecimalsSelector(page);
  return {FormatWaterMeter(BigEndian32(page, kFirstReadingByte), selector),
          FormatWaterMeter(BigEndian32(page, kSecondReadingByte), selector),
          (flags & kPulseIndicator) ? "1" : "0"};
}

void DecodeModuleRinseReadings(std::span<const std::uint8_t> page, Readings& readings) {
  readings.SetNumber(ReadingId::ModuleRinse, RinseTicksToSeconds(BigEndian32(page, 0)));
}

void DecodeFilterRinseReadings(std::span<const std::uint8_t> page, Readings& readings) {
  if (IsNoFilterRinse(page)) {
    readings.SetNone(ReadingId::FilterRinse);
  } else {
    readings.SetNumber(ReadingId::FilterRinse, RinseTicksToSeconds(BigEndian32(page, 0)));
  }
}

void DecodeCounterReadings(std::span<const std::uint8_t> page, bool good, Readings& readings) {
  // The window shows some fields of a reply with a wrong sum; the data takes none of them.
  if (!good) return;
  readings.SetNumber(ReadingId::PumpStarts, BigEndian32(page, 10));
  readings.SetNumber(ReadingId::LeakStarts, page[8]);
}

// The page's reading v stands for v / 10^decimals cubic metres.
void DecodeWaterMeterReadings(std::span<const std::uint8_t> page, Readings& readings) {
  using namespace water_meter_page;
  const int decimals = 3 - static_cast<int>(DecimalsSelector(page));
  const double scale = std::pow(10.0, decimals);
  readings.Set(ReadingId::WaterMeter1,
               Quantity{BigEndian32(page, kFirstReadingByte) / scale, decimals});
  readings.Set(ReadingId::WaterMeter2,
               Quantity{BigEndian32(page, kSecondReadingByte) / scale, decimals});
}

}  // namespace velta
