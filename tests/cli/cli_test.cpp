// velta-cli as a user runs it: the program started with its arguments against the simulator over
// loopback TCP and over its pseudo-terminal, judged by stdout, stderr, exit code, the files it
// wrote and the frames the simulator received.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "controller/default_block.h"
#include "controller/fields.h"
#include "controller/history.h"
#include "report/service_report.h"
#include "tests/support/files.h"
#include "tests/support/recording_feedback.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/sim_process.h"

namespace velta {
namespace {

struct Outcome {
  int code;
  std::string out;
  std::string err;
};

class CliProgram : public ::testing::Test {
 protected:
  void Start(std::vector<std::string> args = {}) {
    args.insert(args.begin(), "--write-enable");
    sim_ = std::make_unique<test::SimProcess>(args);
  }
  std::string Tcp() const { return "--tcp 127.0.0.1:" + std::to_string(sim_->TcpPort()); }

  // Runs velta-cli with `args` (shell words) and no terminal on stdin.
  Outcome Call(const std::string& args) {
    const std::string out = (dir_ / "stdout").string(), err = (dir_ / "stderr").string();
    const std::string command = std::string("'") + VELTA_CLI_PATH + "' " + args + " >" + out +
                                " 2>" + err + " </dev/null";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, test::ReadFile(out),
            test::ReadFile(err)};
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  int Count(const std::string& frame) {
    const std::vector<std::string> frames = sim_->Frames();
    return static_cast<int>(std::count(frames.begin(), frames.end(), frame));
  }

  test::ScratchDir dir_;
  std::unique_ptr<test::SimProcess> sim_;
};

TEST_F(CliProgram, ReadingCommandsPrintTheSimulatorsValues) {
  Start({"--set", "level=42", "--set", "hours=777", "--set", "error=0x0C"});
  const Outcome status = Call(Tcp() + " --json status");
  ASSERT_EQ(status.code, 0) << status.err;
  const auto json = nlohmann::json::parse(status.out);
  EXPECT_EQ(json["level_percent"], 42);
  EXPECT_EQ(json["pump_hours"], "777h:00m");

  const Outcome counters = Call(Tcp() + " --json counters");
  ASSERT_EQ(counters.code, 0) << counters.err;
  EXPECT_EQ(nlohmann::json::parse(counters.out)["hours"], 777);

  const Outcome errors = Call(Tcp() + " --json errors");
  ASSERT_EQ(errors.code, 0) << errors.err;
  EXPECT_EQ(nlohmann::json::parse(errors.out).size(), 11u);

  const Outcome live = Call(Tcp() + " live");
  EXPECT_EQ(live.code, 0) << live.err;
  EXPECT_NE(live.out.find("value cistern:"), std::string::npos) << live.out;

  const Outcome tank = Call(Tcp() + " --json tank read");
  ASSERT_EQ(tank.code, 0) << tank.err;
  EXPECT_EQ(nlohmann::json::parse(tank.out).size(), 101u);

}

TEST_F(CliProgram, PortsAndStatusOverThePseudoTerminal) {
  Start({"--pty", "--set", "level=64"});
  const Outcome status = Call("--device " + sim_->PtyPath() + " --json status");
  ASSERT_EQ(status.code, 0) << status.err;
  EXPECT_EQ(nlohmann::json::parse(status.out)["level_percent"], 64);

  // A COM number pointed at the pty is listed, and reaches the controller like --device.
  setenv("VELTA_COM200", sim_->PtyPath().c_str(), 1);
  const Outcome ports = Call("--json ports");
  const Outcome byNumber = Call("--port COM200 --json status");
  unsetenv("VELTA_COM200");
  ASSERT_EQ(ports.code, 0) << ports.err;
  const auto listed = nlohmann::json::parse(ports.out);
  EXPECT_TRUE(std::any_of(listed.begin(), listed.end(), [](const auto& port) {
    return port["port"] == "COM200";
  })) << ports.out;
  ASSERT_EQ(byNumber.code, 0) << byNumber.err;
  EXPECT_EQ(nlohmann::json::parse(byNumber.out)["level_percent"], 64);
}

TEST_F(CliProgram, ChangedOnlyWritesTheDifferingAddressesAndTheClosingRequest) {
  Start();
  ASSERT_EQ(Call(Tcp() + " read -o " + Path("s.ini")).code, 0);
  std::string text = test::ReadFile(Path("s.ini"));
  // Druckendwert (9) and PulsFenster (27) change; the file's reference value (4) does not count,
  // as the controller keeps its own.
  for (const auto& [key, value] : {std::pair{"\n9=", "\n9=61"}, {"\n27=", "\n27=33"}, {"\n4=", "\n4=1"}}) {
    const auto at = text.find(key);
    text.replace(at, text.find('\n', at + 1) - at, value);
  }
  test::WriteFile(Path("s.ini"), text);

  const Outcome refused = Call(Tcp() + " write --changed-only " + Path("s.ini"));
  EXPECT_EQ(refused.code, 1) << "no terminal to ask on and no --yes";
  EXPECT_NE(refused.err.find("Pressure sensor – full scale: 10.0bar → 6.1bar"), std::string::npos)
      << "the difference comes first: " << refused.err;

  sim_->ClearFrames();
  const Outcome write = Call(Tcp() + " --yes write --changed-only " + Path("s.ini"));
  ASSERT_EQ(write.code, 0) << write.err;
  std::vector<std::string> writes;
  for (const std::string& frame : sim_->Frames()) {
    if (frame.rfind("98 ", 0) == 0 || frame.rfind("60 00 08", 0) == 0) writes.push_back(frame);
  }
  EXPECT_EQ(writes, (std::vector<std::string>{"98 09 3D DE", "98 1B 21 D4", "60 00 08 68"}));
  EXPECT_EQ(sim_->Memory()[9], 61);
  EXPECT_EQ(sim_->Memory()[27], 33);

  const Outcome diff = Call(Tcp() + " diff " + Path("s.ini") + " controller");
  EXPECT_EQ(diff.code, 0) << diff.err;
  EXPECT_EQ(diff.out.find("full scale"), std::string::npos) << diff.out;
  EXPECT_NE(diff.out.find("Value for 100%"), std::string::npos) << "only the reference differs";
}

TEST_F(CliProgram, DiffTakesAHistoryEntry) {
  Start();
  ControllerImage kept;
  LoadDefaultBlock(kept);
  Set(kept, field::Druckendwert, 61);
  setenv("XDG_DATA_HOME", dir_.Path().c_str(), 1);
  test::RecordingFeedback feedback;
  History().KeepImage("settings-read", kept, ImageFileKind::Settings, feedback);
  const Outcome diff = Call(Tcp() + " diff history:1 controller");
  const Outcome missing = Call(Tcp() + " diff history:2 controller");
  unsetenv("XDG_DATA_HOME");
  ASSERT_EQ(diff.code, 0) << diff.err;
  EXPECT_NE(diff.out.find("full scale: 6.1bar → 10.0bar"), std::string::npos) << diff.out;
  EXPECT_EQ(missing.code, 1) << "only one entry kept";
}

TEST_F(CliProgram, FullWritesBackupRestoreCountersErrorsAndTank) {
  Start({"--set", "error=0x0C"});
  ASSERT_EQ(Call(Tcp() + " read -o " + Path("s.ini")).code, 0);
  sim_->ClearFrames();
  ASSERT_EQ(Call(Tcp() + " -y write " + Path("s.ini")).code, 0);
  EXPECT_EQ(Count("60 00 08 68"), 1);
  EXPECT_GE(static_cast<int>(sim_->Frames().size()), 52);

  ASSERT_EQ(Call(Tcp() + " backup -o " + Path("b.bak")).code, 0);
  EXPECT_NE(test::ReadFile(Path("b.bak")).find("[VELTA Backup]"), std::string::npos);
  sim_->ClearFrames();
  ASSERT_EQ(Call(Tcp() + " -y restore " + Path("b.bak")).code, 0);
  EXPECT_EQ(Count("60 00 09 69"), 1);

  ASSERT_EQ(Call(Tcp() + " -y counters --set starts=4242").code, 0);
  EXPECT_EQ(nlohmann::json::parse(Call(Tcp() + " --json counters").out)["starts"], 4242);

  sim_->SetMemory(65, {9});
  ASSERT_EQ(Call(Tcp() + " -y errors --clear Er.P").code, 0);
  EXPECT_EQ(sim_->Memory()[65], 0);
  EXPECT_EQ(Call(Tcp() + " -y errors --clear Er.Q").code, 1);

  ASSERT_EQ(Call(Tcp() + " tank read -o " + Path("t.csv")).code, 0);
  sim_->ClearFrames();
  ASSERT_EQ(Call(Tcp() + " -y tank send " + Path("t.csv")).code, 0);
  EXPECT_EQ(sim_->Frames().size(), 101u);
}

TEST_F(CliProgram, UpdateProgramsTheFirmwareFile) {
  Start();
  test::WriteFile(Path("fw.enc"), std::string(100, '\x5A'));
  const Outcome update = Call(Tcp() + " -y update " + Path("fw.enc"));
  ASSERT_EQ(update.code, 0) << update.err;
  const std::vector<std::uint8_t> programmed = sim_->ProgrammedImage();
  ASSERT_GE(programmed.size(), 100u);
  EXPECT_EQ(programmed[0], 0x5A);
}

TEST_F(CliProgram, ExitCodesForARefusedFileADeadPortAndAMissingAcknowledgement) {
  Start({"--fault", "write-stop 10"});
  test::WriteFile(Path("bad.ini"), "no settings here\n");
  const Outcome refused = Call(Tcp() + " -y write " + Path("bad.ini"));
  EXPECT_EQ(refused.code, 1);
  EXPECT_NE(refused.err.find("cannot be opened"), std::string::npos) << refused.err;

  const Outcome dead = Call("--tcp 127.0.0.1:1 status");
  EXPECT_EQ(dead.code, 2);
  EXPECT_NE(dead.err.find("Error when opening the interface!"), std::string::npos) << dead.err;

  ASSERT_EQ(Call(Tcp() + " read -o " + Path("s.ini")).code, 0);
  sim_->ClearFrames();
  const Outcome unacknowledged = Call(Tcp() + " -y write " + Path("s.ini"));
  EXPECT_EQ(unacknowledged.code, 2);
  EXPECT_NE(unacknowledged.err.find("possibly no write-enable"), std::string::npos);
  EXPECT_EQ(Count("60 00 08 68"), 1) << "the closing request follows a stopped write";
}

TEST_F(CliProgram, ThreeSecondWatchLogsOneCsvRowPerMainPage) {
  Start({"--set", "watermeter=1", "--set", "level=33"});
  sim_->ClearFrames();
  const Outcome watch = Call(Tcp() + " status --watch --seconds 3 --csv " + Path("log.csv"));
  ASSERT_EQ(watch.code, 0) << watch.err;
  std::istringstream csv(test::ReadFile(Path("log.csv")));
  std::string header;
  std::getline(csv, header);
  EXPECT_EQ(header.rfind("time,level_percent,pressure_bar,", 0), 0u) << header;
  std::vector<std::string> rows;
  for (std::string row; std::getline(csv, row);) rows.push_back(row);
  const int mainPages = Count("60 00 01 61");
  EXPECT_GE(mainPages, 3) << "200 ms a tick for 3 s";
  EXPECT_EQ(static_cast<int>(rows.size()), mainPages);
  for (const std::string& row : rows) {
    EXPECT_EQ(std::count(row.begin(), row.end(), ','), 10) << row;
    EXPECT_NE(row.find(",33,"), std::string::npos) << row;
  }
  EXPECT_NE(rows.back().back(), ',') << "the water meters after their page: " << rows.back();
}

TEST_F(CliProgram, ReportIsAReadablePdfAndHtml) {
  Start({"--set", "hours=321"});
  ASSERT_EQ(Call(Tcp() + " report --site 'Hof Meier' -o " + Path("r.pdf")).code, 0);
  ASSERT_EQ(std::system(("pdfinfo " + Path("r.pdf") + " >/dev/null").c_str()), 0);
  ASSERT_EQ(std::system(("pdftotext " + Path("r.pdf") + " " + Path("r.txt")).c_str()), 0);
  const std::string text = test::ReadFile(Path("r.txt"));
  for (const char* expected : {"V1.60", "Hof Meier", "full scale", "10.0bar", "321"}) {
    EXPECT_NE(text.find(expected), std::string::npos) << expected;
  }
  ASSERT_EQ(Call(Tcp() + " report -o " + Path("r.html")).code, 0);
  EXPECT_NE(test::ReadFile(Path("r.html")).find("<td>Pressure sensor – full scale</td><td>10.0bar</td>"), std::string::npos);
}

// The report shows the file the error log really writes: the stored Windows-style name lives in
// the state folder. Only the newest lines come, an over-long line cut, and a FIFO never blocks it.
TEST_F(CliProgram, ReportShowsTheNewestLinesOfTheErrorFileTheLogWrites) {
  Start();
  const std::filesystem::path state = dir_ / "state";
  std::filesystem::create_directories(state / "velta-control");
  std::string lines;
  for (int i = 1; i <= 25; ++i) lines += "#" + std::to_string(i) + "/ 01.01.2026/ 10:00:00/ E1\r\n";
  lines += std::string(10000, 'x') + "\n#26/ last\n";
  test::WriteFile((state / "velta-control" / "error.txt").string(), lines);
  setenv("XDG_STATE_HOME", state.c_str(), 1);
  const Outcome report = Call(Tcp() + " report --error-file 'c:\\error.txt' -o " + Path("r.html"));
  unsetenv("XDG_STATE_HOME");
  ASSERT_EQ(report.code, 0) << report.err;
  const std::string html = test::ReadFile(Path("r.html"));
  EXPECT_NE(html.find("#26/ last"), std::string::npos);
  EXPECT_NE(html.find("#8/ 01.01.2026"), std::string::npos);
  EXPECT_EQ(html.find("#7/ 01.01.2026"), std::string::npos) << "only the newest 20 lines";
  EXPECT_EQ(html.find(std::string(4096, 'x')), std::string::npos) << "the long line is cut";

  ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
  EXPECT_TRUE(LastLinesOfFile(Path("fifo"), 20).empty());
}

}  // namespace
}  // namespace velta
