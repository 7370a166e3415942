// COM numbers on Linux. The program stores and shows serial ports as COM numbers 1..255, so each
// number names one device file by a fixed mapping, unless an override points it elsewhere:
//   COM1..COM4    /dev/ttyS0..ttyS3     (on-board UARTs, where Windows has COM1..COM4)
//   COM5..COM36   /dev/ttyUSB0..ttyUSB31 (USB serial adapters)
//   COM37..COM68  /dev/ttyACM0..ttyACM31 (USB CDC-ACM devices)
//   COM69..COM255 /dev/ttyS4..ttyS190   (further UARTs on expansion cards)
// Overrides, strongest first: SetComPortOverride, then the environment variable VELTA_COM<n>.
#include "link/port_search.h"

#include <strings.h>
#include <sys/stat.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>

#include "link/numbers.h"

namespace velta {

namespace {

constexpr std::uint32_t kFirstPort = kFirstComPort;
constexpr std::uint32_t kLastPort = kLastComPort;

struct PortRange {
  std::uint32_t first;
  std::uint32_t last;
  const char* device;
  std::uint32_t firstIndex;
};
constexpr PortRange kPortRanges[] = {
    {1, 4, "ttyS", 0}, {5, 36, "ttyUSB", 0}, {37, 68, "ttyACM", 0}, {69, 255, "ttyS", 4}};

std::mutex overridesMutex;
std::map<std::uint32_t, std::string>& Overrides() {
  static std::map<std::uint32_t, std::string> overrides;
  return overrides;
}

std::string SetOverride(std::uint32_t port) {
  std::lock_guard lock(overridesMutex);
  const auto found = Overrides().find(port);
  return found != Overrides().end() ? found->second : "";
}

std::string OverridePath(std::uint32_t port) {
  if (std::string set = SetOverride(port); !set.empty()) return set;
  const char* fromEnvironment = std::getenv(("VELTA_COM" + std::to_string(port)).c_str());
  return fromEnvironment != nullptr ? fromEnvironment : "";
}

// The device name (without /dev/) of the fixed mapping.
std::string MappedDevice(std::uint32_t port) {
  for (const PortRange& range : kPortRanges) {
    if (port >= range.first && port <= range.last) {
      return range.device + std::to_string(range.firstIndex + port - range.first);
    }
  }
  return "";
}

// The kernel creates ttyS nodes for UART slots that hold no UART; sysfs tells their type, 0
// (unknown) for an empty slot, without having to open the device.
bool IsRealUart(const std::string& device) {
  std::ifstream typeFile("/sys/class/tty/" + device + "/type");
  int type = 0;
  return static_cast<bool>(typeFile >> type) && type != 0;
}

bool PortPresent(std::uint32_t port) {
  struct stat info {};
  const std::string overridden = OverridePath(port);
  if (!overridden.empty()) return stat(overridden.c_str(), &info) == 0;
  const std::string device = MappedDevice(port);
  if (stat(("/dev/" + device).c_str(), &info) != 0) return false;
  return device.rfind("ttyS", 0) != 0 || IsRealUart(device);
}

// Like atoi: leading blanks and a sign, then digits up to the first non-digit; no digits is 0.
// Large values are held at a bound instead of overflowing; they are out of range anyway.
long ReadDecimal(const char* text) {
  while (std::isspace(static_cast<unsigned char>(*text))) ++text;
  const bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  long value = 0;
  for (; std::isdigit(static_cast<unsigned char>(*text)); ++text) {
    if (value < 100000) value = value * 10 + (*text - '0');
  }
  return negative ? -value : value;
}

}  // namespace

std::string ComDevicePath(std::uint32_t port) {
  if (port < kFirstPort || port > kLastPort) return "";
  const std::string overridden = OverridePath(port);
  return overridden.empty() ? "/dev/" + MappedDevice(port) : overridden;
}

std::uint32_t ComNumberOfDevice(const std::string& path) {
  std::error_code error;
  const std::string target = std::filesystem::canonical(path, error).string();
  for (std::uint32_t port = kFirstPort; port <= kLastPort; ++port) {
    const std::string mapped = "/dev/" + MappedDevice(port);
    if (path == mapped || (!error && target == mapped)) return port;
  }
  return kUnnumberedPort;
}

void SetComPortOverride(std::uint32_t port, const std::string& path) {
  std::lock_guard lock(overridesMutex);
  if (path.empty()) {
    Overrides().erase(port);
  } else {
    Overrides()[port] = path;
  }
}

std::vector<std::int32_t> ComNumbersFromNames(const std::vector<std::string>& names,
                                              std::int32_t maximum) {
  std::vector<std::int32_t> numbers;
  for (const std::string& name : names) {
    if (static_cast<std::int32_t>(numbers.size()) >= maximum) break;
    if (name.size() < 3 || strncasecmp(name.c_str(), "COM", 3) != 0) continue;
    const long number = ReadDecimal(name.c_str() + 3);
    if (number >= static_cast<long>(kFirstPort) && number <= static_cast<long>(kLastPort)) {
      numbers.push_back(static_cast<std::int32_t>(number));
    }
  }
  return numbers;
}

// The system's serial ports as the names "COM<n>" in ascending order, read through the same
// parser a name list from anywhere else goes through.
std::int32_t FindComPorts(std::int32_t maximum, std::int32_t* numbers) {
  if (numbers == nullptr || maximum <= 0) return 0;
  std::vector<std::string> names;
  for (std::uint32_t port = kFirstPort; port <= kLastPort; ++port) {
    if (PortPresent(port)) names.push_back("COM" + std::to_string(port));
  }
  const std::vector<std::int32_t> found = ComNumbersFromNames(names, maximum);
  for (std::size_t i = 0; i < found.size(); ++i) numbers[i] = found[i];
  return static_cast<std::int32_t>(found.size());
}

}  // namespace velta
