// Rinse times, counters, water meters and the history ring.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "i18n/lookup.h"
#include "monitor/history_block.h"
#include "monitor/rinse_tick.h"
#include "monitor/side_pages.h"

namespace velta {
namespace {

TEST(RinseTicks, SinglePrecisionThenTruncated) {
  const struct {
    std::uint32_t ticks, seconds;
  } rows[] = {{0, 0}, {1, 0}, {3, 1}, {8789, 3599}, {210937, 86399}, {210938, 86400},
              {0xFFFFFFFFu, 1759218560},
              // 32912.9984 s rounds up to 32913.0 in single precision; a single-precision factor
              // would make the product 32912.996.
              {80354, 32913}};
  for (const auto& row : rows) EXPECT_EQ(RinseTicksToSeconds(row.ticks), row.seconds) << row.ticks;
}

TEST(RinsePages, ModuleAndFilterRinseTexts) {
  const struct {
    std::array<std::uint8_t, 4> ticks;
    const char* module;
    const char* filter;
  } rows[] = {
      {{0, 0, 0, 0}, "Modulsp:  0 Tage(n)  0:00:00", "Filtersp:  0 Tage(n)  0:00:00"},
      {{0x00, 0x03, 0x37, 0xF9}, "Modulsp:  0 Tage(n) 23:59:59", "Filtersp:  0 Tage(n) 23:59:59"},
      // 8948 ticks are 3665 s: the minutes above the hour, 61, show as 01.
      {{0x00, 0x00, 0x22, 0xF4}, "Modulsp:  0 Tage(n)  1:01:05", "Filtersp:  0 Tage(n)  1:01:05"},
      {{0x00, 0x60, 0x8F, 0x3D}, "Modulsp: 30 Tage(n)  0:00:00", "Filtersp: 30 Tage(n)  0:00:00"},
  };
  for (const auto& row : rows) {
    const std::array<std::uint8_t, 6> module{row.ticks[0], row.ticks[1], row.ticks[2],
                                             row.ticks[3], 0xFF, 0xFF};
    EXPECT_EQ(DecodeModuleRinsePage(module, false), row.module);
    EXPECT_EQ(DecodeFilterRinsePage(row.ticks), row.filter);
  }
  // A running rinse shows its own seconds from bytes 4-5: 0x0100 ticks are 104.8 s.
  const std::array<std::uint8_t, 6> running{0, 0, 0, 0, 0x01, 0x00};
  EXPECT_EQ(DecodeModuleRinsePage(running, true), "Spülung läüft  104s");
  const std::array<std::uint8_t, 4> none{0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(DecodeFilterRinsePage(none), "Ohne Filterspülung");
  EXPECT_TRUE(IsNoFilterRinse(none));
  const std::array<std::uint8_t, 4> almost{0xFF, 0xFF, 0xFF, 0xFE};
  EXPECT_FALSE(IsNoFilterRinse(almost));
}

TEST(RinsePages, EnglishCatalogue) {
  UseLanguage("en");
  const std::array<std::uint8_t, 6> module{};
  EXPECT_EQ(DecodeModuleRinsePage(module, false), "Module flushing:  0 days (n)  0:00:00");
  const std::array<std::uint8_t, 4> none{0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(DecodeFilterRinsePage(none), "Without filter flushing");
  UseLanguage("de");
}

TEST(CountersPage, HoursMinutesLeakStartsAndStarts) {
  // Run time 0x2255 ticks, 3 leak starts, 1234567 pump starts.
  const std::array<std::uint8_t, 14> page{0, 0, 0, 0, 0, 0, 0x22, 0x55, 3, 0, 0x00, 0x12, 0xD6, 0x87};
  const CountersView good = DecodeCountersPage(page, true, 12);
  EXPECT_EQ(good.pumpHours, "12h:59m");
  EXPECT_EQ(good.leakStarts, "Leckstarts:3");
  EXPECT_EQ(good.starts, "   1234567 Starts");

  const CountersView badSum = DecodeCountersPage(page, false, 65535);
  EXPECT_EQ(badSum.pumpHours, "65535h:59m");
  EXPECT_EQ(badSum.leakStarts, "Leckstarts:3");
  EXPECT_FALSE(badSum.starts.has_value()) << "the start counter waits for a matching sum";

  // Above one hour the minutes are those within the hour: 8948 ticks are 61 minutes.
  std::array<std::uint8_t, 14> overHour = page;
  overHour[6] = 0x22;
  overHour[7] = 0xF4;
  EXPECT_EQ(DecodeCountersPage(overHour, true, 12).pumpHours, "12h:01m");

  std::array<std::uint8_t, 14> quiet{};
  const CountersView none = DecodeCountersPage(quiet, true, 0);
  EXPECT_EQ(none.pumpHours, "0h:00m");
  EXPECT_EQ(none.leakStarts, "");
  EXPECT_EQ(none.starts, "         0 Starts");
}

TEST(WaterMeterPage, DecimalsSelectorAndIndicator) {
  const struct {
    std::uint32_t reading;
    unsigned selector;
    const char* text;
  } rows[] = {
      {1234567, 0, "   1234.567m³"}, {1234567, 1, "   12345.67m³"}, {1234567, 2, "   123456.7m³"},
      {1234567, 3, "   1234567m³"},  {5, 1, "       0.05m³"},     {0, 0, "      0.000m³"},
      {0xFFFFFFFFu, 3, "4294967295m³"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(FormatWaterMeter(row.reading, row.selector), row.text)
        << row.reading << " selector " << row.selector;
  }
  // First reading 5 and second 1234567 with selector 1 (bits 2-3 = 01) and the indicator bit.
  const std::array<std::uint8_t, 9> page{0, 0, 0, 5, 0x00, 0x12, 0xD6, 0x87, 0x80 | 0x04 | 0x03};
  const WaterMeterView view = DecodeWaterMeterPage(page);
  EXPECT_EQ(view.first, "       0.05m³");
  EXPECT_EQ(view.second, "   12345.67m³");
  EXPECT_EQ(view.indicator, "1");
  const std::array<std::uint8_t, 9> plain{0, 0, 0, 5, 0, 0, 0, 7, 0x7F & ~0x0C};
  EXPECT_EQ(DecodeWaterMeterPage(plain).indicator, "0");
  EXPECT_EQ(DecodeWaterMeterPage(plain).second, "      0.007m³");
}

// A block whose ring byte i holds 100 + i, with the position byte behind it.
std::array<std::uint8_t, 57> Ring(std::uint8_t position) {
  std::array<std::uint8_t, 57> block{};
  for (int i = 0; i < kHistorySamples; ++i) block[i] = static_cast<std::uint8_t>(100 + i);
  block[56] = position;
  return block;
}

TEST(HistoryBlock, NewestFirstFromThePositionByte) {
  const auto at98 = DecodeHistoryBlock(Ring(98), true);
  ASSERT_TRUE(at98.has_value());
  EXPECT_TRUE(at98->line);
  EXPECT_EQ(at98->samples[0], 100);
  EXPECT_EQ(at98->samples[1], 155);
  EXPECT_EQ(at98->samples[2], 154);
  EXPECT_EQ(at98->samples[55], 101);

  const auto at153 = DecodeHistoryBlock(Ring(153), false);
  ASSERT_TRUE(at153.has_value());
  EXPECT_FALSE(at153->line);
  EXPECT_EQ(at153->samples[0], 155);
  EXPECT_EQ(at153->samples[55], 100);

  const auto at120 = DecodeHistoryBlock(Ring(120), true);
  ASSERT_TRUE(at120.has_value());
  for (int j = 0; j < kHistorySamples; ++j) {
    EXPECT_EQ(at120->samples[j], 100 + (22 - j + 56) % 56) << "sample " << j;
  }
  EXPECT_DOUBLE_EQ(HistoryX(0), 0.0);
  EXPECT_DOUBLE_EQ(HistoryX(55), -27.5);
}

TEST(HistoryBlock, PositionOutsideTheRingIsIgnored) {
  for (std::uint8_t position : {0, 97, 154, 255}) {
    EXPECT_FALSE(DecodeHistoryBlock(Ring(position), true).has_value()) << int{position};
  }
}

}  // namespace
}  // namespace velta
