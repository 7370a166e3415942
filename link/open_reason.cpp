#include "link/open_reason.h"

#include <grp.h>
#include <sys/stat.h>

#include <filesystem>
#include <vector>

#include "link/port_search.h"

namespace velta {
namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// The group that may open the device file, read from the file itself: Debian says "dialout",
// other systems "uucp" or "tty".
std::string DeviceGroup(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return "";
  group entry{};
  group* found = nullptr;
  std::vector<char> buffer(4096);
  if (getgrgid_r(info.st_gid, &entry, buffer.data(), buffer.size(), &found) != 0 || !found) {
    return std::to_string(info.st_gid);
  }
  return found->gr_name;
}

// The COM number the settings are known by: a device named outright has the table's number for
// its path, or none.
std::uint32_t ComNumber(const ConnectionSettings& settings) {
  if (!settings.devicePath.empty()) return ComNumberOfDevice(settings.devicePath);
  return static_cast<std::uint32_t>(settings.comPort);
}

// The device with its COM number when the table gives it one: "/dev/ttyUSB0 (COM5)".
std::string DeviceName(const ConnectionSettings& settings, const std::string& path) {
  if (ComNumber(settings) == kUnnumberedPort) return path;
  return path + " (" + ConnectionName(settings) + ")";
}

}  // namespace

std::string PermissionStep(const std::string& path) {
  const std::string group = DeviceGroup(path);
  if (group.empty() || group == "root" || group == "0") {
    return "Only root may open it; a udev rule can give it to the group \"dialout\", for "
           "example the line SUBSYSTEM==\"tty\", KERNEL==\"" +
           std::filesystem::path(path).filename().string() +
           "\", GROUP=\"dialout\", MODE=\"0660\" in a file in /etc/udev/rules.d/, then plug the "
           "adapter in again.";
  }
  return "Join its group " + Quoted(group) + " with 'sudo usermod -aG " + group +
         " $USER', then log out and in again.";
}

namespace {

std::string SerialReason(const ConnectionSettings& settings) {
  const std::string path = SerialDevicePath(settings);
  if (path.empty()) return ConnectionName(settings) + " is no serial port number (1 to 255).";
  const std::string device = DeviceName(settings, path);
  switch (LastOpenError()) {
    case OpenError::NoSuchDevice:
      return "No such device: " + device + ". Plug the adapter in, or choose a port that is there.";
    case OpenError::PermissionDenied:
      return "No permission to open " + device + ". " + PermissionStep(path);
    case OpenError::Busy:
      return device + " is in use by another program. Close that program, then try again.";
    case OpenError::LineSettings:
      return device + " refused the line settings 9600 baud 8N1; it may be no serial port.";
    default:
      return device + " could not be opened.";
  }
}

std::string TcpReason(const ConnectionSettings& settings) {
  const std::string address = LastOpenAddress();
  const std::string reached =
      address.empty() || address == settings.tcpHost
          ? ConnectionName(settings)
          : ConnectionName(settings) + " (" + address + ")";
  switch (LastOpenError()) {
    case OpenError::UnknownHost:
      return "Unknown host " + Quoted(settings.tcpHost);
    case OpenError::PortOutOfRange:
      return TcpPortOutOfRange(settings.tcpPort);
    case OpenError::ConnectRefused:
      return "Connection refused by " + reached + ": nothing listens on that port";
    case OpenError::ConnectTimedOut:
      return "No answer from " + reached + " within the connect time";
    case OpenError::ConnectFailed:
      return reached + " cannot be reached";
    default:
      return "The connection to " + reached + " could not be opened";
  }
}

}  // namespace

std::string ConnectionName(const ConnectionSettings& settings) {
  if (settings.useTcp) return settings.tcpHost + ":" + std::to_string(settings.tcpPort);
  const std::uint32_t number = ComNumber(settings);
  if (!settings.devicePath.empty() && number == kUnnumberedPort) return settings.devicePath;
  return "COM" + std::to_string(number);
}

std::string ConnectionLostLine(const ConnectionSettings& settings) {
  const char* why = "closed by the other side";
  if (!settings.useTcp) {
    struct stat info {};
    const std::string path = SerialDevicePath(settings);
    why = stat(path.c_str(), &info) != 0 ? "device removed" : "the line hung up";
  }
  return "Connection to " + ConnectionName(settings) + " lost (" + why + ")";
}

std::string ConnectionRestoredLine(const ConnectionSettings& settings) {
  return "Connection to " + ConnectionName(settings) + " restored";
}

std::string OpenFailureReason(const ConnectionSettings& settings) {
  return settings.useTcp ? TcpReason(settings) : SerialReason(settings);
}

std::string OpenedReason(const ConnectionSettings& settings) {
  if (!settings.useTcp) return "";
  const std::string address = LastOpenAddress();
  if (address.empty() || address == settings.tcpHost) return "";
  return "Connected to " + address + ", the address " + Quoted(settings.tcpHost) + " stands for";
}

}  // namespace velta
