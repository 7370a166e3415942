// Decoder of the Main status page (status page 1): the front-panel display mimic, LEDs,
// push-button, inputs, outputs, error flags, level, pump, pressure and temperature, as texts and
// states ready for the Monitor window.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "monitor/poll_cycle.h"
#include "monitor/readings.h"

namespace velta {

// Segment order of the mimic; the images are named img<digit><letter>, digit 3 on the left.
enum Segment { kSegA, kSegB, kSegC, kSegD, kSegE, kSegF, kSegG, kSegDp, kSegmentCount };
inline constexpr std::array<const char*, kSegmentCount> kSegmentNames{"a", "b", "c", "d",
                                                                      "e", "f", "g", "dp"};
// Digit number in the image names for bytes 0, 1 and 2.
inline constexpr std::array<int, 3> kDigitNumbers{3, 2, 1};

enum Led { kLedYellow, kLedGreen, kLedRed, kLedBlue, kLedCount };

// Colour the cistern level bar takes with a newly shown error list.
enum class LevelBarColour { Unchanged, Red, Blue };

// Shown only when the error pair changed since the last displayed page.
struct ErrorListing {
  std::vector<std::string> lines;  // new content of MemoError, in table order
  bool stored;  // true: each line is an active error for the stored list; false: "Keine Fehler"
  LevelBarColour barColour;
};

struct MainPageView {
  std::array<std::array<bool, kSegmentCount>, 3> segments;  // [byte 0..2][Segment]
  std::array<bool, kLedCount> leds;
  bool buttonOffShown;  // byte 3 bit 0x08: imgTastOff shown and imgTastOn hidden, else the reverse

  std::string sensorMin, sensorMax, overflowSensor, flowSensor, levelMeasurement;
  std::optional<std::string> moduleRinse;  // only "Keine Modulspülung"; else the page 10 text stays
  std::string valve, relay1, relay2;
  std::string mode, warningTone;
  bool overflowAlarm, pumpSwitchedOff, writeEnabled, waterMeterPresent;

  std::optional<ErrorListing> errors;

  int levelBar;                          // pbZist position
  std::optional<std::string> levelText;  // lblZist; kept as it was with one float switch set
  std::string pump;                      // lblPumpe
  bool pumpRunning;                      // the "Pumpe" group turns yellow
  std::string pressure, temperature, pumpAverage;
};

// The 14 data bytes of a good page. Updates the remembered error pair in `cycle`.
MainPageView DecodeMainPage(std::span<const std::uint8_t> page, PollCycle& cycle);

// The page's readings as numbers and flags: level, pump, pressure, temperature, the error pair
// and its active errors, the inputs and the pump's operating hours.
void DecodeMainPageReadings(std::span<const std::uint8_t> page, Readings& readings);

// The flags set in the error pair (E1, E2), in table order.
std::vector<ErrorFlagText> ActiveErrors(std::uint8_t e1, std::uint8_t e2);

}  // namespace velta
