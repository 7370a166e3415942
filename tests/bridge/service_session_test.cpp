// The relay of a service session on a real link to the simulator: how each session ends, and the
// bytes passed through unchanged both ways.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

#include "bridge/service_session.h"
#include "link/connection.h"
#include "tests/support/sim_process.h"

namespace velta::bridge {
namespace {

using namespace std::chrono_literals;

TEST(ServiceSession, EndsWhenTheClientLeavesFallsSilentStopsReadingOrTheLinkFails) {
  const std::uint8_t version[] = {0x60, 0x00, 0x07, 0x67};
  const RelayLimits quick{600ms, 600ms, 1 << 20};
  const struct {
    const char* what;
    bool clientCloses;
    bool simulatorDies;
    int unreadRequests;  // version requests the client sends and never reads the answers of
    RelayLimits limits;
    RelayEnd end;
  } rows[] = {
      {"client closes", true, false, 0, quick, RelayEnd::ClientClosed},
      {"client silent", false, false, 0, quick, RelayEnd::ClientSilent},
      {"simulator dies", false, true, 0, quick, RelayEnd::LinkFailed},
      {"client takes nothing", false, false, 400, {10s, 600ms, 1 << 20}, RelayEnd::ClientStalled},
      {"client falls behind", false, false, 40, {10s, 10s, 200}, RelayEnd::ClientBehind},
  };
  for (const auto& row : rows) {
    auto sim = std::make_unique<test::SimProcess>();
    ChannelHandle link = OpenFromSettings(sim->TcpSettings());
    ASSERT_TRUE(link.IsOpen());
    int ends[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends), 0);
    std::atomic<bool> stop{false};
    RelayEnd end = RelayEnd::Stopped;
    const auto started = std::chrono::steady_clock::now();
    // A client socket that holds little, as a peer's full receive window does.
    const int small = 4096;
    setsockopt(ends[0], SOL_SOCKET, SO_SNDBUF, &small, sizeof small);
    std::thread relay([&] { end = RelayBytes(ends[0], link.get(), row.limits, stop); });

    ASSERT_EQ(write(ends[1], version, sizeof version), 4);
    std::string reply(9, '\0');
    timeval wait{2, 0};
    setsockopt(ends[1], SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    EXPECT_EQ(recv(ends[1], reply.data(), reply.size(), MSG_WAITALL), 9) << row.what;
    if (row.clientCloses) shutdown(ends[1], SHUT_WR);
    if (row.simulatorDies) sim.reset();
    for (int i = 0; i < row.unreadRequests; ++i) {
      if (send(ends[1], version, sizeof version, MSG_DONTWAIT) != 4) break;
      std::this_thread::sleep_for(2ms);
    }
    relay.join();
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(end, row.end) << row.what << ": " << RelayEndText(end, row.limits);
    if (row.end == RelayEnd::ClientSilent || row.end == RelayEnd::ClientStalled) {
      EXPECT_GE(took, 600ms) << row.what;
    } else if (!row.unreadRequests) {
      EXPECT_LT(took, 600ms) << row.what << " ends at once";
    }
    close(ends[0]);
    close(ends[1]);
    if (sim && !row.unreadRequests) {
      const std::vector<std::string> frames = sim->Frames();
      EXPECT_EQ(frames, std::vector<std::string>{"60 00 07 67"}) << row.what;
    }
  }
}

TEST(ServiceSession, EachEndIsLoggedWithTheLimitItReached) {
  EXPECT_EQ(RelayEndText(RelayEnd::ClientSilent), "the client was silent for 60 s");
  EXPECT_EQ(RelayEndText(RelayEnd::ClientSilent, {600ms, 10s, 1}), "the client was silent for 600 ms");
  EXPECT_EQ(RelayEndText(RelayEnd::ClientStalled), "the client took no bytes for 10 s");
  EXPECT_EQ(RelayEndText(RelayEnd::ClientBehind), "the client fell more than 64 KiB behind");
}

}  // namespace
}  // namespace velta::bridge
