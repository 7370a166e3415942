// Operating hours and counters: the number the user types and where each counter lives.
#include "controller/counters.h"

#include <gtest/gtest.h>


namespace velta {
namespace {

TEST(ParseCounterValue, AcceptsEmptyAndUnsigned32BitDecimalsOnly) {
  struct Row {
    const char* text;
    std::optional<std::uint32_t> value;
  };
  const Row rows[] = {
      {"", 0u},           {"0", 0u},       {"65536", 65536u},  {"4294967295", 4294967295u},
      {"4294967296", {}}, {"99999999999", {}}, {"-1", {}},     {"+5", {}},
      {" 5", {}},         {"5 ", {}},      {"12a", {}},        {"0x10", {}},
  };
  for (const Row& row : rows) EXPECT_EQ(ParseCounterValue(row.text), row.value) << row.text;
}

TEST(StoreCounter, EachCounterOwnsItsBytesAndHoursClearTheUpperWord) {
  struct Row {
    Counter counter;
    std::uint32_t value;
    int first;
    std::vector<std::uint8_t> bytes;
    const char* shown;
  };
  const Row rows[] = {
      {Counter::PumpHours, 70000, 60, {0, 0, 0x11, 0x70}, "4464"},  // low 16 bits of 70000
      {Counter::PumpHours, 0, 60, {0, 0, 0, 0}, "0"},
      {Counter::PumpStarts, 0x01020304, 84, {1, 2, 3, 4}, "16909060"},
      {Counter::MainsPulses, 4294967295u, 52, {255, 255, 255, 255}, "4294967295"},
      {Counter::CisternPulses, 256, 56, {0, 0, 1, 0}, "256"},
  };
  for (const Row& row : rows) {
    ControllerImage image;
    image.bytes.fill(0xAA);
    StoreCounter(image, row.counter, row.value);
    const AddressRange written = CounterWriteRange(row.counter);
    EXPECT_EQ(written.first, row.first);
    EXPECT_EQ(written.last, row.first + 3);
    for (int a = 0; a < kImageSize; ++a) {
      const bool inside = a >= row.first && a <= row.first + 3;
      EXPECT_EQ(image.Byte(a), inside ? row.bytes[a - row.first] : 0xAA) << "address " << a;
    }
    EXPECT_EQ(CounterText(image, row.counter), row.shown);
  }
}

}  // namespace
}  // namespace velta
