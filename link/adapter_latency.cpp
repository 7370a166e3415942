#include "link/adapter_latency.h"

#include <linux/serial.h>
#include <sys/ioctl.h>

#include <filesystem>
#include <fstream>
#include <mutex>

#include "i18n/lookup.h"
#include "link/port_search.h"

namespace velta {
namespace {

std::mutex sysfsMutex;
std::string sysfsRoot = "/sys";

std::string SysfsRoot() {
  const std::lock_guard lock(sysfsMutex);
  return sysfsRoot;
}

}  // namespace

void SetSysfsRoot(const std::string& root) {
  const std::lock_guard lock(sysfsMutex);
  sysfsRoot = root.empty() ? "/sys" : root;
}

std::optional<int> ReadLatencyTimerMs(const std::string& device) {
  std::error_code error;
  const std::filesystem::path target = std::filesystem::canonical(device, error);
  if (error) return std::nullopt;
  std::ifstream file(std::filesystem::path(SysfsRoot()) / "bus/usb-serial/devices" /
                     target.filename() / "latency_timer");
  int ms = -1;
  if (!(file >> ms) || ms < 0) return std::nullopt;
  return ms;
}

bool RequestLowLatency(int fd) {
  serial_struct serial{};
  if (ioctl(fd, TIOCGSERIAL, &serial) != 0) return false;
  if ((serial.flags & ASYNC_LOW_LATENCY) != 0) return true;
  serial.flags |= ASYNC_LOW_LATENCY;
  return ioctl(fd, TIOCSSERIAL, &serial) == 0;
}

std::string LatencyHint(const ConnectionSettings& settings) {
  if (settings.useTcp) return "";
  const std::optional<int> ms = ReadLatencyTimerMs(SerialDevicePath(settings));
  if (!ms || *ms <= kSlowLatencyTimerMs) return "";
  return Format(V_("Adapter latency timer %d ms slows writes; install the udev rule "
                   "70-velta-control.rules (sets it to 1 ms)"),
                *ms);
}

}  // namespace velta
