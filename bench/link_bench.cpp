// Round-trip times of single exchanges with the controller simulator, over TCP and over a
// pseudo-terminal: a status page (4 bytes out, 15 back) and a memory write (4 out, 1 back).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "link/connection.h"
#include "link/exchange.h"
#include "link/port_search.h"
#include "tests/support/sim_process.h"

namespace {

constexpr int kRounds = 400;
constexpr std::int32_t kBenchComPort = 246;

struct Exchange {
  const char* name;
  std::vector<std::uint8_t> request;
  std::int32_t replyLength;
};

void Measure(const char* transport, const velta::ChannelHandle& channel,
             const Exchange& exchange) {
  std::vector<double> ms;
  std::vector<std::uint8_t> reply(exchange.replyLength);
  int failed = 0;
  for (int i = 0; i < kRounds; ++i) {
    const auto start = std::chrono::steady_clock::now();
    const velta::ExchangeOutcome outcome =
        exchange.replyLength == 1 ? velta::ExchangeAcknowledged(channel, exchange.request)
                                  : velta::Exchange(channel, exchange.request, reply);
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                     .count());
    if (outcome != velta::ExchangeOutcome::Good) ++failed;
  }
  std::sort(ms.begin(), ms.end());
  std::printf("%-6s %-22s median %7.3f ms  p99 %7.3f ms  max %7.3f ms  failed %d/%d\n", transport,
              exchange.name, ms[ms.size() / 2], ms[ms.size() * 99 / 100], ms.back(), failed,
              kRounds);
}

}  // namespace

int main() {
  velta::test::SimProcess sim({"--write-enable", "--pty"});
  const velta::Frame status = velta::StatusRequest(velta::kMainStatusPage);
  velta::SetComPortOverride(kBenchComPort, sim.PtyPath());
  velta::ConnectionSettings serial;
  serial.comPort = kBenchComPort;

  std::printf("%d exchanges each with velta-sim\n", kRounds);
  for (const auto& [transport, settings] :
       {std::pair{"tcp", sim.TcpSettings()}, std::pair{"pty", serial}}) {
    const velta::Frame write = velta::WriteRequest(velta::WriteFamilyBase(settings), 0x05, 0x12);
    const Exchange exchanges[] = {
        {"status page 1", {status.begin(), status.end()}, velta::kMainStatusPageLength + 1},
        {"memory write + ack", {write.begin(), write.end()}, 1},
    };
    const velta::ChannelHandle channel = velta::OpenFromSettings(settings);
    if (!channel.IsOpen()) {
      std::printf("%s: could not open\n", transport);
      continue;
    }
    for (const Exchange& exchange : exchanges) Measure(transport, channel, exchange);
  }
  return 0;
}
