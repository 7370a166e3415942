// One velta-bridge watching N simulated controllers over loopback TCP (each paced at 9600 baud)
// and publishing to a local Mosquitto, for N = 1, 10, 50 and 100 (or the counts given as
// arguments). Prints per N: the bridge's share of one core and its memory over a quiet stretch,
// the poll exchanges each controller kept per 200 ms step, and how long a level set at a
// simulator took to reach MQTT beside the length of one poll pass.
#include <httplib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "bench/machine_load.h"
#include "tests/bridge/bridge_support.h"
#include "tests/support/sim_process.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using nlohmann::json;

constexpr auto kMeasured = 20s;
constexpr double kStepSeconds = 0.2;

// User and system CPU seconds of a process so far.
double CpuSeconds(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), {});
  std::istringstream fields(text.substr(text.rfind(')') + 2));
  std::string field;
  double utime = 0, stime = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i) {
    if (i == 14) utime = std::stod(field);
    if (i == 15) stime = std::stod(field);
  }
  return (utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

long StatusKiB(pid_t pid, const std::string& key) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string word;
  while (status >> word) {
    if (word == key) {
      long kib = 0;
      status >> kib;
      return kib;
    }
  }
  return -1;
}

json Status(std::uint16_t port) {
  httplib::Client client("127.0.0.1", port);
  const auto response = client.Get("/status");
  return response ? json::parse(response->body)["controllers"] : json::array();
}

void Run(int count) {
  velta::test::ScratchDir dir;
  velta::test::Broker broker;
  std::vector<std::unique_ptr<velta::test::SimProcess>> sims;
  std::string config = "[bridge]\nmqtt = " + broker.Url() + "\nstate-directory = " + dir.Path().string() + "\n";
  const std::uint16_t httpPort = velta::test::FreePort();
  config += "http = " + std::to_string(httpPort) + "\n";
  for (int i = 0; i < count; ++i) {
    sims.push_back(std::make_unique<velta::test::SimProcess>(
        std::vector<std::string>{"--baud", "9600", "--set", "level=20", "--set", "watermeter=1"}));
    config += "[c" + std::to_string(i) + "]\ntcp = 127.0.0.1:" + std::to_string(sims.back()->TcpPort()) + "\n";
  }
  velta::test::WriteFile((dir / "bench.conf").string(), config);
  velta::test::Subscriber mqtt(broker);
  velta::test::Child bridge({VELTA_BRIDGE_PATH, "--config", (dir / "bench.conf").string()},
                            (dir / "bridge.err").string());
  const bool allUp = velta::test::WaitFor([&] {
    const json controllers = Status(httpPort);
    return controllers.size() == static_cast<std::size_t>(count) &&
           std::all_of(controllers.begin(), controllers.end(), [](const json& c) { return c["link_up"] == true; });
  }, 60s);
  if (!allUp) {
    std::printf("%4d controllers: not all up within 60 s\n", count);
    return;
  }
  std::this_thread::sleep_for(2s);

  const pid_t pid = bridge.Pid();
  const auto sum = [](const json& controllers, const char* key) {
    double total = 0;
    for (const json& c : controllers) total += c[key].get<double>();
    return total;
  };
  sims[0]->ClearFrames();
  const json before = Status(httpPort);
  const double cpuBefore = CpuSeconds(pid);
  const auto start = Clock::now();
  std::this_thread::sleep_for(kMeasured);
  const double wall = std::chrono::duration<double>(Clock::now() - start).count();
  const double cpu = CpuSeconds(pid) - cpuBefore;
  const json after = Status(httpPort);
  const double exchanges = sum(after, "exchanges") - sum(before, "exchanges");
  const double failed = sum(after, "failed_exchanges") - sum(before, "failed_exchanges");
  const double perStep = exchanges / count / (wall / kStepSeconds);
  const std::vector<std::string> frames = sims[0]->Frames();
  const double pass = wall / static_cast<double>(std::max<long>(1, std::count(frames.begin(), frames.end(), "60 00 01 61")));

  // A new level at up to ten controllers, each at a random moment of its pass, timed until its
  // state document shows it.
  std::vector<int> sample;
  for (int i = 0; i < count; i += std::max(1, count / 10)) sample.push_back(i);
  std::vector<double> latencies;
  std::srand(static_cast<unsigned>(count));
  for (int i : sample) {
    std::this_thread::sleep_for(std::chrono::milliseconds(std::rand() % static_cast<int>(pass * 1000)));
    const std::string topic = "velta/c" + std::to_string(i) + "/state";
    const auto set = Clock::now();
    sims[i]->Set("level=77");
    const bool seen = mqtt.WaitFor(topic, [](const std::string& s) {
      return !s.empty() && json::parse(s)["level_percent"] == 77;
    }, 10s);
    latencies.push_back(seen ? std::chrono::duration<double>(Clock::now() - set).count() : -1);
  }
  std::sort(latencies.begin(), latencies.end());
  std::printf("%4d controllers: CPU %5.1f %% of one core, RSS %6.1f MB (peak %6.1f MB), "
              "%.2f exchanges per controller and step (%.1f %% failed), level to MQTT median "
              "%.2f s, worst %.2f s (one pass %.2f s)\n",
              count, 100 * cpu / wall, StatusKiB(pid, "VmRSS:") / 1024.0,
              StatusKiB(pid, "VmHWM:") / 1024.0, perStep, exchanges > 0 ? 100 * failed / exchanges : 0,
              latencies[latencies.size() / 2], latencies.back(), pass);
  std::fflush(stdout);
  bridge.Signal(SIGTERM);
}

}  // namespace

int main(int argc, char** argv) {
  velta::bench::PrintMachineLoad("at the start");
  std::vector<int> counts;
  for (int i = 1; i < argc; ++i) counts.push_back(std::atoi(argv[i]));
  if (counts.empty()) counts = {1, 10, 50, 100};
  for (int count : counts) Run(count);
  velta::bench::PrintMachineLoad("at the end");
  return 0;
}
