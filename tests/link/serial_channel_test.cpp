// The serial Channel against a real pseudo-terminal: line settings, byte transparency, the
// receive time-out, exclusivity, and what happens when the line or the device is bad.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <termios.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "link/channel.h"
#include "tests/link/link_peers.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/unprivileged.h"

namespace velta {
namespace {

using test::CpuMs;
using test::ElapsedMs;
using test::PtyPeer;
using test::ReadFrom;
using test::WriteTo;
using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kPort = 240;

class SerialChannelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(peer_.ok());
    channel_ = OpenSerialChannel(kPort, 9600);
    ASSERT_TRUE(IsOpenChannel(channel_)) << static_cast<int>(LastOpenError());
  }
  void TearDown() override { CloseChannel(channel_); }

  // Waits until what the peer wrote has reached the channel's side.
  void AwaitInput() {
    pollfd p{channel_->handle, POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 2000), 1);
  }

  PtyPeer peer_{kPort};
  Channel* channel_ = nullptr;
};

TEST_F(SerialChannelTest, LineIsRaw9600EightNoneOneWithoutFlowControl) {
  EXPECT_EQ(channel_->kind, kSerialChannelTag);
  termios tio{};
  ASSERT_EQ(tcgetattr(channel_->handle, &tio), 0);
  EXPECT_EQ(cfgetospeed(&tio), B9600);
  EXPECT_EQ(cfgetispeed(&tio), B9600);
  EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
  EXPECT_EQ(tio.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
  EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP), 0u);
  EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
  EXPECT_EQ(tio.c_oflag & OPOST, 0u);
}

// Every byte value passes unchanged both ways (no CR/LF mapping, no XON/XOFF, no echo).
TEST_F(SerialChannelTest, AllByteValuesPassBothWays) {
  std::vector<std::uint8_t> all(256);
  for (int i = 0; i < 256; ++i) all[i] = static_cast<std::uint8_t>(i);

  EXPECT_EQ(ChannelSend(channel_, all.data(), 256), 0);
  EXPECT_EQ(ReadFrom(peer_.master(), 256), all);

  ASSERT_TRUE(WriteTo(peer_.master(), all));
  std::vector<std::uint8_t> got(256);
  std::int32_t total = 0;
  while (total < 256) {
    const std::int32_t n = ChannelReceive(channel_, got.data() + total, 256 - total);
    ASSERT_GT(n, 0);
    total += n;
  }
  EXPECT_EQ(got, all);
  // Nothing came back as an echo of what was sent.
  EXPECT_TRUE(ReadFrom(peer_.master(), 1, 300).empty());
}

TEST_F(SerialChannelTest, BytesAlreadyWaitingReturnAtOnce) {
  ASSERT_TRUE(WriteTo(peer_.master(), {0x11, 0x22, 0x33}));
  AwaitInput();
  std::uint8_t buffer[15] = {};
  const auto start = Clock::now();
  EXPECT_EQ(ChannelReceive(channel_, buffer, 15), 3);
  EXPECT_LT(ElapsedMs(start), 2000) << "waited for the missing bytes";
  EXPECT_EQ(buffer[0], 0x11);
  EXPECT_EQ(buffer[2], 0x33);
}

TEST_F(SerialChannelTest, ReplyArrivingInPiecesIsGatheredWhole) {
  std::thread controller([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    WriteTo(peer_.master(), {1, 2});
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    WriteTo(peer_.master(), {3, 4, 5});
  });
  std::uint8_t buffer[5] = {};
  const std::int32_t received = ChannelReceive(channel_, buffer, 5);
  controller.join();
  EXPECT_EQ(received, 5);
  EXPECT_EQ(std::vector<std::uint8_t>(buffer, buffer + 5), (std::vector<std::uint8_t>{1, 2, 3, 4, 5}));
}

TEST_F(SerialChannelTest, SilentControllerCostsTheFullTimeOut) {
  std::uint8_t buffer[15];
  const auto start = Clock::now();
  const auto cpuStart = CpuMs();
  EXPECT_EQ(ChannelReceive(channel_, buffer, 15), 0);
  const auto elapsed = ElapsedMs(start);
  EXPECT_GE(elapsed, 2400);
  EXPECT_LT(elapsed, 4000);
  EXPECT_LT(CpuMs() - cpuStart, 500) << "the wait spun instead of sleeping";
}

TEST_F(SerialChannelTest, DiscardInputDropsOnlyWhatIsAlreadyThere) {
  ASSERT_TRUE(WriteTo(peer_.master(), {0xEE, 0xEE, 0xEE, 0xEE}));
  AwaitInput();
  ChannelDiscardInput(channel_);
  ASSERT_TRUE(WriteTo(peer_.master(), {0x42}));
  std::uint8_t buffer[4] = {};
  EXPECT_EQ(ChannelReceive(channel_, buffer, 1), 1);
  EXPECT_EQ(buffer[0], 0x42);
}

TEST_F(SerialChannelTest, SecondOpenOfTheSamePortFailsUntilTheFirstCloses) {
  EXPECT_EQ(OpenSerialChannel(kPort, 9600), kFailureChannel);
  EXPECT_EQ(LastOpenError(), OpenError::Busy);
  CloseChannel(channel_);
  channel_ = OpenSerialChannel(kPort, 9600);
  EXPECT_TRUE(IsOpenChannel(channel_));
  EXPECT_EQ(LastOpenError(), OpenError::None);
}

TEST_F(SerialChannelTest, LastBytesSentReachTheLineBeforeClose) {
  const std::vector<std::uint8_t> frame{0x60, 0x00, 0x09, 0x69};
  EXPECT_EQ(ChannelSend(channel_, frame.data(), 4), 0);
  const auto start = Clock::now();
  CloseChannel(channel_);
  channel_ = nullptr;
  EXPECT_GE(ElapsedMs(start), 150) << "the line gets its pause before the port is released";
  EXPECT_EQ(ReadFrom(peer_.master(), 4), frame);
}

// The controller end disappears: receive reports a failed read at once, send fails, close
// returns, and none of them spins.
TEST_F(SerialChannelTest, HungUpLineFailsWithoutSpinningOrHanging) {
  peer_.CloseMaster();
  std::uint8_t buffer[15];
  const auto start = Clock::now();
  const auto cpuStart = CpuMs();
  EXPECT_EQ(ChannelReceive(channel_, buffer, 15), -1);
  EXPECT_TRUE(ChannelHungUp(channel_)) << "a failed read is a lost line, not a silent one";
  const std::uint8_t frame[4] = {0x60, 0x00, 0x01, 0x61};
  EXPECT_LT(ChannelSend(channel_, frame, 4), 0);
  CloseChannel(channel_);
  channel_ = nullptr;
  EXPECT_LT(ElapsedMs(start), 4000);
  EXPECT_LT(CpuMs() - cpuStart, 500);
}

// Nobody reads the other end: the send gives up after the line stalls instead of blocking the
// window forever, reports the short write, and close still returns.
TEST_F(SerialChannelTest, StalledLineMakesSendShortAndCloseStillReturns) {
  const std::vector<std::uint8_t> flood(1 << 20, 0x55);
  EXPECT_EQ(ChannelSend(channel_, flood.data(), static_cast<std::int32_t>(flood.size())), -2);
  const auto start = Clock::now();
  CloseChannel(channel_);
  channel_ = nullptr;
  EXPECT_LT(ElapsedMs(start), 6000);
}

int OpenDescriptorCount() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    ++count;
  }
  return count;
}

// Opens that must fail, and the reason each reports. Every failed open leaves no descriptor behind.
TEST(SerialChannelOpen, FailsCleanlyWithItsReason) {
  const test::ScratchDir dir;
  const auto plainFile = dir / "not-a-tty";
  std::FILE* f = std::fopen(plainFile.c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  PtyPeer pty(233);
  ASSERT_TRUE(pty.ok());

  struct Row {
    const char* what;
    std::uint32_t port;
    std::string path;  // override for the port; empty keeps the mapping
    std::int32_t baud;
    OpenError expected;
  };
  const Row rows[] = {
      {"missing device", 231, (dir / "ttyUSB-gone").string(), 9600, OpenError::NoSuchDevice},
      {"path through a plain file", 232, (plainFile / "tty").string(), 9600,
       OpenError::NoSuchDevice},
      {"line settings refused (not a tty)", 234, plainFile.string(), 9600,
       OpenError::LineSettings},
      {"baud rate the line cannot do", 233, "", 12345, OpenError::LineSettings},
      {"COM number 0 names no device", 0, "", 9600, OpenError::NoSuchDevice},
      {"COM number above 255 names no device", 256, "", 9600, OpenError::NoSuchDevice},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    if (!row.path.empty()) SetComPortOverride(row.port, row.path);
    const int before = OpenDescriptorCount();
    EXPECT_EQ(OpenSerialChannel(row.port, row.baud), kFailureChannel);
    EXPECT_EQ(LastOpenError(), row.expected);
    EXPECT_EQ(OpenDescriptorCount(), before);
    if (!row.path.empty()) SetComPortOverride(row.port, "");
  }
}

// Root opens anything, so the open runs as an ordinary user (the usual one: not in the dialout
// group).
TEST(SerialChannelOpen, DeviceWithoutPermissionReportsPermissionDenied) {
  PtyPeer pty(235);
  ASSERT_TRUE(pty.ok());
  ASSERT_EQ(chmod(pty.path().c_str(), 0), 0);
  EXPECT_EQ(test::RunAsUnprivileged([] {
              if (OpenSerialChannel(235, 9600) != kFailureChannel) return 1;
              return LastOpenError() == OpenError::PermissionDenied ? 0 : 2;
            }),
            0);
}

TEST(SerialChannelOpen, ErrnoReadsAsTheReasonAWindowCanExplain) {
  const std::pair<int, OpenError> rows[] = {
      {ENOENT, OpenError::NoSuchDevice},     {ENXIO, OpenError::NoSuchDevice},
      {ENODEV, OpenError::NoSuchDevice},     {EACCES, OpenError::PermissionDenied},
      {EPERM, OpenError::PermissionDenied},  {EBUSY, OpenError::Busy},
      {EWOULDBLOCK, OpenError::Busy},        {EIO, OpenError::Other},
  };
  for (const auto& [error, expected] : rows) {
    EXPECT_EQ(OpenErrorFromErrno(error), expected) << "errno " << error;
  }
}

}  // namespace
}  // namespace velta
