// The simulator's command line.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace velta::sim {

struct SimOptions {
  bool tcp = true;
  std::string tcpHost = "127.0.0.1";
  std::uint16_t tcpPort = 10001;
  bool control = false;
  std::uint16_t controlPort = 0;
  bool pty = false;
  std::string ptyLink;
  int baud = 0;         // 0: no line time, else requests and replies take 10 bits per byte
  int adapterLatencyMs = 0;  // 0: replies reach the peer as they leave the line, else they wait
                             // for a USB adapter's latency timer of this period
  bool quiet = false;
  // Device settings in the order given: --set, --scenario lines, and the options that are
  // shorthand for a setting (--version, --fault, --write-enable, --ack, --static, --live).
  std::vector<std::pair<std::string, std::string>> settings;
};

struct ParsedOptions {
  SimOptions options;
  bool help = false;
  std::string error;  // empty when the command line was good
};

ParsedOptions ParseOptions(const std::vector<std::string>& args);

// Reads key=value lines of a scenario file into `settings`; blank lines and lines starting with
// '#' are skipped. Returns an error text, empty on success.
std::string ReadScenario(const std::string& path,
                         std::vector<std::pair<std::string, std::string>>& settings);

std::string HelpText();

}  // namespace velta::sim
