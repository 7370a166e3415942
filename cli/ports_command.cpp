// ports: the COM numbers whose devices exist, with the device file and the adapter's name.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "link/port_search.h"

namespace velta::cli {
namespace {

constexpr std::int32_t kMostPorts = 255;

std::string FirstLine(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

// "maker product" of a USB adapter, from the USB device above the tty in sysfs; empty for a
// built-in UART or a pseudo-terminal.
std::string AdapterName(const std::string& devicePath) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path device = fs::canonical(devicePath, error);
  if (error) return "";
  fs::path sys = fs::canonical(fs::path("/sys/class/tty") / device.filename() / "device", error);
  for (int level = 0; !error && level < 3 && !sys.empty(); ++level, sys = sys.parent_path()) {
    if (fs::exists(sys / "product")) {
      const std::string maker = FirstLine(sys / "manufacturer");
      const std::string product = FirstLine(sys / "product");
      return maker.empty() ? product : maker + " " + product;
    }
  }
  return "";
}

int RunPorts(const CliContext& context) {
  std::int32_t numbers[kMostPorts];
  const std::int32_t found = FindComPorts(kMostPorts, numbers);
  nlohmann::json list = nlohmann::json::array();
  for (std::int32_t i = 0; i < found; ++i) {
    const std::string device = ComDevicePath(static_cast<std::uint32_t>(numbers[i]));
    list.push_back({{"port", "COM" + std::to_string(numbers[i])},
                    {"device", device},
                    {"adapter", AdapterName(device)}});
  }
  if (context.json) {
    std::printf("%s\n", list.dump().c_str());
    return kExitOk;
  }
  for (const auto& port : list) {
    std::printf("%-7s %-24s %s\n", port["port"].get<std::string>().c_str(),
                port["device"].get<std::string>().c_str(),
                port["adapter"].get<std::string>().c_str());
  }
  return kExitOk;
}

}  // namespace

void AddPortsCommand(CLI::App& app, CliContext& context, int& result) {
  app.add_subcommand("ports", "Serial ports: COM numbers, devices, adapter names")
      ->callback([&] { result = RunPorts(context); });
}

}  // namespace velta::cli
