#include "link/adapter_info.h"

#include <libudev.h>

#include <filesystem>
#include <memory>

#include "i18n/lookup.h"
#include "link/adapter_latency.h"
#include "link/port_search.h"

namespace velta {
namespace {

constexpr char kStableNames[] = "/dev/serial/by-id";

std::string Text(const char* value) { return value != nullptr ? value : ""; }

// The USB device's own attributes, read through udev from the tty's sysfs entry.
void ReadUsbAttributes(const std::string& device, AdapterInfo& info) {
  const std::unique_ptr<udev, decltype(&udev_unref)> context(udev_new(), udev_unref);
  if (!context) return;
  const std::string name = std::filesystem::path(device).filename().string();
  const std::unique_ptr<udev_device, decltype(&udev_device_unref)> tty(
      udev_device_new_from_subsystem_sysname(context.get(), "tty", name.c_str()),
      udev_device_unref);
  if (!tty) return;
  // The parent belongs to the tty and goes with it.
  udev_device* usb =
      udev_device_get_parent_with_subsystem_devtype(tty.get(), "usb", "usb_device");
  if (usb == nullptr) return;
  info.maker = Text(udev_device_get_sysattr_value(usb, "manufacturer"));
  info.product = Text(udev_device_get_sysattr_value(usb, "product"));
  info.serial = Text(udev_device_get_sysattr_value(usb, "serial"));
}

// The by-id link that leads to `device`, if udev made one.
std::string StableNameOf(const std::string& device) {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(kStableNames, error)) {
    std::error_code ignored;
    if (std::filesystem::canonical(entry.path(), ignored) == device) return entry.path().string();
  }
  return "";
}

}  // namespace

AdapterInfo DescribeComPort(std::uint32_t port) {
  AdapterInfo info;
  info.path = ComDevicePath(port);
  if (info.path.empty()) return info;
  std::error_code error;
  const std::filesystem::path device = std::filesystem::canonical(info.path, error);
  info.device = error ? info.path : device.string();
  if (error) return info;
  ReadUsbAttributes(info.device, info);
  info.latencyTimerMs = ReadLatencyTimerMs(info.device);
  info.stableName = info.path.rfind(kStableNames, 0) == 0 ? info.path : StableNameOf(info.device);
  return info;
}

std::string AdapterTooltip(const AdapterInfo& info) {
  std::string tip = info.path;
  if (info.device != info.path && !info.device.empty()) tip += " -> " + info.device;
  if (!info.maker.empty()) tip += "\n" + V_("Maker: ") + info.maker;
  if (!info.product.empty()) tip += "\n" + V_("Product: ") + info.product;
  if (!info.serial.empty()) tip += "\n" + V_("Serial number: ") + info.serial;
  if (info.latencyTimerMs) tip += "\n" + Format(V_("Latency timer: %d ms"), *info.latencyTimerMs);
  if (!info.stableName.empty() && info.stableName != info.path) tip += "\n" + info.stableName;
  return tip;
}

}  // namespace velta
