// A peer that floods the TCP link as fast as loopback allows must not freeze the Monitor window:
// Polling is stopped within a second, and the window keeps handling its events meanwhile.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCheckBox>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <thread>
#include <vector>

#include "tests/support/poll_ticks.h"
#include "tests/support/program_windows.h"
#include "tests/support/window_test.h"

namespace {

class Form1FloodingPeerTest : public velta::test::ProgramTest {
 protected:
  ~Form1FloodingPeerTest() override {
    if (form1 != nullptr) form1->close();
    DestroyProgramWindows();
  }
};

TEST_F(Form1FloodingPeerTest, PollingStopsWithinASecond) {
  const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), length), 0);
  ASSERT_EQ(listen(listener, 1), 0);
  getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);

  std::atomic<bool> flooding{true};
  std::thread peer([&] {
    pollfd waiting{listener, POLLIN, 0};
    if (poll(&waiting, 1, 3000) <= 0) return;
    const int connection = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    const std::vector<std::uint8_t> junk(64 * 1024, 0xEE);
    while (flooding) {
      pollfd p{connection, POLLOUT, 0};
      if (poll(&p, 1, 10) > 0) (void)!send(connection, junk.data(), junk.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
    }
    close(connection);
  });

  CreateProgramWindows();
  form1->show();
  ChooseTcp(ntohs(address.sin_port));
  auto* box = velta::test::FindControl<QCheckBox>(form1, "cbStartSend");
  box->click();
  ASSERT_TRUE(velta::test::WaitForPolling(*form1));

  // While the flood runs, a timer of the window's own event loop still fires on time.
  QElapsedTimer clock;
  clock.start();
  bool fired = false;
  QTimer::singleShot(500, [&] { fired = true; });
  while (!fired && clock.elapsed() < 3000) QTest::qWait(10);
  EXPECT_LT(clock.elapsed(), 1000) << "the event loop was held by the flood";

  clock.restart();
  box->click();
  EXPECT_LT(clock.elapsed(), 1000) << "unticking took too long";
  EXPECT_TRUE(velta::test::FindControl<QWidget>(form1, "bbSetup")->isEnabled());

  flooding = false;
  peer.join();
  close(listener);
}

}  // namespace
