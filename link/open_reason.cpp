#include "link/open_reason.h"

#include <grp.h>
#include <sys/stat.h>

#include <filesystem>
#include <vector>

#include "i18n/lookup.h"
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
    return Format(V_("Only root may open it; a udev rule can give it to the group \"dialout\", for "
                     "example the line SUBSYSTEM==\"tty\", KERNEL==\"%s\", GROUP=\"dialout\", "
                     "MODE=\"0660\" in a file in /etc/udev/rules.d/, then plug the adapter in "
                     "again."),
                  std::filesystem::path(path).filename().c_str());
  }
  return Format(V_("Join its group %s with 'sudo usermod -aG %s $USER', then log out and in "
                   "again."),
                Quoted(group).c_str(), group.c_str());
}

namespace {

std::string SerialReason(const ConnectionSettings& settings) {
  const std::string path = SerialDevicePath(settings);
  if (path.empty()) {
    return Format(V_("%s is no serial port number (1 to 255)."), ConnectionName(settings).c_str());
  }
  const std::string device = DeviceName(settings, path);
  switch (LastOpenError()) {
    case OpenError::NoSuchDevice:
      return Format(V_("No such device: %s. Plug the adapter in, or choose a port that is there."),
                    device.c_str());
    case OpenError::PermissionDenied:
      return Format(V_("No permission to open %s."), device.c_str()) + " " + PermissionStep(path);
    case OpenError::Busy:
      return Format(V_("%s is in use by another program. Close that program, then try again."),
                    device.c_str());
    case OpenError::LineSettings:
      return Format(V_("%s refused the line settings 9600 baud 8N1; it may be no serial port."),
                    device.c_str());
    default:
      return Format(V_("%s could not be opened."), device.c_str());
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
      return V_("Unknown host ") + Quoted(settings.tcpHost);
    case OpenError::PortOutOfRange:
      return TcpPortOutOfRange(settings.tcpPort);
    case OpenError::ConnectRefused:
      return Format(V_("Connection refused by %s: nothing listens on that port"), reached.c_str());
    case OpenError::ConnectTimedOut:
      return Format(V_("No answer from %s within the connect time"), reached.c_str());
    case OpenError::ConnectFailed:
      return Format(V_("%s cannot be reached"), reached.c_str());
    default:
      return Format(V_("The connection to %s could not be opened"), reached.c_str());
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
  const char* why = VN_("closed by the other side");
  if (!settings.useTcp) {
    struct stat info {};
    const std::string path = SerialDevicePath(settings);
    why = stat(path.c_str(), &info) != 0 ? VN_("device removed") : VN_("the line hung up");
  }
  return Format(V_("Connection to %s lost (%s)"), ConnectionName(settings).c_str(), V_(why).c_str());
}

std::string ConnectionRestoredLine(const ConnectionSettings& settings) {
  return Format(V_("Connection to %s restored"), ConnectionName(settings).c_str());
}

std::string OpenFailureReason(const ConnectionSettings& settings) {
  return settings.useTcp ? TcpReason(settings) : SerialReason(settings);
}

std::string OpenedReason(const ConnectionSettings& settings) {
  if (!settings.useTcp) return "";
  const std::string address = LastOpenAddress();
  if (address.empty() || address == settings.tcpHost) return "";
  return Format(V_("Connected to %s, the address %s stands for"), address.c_str(),
                Quoted(settings.tcpHost).c_str());
}

}  // namespace velta
