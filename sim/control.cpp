#include "sim/control.h"

#include <sstream>
#include <vector>

#include "sim/hex.h"

namespace velta::sim {

namespace {

std::string Reply(const std::vector<std::string>& lines, const std::string& status) {
  std::string text;
  for (const auto& line : lines) text += line + "\n";
  return text + status + "\n.\n";
}

std::string Status(const std::string& error) { return error.empty() ? "ok" : "error " + error; }

std::string SetMemory(Device& device, const std::string& arguments) {
  std::istringstream in(arguments);
  std::string addressText;
  in >> addressText;
  const auto address = ParseNumber(addressText);
  if (!address || *address < 0 || *address >= kMemorySize) return "set-mem needs an address 0..2047";
  std::string rest;
  std::getline(in, rest);
  const auto bytes = ParseHexBytes(rest);
  if (!bytes || bytes->empty()) return "set-mem needs hex bytes";
  if (*address + static_cast<long long>(bytes->size()) > kMemorySize) return "set-mem beyond memory";
  for (std::size_t i = 0; i < bytes->size(); ++i) {
    device.Mem().SetByte(static_cast<int>(*address) + static_cast<int>(i), (*bytes)[i]);
  }
  return {};
}

std::string SetSettings(Device& device, const std::string& arguments) {
  std::istringstream in(arguments);
  std::string word;
  bool any = false;
  while (in >> word) {
    const auto eq = word.find('=');
    if (eq == std::string::npos || eq == 0) return "set needs key=value, got " + word;
    const std::string error = device.Set(word.substr(0, eq), word.substr(eq + 1));
    if (!error.empty()) return error;
    any = true;
  }
  return any ? std::string() : "set needs key=value";
}

}  // namespace

ControlReply ExecuteControl(Device& device, std::string_view line) {
  std::string text(line);
  while (!text.empty() && (text.back() == '\r' || text.back() == ' ')) text.pop_back();
  const auto space = text.find(' ');
  const std::string command = text.substr(0, space);
  const std::string arguments = space == std::string::npos ? "" : text.substr(space + 1);

  if (command == "frames") return {Reply(device.Frames(), "ok")};
  if (command == "connections") return {Reply({std::to_string(device.Connections())}, "ok")};
  if (command == "clear-frames") {
    device.ClearFrames();
    return {Reply({}, "ok")};
  }
  if (command == "mem") return {Reply({HexBytes(device.Mem().bytes, "")}, "ok")};
  if (command == "set-mem") return {Reply({}, Status(SetMemory(device, arguments)))};
  if (command == "flash") return {Reply({HexBytes(device.Boot().Image(), "")}, "ok")};
  if (command == "boot") return {Reply(device.Boot().Events(), "ok")};
  if (command == "mode") return {Reply({device.Mode()}, "ok")};
  if (command == "set") return {Reply({}, Status(SetSettings(device, arguments)))};
  if (command == "state") return {Reply(device.Settings(), "ok")};
  if (command == "fault") return {Reply({}, Status(device.AddFault(arguments)))};
  if (command == "faults") return {Reply(DescribeFaults(device.CurrentFaults()), "ok")};
  if (command == "advance") {
    const auto seconds = ParseNumber(arguments);
    if (!seconds || *seconds < 0 || *seconds > 10'000'000) {
      return {Reply({}, "error advance needs whole seconds")};
    }
    device.Advance(static_cast<double>(*seconds));
    return {Reply({}, "ok")};
  }
  if (command == "quit") return {Reply({}, "ok"), true};
  return {Reply({}, "error unknown command: " + command)};
}

}  // namespace velta::sim
