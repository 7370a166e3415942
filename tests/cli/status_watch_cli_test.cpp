// `velta-cli status --watch` as a user runs it while the controller goes away and comes back: the
// lost and restored lines on stderr, CSV rows of plain numbers after the restore, the summary and
// the exit code; its output reaches a file line by line; and the watch's time is checked.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/sim_process.h"

namespace velta {
namespace {

using std::chrono::milliseconds;

struct Outcome {
  int code;
  std::string out;
  std::string err;
};

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, separator)) parts.push_back(part);
  if (!text.empty() && text.back() == separator) parts.push_back("");
  return parts;
}

int CountLines(const std::string& text, const std::string& containing) {
  int count = 0;
  for (const std::string& line : Split(text, '\n')) count += line.find(containing) != std::string::npos;
  return count;
}

class CliWatch : public ::testing::Test {
 protected:
  // Starts velta-cli with `args`; Finish() waits for it.
  void Launch(const std::string& args) {
    // Arguments starting with -c run through a shell of their own first.
    const std::string program = args.rfind("-c ", 0) == 0 ? "/bin/sh" : VELTA_CLI_PATH;
    const std::string command = "'" + program + "' " + args + " >" +
                                Path("stdout") + " 2>" + Path("stderr") + " </dev/null";
    running_ = std::async(std::launch::async, [command] { return std::system(command.c_str()); });
  }
  Outcome Finish() {
    const int status = running_.get();
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, test::ReadFile(Path("stdout")),
            test::ReadFile(Path("stderr"))};
  }
  Outcome Call(const std::string& args) {
    Launch(args);
    return Finish();
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  void StartSim(std::uint16_t port, const std::vector<std::string>& more = {}) {
    // Without a water meter a pass is the Main page and the Counters page: a row every 400 ms.
    std::vector<std::string> args{"--static", "--set", "watermeter=0"};
    if (port != 0) args.insert(args.end(), {"--tcp", "127.0.0.1:" + std::to_string(port)});
    args.insert(args.end(), more.begin(), more.end());
    sim_.emplace(args);
  }

  test::ScratchDir dir_;
  std::optional<test::SimProcess> sim_;
  std::future<int> running_;
};

TEST_F(CliWatch, ALostLinkIsToldHealedAndSummed) {
  struct Row {
    const char* name;
    double seconds;
    milliseconds lostAt;
    std::optional<milliseconds> backAt;
    int exitCode;
    const char* summary;
  };
  const Row rows[] = {
      {"back in time", 6, milliseconds(1500), milliseconds(3000), 0, "link lost 1 time,"},
      {"still lost at the end", 3, milliseconds(1500), std::nullopt, 2, "still lost at the end"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    StartSim(0, {"--set", "level=33"});
    const std::uint16_t port = sim_->TcpPort();
    const std::string csv = Path(std::string(row.name) + ".csv");
    Launch("--tcp 127.0.0.1:" + std::to_string(port) + " status --watch --seconds " +
           std::to_string(row.seconds) + " --csv '" + csv + "'");
    const auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_until(start + row.lostAt);
    sim_.reset();
    if (row.backAt) {
      std::this_thread::sleep_until(start + *row.backAt);
      StartSim(port, {"--set", "level=77"});
    }
    const Outcome watch = Finish();
    EXPECT_EQ(watch.code, row.exitCode) << watch.err;
    EXPECT_EQ(CountLines(watch.err, " lost ("), 1) << watch.err;
    EXPECT_EQ(CountLines(watch.err, " restored"), row.backAt ? 1 : 0) << watch.err;
    EXPECT_EQ(CountLines(watch.err, row.summary), 1) << watch.err;

    const std::vector<std::string> lines = Split(test::ReadFile(csv), '\n');
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0],
              "time,level_percent,pressure_bar,pump_power_percent,pump_running,"
              "pump_average_percent,temperature_celsius,error_byte_1,error_byte_2,"
              "water_meter_1_m3,water_meter_2_m3");
    int before = 0, after = 0;
    for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
      const std::vector<std::string> cells = Split(lines[i], ',');
      ASSERT_EQ(cells.size(), 11u) << lines[i];
      EXPECT_EQ(cells[9] + cells[10], "") << "no water meter page came";
      // Every value is a plain number, or empty where the controller gave none.
      for (std::size_t c = 1; c < cells.size(); ++c) {
        if (cells[c].empty()) continue;
        std::size_t used = 0;
        std::stod(cells[c], &used);
        EXPECT_EQ(used, cells[c].size()) << "column " << c << " of " << lines[i];
      }
      before += cells[1] == "33";
      after += cells[1] == "77";
    }
    EXPECT_GE(before, 2) << "rows before the loss";
    if (row.backAt) {
      EXPECT_GE(after, 3) << "rows after the restore";
    }
    EXPECT_EQ(lines.back(), "") << "the file ends with a whole row";
  }
}

// A file size limit (one 512-byte block) stands in for a full disk: rows are lost, said once,
// until the limit is lifted; then the rows follow with the count, and the exit code tells of them.
TEST_F(CliWatch, TheLogRecoversWhenThereIsRoomAgain) {
  StartSim(0);
  // Earlier rows fill the file to near the limit: a row or two fit, then none.
  const std::string csv = Path("full.csv");
  test::WriteFile(csv, "time,earlier\n" + std::string(420, 'x') + "\n");
  Launch("-c 'echo $$ >" + Path("pid") + "; ulimit -S -f 1; exec \"$0\" \"$@\"' '" + VELTA_CLI_PATH +
         "' --tcp 127.0.0.1:" + std::to_string(sim_->TcpPort()) + " status --watch --seconds 6 --csv '" +
         csv + "'");
  std::this_thread::sleep_for(milliseconds(3000));
  const rlimit unlimited{RLIM_INFINITY, RLIM_INFINITY};
  ASSERT_EQ(::prlimit(std::stoi(test::ReadFile(Path("pid"))), RLIMIT_FSIZE, &unlimited, nullptr), 0);
  const Outcome watch = Finish();
  EXPECT_EQ(watch.code, 2) << watch.err;
  EXPECT_EQ(CountLines(watch.err, "Measurement rows are lost: " + csv + " cannot be written. File too large."), 1)
      << watch.err;
  EXPECT_EQ(CountLines(watch.err, "Writing to " + csv + " again; "), 1) << watch.err;
  const std::vector<std::string> lines = Split(test::ReadFile(csv), '\n');
  ASSERT_GT(lines.size(), 5u) << "rows follow once there is room";
  for (std::size_t i = 2; i + 1 < lines.size(); ++i) EXPECT_EQ(Split(lines[i], ',').size(), 11u) << lines[i];
  EXPECT_EQ(lines.back(), "") << "the file ends with a whole row";
}

TEST_F(CliWatch, NoMainPageAtAllFailsTheWatch) {
  StartSim(0, {"--fault", "noreply page1"});
  const Outcome watch = Call("--tcp 127.0.0.1:" + std::to_string(sim_->TcpPort()) +
                             " status --watch --seconds 2.5");
  EXPECT_EQ(watch.code, 2) << watch.err;
  EXPECT_EQ(CountLines(watch.err, "0 Main pages"), 1) << watch.err;
}

TEST_F(CliWatch, PipedOutputComesLineByLine) {
  StartSim(0);
  Launch("--json --tcp 127.0.0.1:" + std::to_string(sim_->TcpPort()) +
         " status --watch --seconds 3");
  std::this_thread::sleep_for(milliseconds(1500));
  const std::vector<std::string> early = Split(test::ReadFile(Path("stdout")), '\n');
  ASSERT_GE(early.size(), 2u) << "nothing reached the file while the watch ran";
  EXPECT_TRUE(nlohmann::json::parse(early[0]).contains("level_percent")) << early[0];
  EXPECT_EQ(Finish().code, 0);
}

TEST_F(CliWatch, TheWatchTimeIsADecimalNumberOfSeconds) {
  StartSim(0);
  const std::string tcp = "--tcp 127.0.0.1:" + std::to_string(sim_->TcpPort());
  for (const char* refused : {"-1", "nan", "inf", "1e3", "0x10", "2.", ".5", "3s", "+2"}) {
    sim_->ClearFrames();
    const Outcome watch = Call(tcp + " status --watch --seconds '" + refused + "'");
    EXPECT_EQ(watch.code, 1) << refused << ": " << watch.err;
    EXPECT_NE(watch.err.find("--seconds"), std::string::npos) << refused << ": " << watch.err;
    EXPECT_TRUE(sim_->Frames().empty()) << refused << " opened the link";
  }
  const Outcome decimal = Call(tcp + " status --watch --seconds 0.5");
  EXPECT_EQ(decimal.code, 0) << decimal.err;
}

}  // namespace
}  // namespace velta
