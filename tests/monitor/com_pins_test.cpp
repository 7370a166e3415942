// COM numbers pinned to a stable device name: kept in the settings store beside the other values,
// stronger than VELTA_COM<n>, and followed wherever the by-id style link points, as udev re-points
// /dev/serial/by-id when an adapter comes back as another ttyUSB number.
#include <gtest/gtest.h>
#include <pty.h>
#include <poll.h>
#include <unistd.h>

#include <QSettings>
#include <QTemporaryDir>
#include <filesystem>

#include "link/channel_handle.h"
#include "link/connection.h"
#include "link/port_search.h"
#include "monitor/app_settings.h"

namespace velta {
namespace {

constexpr std::int32_t kPinned = 211;

// A pseudo-terminal whose master the test reads, as the adapter's far end.
struct Pty {
  Pty() {
    char name[128] = {};
    openpty(&master, &slave, name, nullptr, nullptr);
    path = name;
  }
  ~Pty() {
    close(master);
    close(slave);
  }
  // True when `count` bytes arrived at the adapter's far end within a second.
  bool Received(std::size_t count) const {
    pollfd p{master, POLLIN, 0};
    if (poll(&p, 1, 1000) <= 0) return false;
    std::uint8_t buffer[64];
    return read(master, buffer, sizeof buffer) == static_cast<ssize_t>(count);
  }
  int master = -1;
  int slave = -1;
  std::string path;
};

bool SendOnPinnedPort() {
  ConnectionSettings settings;
  settings.comPort = kPinned;
  const ChannelHandle channel = OpenFromSettings(settings);
  const std::uint8_t frame[4] = {0x60, 0x00, 0x01, 0x61};
  return channel.IsOpen() && ChannelSend(channel.get(), frame, 4) == 0;
}

TEST(ComPins, StoredBesideTheOtherValuesAndFollowedThroughARepointedLink) {
  QTemporaryDir dir;
  const std::filesystem::path link =
      std::filesystem::path(dir.path().toStdString()) / "usb-Korvelt_VEL-Link_A1B2-if00-port0";
  Pty first;
  Pty second;
  ASSERT_GE(first.master, 0);
  ASSERT_GE(second.master, 0);
  std::filesystem::create_symlink(first.path, link);
  {
    QSettings store(dir.filePath("store.ini"), QSettings::IniFormat);
    AppSettings written;
    written.comPins = {{kPinned, link.string()}, {5, "/dev/serial/by-id/usb-other"}};
    WriteAppSettings(store, written);
  }
  QSettings store(dir.filePath("store.ini"), QSettings::IniFormat);
  const AppSettings read = ReadAppSettings(store);
  EXPECT_EQ(read.comPins.at(kPinned), link.string());
  EXPECT_EQ(read.comPins.at(5), "/dev/serial/by-id/usb-other");

  // The environment names another device for the same number; the pin wins.
  setenv(("VELTA_COM" + std::to_string(kPinned)).c_str(), second.path.c_str(), 1);
  ApplyComPins({{kPinned, read.comPins.at(kPinned)}});
  EXPECT_EQ(ComDevicePath(kPinned), link.string());
  ASSERT_TRUE(SendOnPinnedPort());
  EXPECT_TRUE(first.Received(4));

  // The adapter comes back as another device: the same COM number reaches it.
  std::filesystem::remove(link);
  std::filesystem::create_symlink(second.path, link);
  ASSERT_TRUE(SendOnPinnedPort());
  EXPECT_TRUE(second.Received(4));

  SetComPortOverride(kPinned, "");
  unsetenv(("VELTA_COM" + std::to_string(kPinned)).c_str());
}

}  // namespace
}  // namespace velta
