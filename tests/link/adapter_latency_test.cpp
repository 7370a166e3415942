// A USB adapter's latency timer: read from a sysfs tree the test lays out, shown in the port's
// tooltip, and the hint after an open when it stays long; and the low-latency request, which a
// pseudo-terminal refuses without harm.
#include <gtest/gtest.h>
#include <termios.h>

#include <cstring>
#include <filesystem>
#include <optional>

#include "link/adapter_info.h"
#include "link/adapter_latency.h"
#include "link/channel.h"
#include "tests/link/link_peers.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace velta {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kPort = 241;

struct TimerCase {
  const char* name;
  std::optional<std::string> timerFile;  // the latency_timer file's text; none: no such file
  std::optional<int> timerMs;
  bool hint;
};

const TimerCase kTimerCases[] = {
    {"an FTDI adapter at its default", "16\n", 16, true},
    {"just above the limit", "3\n", 3, true},
    {"at the limit", "2\n", 2, false},
    {"lowered by the udev rule or the driver", "1\n", 1, false},
    {"an adapter without a latency timer", std::nullopt, std::nullopt, false},
    {"a file that holds no number", "n/a\n", std::nullopt, false},
};

// A device file reached through a by-id link, as a pinned adapter is, and its sysfs entry.
class LatencyTimerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(dir_ / "dev");
    fs::create_directories(dir_ / "by-id");
    fs::create_directories(timerDir_);
    test::WriteFile((dir_ / "dev/ttyUSB7").string(), "");
    fs::create_symlink(dir_ / "dev/ttyUSB7", dir_ / "by-id/usb-FTDI_FT232R_A10K-if00-port0");
    SetComPortOverride(kPort, (dir_ / "by-id/usb-FTDI_FT232R_A10K-if00-port0").string());
    SetSysfsRoot((dir_ / "sys").string());
  }
  void TearDown() override {
    SetSysfsRoot("");
    SetComPortOverride(kPort, "");
  }

  test::ScratchDir dir_;
  fs::path timerDir_ = dir_ / "sys/bus/usb-serial/devices/ttyUSB7";
};

TEST_F(LatencyTimerTest, TheTimerIsShownAndALongOneAddsTheHint) {
  ConnectionSettings serial;
  serial.comPort = static_cast<std::int32_t>(kPort);
  ConnectionSettings tcp = serial;
  tcp.useTcp = true;
  for (const TimerCase& row : kTimerCases) {
    SCOPED_TRACE(row.name);
    fs::remove(timerDir_ / "latency_timer");
    if (row.timerFile) test::WriteFile((timerDir_ / "latency_timer").string(), *row.timerFile);

    const AdapterInfo info = DescribeComPort(kPort);
    EXPECT_EQ(info.latencyTimerMs, row.timerMs);
    const std::string tip = AdapterTooltip(info);
    if (row.timerMs) {
      EXPECT_NE(tip.find("\nLatency timer: " + std::to_string(*row.timerMs) + " ms"),
                std::string::npos)
          << tip;
    } else {
      EXPECT_EQ(tip.find("Latency"), std::string::npos) << tip;
    }

    EXPECT_EQ(LatencyHint(tcp), "");
    const std::string hint = LatencyHint(serial);
    if (row.hint) {
      EXPECT_NE(hint.find(std::to_string(*row.timerMs) + " ms"), std::string::npos) << hint;
      EXPECT_NE(hint.find("70-velta-control.rules"), std::string::npos) << hint;
      EXPECT_EQ(hint.find('\n'), std::string::npos) << "one line";
    } else {
      EXPECT_EQ(hint, "");
    }
  }
}

TEST(LowLatencyRequest, APseudoTerminalRefusesItAndStaysAsItWas) {
  const test::PtyPeer peer(kPort);
  ASSERT_TRUE(peer.ok());
  Channel* channel = OpenSerialChannel(kPort, 9600);
  ASSERT_TRUE(IsOpenChannel(channel)) << static_cast<int>(LastOpenError());
  EXPECT_EQ(LastOpenError(), OpenError::None);

  termios before{};
  ASSERT_EQ(tcgetattr(channel->handle, &before), 0);
  EXPECT_FALSE(RequestLowLatency(channel->handle));
  termios after{};
  ASSERT_EQ(tcgetattr(channel->handle, &after), 0);
  EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);

  CloseChannel(channel);
}

}  // namespace
}  // namespace velta
