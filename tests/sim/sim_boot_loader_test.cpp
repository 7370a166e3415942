// The boot loader: handshake, numbered blocks with their sums, the end sequence, and its faults.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "link/connection.h"
#include "link/exchange.h"
#include "tests/support/sim_process.h"

namespace velta::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The boot loader's one-byte answer to `request`, or nothing when none came.
Bytes Answer(const ChannelHandle& channel, const Bytes& request) {
  std::uint8_t answer[1] = {};
  if (ExchangeUnsummed(channel, request, answer) != ExchangeOutcome::Good) return {};
  return {answer[0]};
}

// One block as the programmer sends it: block number low and high, 32 bytes, their sum; every
// byte with a send of its own. Returns the acknowledgement bytes that came (0 or 1).
Bytes SendBlock(const ChannelHandle& channel, int number, const Bytes& data, int sumOffset = 0) {
  Bytes block = {static_cast<std::uint8_t>(number & 0xFF),
                 static_cast<std::uint8_t>((number >> 8) & 0xFF)};
  block.insert(block.end(), data.begin() + number * 32, data.begin() + number * 32 + 32);
  const auto sum = static_cast<std::uint8_t>(Checksum(block) + sumOffset);
  for (std::uint8_t byte : block) SendRequest(channel, std::span(&byte, 1));
  return Answer(channel, {sum});
}

Bytes Handshake(const ChannelHandle& channel) {
  SendRequest(channel, StatusRequest(kUpdateRequest));
  return Answer(channel, {0xA1});
}

// An image of `blocks` blocks whose bytes differ from block to block.
Bytes Image(int blocks) {
  Bytes image(static_cast<std::size_t>(blocks) * 32);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 7 + i / 32);
  return image;
}

class SimBootLoader : public ::testing::Test {
 protected:
  SimProcess sim;
  ChannelHandle channel = OpenFromSettings(sim.TcpSettings());
};

TEST_F(SimBootLoader, ProgramsTheImageAndReturnsToTheFirmware) {
  const auto image = Image(9);
  EXPECT_EQ(Handshake(channel), Bytes{0xD2});
  EXPECT_EQ(sim.Query("mode"), std::vector<std::string>{"boot"});
  for (int b = 0; b < 9; ++b) {
    EXPECT_EQ(SendBlock(channel, b, image), Bytes{0x00}) << b;
  }
  for (std::uint8_t byte : {0x24, 0x09}) SendRequest(channel, std::span(&byte, 1));
  // The firmware answers requests again on the same connection.
  Bytes page(15);
  EXPECT_EQ(Exchange(channel, StatusRequest(kMainStatusPage), page), ExchangeOutcome::Good);
  EXPECT_EQ(sim.Query("mode"), std::vector<std::string>{"normal"});
  EXPECT_EQ(sim.ProgrammedImage(), image);
  // Boot loader traffic is not logged as request frames.
  EXPECT_EQ(sim.Frames(), (std::vector<std::string>{"60 00 06 66", "60 00 01 61"}));
}

TEST_F(SimBootLoader, BlockNumbersAbove255UseTheSecondByte) {
  const auto image = Image(258);
  ASSERT_EQ(Handshake(channel), Bytes{0xD2});
  // Only the last blocks: the image is built at the place each block names.
  for (int b : {256, 257}) EXPECT_EQ(SendBlock(channel, b, image), Bytes{0x00});
  const auto programmed = sim.ProgrammedImage();
  ASSERT_EQ(programmed.size(), image.size());
  EXPECT_EQ(Bytes(programmed.begin() + 256 * 32, programmed.end()),
            Bytes(image.begin() + 256 * 32, image.end()));
  EXPECT_EQ(programmed[0], 0xFF) << "unprogrammed blocks read as erased flash";
}

TEST_F(SimBootLoader, ABlockWithAWrongSumIsRefusedAndNotStored) {
  const auto image = Image(2);
  ASSERT_EQ(Handshake(channel), Bytes{0xD2});
  EXPECT_EQ(SendBlock(channel, 0, image), Bytes{0x00});
  const auto refused = SendBlock(channel, 1, image, 1);
  ASSERT_EQ(refused.size(), 1u);
  EXPECT_NE(refused[0], 0x00);
  EXPECT_EQ(sim.ProgrammedImage().size(), 32u);
}

TEST_F(SimBootLoader, BytesBeforeTheHandshakeAreIgnored) {
  SendRequest(channel, StatusRequest(kUpdateRequest));
  // A second update request while the boot loader waits is just noise to it.
  EXPECT_EQ(Answer(channel, {0x60, 0x00, 0x06, 0x66, 0x55, 0xA1}), Bytes{0xD2});
}

TEST(SimBootLoaderFaults, WrongHandshakeAnswer) {
  SimProcess sim({"--fault", "handshake 0x55"});
  const ChannelHandle channel = OpenFromSettings(sim.TcpSettings());
  EXPECT_EQ(Handshake(channel), Bytes{0x55});
}

TEST(SimBootLoaderFaults, StopsAcknowledgingAtTheChosenBlock) {
  SimProcess sim;
  sim.Fault("block-stop 2");
  const ChannelHandle channel = OpenFromSettings(sim.TcpSettings());
  const auto image = Image(3);
  ASSERT_EQ(Handshake(channel), Bytes{0xD2});
  EXPECT_EQ(SendBlock(channel, 0, image), Bytes{0x00});
  EXPECT_EQ(SendBlock(channel, 1, image), Bytes{0x00});
  EXPECT_TRUE(SendBlock(channel, 2, image).empty());
  EXPECT_EQ(sim.Query("mode"), std::vector<std::string>{"boot"}) << "stuck in the boot loader";
}

TEST(SimBootLoaderFaults, AnswersTheChosenBlockWithTheChosenByteAndKeepsItOut) {
  SimProcess sim({"--fault", "block-ack 1 0x55"});
  const ChannelHandle channel = OpenFromSettings(sim.TcpSettings());
  const auto image = Image(3);
  ASSERT_EQ(Handshake(channel), Bytes{0xD2});
  EXPECT_EQ(SendBlock(channel, 0, image), Bytes{0x00});
  EXPECT_EQ(SendBlock(channel, 1, image), Bytes{0x55});
  EXPECT_EQ(SendBlock(channel, 2, image), Bytes{0x00});
  EXPECT_EQ(sim.ProgrammedImage().size(), 96u);
  EXPECT_EQ(sim.ProgrammedImage()[32], 0xFF) << "the answered block is not stored";
  EXPECT_EQ(sim.Query("faults"), std::vector<std::string>{"block-ack 1 85"});
}

// A boot loader that starts late loses the bytes sent before it runs.
TEST(SimBootLoaderFaults, StartsLateAndLosesWhatCameBefore) {
  SimProcess sim({"--fault", "boot-late 600"});
  const ChannelHandle channel = OpenFromSettings(sim.TcpSettings());
  EXPECT_TRUE(Handshake(channel).empty()) << "the handshake came too early";
  const auto boot = sim.Query("boot");
  EXPECT_NE(std::find(boot.begin(), boot.end(), "not started, lost A1"), boot.end());
  std::this_thread::sleep_for(std::chrono::milliseconds(700));
  EXPECT_EQ(Answer(channel, {0xA1}), Bytes{0xD2}) << "started by now";
}

TEST(SimBootLoaderFaults, AFailedUpdateCanStartOverAfterAPause) {
  SimProcess sim;
  sim.Fault("block-stop 1");
  const ChannelHandle channel = OpenFromSettings(sim.TcpSettings());
  const auto image = Image(2);
  ASSERT_EQ(Handshake(channel), Bytes{0xD2});
  ASSERT_EQ(SendBlock(channel, 0, image), Bytes{0x00});
  ASSERT_TRUE(SendBlock(channel, 1, image).empty());  // the programmer gives up here
  sim.Fault("clear");
  // The unanswered wait above already lasted a second; make sure the boot loader saw the pause.
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_EQ(Handshake(channel), Bytes{0xD2});
  EXPECT_EQ(SendBlock(channel, 0, image), Bytes{0x00});
  EXPECT_EQ(SendBlock(channel, 1, image), Bytes{0x00});
  EXPECT_EQ(sim.ProgrammedImage(), image);
}

}  // namespace
}  // namespace velta::test
