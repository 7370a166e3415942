// The whole link against the controller simulator, over TCP and over a pseudo-terminal: frames
// go out as built, the simulator's replies pass the checks, writes are acknowledged and land.
#include <gtest/gtest.h>

#include "link/connection.h"
#include "link/exchange.h"
#include "link/port_search.h"
#include "tests/support/sim_process.h"

namespace velta {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::int32_t kSimComPort = 245;

class LinkWithSimulatorTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (UseTcp()) {
      settings_ = sim_.TcpSettings();
    } else {
      ASSERT_FALSE(sim_.PtyPath().empty());
      SetComPortOverride(kSimComPort, sim_.PtyPath());
      settings_.comPort = kSimComPort;
    }
    channel_ = OpenFromSettings(settings_);
    ASSERT_TRUE(channel_.IsOpen()) << static_cast<int>(LastOpenError());
  }
  void TearDown() override {
    channel_.Close();
    SetComPortOverride(kSimComPort, "");
  }
  bool UseTcp() const { return GetParam(); }

  test::SimProcess sim_{GetParam() ? std::vector<std::string>{"--write-enable"}
                                   : std::vector<std::string>{"--write-enable", "--pty"}};
  ConnectionSettings settings_;
  ChannelHandle channel_;
};

TEST_P(LinkWithSimulatorTest, StatusPagesComeBackWhole) {
  const std::pair<StatusCode, int> pages[] = {{kMainStatusPage, kMainStatusPageLength},
                                              {kCountersPage, kCountersPageLength}};
  for (const auto& [code, length] : pages) {
    SCOPED_TRACE(int(code));
    Bytes reply(length + 1);
    EXPECT_EQ(Exchange(channel_, StatusRequest(code), reply), ExchangeOutcome::Good);
  }
}

// The largest read (255 bytes from address 1) and the Parameter block read return the
// simulator's memory, content and checksum.
TEST_P(LinkWithSimulatorTest, MemoryReadsReturnTheControllerMemory) {
  Bytes pattern(255);
  for (int i = 0; i < 255; ++i) pattern[i] = static_cast<std::uint8_t>(i * 7 + 3);
  sim_.SetMemory(1, pattern);
  const Bytes memory = sim_.Memory();

  const struct {
    int first;
    int last;
  } ranges[] = {{1, 255}, {0, 51}};
  for (const auto& range : ranges) {
    SCOPED_TRACE(range.first);
    const int length = range.last - range.first + 1;
    Bytes reply(length + 1);
    ASSERT_EQ(Exchange(channel_, ReadRequest(range.first, range.last), reply),
              ExchangeOutcome::Good);
    EXPECT_EQ(Bytes(reply.begin(), reply.end() - 1),
              Bytes(memory.begin() + range.first, memory.begin() + range.last + 1));
  }
}

TEST_P(LinkWithSimulatorTest, WriteIsAcknowledgedAndStoredWithTheSettingsWriteBase) {
  sim_.ClearFrames();
  EXPECT_EQ(ExchangeAcknowledged(channel_, WriteRequest(WriteFamilyBase(settings_), 0x05, 0x12)),
            ExchangeOutcome::Good);
  EXPECT_EQ(sim_.Memory()[5], 0x12);
  const std::vector<std::string> frames = sim_.Frames();
  ASSERT_FALSE(frames.empty());
  EXPECT_EQ(frames.back(), UseTcp() ? "98 05 12 AF" : "90 05 12 A7");
}

INSTANTIATE_TEST_SUITE_P(Transports, LinkWithSimulatorTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Tcp" : "Serial"; });

}  // namespace
}  // namespace velta
