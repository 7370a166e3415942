// The whole link against the controller simulator, over TCP and over a pseudo-terminal: frames
// go out as built, the simulator's replies pass the checks, writes are acknowledged and land.
#include <gtest/gtest.h>

#include "link/connection.h"
#include "link/frames.h"
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
    ASSERT_TRUE(IsOpenChannel(channel_)) << static_cast<int>(LastOpenError());
  }
  void TearDown() override {
    CloseChannel(channel_);
    SetComPortOverride(kSimComPort, "");
  }
  bool UseTcp() const { return GetParam(); }

  // One exchange as every caller does it: one send of the frame, one receive of the reply.
  Bytes Exchange(const Frame& frame, std::int32_t replyLength) {
    ChannelSend(channel_, frame.data(), 4);
    Bytes reply(replyLength);
    const std::int32_t n = ChannelReceive(channel_, reply.data(), replyLength);
    reply.resize(n > 0 ? n : 0);
    return reply;
  }

  test::SimProcess sim_{GetParam() ? std::vector<std::string>{"--write-enable"}
                                   : std::vector<std::string>{"--write-enable", "--pty"}};
  ConnectionSettings settings_;
  Channel* channel_ = nullptr;
};

TEST_P(LinkWithSimulatorTest, StatusPagesComeBackWhole) {
  const std::pair<StatusCode, int> pages[] = {{kMainStatusPage, kMainStatusPageLength},
                                              {kCountersPage, kCountersPageLength}};
  for (const auto& [code, length] : pages) {
    SCOPED_TRACE(int(code));
    const Bytes reply = Exchange(StatusRequest(code), length + 1);
    EXPECT_TRUE(IsGoodDataReply(reply, static_cast<std::int32_t>(reply.size()), length));
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
    const Bytes reply = Exchange(ReadRequest(range.first, range.last), length + 1);
    ASSERT_TRUE(IsGoodDataReply(reply, static_cast<std::int32_t>(reply.size()), length));
    EXPECT_EQ(Bytes(reply.begin(), reply.end() - 1),
              Bytes(memory.begin() + range.first, memory.begin() + range.last + 1));
  }
}

TEST_P(LinkWithSimulatorTest, WriteIsAcknowledgedAndStoredWithTheSettingsWriteBase) {
  sim_.ClearFrames();
  const Bytes ack = Exchange(WriteRequest(WriteFamilyBase(settings_), 0x05, 0x12), 1);
  EXPECT_TRUE(IsAcknowledgement(static_cast<std::int32_t>(ack.size())));
  EXPECT_EQ(sim_.Memory()[5], 0x12);
  const std::vector<std::string> frames = sim_.Frames();
  ASSERT_FALSE(frames.empty());
  EXPECT_EQ(frames.back(), UseTcp() ? "98 05 12 AF" : "90 05 12 A7");
}

INSTANTIATE_TEST_SUITE_P(Transports, LinkWithSimulatorTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Tcp" : "Serial"; });

}  // namespace
}  // namespace velta
