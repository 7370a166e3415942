// The reason lines the windows print after their own open messages, against real devices and a
// real loopback listener: a held port, a missing device, a refused port, host texts that are not
// the address they reach.
#include <gtest/gtest.h>
#include <grp.h>
#include <sys/file.h>
#include <unistd.h>

#include <fstream>

#include "link/open_reason.h"
#include "tests/link/link_peers.h"
#include "tests/support/scratch_dir.h"

namespace velta {
namespace {

ConnectionSettings Serial(std::int32_t port) {
  ConnectionSettings settings;
  settings.comPort = port;
  return settings;
}

ConnectionSettings Tcp(const std::string& host, std::int32_t port) {
  ConnectionSettings settings;
  settings.useTcp = true;
  settings.tcpHost = host;
  settings.tcpPort = port;
  return settings;
}

// The reason OpenFromSettings leaves behind, or "opened" when it did open.
std::string ReasonAfterOpen(const ConnectionSettings& settings) {
  return OpenFromSettings(settings).IsOpen() ? "opened" : OpenFailureReason(settings);
}

TEST(OpenReason, SerialPortHeldMissingOrFree) {
  test::PtyPeer peer(201);
  ASSERT_TRUE(peer.ok());
  {
    // Another program holding the device's lock, as a second terminal program would.
    const int holder = open(peer.path().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(ReasonAfterOpen(Serial(201)),
              peer.path() + " (COM201) is in use by another program. Close that program, then "
                            "try again.");
    close(holder);
  }
  EXPECT_EQ(ReasonAfterOpen(Serial(201)), "opened");

  SetComPortOverride(202, "/dev/velta-no-such-adapter");
  EXPECT_EQ(ReasonAfterOpen(Serial(202)),
            "No such device: /dev/velta-no-such-adapter (COM202). Plug the adapter in, or choose "
            "a port that is there.");
  SetComPortOverride(202, "");
}

// A device given by its path opens that path and is named by the table's COM number, or by the
// path alone when the table has none (never by the settings' unused COM number).
TEST(OpenReason, ADeviceByPathIsNamedByTheTablesNumberOrItsPath) {
  test::PtyPeer peer(201);
  ASSERT_TRUE(peer.ok());
  ConnectionSettings device;
  device.devicePath = peer.path();
  EXPECT_EQ(ReasonAfterOpen(device), "opened");
  EXPECT_EQ(ConnectionLostLine(device), "Connection to " + peer.path() + " lost (the line hung up)");
  device.devicePath = "/dev/ttyUSB9";
  EXPECT_EQ(ConnectionName(device), "COM14");
}

// No permission: join the device's group, or for a device only root may open, a udev rule.
TEST(OpenReason, PermissionStepNamesTheGroupOrAUdevRule) {
  const test::ScratchDir dir;
  const std::string device = (dir.Path() / "ttyUSB7").string();
  std::ofstream(device).put('x');
  ASSERT_EQ(chown(device.c_str(), static_cast<uid_t>(-1), getgrnam("dialout")->gr_gid), 0);
  EXPECT_EQ(PermissionStep(device), "Join its group \"dialout\" with 'sudo usermod -aG dialout "
                                    "$USER', then log out and in again.");
  ASSERT_EQ(chown(device.c_str(), static_cast<uid_t>(-1), 0), 0);
  EXPECT_EQ(PermissionStep(device).rfind("Only root may open it; a udev rule can give it to the "
                                         "group \"dialout\", for example the line SUBSYSTEM==\"tty\", "
                                         "KERNEL==\"ttyUSB7\"", 0), 0u);
}

TEST(OpenReason, TcpRefusedOrUnknown) {
  std::uint16_t freePort;
  {
    test::LoopbackListener probe;
    ASSERT_TRUE(probe.ok());
    freePort = probe.port();
  }
  EXPECT_EQ(ReasonAfterOpen(Tcp("127.0.0.1", freePort)),
            "Connection refused by 127.0.0.1:" + std::to_string(freePort) +
                ": nothing listens on that port");
  EXPECT_EQ(ReasonAfterOpen(Tcp("controller.invalid", 10001)),
            "Unknown host \"controller.invalid\"");
}

// Only the four-part decimal form is an address as it stands; the short, hexadecimal and plain
// number forms reach 127.0.0.1 too, and the opened line's reason says so.
TEST(OpenReason, HostTextThatIsNotTheAddressItReachesIsNamed) {
  test::LoopbackListener listener;
  ASSERT_TRUE(listener.ok());
  struct Row {
    const char* host;
    const char* reason;
  };
  const Row rows[] = {
      {"127.0.0.1", ""},
      {"127.1", "Connected to 127.0.0.1, the address \"127.1\" stands for"},
      {"0x7f.1", "Connected to 127.0.0.1, the address \"0x7f.1\" stands for"},
      {"2130706433", "Connected to 127.0.0.1, the address \"2130706433\" stands for"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.host);
    const ConnectionSettings settings = Tcp(row.host, listener.port());
    const ChannelHandle channel = OpenFromSettings(settings);
    ASSERT_TRUE(channel.IsOpen());
    const int peer = listener.Accept();
    EXPECT_EQ(OpenedReason(settings), row.reason);
    if (peer >= 0) close(peer);
  }
}

}  // namespace
}  // namespace velta
