// Opening from the connection settings, and the write command base the settings choose.
#include <gtest/gtest.h>
#include <termios.h>

#include "link/connection.h"
#include "link/frames.h"
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
  Channel* channel = OpenFromSettings(settings);
  ASSERT_TRUE(IsOpenChannel(channel));
  EXPECT_EQ(channel->kind, kSerialChannelTag);
  termios tio{};
  ASSERT_EQ(tcgetattr(channel->handle, &tio), 0);
  EXPECT_EQ(cfgetospeed(&tio), B9600);
  CloseChannel(channel);
}

TEST(OpenFromSettings, TcpHostAndPort) {
  test::LoopbackListener listener;
  ASSERT_TRUE(listener.ok());
  ConnectionSettings settings;
  settings.useTcp = true;
  settings.comPort = 0;  // no such COM port: must not matter over TCP
  settings.tcpHost = "127.0.0.1";
  settings.tcpPort = listener.port();
  Channel* channel = OpenFromSettings(settings);
  ASSERT_TRUE(IsOpenChannel(channel));
  EXPECT_EQ(channel->kind, kTcpChannelTag);
  const int peer = listener.Accept();
  ASSERT_GE(peer, 0);
  const Frame frame = WriteRequest(WriteFamilyBase(settings), 0x05, 0x12);
  ChannelSend(channel, frame.data(), 4);
  EXPECT_EQ(test::ReadFrom(peer, 4), (std::vector<std::uint8_t>{0x98, 0x05, 0x12, 0xAF}));
  CloseChannel(channel);
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
    Channel* channel = OpenFromSettings(settings);
    EXPECT_EQ(channel, kFailureChannel) << port;
    EXPECT_EQ(LastOpenError(), OpenError::PortOutOfRange) << port;
    CloseChannel(channel);
  }
}

}  // namespace
}  // namespace velta
