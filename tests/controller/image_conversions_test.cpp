// The display texts of the value editors and the conversions behind them.
#include <gtest/gtest.h>

#include "controller/conversions.h"
#include "tests/support/english_suite.h"

namespace velta {
namespace {

class EditorTexts : public test::EnglishSuite {};

TEST_F(EditorTexts, TenthsAndTimes) {
  struct Row {
    std::string actual;
    const char* expected;
  };
  const Row rows[] = {
      {TenthsText(0, "bar"), "0.0bar"},
      {TenthsText(100, "bar"), "10.0bar"},
      {TenthsText(5, "bar"), "0.5bar"},
      {TenthsText(35, "bar"), "3.5bar"},
      {TenthsText(FifthTicksTenths(184), "s"), "15.0s"},
      {TenthsText(FifthTicksTenths(7), "s"), "0.5s"},
      {TenthsText(FifthTicksTenths(123), "s"), "10.0s"},
      {TenthsText(FifthTicksTenths(0), "s"), "0.0s"},
      {TenthsText(TicksTenths(255), "s"), "104.4s"},
      {TenthsText(TicksTenths(21), "s"), "8.6s"},
      {TenthsText(TicksTenths(439), "s"), "179.8s"},
      {TenthsText(TicksTenths(1000), "s"), "409.6s"},
  };
  for (const Row& row : rows) EXPECT_EQ(row.actual, row.expected);
}

TEST_F(EditorTexts, TemperatureCurve) {
  struct Row {
    int raw;
    int celsius;
  };
  const Row rows[] = {{0, 120}, {172, 87}, {300, 66}, {327, 62}, {600, 28}, {1023, 2}};
  for (const Row& row : rows) EXPECT_EQ(TemperatureReadingCelsius(row.raw), row.celsius) << row.raw;
  EXPECT_EQ(TemperatureText(172), "~87°C (172)");
  EXPECT_EQ(TemperatureText(327), "~62°C (327)");
  for (int raw = 1; raw <= 1023; ++raw) {
    ASSERT_LE(TemperatureReadingCelsius(raw), TemperatureReadingCelsius(raw - 1))
        << "the curve falls, at " << raw;
  }
}

TEST_F(EditorTexts, UnitsAndOffStates) {
  struct Row {
    std::string actual;
    const char* expected;
  };
  const Row rows[] = {
      {RegelTText(0), "81ms (0)"},
      {RegelTText(3), "327ms (3)"},
      {RegelTText(255), "20971ms (255)"},
      {RetryIntervalText(13), "0Min 5Sek"},
      {RetryIntervalText(733), "5Min 0Sek"},
      {RetryIntervalText(8788), "59Min 59Sek"},
      {MaxPowerTimeText(735), "5 Minutes"},
      {MaxPowerTimeText(1465), "10 Minutes"},
      {MaxPowerTimeText(32767), "223 Minutes"},
      {MaxPowerText(99), ">=99%"},
      {MaxPowerText(100), "=100%"},
      {RetryCountText(0), "Off"},
      {RetryCountText(3), "3x"},
      {LaufzeitText(0), "Off"},
      {LaufzeitText(88), "176 Minutes"},
      {SanftStartText(0), "Off"},
      {SanftStartText(1), "20ms"},
      {SanftStartText(63), "1260ms"},
      {PulsFensterText(5), "50ms"},
      {PulsFensterText(20), "200ms"},
      {PercentText(60), "60%"},
      {DaysText(7), "7days"},  // the catalogue's " Tage" has no leading blank
  };
  for (const Row& row : rows) EXPECT_EQ(row.actual, row.expected);
}

TEST_F(EditorTexts, LeakTimeFollowsRunOnTime) {
  struct Row {
    int runOn;
    bool flowSensor;
    int minimum;
    int position;
  };
  // The float product makes several multiples of 5 land one lower than exact arithmetic.
  const Row rows[] = {{25, true, 8, 16},   {25, false, 10, 21}, {50, true, 13, 21},
                      {50, false, 15, 26}, {184, true, 40, 48}, {184, false, 42, 53},
                      {0, true, 4, 12},    {0, false, 6, 17},   {123, false, 30, 41}};
  for (const Row& row : rows) {
    const LeakTimeLimits limits = LeakTimeFromRunOn(row.runOn, row.flowSensor);
    EXPECT_EQ(limits.minimum, row.minimum) << row.runOn << (row.flowSensor ? " flow" : "");
    EXPECT_EQ(limits.position, row.position) << row.runOn << (row.flowSensor ? " flow" : "");
  }
}

}  // namespace
}  // namespace velta
