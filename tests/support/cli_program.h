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

inline int Occurrences(const std::string& text, const std::string& part) {
  int count = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

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

  // Runs velta-cli with `args` (shell words), `input` on stdin (never a terminal), after the shell
  // commands `before` (a ulimit).
  CliOutcome Call(const std::string& args, const std::string& input = "",
                  const std::string& before = "") {
    const std::string out = (dir_ / "stdout").string(), err = (dir_ / "stderr").string();
    WriteFile((dir_ / "stdin").string(), input);
    const std::string command = before + "'" + VELTA_CLI_PATH + "' " + args + " >" + out + " 2>" +
                                err + " <" + (dir_ / "stdin").string();
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(out), ReadFile(err)};
  }
  // Runs velta-cli on a terminal (script(1)) whose user types `answer` to its question; `out` is
  // all the terminal showed.
  CliOutcome CallOnTerminal(const std::string& args, const std::string& answer) {
    const std::string in = (dir_ / "answer").string(), out = (dir_ / "terminal").string();
    WriteFile(in, answer + "\n");
    // Appended piece by piece: GCC 12 misreads the chained + as out of bounds.
    std::string command = "script -qfec \"'";
    command += VELTA_CLI_PATH;
    command += "' " + args + "\" /dev/null <" + in + " >" + out;
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(out), {}};
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  // The write frames and the closing request the simulator received.
  std::vector<std::string> Writes() {
    std::vector<std::string> writes;
    for (const std::string& frame : sim_->Frames()) {
      if (frame.rfind("98 ", 0) == 0 || frame.rfind("60 00 08", 0) == 0) writes.push_back(frame);
    }
    return writes;
  }
  int Count(const std::string& frame) {
    const std::vector<std::string> frames = sim_->Frames();
    return static_cast<int>(std::count(frames.begin(), frames.end(), frame));
  }

  ScratchDir dir_;
  std::unique_ptr<SimProcess> sim_;
};

}  // namespace velta::test
