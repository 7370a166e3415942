// The TCP Channel against a real loopback peer: one exchange, the receive limit, stale input
// thrown away before each request, a peer that goes away, and opens that must fail.
#include <gtest/gtest.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <atomic>
#include <thread>

#include "link/channel.h"
#include "tests/link/link_peers.h"

namespace velta {
namespace {

using test::CpuMs;
using test::ElapsedMs;
using test::LoopbackListener;
using test::ReadFrom;
using test::WriteTo;
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

class TcpChannelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(listener_.ok());
    channel_ = OpenTcpChannel("127.0.0.1", listener_.port());
    ASSERT_TRUE(IsOpenChannel(channel_));
    peer_ = listener_.Accept();
    ASSERT_GE(peer_, 0);
  }
  void TearDown() override {
    CloseChannel(channel_);
    if (peer_ >= 0) close(peer_);
  }

  std::int32_t Send(const Bytes& bytes) {
    return ChannelSend(channel_, bytes.data(), static_cast<std::int32_t>(bytes.size()));
  }
  Bytes Receive(std::int32_t count) {
    Bytes buffer(count);
    const std::int32_t n = ChannelReceive(channel_, buffer.data(), count);
    buffer.resize(n > 0 ? n : 0);
    return buffer;
  }

  LoopbackListener listener_;
  Channel* channel_ = nullptr;
  int peer_ = -1;
};

TEST_F(TcpChannelTest, OneExchangeCarriesTheFrameAndTheReply) {
  EXPECT_EQ(channel_->kind, kTcpChannelTag);
  const Bytes frame{0x60, 0x00, 0x0B, 0x6B};
  EXPECT_EQ(Send(frame), 4);
  EXPECT_EQ(ReadFrom(peer_, 4), frame);
  const Bytes reply{0x00, 0x10, 0x00, 0x20, 0x30};
  ASSERT_TRUE(WriteTo(peer_, reply));
  EXPECT_EQ(Receive(5), reply);
}

// The boot loader is fed single bytes, each waiting for an answer: Nagle must be off or every
// byte would sit out the peer's delayed acknowledgement.
TEST_F(TcpChannelTest, SmallSendsAreNotHeldBack) {
  int noDelay = 0;
  socklen_t length = sizeof noDelay;
  ASSERT_EQ(getsockopt(channel_->handle, IPPROTO_TCP, TCP_NODELAY, &noDelay, &length), 0);
  EXPECT_NE(noDelay, 0);
}

TEST_F(TcpChannelTest, ReplyArrivingInPiecesIsGatheredWhole) {
  std::thread controller([&] {
    WriteTo(peer_, {1, 2, 3});
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    WriteTo(peer_, {4, 5, 6, 7});
  });
  const Bytes got = Receive(7);
  controller.join();
  EXPECT_EQ(got, (Bytes{1, 2, 3, 4, 5, 6, 7}));
}

TEST_F(TcpChannelTest, SilentPeerCostsOneToTwoSeconds) {
  const auto start = Clock::now();
  const auto cpuStart = CpuMs();
  EXPECT_TRUE(Receive(15).empty());
  const auto elapsed = ElapsedMs(start);
  EXPECT_GE(elapsed, 1000);
  EXPECT_LT(elapsed, 2100);
  EXPECT_LT(CpuMs() - cpuStart, 500);
}

TEST_F(TcpChannelTest, PartialReplyReturnsWhatCame) {
  ASSERT_TRUE(WriteTo(peer_, {0xAA, 0xBB}));
  EXPECT_EQ(Receive(15), (Bytes{0xAA, 0xBB}));
}

// Bytes the peer sent after a complete reply belong to no exchange; the next send drops them
// before its request goes out, more than one discarding read's worth included.
TEST_F(TcpChannelTest, StaleInputIsGoneBeforeTheNextRequest) {
  for (const std::size_t stale : {std::size_t{3}, std::size_t{20}, std::size_t{57}}) {
    SCOPED_TRACE(stale);
    Bytes replyAndStale{0x01, 0x02, 0x03};
    replyAndStale.insert(replyAndStale.end(), stale, 0xEE);
    EXPECT_EQ(Send({0x60, 0x00, 0x0B, 0x6B}), 4);
    ReadFrom(peer_, 4);
    ASSERT_TRUE(WriteTo(peer_, replyAndStale));
    EXPECT_EQ(Receive(3), (Bytes{0x01, 0x02, 0x03}));
    // Let the stale bytes land in the channel's receive buffer before the next request.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));

    EXPECT_EQ(Send({0x60, 0x00, 0x0A, 0x6A}), 4);
    EXPECT_EQ(ReadFrom(peer_, 4), (Bytes{0x60, 0x00, 0x0A, 0x6A}));
    ASSERT_TRUE(WriteTo(peer_, {0x07, 0x08}));
    EXPECT_EQ(Receive(2), (Bytes{0x07, 0x08}));
  }
}

// A peer that sends as fast as loopback allows must not keep the send discarding for ever: each
// send gives the stale input a bounded share of time, and once the flood stops the channel
// carries exchanges again.
TEST_F(TcpChannelTest, FloodingPeerHoldsEachSendOnlyBriefly) {
  std::atomic<bool> flooding{true};
  std::thread flood([&] {
    const Bytes junk(64 * 1024, 0xEE);
    while (flooding) {
      pollfd p{peer_, POLLOUT, 0};
      if (poll(&p, 1, 10) > 0) {
        (void)!send(peer_, junk.data(), junk.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
      }
    }
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  std::int64_t longestSend = 0;
  const auto start = Clock::now();
  for (int request = 0; request < 10 && ElapsedMs(start) < 5000; ++request) {
    const auto sendStart = Clock::now();
    Send({0x60, 0x00, 0x01, 0x61});
    longestSend = std::max(longestSend, ElapsedMs(sendStart));
  }
  flooding = false;
  flood.join();
  EXPECT_LT(longestSend, 200) << "a send kept discarding the flood";

  // What the flood left in the buffers is judged by the exchanges that follow; within a few
  // requests the requests go out and the replies come back whole again.
  bool answered = false;
  for (int request = 0; request < 25 && !answered; ++request) {
    EXPECT_EQ(Send({0x60, 0x00, 0x0A, 0x6A}), 4);
    const Bytes sent = ReadFrom(peer_, 64 * 1024, 100);
    if (sent.size() < 4 || !std::equal(sent.end() - 4, sent.end(), Bytes{0x60, 0x00, 0x0A, 0x6A}.begin())) continue;
    ASSERT_TRUE(WriteTo(peer_, {0x07, 0x08}));
    answered = Receive(2) == Bytes{0x07, 0x08};
  }
  EXPECT_TRUE(answered) << "the exchanges did not recover after the flood";
}

// However fast the stale input keeps coming, one send throws away at most 1 MiB of it; the rest
// stays readable.
TEST_F(TcpChannelTest, OneSendDiscardsAtMostOneMebibyte) {
  constexpr std::size_t kDiscardLimit = 1024 * 1024;
  constexpr std::size_t kStale = 8 * kDiscardLimit;
  std::thread writer([&] {
    const Bytes junk(kStale, 0xEE);
    for (std::size_t sent = 0; sent < kStale;) {
      const ssize_t n = send(peer_, junk.data() + sent, kStale - sent, MSG_NOSIGNAL);
      if (n <= 0) break;
      sent += static_cast<std::size_t>(n);
    }
    shutdown(peer_, SHUT_WR);
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  Send({0x60, 0x00, 0x01, 0x61});
  std::size_t left = 0;
  for (Bytes chunk = Receive(64 * 1024); !chunk.empty(); chunk = Receive(64 * 1024)) {
    left += chunk.size();
  }
  writer.join();
  EXPECT_GE(left + kDiscardLimit + 4096, kStale) << "discarded " << kStale - left;
}

// A peer that closed leaves the socket readable with empty reads forever: neither the discard
// loop of the send nor the receive may spin on that or hang.
TEST_F(TcpChannelTest, ClosedPeerNeitherHangsNorSpins) {
  ASSERT_TRUE(WriteTo(peer_, {0xEE, 0xEE}));
  close(peer_);
  peer_ = -1;
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  const auto start = Clock::now();
  const auto cpuStart = CpuMs();
  Send({0x60, 0x00, 0x01, 0x61});
  EXPECT_LT(ElapsedMs(start), 1500) << "send hung on the closed peer";
  const Bytes got = Receive(15);
  EXPECT_TRUE(got.empty()) << "stale bytes survived the send";
  const auto elapsed = ElapsedMs(start);
  EXPECT_GE(elapsed, 1000);
  EXPECT_LT(elapsed, 3500);
  EXPECT_LT(CpuMs() - cpuStart, 500) << "a loop spun on the closed socket";
}

// A peer that closes, or only shuts its sending side, is gone for good; a silent one is not.
TEST_F(TcpChannelTest, PeerThatClosesOrHalfClosesIsLost) {
  const struct {
    const char* name;
    int how;  // -1: no end, -2: close, else shutdown(how)
    bool lost;
  } rows[] = {{"silent", -1, false}, {"closed", -2, true}, {"half-closed", SHUT_WR, true}};
  for (const auto& row : rows) {
    LoopbackListener listener;
    Channel* channel = OpenTcpChannel("127.0.0.1", listener.port());
    const int peer = listener.Accept();
    ASSERT_GE(peer, 0) << row.name;
    if (row.how == -2) close(peer);
    if (row.how >= 0) shutdown(peer, row.how);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(ChannelHungUp(channel), row.lost) << row.name;
    CloseChannel(channel);
    if (row.how != -2) close(peer);
  }
}

TEST(TcpChannelOpen, HostIsUsedAsDottedAddressOrResolvedName) {
  LoopbackListener listener;
  ASSERT_TRUE(listener.ok());
  for (const char* host : {"127.0.0.1", "localhost"}) {
    SCOPED_TRACE(host);
    Channel* channel = OpenTcpChannel(host, listener.port());
    ASSERT_TRUE(IsOpenChannel(channel));
    EXPECT_EQ(LastOpenError(), OpenError::None);
    const int peer = listener.Accept();
    EXPECT_GE(peer, 0);
    CloseChannel(channel);
    if (peer >= 0) close(peer);
  }
}

TEST(TcpChannelOpen, FailsWithItsReason) {
  // A port that was just free: nothing listens there, so the connect is refused.
  std::uint16_t freePort;
  {
    LoopbackListener probe;
    ASSERT_TRUE(probe.ok());
    freePort = probe.port();
  }
  struct Row {
    const char* host;
    std::uint16_t port;
    OpenError expected;
  };
  const Row rows[] = {
      {"controller.invalid", 10001, OpenError::UnknownHost},
      {"", 10001, OpenError::UnknownHost},
      {"127.0.0.1", freePort, OpenError::ConnectRefused},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.host);
    EXPECT_EQ(OpenTcpChannel(row.host, row.port), kFailureChannel);
    EXPECT_EQ(LastOpenError(), row.expected);
  }
}

}  // namespace
}  // namespace velta
