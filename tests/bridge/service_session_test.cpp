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

TEST(ServiceSession, EndsWhenTheClientLeavesFallsSilentOrTheLinkFails) {
  const std::uint8_t version[] = {0x60, 0x00, 0x07, 0x67};
  const struct {
    const char* what;
    bool clientCloses;
    bool simulatorDies;
    RelayEnd end;
  } rows[] = {
      {"client closes", true, false, RelayEnd::ClientClosed},
      {"client silent", false, false, RelayEnd::ClientSilent},
      {"simulator dies", false, true, RelayEnd::LinkFailed},
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
    std::thread relay([&] { end = RelayBytes(ends[0], link.get(), 600ms, stop); });

    ASSERT_EQ(write(ends[1], version, sizeof version), 4);
    std::string reply(9, '\0');
    timeval wait{2, 0};
    setsockopt(ends[1], SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    EXPECT_EQ(recv(ends[1], reply.data(), reply.size(), MSG_WAITALL), 9) << row.what;
    if (row.clientCloses) shutdown(ends[1], SHUT_WR);
    if (row.simulatorDies) sim.reset();
    relay.join();
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(end, row.end) << row.what;
    if (row.end == RelayEnd::ClientSilent) EXPECT_GE(took, 600ms);
    else EXPECT_LT(took, 600ms) << row.what << " ends at once";
    close(ends[0]);
    close(ends[1]);
    if (sim) {
      const std::vector<std::string> frames = sim->Frames();
      EXPECT_EQ(frames, std::vector<std::string>{"60 00 07 67"}) << row.what;
    }
  }
}

}  // namespace
}  // namespace velta::bridge
