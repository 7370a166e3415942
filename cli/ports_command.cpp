// ports: the COM numbers whose devices exist, with the device file, the adapter's name and
// serial number, its latency timer, and the stable /dev/serial/by-id name a COM number can be
// pinned to.
#include <cstdio>
#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "i18n/lookup.h"
#include "link/adapter_info.h"
#include "link/numbers.h"
#include "link/port_search.h"

namespace velta::cli {
namespace {

constexpr std::int32_t kMostPorts = kLastComPort;

int RunPorts(const CliContext& context) {
  std::int32_t numbers[kMostPorts];
  const std::int32_t found = FindComPorts(kMostPorts, numbers);
  nlohmann::json list = nlohmann::json::array();
  for (std::int32_t i = 0; i < found; ++i) {
    const AdapterInfo info = DescribeComPort(static_cast<std::uint32_t>(numbers[i]));
    const std::string adapter = info.maker.empty() ? info.product : info.maker + " " + info.product;
    list.push_back({{"port", "COM" + std::to_string(numbers[i])},
                    {"device", info.device.empty() ? info.path : info.device},
                    {"adapter", adapter},
                    {"serial", info.serial},
                    {"latency_timer_ms", info.latencyTimerMs ? nlohmann::json(*info.latencyTimerMs)
                                                             : nlohmann::json()},
                    {"stable_name", info.stableName}});
  }
  if (context.json) {
    std::printf("%s\n", list.dump().c_str());
    return kExitOk;
  }
  for (const auto& port : list) {
    const std::string latency =
        port["latency_timer_ms"].is_null()
            ? ""
            : Format(V_("latency %d ms"), port["latency_timer_ms"].get<int>());
    std::printf("%-7s %-16s %s %s %s\n", port["port"].get<std::string>().c_str(),
                port["device"].get<std::string>().c_str(),
                port["adapter"].get<std::string>().c_str(), latency.c_str(),
                port["stable_name"].get<std::string>().c_str());
  }
  return kExitOk;
}

}  // namespace

void AddPortsCommand(CLI::App& app, CliContext& context, int& result) {
  app.add_subcommand("ports", VN_("Serial ports: COM numbers, devices, adapter names"))
      ->callback([&] { result = RunPorts(context); });
}

}  // namespace velta::cli
