// The simulated controller's settings as the status pages and memory show them, scenario files,
// and the model running forward.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "link/connection.h"
#include "link/exchange.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/sim_process.h"

namespace velta::test {
namespace {

struct PageCase {
  const char* setting;
  std::uint8_t code;     // status page
  std::size_t offset;    // first byte of the field
  std::vector<std::uint8_t> bytes;
  std::uint8_t mask;     // applied to a single byte; 0xFF compares whole bytes
};

const PageCase kPageCases[] = {
    {"level=42", 1, 7, {42}, 0xFF},
    {"pump=77", 1, 8, {77}, 0xFF},
    {"pressure=35", 1, 9, {35}, 0xFF},
    {"temp=100", 1, 10, {100}, 0xFF},
    {"hours=513", 1, 11, {0x02, 0x01}, 0xFF},
    {"mean=255", 1, 13, {255}, 0xFF},
    {"level=42", 1, 0, {0x00, 0x8E, 0xF4}, 0xFF},          // the display shows " 42"
    {"error=0x08", 1, 0, {0xF8, 0x91, 0xDC}, 0xFF},        // then "Er.P" for the dry run
    {"error=0 error2=0x08", 1, 0, {0xDD, 0x38, 0xF8}, 0xFF},  // "P.LE" for the pump leak
    {"display=7E0601", 1, 0, {0x7E, 0x06, 0x01}, 0xFF},
    {"sensormin=1", 1, 3, {0x01}, 0x01},
    {"sensormax=1", 1, 3, {0x02}, 0x02},
    {"button=1", 1, 3, {0x00}, 0x08},
    {"modulerinse=0", 1, 3, {0x00}, 0x10},
    {"levelsensor=0", 1, 3, {0x20}, 0x20},
    {"flow=1", 1, 3, {0x40}, 0x40},
    {"makeup=1", 1, 4, {0x01}, 0x21},
    {"hand=1", 1, 4, {0x00}, 0x02},
    {"hand=1", 1, 5, {0x01}, 0x01},
    {"rinse=1", 1, 4, {0x80}, 0x80},
    {"beep=0", 1, 5, {0x00}, 0x02},
    {"overflow=1", 1, 5, {0x10}, 0x10},
    {"error=0xFF", 1, 5, {0xFC}, 0xFC},
    {"error2=0xFF", 1, 6, {0x1F}, 0x1F},
    {"watermeter=0", 1, 6, {0x00}, 0x20},
    {"writeenable=1", 1, 6, {0x40}, 0x40},
    {"pumpoff=1", 1, 6, {0x80}, 0x80},
    {"modulerinsetime=210937", 10, 0, {0x00, 0x03, 0x37, 0xF9}, 0xFF},
    {"rinseprogress=513", 10, 4, {0x02, 0x01}, 0xFF},
    {"filtertime=16909060", 11, 0, {0x01, 0x02, 0x03, 0x04}, 0xFF},
    {"runticks=8789", 12, 6, {0x22, 0x55}, 0xFF},
    {"leak=3", 12, 8, {3}, 0xFF},
    {"starts=4294967295", 12, 10, {0xFF, 0xFF, 0xFF, 0xFF}, 0xFF},
    {"cistern=1234567", 15, 0, {0x00, 0x12, 0xD6, 0x87}, 0xFF},
    {"mains=5", 15, 4, {0x00, 0x00, 0x00, 0x05}, 0xFF},
};

int PageLength(std::uint8_t code) {
  switch (code) {
    case 1: return 15;
    case 10: return 7;
    case 11: return 5;
    case 12: return 15;
    default: return 10;
  }
}

TEST(SimModel, SettingsShowOnTheStatusPages) {
  SimProcess sim;
  const ChannelHandle channel = OpenFromSettings(sim.TcpSettings());
  for (const auto& c : kPageCases) {
    SCOPED_TRACE(c.setting);
    sim.Set(c.setting);
    std::vector<std::uint8_t> page(static_cast<std::size_t>(PageLength(c.code)));
    ASSERT_EQ(Exchange(channel, StatusRequest(c.code), page), ExchangeOutcome::Good);
    if (c.mask == 0xFF) {
      EXPECT_EQ(std::vector<std::uint8_t>(page.begin() + c.offset, page.begin() + c.offset + c.bytes.size()),
                c.bytes);
    } else {
      EXPECT_EQ(page[c.offset] & c.mask, c.bytes[0]);
    }
  }
}

TEST(SimModel, CountersLiveInMemoryWhereTheProgramWritesThem) {
  SimProcess sim({"--write-enable"});
  sim.Set("hours=513 starts=0x01020304 mains=7 cistern=0x0A0B0C0D");
  auto memory = sim.Memory();
  EXPECT_EQ(std::vector<std::uint8_t>(memory.begin() + 52, memory.begin() + 64),
            (std::vector<std::uint8_t>{0, 0, 0, 7, 0x0A, 0x0B, 0x0C, 0x0D, 0, 0, 0x02, 0x01}));
  EXPECT_EQ(std::vector<std::uint8_t>(memory.begin() + 84, memory.begin() + 88),
            (std::vector<std::uint8_t>{1, 2, 3, 4}));
  // Writing the hour counter's bytes changes what the main status page reports.
  const ChannelHandle channel = OpenFromSettings(sim.TcpSettings());
  for (int a = 60; a < 64; ++a) {
    ASSERT_EQ(ExchangeAcknowledged(channel, WriteRequest(kTcpWriteBase, a, a == 63 ? 9 : 0)),
              ExchangeOutcome::Good);
  }
  std::vector<std::uint8_t> page(15);
  ASSERT_EQ(Exchange(channel, StatusRequest(kMainStatusPage), page), ExchangeOutcome::Good);
  EXPECT_EQ(page[11], 0);
  EXPECT_EQ(page[12], 9);
}

TEST(SimModel, FreshControllerHoldsTheDefaultBlockAHistoryRingAndALinearTankTable) {
  SimProcess sim;
  const auto memory = sim.Memory();
  const std::vector<std::uint8_t> defaults = {
      3,   3,   5,   1,   78, 32,  1,   43, 1,   100, 35,  20,  0,   3,   20,  20, 7, 58,
      0,   172, 1,   71,  30, 123, 0,   0,  37,  10,  95,  195, 1,   183, 0,   22, 135, 211,
      1,   183, 0,   96,  143, 61, 0,   0,  10,  48,  99,  5,   185, 2,   221, 141};
  EXPECT_EQ(std::vector<std::uint8_t>(memory.begin(), memory.begin() + 52), defaults);
  EXPECT_GE(memory[154], 98);
  EXPECT_LE(memory[154], 153);
  for (int i = 0; i <= 100; ++i) EXPECT_EQ(memory[155 + i], i) << i;
}

TEST(SimModel, AdvancingRunsPumpCyclesAndTheHistoryRing) {
  SimProcess sim({"--set", "historyinterval=30"});
  const auto before = sim.Memory();
  const ChannelHandle channel = OpenFromSettings(sim.TcpSettings());
  std::vector<std::uint8_t> pageBefore(15), pageAfter(15);
  ASSERT_EQ(Exchange(channel, StatusRequest(kMainStatusPage), pageBefore), ExchangeOutcome::Good);
  // A static model does not move by itself.
  ASSERT_EQ(Exchange(channel, StatusRequest(kMainStatusPage), pageAfter), ExchangeOutcome::Good);
  EXPECT_EQ(pageAfter, pageBefore);

  sim.Query("advance 599");
  const auto after = sim.Memory();
  auto starts = [](const std::vector<std::uint8_t>& m) {
    return (m[84] << 24) | (m[85] << 16) | (m[86] << 8) | m[87];
  };
  // Water is drawn for 12 s of every 40 s, from the first second on: 15 pump starts.
  EXPECT_EQ(starts(after) - starts(before), 15);
  // One sample every 30 s moves the newest position on by 19, wrapping inside 98..153.
  EXPECT_EQ(after[154], 98 + (before[154] - 98 + 19) % 56);

  sim.Query("advance 100000");
  const auto later = sim.Memory();
  EXPECT_GE(later[154], 98);
  EXPECT_LE(later[154], 153);
}

TEST(SimModel, ScenarioFileSetsTheControllerUp) {
  const ScratchDir dir;
  const std::string path = (dir / "scenario.txt").string();
  WriteFile(path,
            "# a dry cistern with the pump in error\n"
            "level = 3\n"
            "\n"
            "error=0x08\n"
            "version=1.601.59\n"
            "fault=badsum page12\n");
  SimProcess sim({"--scenario", path, "--set", "level=4"});
  const ChannelHandle channel = OpenFromSettings(sim.TcpSettings());
  std::vector<std::uint8_t> page(15);
  ASSERT_EQ(Exchange(channel, StatusRequest(kMainStatusPage), page), ExchangeOutcome::Good);
  EXPECT_EQ(page[7], 4) << "later settings win";
  EXPECT_EQ(page[5] & 0xFC, 0x08);
  std::array<std::uint8_t, 9> version{};
  EXPECT_EQ(ExchangeUnsummed(channel, StatusRequest(kVersionQuery), version),
            ExchangeOutcome::Good);
  EXPECT_EQ(std::string(version.begin(), version.begin() + 8), "1.601.59");
  EXPECT_EQ(Exchange(channel, StatusRequest(kCountersPage), page), ExchangeOutcome::WrongSum);
}

}  // namespace
}  // namespace velta::test
