// velta-cli run as a user runs it, against a simulator started for the test: the program started
// with its arguments, judged by stdout, stderr, exit code, the files it wrote and the frames the
// simulator received. Only for the test programs that know VELTA_CLI_PATH.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/sim_process.h"

namespace velta::test {

struct CliOutcome {
  int code;
  std::string out;
  std::string err;
};

class CliProgram : public ::testing::Test {
 protected:
  void Start(std::vector<std::string> args = {}) {
    args.insert(args.begin(), "--write-enable");
    sim_ = std::make_unique<SimProcess>(args);
  }
  std::string Tcp() const { return "--tcp 127.0.0.1:" + std::to_string(sim_->TcpPort()); }

  // Runs velta-cli (or `program`) with `args` (shell words) and no terminal on stdin.
  CliOutcome Call(const std::string& args, const std::string& program = VELTA_CLI_PATH) {
    const std::string out = (dir_ / "stdout").string(), err = (dir_ / "stderr").string();
    const std::string command = "'" + program + "' " + args + " >" + out + " 2>" + err +
                                " </dev/null";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(out), ReadFile(err)};
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  int Count(const std::string& frame) {
    const std::vector<std::string> frames = sim_->Frames();
    return static_cast<int>(std::count(frames.begin(), frames.end(), frame));
  }

  ScratchDir dir_;
  std::unique_ptr<SimProcess> sim_;
};

}  // namespace velta::test
