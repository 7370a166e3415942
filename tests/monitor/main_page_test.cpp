// Main status page decoding: display mimic, texts of the bit tables, error listing, level, pump,
// pressure and temperature.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "monitor/main_page.h"

namespace velta {
namespace {

using Page = std::array<std::uint8_t, 14>;

// A quiet page: automatic mode, level measurement on, no errors, pump off.
Page QuietPage() { return Page{0x7E, 0x06, 0x01, 0x10, 0x02, 0, 0, 57, 0, 35, 100, 0, 12, 255}; }

TEST(MainPageDisplay, SegmentBitsLightTheirSegments) {
  struct Row {
    std::uint8_t bits;
    std::string lit;  // segment names in enum order
  };
  const Row rows[] = {{0x7E, "abcdef"}, {0x06, "bc"}, {0x04, "b"},  {0x02, "c"},
                      {0x01, "dp"},     {0x80, "g"},  {0x00, ""},   {0xFF, "abcdefgdp"}};
  for (const Row& row : rows) {
    for (int digit = 0; digit < 3; ++digit) {
      Page page = QuietPage();
      page[digit] = row.bits;
      PollCycle cycle;
      const MainPageView view = DecodeMainPage(page, cycle);
      std::string lit;
      for (int s = 0; s < kSegmentCount; ++s) {
        if (view.segments[digit][s]) lit += kSegmentNames[s];
      }
      EXPECT_EQ(lit, row.lit) << "bits " << int{row.bits} << " digit byte " << digit;
    }
  }
}

TEST(MainPageTexts, InputAndOutputBitsChooseTheirTexts) {
  Page page = QuietPage();
  page[3] = 0x01 | 0x04 | 0x08 | 0x40;  // SensorMin, overflow sensor, button, flow; no module rinse
  page[4] = 0x01 | 0x08 | 0x10 | 0x40;  // yellow and blue LED, valve, relay 2
  page[5] = 0x01 | 0x02 | 0x10;         // hand, warning tone, overflow alarm (and its error flag)
  page[6] = 0x80 | 0x40 | 0x20;
  PollCycle cycle;
  const MainPageView on = DecodeMainPage(page, cycle);
  EXPECT_EQ(on.sensorMin, "SensorMin EIN");
  EXPECT_EQ(on.sensorMax, "SensorMax AUS");
  EXPECT_EQ(on.overflowSensor, "SensorRückstau EIN");
  EXPECT_TRUE(on.buttonOffShown);
  EXPECT_EQ(on.moduleRinse, "Keine Modulspülung");
  EXPECT_EQ(on.levelMeasurement, "Füllstandsmessung EIN");
  EXPECT_EQ(on.flowSensor, "SensorFluss EIN");
  EXPECT_EQ(on.leds, (std::array<bool, kLedCount>{true, false, false, true}));
  EXPECT_EQ(on.valve, "Ventil EIN");
  EXPECT_EQ(on.relay1, "Nachspeisung");
  EXPECT_EQ(on.relay2, "(Zisterne)");
  EXPECT_EQ(on.mode, "Hand");
  EXPECT_EQ(on.warningTone, "Warnton EIN");
  EXPECT_TRUE(on.overflowAlarm);
  EXPECT_TRUE(on.pumpSwitchedOff);
  EXPECT_TRUE(on.writeEnabled);
  EXPECT_TRUE(on.waterMeterPresent);

  page[3] = 0x10 | 0x20 | 0x02;
  page[4] = 0x02 | 0x04 | 0x20;
  page[5] = 0;
  page[6] = 0;
  const MainPageView off = DecodeMainPage(page, cycle);
  EXPECT_EQ(off.sensorMin, "SensorMin AUS");
  EXPECT_EQ(off.sensorMax, "SensorMax EIN");
  EXPECT_EQ(off.overflowSensor, "SensorRückstau AUS");
  EXPECT_FALSE(off.buttonOffShown);
  EXPECT_FALSE(off.moduleRinse.has_value()) << "module rinse text belongs to page 10 then";
  EXPECT_EQ(off.levelMeasurement, "Keine Füllstandsmessung");
  EXPECT_EQ(off.flowSensor, "SensorFluss AUS");
  EXPECT_EQ(off.leds, (std::array<bool, kLedCount>{false, true, true, false}));
  EXPECT_EQ(off.valve, "Ventil AUS");
  EXPECT_EQ(off.relay1, "Zisterne");
  EXPECT_EQ(off.relay2, "(Nachspeisung)");
  EXPECT_EQ(off.mode, "Automatik");
  EXPECT_EQ(off.warningTone, "Warnton AUS");
  EXPECT_FALSE(off.overflowAlarm || off.pumpSwitchedOff || off.writeEnabled ||
               off.waterMeterPresent);

  // Pump off and write enable each on its own.
  page[6] = 0x80;
  const MainPageView pumpOff = DecodeMainPage(page, cycle);
  EXPECT_TRUE(pumpOff.pumpSwitchedOff);
  EXPECT_FALSE(pumpOff.writeEnabled);
  page[6] = 0x40;
  const MainPageView writeEnabled = DecodeMainPage(page, cycle);
  EXPECT_FALSE(writeEnabled.pumpSwitchedOff);
  EXPECT_TRUE(writeEnabled.writeEnabled);
}

TEST(MainPageMeasurements, TemperaturePressurePumpAndAverage) {
  const struct {
    std::uint8_t raw;
    int celsius;
  } temperatures[] = {{0, 120}, {100, 52}, {128, 38}, {255, 2}};
  for (const auto& row : temperatures) {
    Page page = QuietPage();
    page[10] = row.raw;
    PollCycle cycle;
    EXPECT_EQ(DecodeMainPage(page, cycle).temperature, std::to_string(row.celsius) + "°C")
        << "raw " << int{row.raw};
  }

  const struct {
    std::uint8_t tenths;
    const char* text;
  } pressures[] = {{7, "0.7bar"}, {0, "0.0bar"}, {35, "3.5bar"}, {255, "25.5bar"}};
  for (const auto& row : pressures) {
    Page page = QuietPage();
    page[9] = row.tenths;
    PollCycle cycle;
    EXPECT_EQ(DecodeMainPage(page, cycle).pressure, row.text);
  }

  Page page = QuietPage();
  PollCycle cycle;
  MainPageView view = DecodeMainPage(page, cycle);
  EXPECT_EQ(view.pump, "Aus");
  EXPECT_FALSE(view.pumpRunning);
  EXPECT_EQ(view.pumpAverage, " ");
  page[8] = 64;
  page[13] = 0;
  view = DecodeMainPage(page, cycle);
  EXPECT_EQ(view.pump, "64%");
  EXPECT_TRUE(view.pumpRunning);
  EXPECT_EQ(view.pumpAverage, "0%");
}

TEST(MainPageLevel, MeasuredLevelOrFloatSwitches) {
  struct Row {
    std::uint8_t inputs, level;
    int bar;
    std::optional<std::string> text;
  };
  const Row rows[] = {
      {0x00, 57, 57, "57%"},
      {0x03, 120, 120, "120%"},  // out of range still shows the number
      {0x23, 57, 0, "OK"},
      {0x20, 57, 0, "LEER"},
      {0x21, 57, 0, std::nullopt},  // SensorMin alone: text kept
      {0x22, 57, 0, std::nullopt},  // SensorMax alone: text kept
  };
  for (const Row& row : rows) {
    Page page = QuietPage();
    page[3] = row.inputs;
    page[7] = row.level;
    PollCycle cycle;
    const MainPageView view = DecodeMainPage(page, cycle);
    EXPECT_EQ(view.levelBar, row.bar) << "inputs " << int{row.inputs};
    EXPECT_EQ(view.levelText, row.text) << "inputs " << int{row.inputs};
  }
}

TEST(MainPageErrors, ListedInTableOrderOnlyWhenTheFlagsChange) {
  PollCycle cycle;
  Page page = QuietPage();
  page[5] = 0x0C | 0x03;  // Er.b and Er.P, with the hand and beep state bits beside them
  auto first = DecodeMainPage(page, cycle).errors;
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(first->lines, (std::vector<std::string>{"Messwertgeber Zisterne defekt! (Er.b)",
                                                    "Trockenlauf Pumpe! (Er.P)"}));
  EXPECT_TRUE(first->stored);
  EXPECT_EQ(first->barColour, LevelBarColour::Red);

  EXPECT_FALSE(DecodeMainPage(page, cycle).errors.has_value()) << "same flags list nothing";
  page[5] = 0x0C;  // state bits alone
  EXPECT_FALSE(DecodeMainPage(page, cycle).errors.has_value());

  page[5] = 0xF0;
  page[6] = 0x1F;
  auto all = DecodeMainPage(page, cycle).errors;
  ASSERT_TRUE(all.has_value());
  EXPECT_EQ(all->lines, (std::vector<std::string>{
                            "Rückstau Zisterne! (LED rot)",
                            "Übertemperatur, VEL Steuerung! (Er.t)",
                            "Drucksensor defekt! (Er.2)",
                            "Maximale Pumpenlaufzeitüberwachung! (Er.h)",
                            "Lecküberwachung! (Er.L)",
                            "Laufzeitüberschreitung mit Maximallast! (Er.1)",
                            "Pumpe zieht Luft aus der Zisterne! (Er.C)",
                            "Pumpe, Wasserleck! (P.LE)",
                            "Flusssensor klemmt! (Er.F)",
                        }));
  EXPECT_EQ(all->barColour, LevelBarColour::Unchanged) << "only the cistern sensor turns it red";
}

TEST(MainPageErrors, NoErrorsShownOnceAndStateBitsDoNotRedisplay) {
  PollCycle cycle;
  Page page = QuietPage();
  auto first = DecodeMainPage(page, cycle).errors;
  ASSERT_TRUE(first.has_value()) << "the first page always displays";
  EXPECT_EQ(first->lines, std::vector<std::string>{"Keine Fehler"});
  EXPECT_FALSE(first->stored);
  EXPECT_EQ(first->barColour, LevelBarColour::Blue);

  for (std::uint8_t stateBits : {0x20, 0x40, 0x80, 0xE0}) {
    page[6] = stateBits;
    EXPECT_FALSE(DecodeMainPage(page, cycle).errors.has_value()) << int{stateBits};
  }
  page[6] = 0x01;
  ASSERT_TRUE(DecodeMainPage(page, cycle).errors.has_value());
  page[6] = 0x00;
  EXPECT_EQ(DecodeMainPage(page, cycle).errors->lines, std::vector<std::string>{"Keine Fehler"});
}

}  // namespace
}  // namespace velta
