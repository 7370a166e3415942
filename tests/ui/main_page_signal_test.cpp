// Started as the front-door benchmark starts it, the program says when the first Main page is
// shown and ends by itself.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>

#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/sim_process.h"

TEST(MainPageSignal, TheProgramQuitsOnceTheFirstMainPageIsShown) {
  velta::test::SimProcess sim;
  const velta::test::ScratchDir dir;
  std::filesystem::create_directories(dir / "Korvelt");
  velta::test::WriteFile((dir / "Korvelt/VELTA.conf").string(),
                         "[General]\nUseTCP=1\nTCPHost=127.0.0.1\nTCPPort=" +
                             std::to_string(sim.TcpPort()) + "\nStartSend=1\n");
  const std::string folder = dir.Path().string();
  const std::string command =
      "VELTA_SMOKE_TEST=main-page QT_QPA_PLATFORM=offscreen VELTA_CONFIG_DIR=" + folder +
      " XDG_DATA_HOME=" + folder + " timeout 60 '" + VELTA_CONTROL_PATH + "' 2>/dev/null >" +
      folder + "/out";
  const int status = std::system(command.c_str());
  EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0) << "124: still running after 60 s";
  EXPECT_EQ(velta::test::ReadFile(folder + "/out"), "first Main page shown\n");
  const std::vector<std::string> frames = sim.Frames();
  EXPECT_NE(std::find(frames.begin(), frames.end(), "60 00 01 61"), frames.end())
      << "no Main page was asked for";
}
