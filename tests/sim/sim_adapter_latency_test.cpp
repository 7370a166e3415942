// The simulator as a USB serial adapter: reply bytes off the line wait in the adapter chip until
// its free-running latency timer fires or a USB packet's worth is waiting, counted on a model
// clock here and written to a pipe.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "sim/output_queue.h"

namespace velta::sim {
namespace {

constexpr double kByte9600 = 10.0 / 9600;
constexpr double kJustBefore = 1e-6;

struct Arrival {
  double at;
  int count;
};

struct Release {
  double at;           // the moment the bytes reach the peer
  std::size_t total;   // bytes the peer has by then
};

struct LatencyCase {
  const char* name;
  int baud;
  AdapterLatency adapter;
  std::vector<Arrival> arrivals;
  std::vector<Release> releases;
};

const LatencyCase kLatencyCases[] = {
    {"without an adapter a byte goes out at once", 0, {}, {{0.003, 1}}, {{0.003, 1}}},
    {"a byte waits for the next tick", 0, {0.016, 0}, {{0.003, 1}}, {{0.016, 1}}},
    {"the timer runs freely from its start, not from the byte", 0, {0.016, 0.005},
     {{0.006, 1}, {0.022, 2}}, {{0.021, 1}, {0.037, 3}}},
    {"a byte that arrives on the tick goes with it", 0, {0.016, 0}, {{0.016, 1}}, {{0.016, 1}}},
    {"62 waiting bytes go at once, the rest on the tick", 0, {0.016, 0}, {{0.003, 70}},
     {{0.003, 62}, {0.016, 70}}},
    {"a packet fills across arrivals", 0, {0.016, 0}, {{0.001, 40}, {0.002, 30}},
     {{0.002, 62}, {0.016, 70}}},
    {"a paced byte waits for the tick after it left the line", 9600, {0.001, 0}, {{0.0, 1}},
     {{0.002, 1}}},
    {"a paced reply leaves in the ticks it spans", 9600, {0.016, 0}, {{0.010, 9}},
     {{0.016, 5}, {0.032, 9}}},
};

// The bytes waiting in the read end of the pipe.
std::size_t Drain(int fd) {
  std::size_t total = 0;
  std::uint8_t buffer[256];
  ssize_t n;
  while ((n = read(fd, buffer, sizeof buffer)) > 0) total += static_cast<std::size_t>(n);
  return total;
}

TEST(SimAdapterLatency, BytesAreHeldUntilTheTimerFiresOrAPacketIsFull) {
  for (const LatencyCase& row : kLatencyCases) {
    SCOPED_TRACE(row.name);
    int fds[2];
    ASSERT_EQ(pipe2(fds, O_NONBLOCK), 0);
    OutputQueue queue(row.baud, row.adapter);
    std::size_t received = 0;
    std::size_t arrival = 0;
    auto runUntil = [&](double now) {
      while (arrival < row.arrivals.size() && row.arrivals[arrival].at <= now) {
        queue.Add(std::vector<std::uint8_t>(row.arrivals[arrival].count, 0x5A),
                  row.arrivals[arrival].at);
        ++arrival;
      }
      EXPECT_TRUE(queue.Flush(fds[1], now));
      received += Drain(fds[0]);
    };
    std::size_t before = 0;
    for (const Release& release : row.releases) {
      SCOPED_TRACE(release.at);
      runUntil(release.at - kJustBefore);
      EXPECT_EQ(received, before) << "sent early";
      // Unless new bytes cause it, the simulator must wake for the release.
      const bool arrivalCauses = arrival < row.arrivals.size() &&
                                 row.arrivals[arrival].at <= release.at;
      if (!arrivalCauses) {
        EXPECT_NEAR(queue.SecondsToNext(release.at - kJustBefore), kJustBefore, 1e-9);
      }
      runUntil(release.at);
      EXPECT_EQ(received, release.total);
      before = release.total;
    }
    EXPECT_TRUE(queue.Empty());
    close(fds[0]);
    close(fds[1]);
  }
}

}  // namespace
}  // namespace velta::sim
