#include "sim/options.h"

#include <fstream>

#include "link/connection.h"
#include "sim/device.h"
#include "sim/faults.h"
#include "sim/hex.h"

namespace velta::sim {

namespace {

bool ParsePort(const std::string& text, std::uint16_t& port) {
  const auto value = ParseNumber(text);
  if (!value || *value < kLowestTcpPort || *value > kHighestTcpPort) return false;
  port = static_cast<std::uint16_t>(*value);
  return true;
}

bool SplitSetting(const std::string& text, std::pair<std::string, std::string>& setting) {
  const auto eq = text.find('=');
  if (eq == std::string::npos || eq == 0) return false;
  setting = {text.substr(0, eq), text.substr(eq + 1)};
  return true;
}

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

}  // namespace

std::string ReadScenario(const std::string& path,
                         std::vector<std::pair<std::string, std::string>>& settings) {
  std::ifstream in(path);
  if (!in) return "cannot read scenario file " + path;
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    line = Trim(line);
    if (line.empty() || line[0] == '#') continue;
    std::pair<std::string, std::string> setting;
    if (!SplitSetting(line, setting)) {
      return path + ":" + std::to_string(number) + ": expected key=value";
    }
    settings.emplace_back(Trim(setting.first), Trim(setting.second));
  }
  return {};
}

ParsedOptions ParseOptions(const std::vector<std::string>& args) {
  ParsedOptions parsed;
  SimOptions& o = parsed.options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    auto value = [&]() -> std::string { return args[++i]; };
    auto fail = [&](const std::string& why) {
      parsed.error = why;
      return parsed;
    };
    if (arg == "--help" || arg == "-h") {
      parsed.help = true;
    } else if (arg == "--quiet") {
      o.quiet = true;
    } else if (arg == "--no-tcp") {
      o.tcp = false;
    } else if (arg == "--pty") {
      o.pty = true;
    } else if (arg == "--write-enable") {
      o.settings.emplace_back("writeenable", "always");
    } else if (arg == "--static") {
      o.settings.emplace_back("live", "0");
    } else if (arg == "--live") {
      o.settings.emplace_back("live", "1");
    } else if (!hasValue && (arg.rfind("--", 0) == 0)) {
      return fail(arg + " needs a value or is unknown");
    } else if (arg == "--tcp") {
      const std::string text = value();
      const auto colon = text.rfind(':');
      if (colon == std::string::npos || colon == 0 || !ParsePort(text.substr(colon + 1), o.tcpPort)) {
        return fail("--tcp needs HOST:PORT, got " + text);
      }
      o.tcpHost = text.substr(0, colon);
      o.tcp = true;
    } else if (arg == "--control") {
      if (!ParsePort(value(), o.controlPort)) return fail("--control needs a port number");
      o.control = true;
    } else if (arg == "--pty-link") {
      o.ptyLink = value();
      o.pty = true;
    } else if (arg == "--baud") {
      const auto baud = ParseNumber(value());
      // Slower than this a request's bytes come so far apart that the controller would take the
      // first ones for leftovers of a broken request (200 ms) before the last is in.
      if (!baud || *baud < 300 || *baud > 4'000'000) return fail("--baud needs a rate from 300 up");
      o.baud = static_cast<int>(*baud);
    } else if (arg == "--adapter-latency") {
      // An adapter chip's latency timer is one byte of milliseconds; 0 leaves the adapter out.
      const auto ms = ParseNumber(value());
      if (!ms || *ms < 0 || *ms > 255) return fail("--adapter-latency needs 0 to 255 ms");
      o.adapterLatencyMs = static_cast<int>(*ms);
    } else if (arg == "--set") {
      std::pair<std::string, std::string> setting;
      if (!SplitSetting(value(), setting)) return fail("--set needs key=value");
      o.settings.push_back(setting);
    } else if (arg == "--scenario") {
      const std::string error = ReadScenario(value(), o.settings);
      if (!error.empty()) return fail(error);
    } else if (arg == "--fault") {
      o.settings.emplace_back("fault", value());
    } else if (arg == "--version") {
      o.settings.emplace_back("version", value());
    } else if (arg == "--ack") {
      o.settings.emplace_back("ack", value());
    } else {
      return fail("unknown option " + arg);
    }
  }
  return parsed;
}

std::string HelpText() {
  return std::string(
             "velta-sim: a simulated VEL pump controller for VELTA Control and its tests.\n"
             "\n"
             "Usage: velta-sim [options]\n"
             "  --tcp HOST:PORT     listen for the controller link (default 127.0.0.1:10001;\n"
             "                      port 0 picks a free port)\n"
             "  --no-tcp            no TCP listener (pseudo-terminal only)\n"
             "  --pty               also offer the link on a pseudo-terminal\n"
             "  --pty-link PATH     make PATH a symbolic link to the pseudo-terminal (implies --pty);\n"
             "                      point VELTA Control at it with VELTA_COM<n>=PATH\n"
             "  --control PORT      line-based control port on 127.0.0.1 (0 picks a free port)\n"
             "  --baud N            act as a line at N baud (300 and up), 10 bits a byte,\n"
             "                      both ways: a request is acted on once its last byte is in,\n"
             "                      replies leave byte by byte (also on TCP)\n"
             "  --adapter-latency MS  act as a USB serial adapter whose latency timer fires every\n"
             "                      MS ms (1 to 255; 0, the default, is off): reply bytes wait in\n"
             "                      the adapter until the timer fires or 62 of them are waiting\n"
             "  --set KEY=VALUE     change a setting (repeatable, applied in order)\n"
             "  --scenario FILE     settings from FILE, one KEY=VALUE per line, # comments\n"
             "  --fault FAULT       add a fault (same as --set fault=FAULT)\n"
             "  --version TEXT      Version query reply (same as --set version=TEXT)\n"
             "  --ack N             byte acknowledging writes (same as --set ack=N)\n"
             "  --write-enable      writes are always allowed (same as --set writeenable=always)\n"
             "  --static            the model stands still unless told to advance (live=0)\n"
             "  --live              the installation runs by itself (live=1, the default)\n"
             "  --quiet             no log of received frames on stderr\n"
             "  --help              this text\n"
             "\n"
             "On start the simulator prints one line per listener to stdout:\n"
             "  tcp HOST:PORT\n  control 127.0.0.1:PORT\n  pty /dev/pts/N\n  pty-link PATH\n"
             "and then \"ready\" once it serves all of them.\n"
             "\n"
             "Settings (KEY=VALUE; numbers decimal or 0x hex):\n") +
         Device::SettingsHelp() +
         "\n"
         "Faults (FAULT):\n" + kFaultHelp +
         "\n"
         "Control port commands (one per line; every reply ends with a line \".\"):\n"
         "  frames              request frames received, one per line (\"88 00 34 BC\")\n"
         "  clear-frames        forget the received frames and the connections counted\n"
         "  connections         connections that sent a request since clear-frames\n"
         "  mem                 the 2048 bytes of memory as one line of hex\n"
         "  set-mem ADDR HEX    store bytes from ADDR (HEX packed or blank separated)\n"
         "  flash               the image the boot loader programmed, one line of hex\n"
         "  boot                boot loader events, one per line\n"
         "  mode                normal or boot\n"
         "  set KEY=VALUE ...   change settings\n"
         "  state               all settings as KEY=VALUE lines\n"
         "  fault FAULT         add a fault (\"fault clear\" removes all)\n"
         "  faults              active faults, one per line\n"
         "  advance SECONDS     run the model forward\n"
         "  quit                stop the simulator\n"
         "Replies: data lines, then \"ok\" or \"error TEXT\", then \".\".\n";
}

}  // namespace velta::sim
