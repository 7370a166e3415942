// Opening from the connection settings, and the write command base the settings choose.
#include <gtest/gtest.h>
#include <termios.h>

#include <utility>

#include "link/connection.h"
#include "link/exchange.h"
#include "link/open_reason.h"
#include "service/status_watch.h"
#include "tests/link/link_peers.h"

namespace velta {
namespace {

TEST(WriteFamily, SerialOrAdminUse0x90AndPlainTcpUses0x98) {
  struct Row {
    bool useTcp;
    std::uint8_t admin;
    std::uint8_t base;
  };
  const Row rows[] = {
      {false, 0x00, 0x90}, {false, 0x02, 0x90}, {false, 0xFF, 0x90},
      {true, 0x00, 0x98},  {true, 0x02, 0x90},  {true, 0xFD, 0x98},
      {true, 0x03, 0x90},
  };
  for (const Row& row : rows) {
    ConnectionSettings settings;
    settings.useTcp = row.useTcp;
    settings.admin = row.admin;
    EXPECT_EQ(WriteFamilyBase(settings), row.base)
        << "tcp " << row.useTcp << " admin " << int(row.admin);
  }
}

TEST(OpenFromSettings, SerialPortAt9600) {
  test::PtyPeer pty(238);
  ASSERT_TRUE(pty.ok());
  ConnectionSettings settings;
  settings.comPort = 238;
  const ChannelHandle channel = OpenFromSettings(settings);
  ASSERT_TRUE(channel.IsOpen());
  EXPECT_EQ(channel.get()->kind, kSerialChannelTag);
  termios tio{};
  ASSERT_EQ(tcgetattr(channel.get()->handle, &tio), 0);
  EXPECT_EQ(cfgetospeed(&tio), B9600);
}

TEST(OpenFromSettings, TcpHostAndPort) {
  test::LoopbackListener listener;
  ASSERT_TRUE(listener.ok());
  ConnectionSettings settings;
  settings.useTcp = true;
  settings.comPort = 0;  // no such COM port: must not matter over TCP
  settings.tcpHost = "127.0.0.1";
  settings.tcpPort = listener.port();
  const ChannelHandle channel = OpenFromSettings(settings);
  ASSERT_TRUE(channel.IsOpen());
  EXPECT_EQ(channel.get()->kind, kTcpChannelTag);
  const int peer = listener.Accept();
  ASSERT_GE(peer, 0);
  SendRequest(channel, WriteRequest(WriteFamilyBase(settings), 0x05, 0x12));
  EXPECT_EQ(test::ReadFrom(peer, 4), (std::vector<std::uint8_t>{0x98, 0x05, 0x12, 0xAF}));
  close(peer);
}

TEST(OpenFromSettings, TcpPortBeyondSixteenBitsIsRefusedNotWrapped) {
  test::LoopbackListener listener;
  ASSERT_TRUE(listener.ok());
  ConnectionSettings settings;
  settings.useTcp = true;
  settings.tcpHost = "127.0.0.1";
  // Each would reach the listener if the port were cut to its low 16 bits.
  for (const std::int32_t port : {listener.port() + 0x10000, listener.port() - 0x10000}) {
    settings.tcpPort = port;
    EXPECT_FALSE(OpenFromSettings(settings).IsOpen()) << port;
    EXPECT_EQ(LastOpenError(), OpenError::PortOutOfRange) << port;
  }
}

// While the link heals, a host that never answers costs the short heal connect time, not the
// full one, and is named a time-out; a port nobody listens on is named a refusal.
TEST(OpenFromSettings, UnansweredConnectEndsAtTheHealLimitAndIsToldFromARefusal) {
  test::SynDroppingListener silent;
  ASSERT_TRUE(silent.ok());
  struct Row {
    std::uint16_t port;
    OpenError error;
    const char* reason;
  };
  const Row rows[] = {
      {silent.port(), OpenError::ConnectTimedOut, "within the connect time"},
      {test::FreePort(), OpenError::ConnectRefused, "Connection refused"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.reason);
    ConnectionSettings settings;
    settings.useTcp = true;
    settings.tcpHost = "127.0.0.1";
    settings.tcpPort = row.port;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(OpenFromSettings(settings, kHealConnectMs).IsOpen());
    EXPECT_LT(test::ElapsedMs(start), 1000) << "well under the " << kTcpConnectTimeoutMs << " ms";
    EXPECT_EQ(LastOpenError(), row.error);
    EXPECT_NE(OpenFailureReason(settings).find(row.reason), std::string::npos)
        << OpenFailureReason(settings);
  }
}

TEST(ChannelHandle, ClosesItsChannelWhenItGoesOrWhenClosedEarly) {
  test::PtyPeer pty(239);
  ASSERT_TRUE(pty.ok());
  ConnectionSettings settings;
  settings.comPort = 239;
  {
    const ChannelHandle held = OpenFromSettings(settings);
    ASSERT_TRUE(held.IsOpen());
    EXPECT_FALSE(OpenFromSettings(settings).IsOpen()) << "the port is held";
    EXPECT_EQ(LastOpenError(), OpenError::Busy);
  }
  ChannelHandle reopened = OpenFromSettings(settings);
  ASSERT_TRUE(reopened.IsOpen()) << "the handle closed its Channel when it went";
  ChannelHandle taker = std::move(reopened);
  EXPECT_TRUE(taker.IsOpen());
  EXPECT_FALSE(reopened.IsOpen()) << "only one handle owns the Channel";
  taker.Close();
  EXPECT_FALSE(taker.IsOpen());
  taker.Close();
  EXPECT_TRUE(OpenFromSettings(settings).IsOpen()) << "closed early, and only once";
  taker = OpenFromSettings(settings);
  ASSERT_TRUE(taker.IsOpen());
  taker = ChannelHandle();
  EXPECT_TRUE(OpenFromSettings(settings).IsOpen()) << "a handle assigned anew closes its old port";
}

// A handle without a Channel sends nothing and says so in every form of the exchange.
TEST(ChannelHandle, WithoutChannelEveryExchangeIsNoChannel) {
  const ChannelHandle none;
  const ChannelHandle failed(kFailureChannel);
  for (const ChannelHandle* handle : {&none, &failed}) {
    EXPECT_FALSE(handle->IsOpen());
    std::uint8_t reply[15] = {};
    std::int32_t received = 0;
    EXPECT_EQ(Exchange(*handle, StatusRequest(kMainStatusPage), reply, &received),
              ExchangeOutcome::NoChannel);
    EXPECT_EQ(received, -1);
    EXPECT_EQ(ExchangeUnsummed(*handle, StatusRequest(kVersionQuery), reply),
              ExchangeOutcome::NoChannel);
    EXPECT_EQ(ExchangeAcknowledged(*handle, StatusRequest(kClearErrorsRequest)),
              ExchangeOutcome::NoChannel);
    EXPECT_EQ(SendRequest(*handle, StatusRequest(kWriteEnableRequest)),
              ExchangeOutcome::NoChannel);
  }
}

}  // namespace
}  // namespace velta
