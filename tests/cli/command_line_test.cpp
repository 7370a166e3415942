// velta-cli's own command line: its version, a mistyped command named back, and the progress of a
// long job as one line, on a terminal and in a script's log.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/cli_program.h"

namespace velta {
namespace {

using test::CliProgram;

TEST_F(CliProgram, VersionAndMistypedCommands) {
  const test::CliOutcome version = Call("--version");
  EXPECT_EQ(version.code, 0);
  EXPECT_TRUE(std::regex_match(version.out, std::regex("velta-cli [0-9]+\\.[0-9]+\\.[0-9]+\n")))
      << version.out;

  const struct {
    const char* args;
    const char* named;  // nullptr: the error is about something else than the command
  } cases[] = {
      {"frobnicate", "Unknown command \"frobnicate\"; the commands are: status, live, read,"},
      {"--tcp 127.0.0.1:1 --yes frobnicate now", "Unknown command \"frobnicate\""},
      {"--tcp=127.0.0.1:1 frobnicate", "Unknown command \"frobnicate\""},
      {"--port COM5 tank frob", "Unknown command \"tank frob\"; the commands are: read, send"},
      {"", nullptr},
      {"--port COM5 status frob", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    const test::CliOutcome outcome = Call(c.args);
    EXPECT_EQ(outcome.code, 1);
    if (c.named != nullptr) {
      EXPECT_NE(outcome.err.find(c.named), std::string::npos) << outcome.err;
    } else {
      EXPECT_EQ(outcome.err.find("Unknown command"), std::string::npos) << outcome.err;
      EXPECT_FALSE(outcome.err.empty());
    }
  }
}

// The text each line of a terminal shows at last: what follows its last carriage return.
std::vector<std::string> VisibleLines(const std::string& output) {
  std::vector<std::string> lines;
  std::istringstream in(output);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line.substr(line.rfind('\r') == std::string::npos ? 0 : line.rfind('\r') + 1));
  }
  return lines;
}

TEST_F(CliProgram, UpdateProgressIsOneLine) {
  Start();
  test::WriteFile(Path("fw.enc"), std::string(60 * 32, '\x5A'));  // 60 blocks
  const std::string update = Tcp() + " -y update " + Path("fw.enc");

  // A script's log: a plain line at every further tenth, up to 100 %.
  const test::CliOutcome logged = Call(update);
  ASSERT_EQ(logged.code, 0) << logged.err;
  std::vector<int> percents;
  const std::regex progress("Progress: ([0-9]+)%");
  for (std::sregex_iterator it(logged.err.begin(), logged.err.end(), progress), end; it != end; ++it)
    percents.push_back(std::stoi((*it)[1]));
  ASSERT_GE(percents.size(), 10u) << logged.err;
  EXPECT_LE(percents.size(), 11u) << logged.err;
  EXPECT_EQ(percents.front(), 0);
  EXPECT_EQ(percents.back(), 100);
  EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
  EXPECT_EQ(logged.err.find('\r'), std::string::npos) << "no bar drawing in a log";

  // A terminal: the bar is redrawn in place and stays only once, full, at the end.
  const test::CliOutcome shown =
      CallOnTerminal(update, "");
  ASSERT_EQ(shown.code, 0) << shown.out;
  std::vector<std::string> bars;
  for (const std::string& line : VisibleLines(shown.out)) {
    if (line.rfind("[", 0) == 0) bars.push_back(line);
  }
  ASSERT_EQ(bars.size(), 1u) << shown.out;
  EXPECT_EQ(bars[0], "[" + std::string(40, '#') + "] 100%");
  EXPECT_GE(std::count(shown.out.begin(), shown.out.end(), '\r'), 60) << "redrawn block by block";
}

}  // namespace
}  // namespace velta
