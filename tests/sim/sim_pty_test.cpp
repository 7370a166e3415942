// The simulator's pseudo-terminal, opened the way the program opens a serial port.
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "link/exchange.h"
#include "link/port_search.h"
#include "tests/sim/wire.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/sim_process.h"

namespace velta::test {
namespace {

constexpr std::uint32_t kComPort = 41;

TEST(SimPty, AnswersEveryRequestWithItsExactLength) {
  SimProcess sim({"--pty", "--write-enable"});
  ASSERT_FALSE(sim.PtyPath().empty());
  SetComPortOverride(kComPort, sim.PtyPath());
  ChannelHandle channel(OpenSerialChannel(kComPort, 9600));
  ASSERT_TRUE(channel.IsOpen());

  // A serial line keeps what was not read, so a reply one byte too long would spoil the next.
  struct Request {
    Frame frame;
    int length;
  };
  const Request requests[] = {
      {StatusRequest(kMainStatusPage), 15},  {StatusRequest(kModuleRinsePage), 7},
      {StatusRequest(kFilterRinsePage), 5},  {StatusRequest(kCountersPage), 15},
      {StatusRequest(kWaterMeterPage), 10},  {ReadRequest(0x62, 0x62 + 56), 58},
      {ReadRequest(0, 51), 53},              {ReadRequest(1, 255), 256},
      {ReadRequest(0, 1), 3},                {ReadRequest(0, 87), 89},
      {ReadRequest(0, 81), 83},              {ReadRequest(155, 255), 102},
  };
  for (const auto& request : requests) {
    std::vector<std::uint8_t> reply(static_cast<std::size_t>(request.length));
    ASSERT_EQ(Exchange(channel, request.frame, reply), ExchangeOutcome::Good)
        << HexFrame(request.frame);
  }
  EXPECT_EQ(ExchangeAcknowledged(channel, WriteRequest(kSerialWriteBase, 0x9B, 0x64)),
            ExchangeOutcome::Good);
  std::array<std::uint8_t, 9> version{};
  EXPECT_EQ(ExchangeUnsummed(channel, StatusRequest(kVersionQuery), version),
            ExchangeOutcome::Good);
  EXPECT_EQ(std::string(version.begin(), version.end()).substr(0, 8), "1.601.60");
  // Nothing follows the last reply.
  std::uint8_t extra;
  EXPECT_EQ(ChannelReceive(channel.get(), &extra, 1), 0);
  channel.Close();

  EXPECT_EQ(sim.Memory()[0x9B], 0x64);
  EXPECT_EQ(sim.Frames().size(), std::size(requests) + 2);
  SetComPortOverride(kComPort, "");
}

TEST(SimPty, FixedLinkPathReachesThePseudoTerminalAndIsRemovedAtTheEnd) {
  const ScratchDir directory;
  const auto link = directory / "ttyVEL";
  {
    SimProcess sim({"--pty-link", link.string()});
    ASSERT_EQ(std::filesystem::read_symlink(link).string(), sim.PtyPath());
    ASSERT_EQ(setenv(("VELTA_COM" + std::to_string(kComPort + 1)).c_str(), link.c_str(), 1), 0);
    ChannelHandle channel(OpenSerialChannel(kComPort + 1, 9600));
    ASSERT_TRUE(channel.IsOpen());
    std::vector<std::uint8_t> page(15);
    EXPECT_EQ(Exchange(channel, StatusRequest(kMainStatusPage), page), ExchangeOutcome::Good);
    // The program opens the port anew for every operation.
    channel.Close();
    channel = ChannelHandle(OpenSerialChannel(kComPort + 1, 9600));
    ASSERT_TRUE(channel.IsOpen());
    EXPECT_EQ(Exchange(channel, StatusRequest(kCountersPage), page), ExchangeOutcome::Good);
  }
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

TEST(SimPty, ARegularFileAtTheLinkPathIsNeitherReplacedNorRemoved) {
  const ScratchDir directory;
  const auto file = directory / "ttyVEL";
  WriteFile(file, "keep");
  EXPECT_THROW(SimProcess({"--pty-link", file.string()}), std::runtime_error);
  EXPECT_EQ(ReadFile(file), "keep");
}

}  // namespace
}  // namespace velta::test
