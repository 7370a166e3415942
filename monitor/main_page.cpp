#include "monitor/main_page.h"

#include "i18n/lookup.h"

namespace velta {
namespace {

// Segment bit of a display byte, in the order of enum Segment (a b c d e f g dp).
constexpr std::array<std::uint8_t, kSegmentCount> kSegmentBits{0x40, 0x04, 0x02, 0x20,
                                                               0x10, 0x08, 0x80, 0x01};

struct ErrorFlag {
  bool second;  // E2 instead of E1
  std::uint8_t bit;
  const char* msgid;
};
// Tested and listed in this order.
constexpr std::array<ErrorFlag, 11> kErrorFlags{{
    {false, 0x04, "Messwertgeber Zisterne defekt! (Er.b)"},
    {false, 0x08, "Trockenlauf Pumpe! (Er.P)"},
    {false, 0x10, "Rückstau Zisterne! (LED rot)"},
    {false, 0x20, "Übertemperatur, VEL Steuerung! (Er.t)"},
    {false, 0x40, "Drucksensor defekt! (Er.2)"},
    {false, 0x80, "Maximale Pumpenlaufzeitüberwachung! (Er.h)"},
    {true, 0x01, "Lecküberwachung! (Er.L)"},
    {true, 0x02, "Laufzeitüberschreitung mit Maximallast! (Er.1)"},
    {true, 0x04, "Pumpe zieht Luft aus der Zisterne! (Er.C)"},
    {true, 0x08, "Pumpe, Wasserleck! (P.LE)"},
    {true, 0x10, "Flusssensor klemmt! (Er.F)"},
}};
constexpr std::uint8_t kCisternSensorError = 0x04;  // E1: the level bar turns red

std::string Pick(bool set, const char* whenSet, const char* whenClear) {
  return _(set ? whenSet : whenClear);
}

std::optional<ErrorListing> ListChangedErrors(std::uint8_t e1, std::uint8_t e2,
                                              PollCycle& cycle) {
  if (e1 == cycle.shownE1 && e2 == cycle.shownE2) return std::nullopt;
  cycle.shownE1 = e1;
  cycle.shownE2 = e2;
  if (e1 == 0 && e2 == 0) return ErrorListing{{_("Keine Fehler")}, false, LevelBarColour::Blue};
  ErrorListing listing{{}, true, LevelBarColour::Unchanged};
  for (const ErrorFlag& flag : kErrorFlags) {
    if (((flag.second ? e2 : e1) & flag.bit) != 0) listing.lines.push_back(_(flag.msgid));
  }
  if (e1 & kCisternSensorError) listing.barColour = LevelBarColour::Red;
  return listing;
}

void DecodeLevel(std::uint8_t inputs, std::uint8_t level, MainPageView& view) {
  const bool levelMeasurementOn = (inputs & 0x20) == 0;
  if (levelMeasurementOn) {
    view.levelBar = level;
    view.levelText = std::to_string(level) + "%";
    return;
  }
  // Float switches only: both set means water above the upper one, both clear an empty cistern.
  view.levelBar = 0;
  const bool min = inputs & 0x01, max = inputs & 0x02;
  if (min && max) view.levelText = _("OK");
  if (!min && !max) view.levelText = _("LEER");
}

}  // namespace

int TemperatureCelsius(std::uint8_t raw) {
  const double x = 4.0 * raw;
  return static_cast<int>(0.00008966659 * x * x - 0.2074395 * x + 120.8816);
}

std::string TenthsText(unsigned tenths, const char* unit) {
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + unit;
}

MainPageView DecodeMainPage(std::span<const std::uint8_t> page, PollCycle& cycle) {
  MainPageView view{};
  for (int digit = 0; digit < 3; ++digit) {
    for (int s = 0; s < kSegmentCount; ++s) {
      view.segments[digit][s] = (page[digit] & kSegmentBits[s]) != 0;
    }
  }

  const std::uint8_t inputs = page[3];
  view.sensorMin = Pick(inputs & 0x01, "SensorMin EIN", "SensorMin AUS");
  view.sensorMax = Pick(inputs & 0x02, "SensorMax EIN", "SensorMax AUS");
  view.overflowSensor = Pick(inputs & 0x04, "SensorRückstau EIN", "SensorRückstau AUS");
  view.buttonOffShown = inputs & 0x08;
  if (!(inputs & 0x10)) view.moduleRinse = _("Keine Modulspülung");
  view.levelMeasurement = Pick(inputs & 0x20, "Keine Füllstandsmessung", "Füllstandsmessung EIN");
  view.flowSensor = Pick(inputs & 0x40, "SensorFluss EIN", "SensorFluss AUS");

  const std::uint8_t outputs = page[4];
  view.leds = {(outputs & 0x01) != 0, (outputs & 0x02) != 0, (outputs & 0x04) != 0,
               (outputs & 0x08) != 0};
  view.valve = Pick(outputs & 0x10, "Ventil EIN", "Ventil AUS");
  view.relay1 = Pick(outputs & 0x20, "Zisterne", "Nachspeisung");
  view.relay2 = Pick(outputs & 0x40, "(Zisterne)", "(Nachspeisung)");

  view.errors = ListChangedErrors(page[5] & 0xFC, page[6] & 0x1F, cycle);

  view.pumpSwitchedOff = page[6] & 0x80;
  view.writeEnabled = page[6] & 0x40;
  view.waterMeterPresent = page[6] & 0x20;
  view.mode = Pick(page[5] & 0x01, "Hand", "Automatik");
  view.warningTone = Pick(page[5] & 0x02, "Warnton EIN", "Warnton AUS");
  view.overflowAlarm = page[5] & 0x10;

  DecodeLevel(inputs, page[7], view);

  view.pumpRunning = page[8] != 0;
  view.pump = view.pumpRunning ? std::to_string(page[8]) + "%" : _("Aus");
  view.pressure = TenthsText(page[9], "bar");
  view.temperature = std::to_string(TemperatureCelsius(page[10])) + "°C";
  view.pumpAverage = page[13] == 255 ? " " : std::to_string(page[13]) + "%";
  return view;
}

}  // namespace velta
