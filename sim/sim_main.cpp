// velta-sim: a simulated VEL pump controller on TCP and/or a pseudo-terminal.
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "sim/device.h"
#include "sim/options.h"
#include "sim/server.h"

int main(int argc, char** argv) {
  using namespace velta::sim;
  const ParsedOptions parsed = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (parsed.help) {
    std::cout << HelpText();
    return 0;
  }
  if (!parsed.error.empty()) {
    std::cerr << "velta-sim: " << parsed.error << "\n(see velta-sim --help)\n";
    return 2;
  }
  Device device;
  for (const auto& [key, value] : parsed.options.settings) {
    const std::string error = device.Set(key, value);
    if (!error.empty()) {
      std::cerr << "velta-sim: " << error << "\n";
      return 2;
    }
  }
  if (!parsed.options.quiet) {
    const double start = MonotonicSeconds();
    device.SetLogger([start](const std::string& line) {
      std::fprintf(stderr, "[%9.3f] %s\n", MonotonicSeconds() - start, line.c_str());
    });
  }
  Server server(device, parsed.options);
  std::string error;
  if (!server.Start(error)) {
    std::cerr << "velta-sim: " << error << "\n";
    return 1;
  }
  server.Run();
  return 0;
}
