#include "monitor/main_page.h"

#include "controller/conversions.h"
#include "controller/error_memory.h"
#include "i18n/lookup.h"
#include "link/big_endian.h"
#include "monitor/main_page_bits.h"

namespace velta {
namespace {

using namespace main_page;

// Segment bit of a display byte, in the order of enum Segment (a b c d e f g dp).
constexpr std::array<std::uint8_t, kSegmentCount> kSegmentBits{0x40, 0x04, 0x02, 0x20,
                                                               0x10, 0x08, 0x80, 0x01};

struct ErrorFlag {
  bool second;  // E2 instead of E1
  std::uint8_t bit;
  int kind;  // index of kErrorKinds, which holds the code
  const char* msgid;
};
namespace k = error_kind;
// Tested and listed in this order.
constexpr std::array<ErrorFlag, 11> kErrorFlags{{
    {false, kCisternSensorError, k::kCisternSensor, "Messwertgeber Zisterne defekt! (Er.b)"},
    {false, kDryRunError, k::kDryRun, "Trockenlauf Pumpe! (Er.P)"},
    {false, kBackflowError, k::kBackflow, "Rückstau Zisterne! (LED rot)"},
    {false, kOverTemperatureError, k::kOverTemperature, "Übertemperatur, VEL Steuerung! (Er.t)"},
    {false, kPressureSensorError, k::kPressureSensor, "Drucksensor defekt! (Er.2)"},
    {false, kMaxRunTimeError, k::kMaxRunTime, "Maximale Pumpenlaufzeitüberwachung! (Er.h)"},
    {true, kLeakError, k::kLeak, "Lecküberwachung! (Er.L)"},
    {true, kMaxLoadError, k::kMaxLoad, "Laufzeitüberschreitung mit Maximallast! (Er.1)"},
    {true, kAirDrawnError, k::kAirDrawn, "Pumpe zieht Luft aus der Zisterne! (Er.C)"},
    {true, kWaterLeakError, k::kWaterLeak, "Pumpe, Wasserleck! (P.LE)"},
    {true, kFlowSensorStuck, k::kFlowSensorStuck, "Flusssensor klemmt! (Er.F)"},
}};

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
  for (ErrorFlagText& error : ActiveErrors(e1, e2)) listing.lines.push_back(std::move(error.text));
  // A broken level sensor turns the level bar red.
  if (e1 & kCisternSensorError) listing.barColour = LevelBarColour::Red;
  return listing;
}

void DecodeLevel(std::uint8_t inputs, std::uint8_t level, MainPageView& view) {
  const bool levelMeasurementOn = (inputs & kNoLevelMeasurement) == 0;
  if (levelMeasurementOn) {
    view.levelBar = level;
    view.levelText = std::to_string(level) + "%";
    return;
  }
  // Float switches only: both set means water above the upper one, both clear an empty cistern.
  view.levelBar = 0;
  const bool min = inputs & kSensorMin, max = inputs & kSensorMax;
  if (min && max) view.levelText = _("OK");
  if (!min && !max) view.levelText = _("LEER");
}

// The page carries the temperature sensor's reading divided by 4.
int PageTemperatureCelsius(std::uint8_t value) { return TemperatureReadingCelsius(4 * value); }

}  // namespace

std::vector<ErrorFlagText> ActiveErrors(std::uint8_t e1, std::uint8_t e2) {
  std::vector<ErrorFlagText> errors;
  for (const ErrorFlag& flag : kErrorFlags) {
    if (((flag.second ? e2 : e1) & flag.bit) != 0)
      errors.push_back({kErrorKinds[flag.kind].code, _(flag.msgid)});
  }
  return errors;
}

MainPageView DecodeMainPage(std::span<const std::uint8_t> page, PollCycle& cycle) {
  MainPageView view{};
  for (int digit = 0; digit < 3; ++digit) {
    for (int s = 0; s < kSegmentCount; ++s) {
      view.segments[digit][s] = (page[digit] & kSegmentBits[s]) != 0;
    }
  }

  const std::uint8_t inputs = page[kInputsByte];
  view.sensorMin = Pick(inputs & kSensorMin, "SensorMin EIN", "SensorMin AUS");
  view.sensorMax = Pick(inputs & kSensorMax, "SensorMax EIN", "SensorMax AUS");
  view.overflowSensor = Pick(inputs & kOverflowSensor, "SensorRückstau EIN", "SensorRückstau AUS");
  view.buttonOffShown = inputs & kButtonOff;
  if (!(inputs & kModuleRinseConfigured)) view.moduleRinse = _("Keine Modulspülung");
  view.levelMeasurement =
      Pick(inputs & kNoLevelMeasurement, "Keine Füllstandsmessung", "Füllstandsmessung EIN");
  view.flowSensor = Pick(inputs & kFlowSensor, "SensorFluss EIN", "SensorFluss AUS");

  const std::uint8_t outputs = page[kOutputsByte];
  view.leds = {(outputs & kYellowLed) != 0, (outputs & kGreenLed) != 0,
               (outputs & kRedLed) != 0, (outputs & kBlueLed) != 0};
  view.valve = Pick(outputs & kValve, "Ventil EIN", "Ventil AUS");
  view.relay1 = Pick(outputs & kRelay1Cistern, "Zisterne", "Nachspeisung");
  view.relay2 = Pick(outputs & kRelay2Cistern, "(Zisterne)", "(Nachspeisung)");

  const std::uint8_t state = page[kStateByte], flags = page[kFlagsByte];
  view.errors = ListChangedErrors(state & kErrors1Mask, flags & kErrors2Mask, cycle);

  view.pumpSwitchedOff = flags & kPumpSwitchedOff;
  view.writeEnabled = flags & kWriteEnabled;
  view.waterMeterPresent = flags & kWaterMeterPresent;
  view.mode = Pick(state & kHandMode, "Hand", "Automatik");
  view.warningTone = Pick(state & kWarningTone, "Warnton EIN", "Warnton AUS");
  view.overflowAlarm = state & kOverflowAlarm;

  DecodeLevel(inputs, page[kLevelByte], view);

  const std::uint8_t power = page[kPumpPowerByte];
  view.pumpRunning = power != 0;
  view.pump = view.pumpRunning ? std::to_string(power) + "%" : _("Aus");
  view.pressure = TenthsText(page[kPressureByte], "bar");
  view.temperature = std::to_string(PageTemperatureCelsius(page[kTemperatureByte])) + "°C";
  const std::uint8_t average = page[kPumpAverageByte];
  view.pumpAverage = average == 255 ? " " : std::to_string(average) + "%";
  return view;
}

void DecodeMainPageReadings(std::span<const std::uint8_t> page, Readings& readings) {
  using enum ReadingId;
  const std::uint8_t inputs = page[kInputsByte], outputs = page[kOutputsByte];
  const std::uint8_t state = page[kStateByte], flags = page[kFlagsByte];
  if ((inputs & kNoLevelMeasurement) == 0) {
    readings.SetNumber(Level, page[kLevelByte]);
  } else {
    readings.SetNone(Level);
  }
  readings.SetNumber(PumpPower, page[kPumpPowerByte]);
  readings.Set(PumpRunning, page[kPumpPowerByte] != 0);
  readings.SetNumber(Pressure, page[kPressureByte] / 10.0);
  readings.SetNumber(Temperature, PageTemperatureCelsius(page[kTemperatureByte]));
  if (page[kPumpAverageByte] != 255) {
    readings.SetNumber(PumpAverage, page[kPumpAverageByte]);
  } else {
    readings.SetNone(PumpAverage);
  }
  readings.SetNumber(PumpHours, BigEndian16(page, kPumpHoursByte));
  const std::uint8_t e1 = state & kErrors1Mask, e2 = flags & kErrors2Mask;
  SetErrors(readings, e1, e2, ActiveErrors(e1, e2));
  readings.Set(HandMode, (state & kHandMode) != 0);
  readings.Set(SensorMin, (inputs & kSensorMin) != 0);
  readings.Set(SensorMax, (inputs & kSensorMax) != 0);
  readings.Set(Valve, (outputs & kValve) != 0);
  readings.Set(WriteEnabled, (flags & kWriteEnabled) != 0);
}

}  // namespace velta
