// The program started as the front-door benchmark starts it (VELTA_SMOKE_TEST=main-page): it
// polls the controller, says so once the first Main page is shown, and ends by itself.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/sim_process.h"

namespace {

TEST(MainPageSignal, TheProgramQuitsOnceTheFirstMainPageIsShown) {
  velta::test::SimProcess sim;
  const velta::test::ScratchDir dir;
  const std::string config = (dir / "config").string(), out = (dir / "stdout").string();
  std::filesystem::create_directories(config + "/Korvelt");
  velta::test::WriteFile(config + "/Korvelt/VELTA.conf",
                         "[General]\nUseTCP=1\nTCPHost=127.0.0.1\nTCPPort=" +
                             std::to_string(sim.TcpPort()) + "\nStartSend=1\n");
  const std::string command = "VELTA_SMOKE_TEST=main-page QT_QPA_PLATFORM=offscreen " +
                              ("VELTA_CONFIG_DIR=" + config) + " XDG_DATA_HOME=" +
                              dir.Path().string() + " timeout 60 '" + VELTA_CONTROL_PATH + "' >" +
                              out + " 2>/dev/null";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "124: still running after 60 s";
  EXPECT_EQ(velta::test::ReadFile(out), "first Main page shown\n");
  const std::vector<std::string> frames = sim.Frames();
  EXPECT_NE(std::find(frames.begin(), frames.end(), "60 00 01 61"), frames.end())
      << "no Main page was asked for";
}

}  // namespace
