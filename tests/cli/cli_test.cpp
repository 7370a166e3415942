// velta-cli as a user runs it: the program started with its arguments against the simulator over
// loopback TCP and over its pseudo-terminal, judged by stdout, stderr, exit code, the files it
// wrote and the frames the simulator received.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "controller/default_block.h"
#include "controller/fields.h"
#include "controller/history.h"
#include "report/service_report.h"
#include "tests/support/cli_program.h"
#include "tests/support/files.h"
#include "tests/support/recording_feedback.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/sim_process.h"
#include "tests/support/cli_program.h"

namespace velta {
namespace {

using Outcome = test::CliOutcome;
using test::CliProgram;
using test::Occurrences;

// On a terminal of five rows the watch prints a row per Main page under aligned columns, the
// header again once it has scrolled away.
TEST_F(CliProgram, TheWatchOnATerminalIsATableWithTheTime) {
  Start({"--set", "pressure=35"});
  const std::string command = "script -qfec \"stty rows 5; '" + std::string(VELTA_CLI_PATH) + "' " +
                              Tcp() + " status --watch --seconds 4\" /dev/null </dev/null >" +
                              Path("terminal");
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::istringstream shown(test::ReadFile(Path("terminal")));
  int headers = 0, rows = 0;
  std::ptrdiff_t width = 0;
  // Characters on the screen, not bytes ("°C" and "m³" take one column each).
  const auto columns = [](const std::string& text) {
    return std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; });
  };
  for (std::string line; std::getline(shown, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("time ", 0) == 0) {
      ++headers;
      width = columns(line);
    } else if (line.size() > 8 && line[2] == ':' && line[5] == ':') {
      ++rows;
      EXPECT_EQ(columns(line), width) << "aligned under the header: " << line;
      EXPECT_NE(line.find(" 3.5 "), std::string::npos) << line;
    }
  }
  EXPECT_GE(rows, 4);
  EXPECT_GE(headers, 2) << "the header again every screen";
}

TEST_F(CliProgram, ReadingCommandsPrintTheSimulatorsValues) {
  Start({"--set", "level=42", "--set", "hours=777", "--set", "error=0x0C"});
  const Outcome status = Call(Tcp() + " --json status");
  ASSERT_EQ(status.code, 0) << status.err;
  const auto json = nlohmann::json::parse(status.out);
  EXPECT_EQ(json["level_percent"], 42);
  EXPECT_EQ(json["pump_hours"], 777);
  // Data, never display text: numbers, booleans, null; text only where the value is a name.
  EXPECT_TRUE(json["pressure_bar"].is_number()) << status.out;
  EXPECT_TRUE(json["pump_running"].is_boolean()) << status.out;
  EXPECT_EQ(json["errors"][1]["code"], "Er.P") << status.out;
  for (const auto& [key, value] : json.items()) {
    EXPECT_TRUE(!value.is_string() || key == "time" || key == "error_codes" || key == "firmware")
        << key;
  }

  // live: the Counters page's readings as numbers.
  const Outcome liveData = Call(Tcp() + " --json live");
  ASSERT_EQ(liveData.code, 0) << liveData.err;
  const auto liveJson = nlohmann::json::parse(liveData.out);
  EXPECT_TRUE(liveJson["level_raw"].is_number_integer()) << liveData.out;
  EXPECT_TRUE(liveJson["pump_starts"].is_number_integer()) << liveData.out;

  const Outcome counters = Call(Tcp() + " --json counters");
  ASSERT_EQ(counters.code, 0) << counters.err;
  const auto counted = nlohmann::json::parse(counters.out);
  EXPECT_EQ(counted["hours"], 777);
  for (const char* name : {"hours", "starts", "mains", "cistern"})
    EXPECT_TRUE(counted[name].is_number_unsigned()) << name;

  const Outcome errors = Call(Tcp() + " --json errors");
  ASSERT_EQ(errors.code, 0) << errors.err;
  const auto counts = nlohmann::json::parse(errors.out);
  EXPECT_EQ(counts.size(), 11u);
  EXPECT_TRUE(counts["Overflow"].is_number_unsigned()) << "codes from the error table";

  const Outcome live = Call(Tcp() + " live");
  EXPECT_EQ(live.code, 0) << live.err;
  EXPECT_NE(live.out.find("value cistern:"), std::string::npos) << live.out;

  const Outcome tank = Call(Tcp() + " --json tank read");
  ASSERT_EQ(tank.code, 0) << tank.err;
  EXPECT_EQ(nlohmann::json::parse(tank.out).size(), 101u);

  const Outcome read = Call(Tcp() + " --json read");
  ASSERT_EQ(read.code, 0) << read.err;
  ASSERT_TRUE(nlohmann::json::accept(read.out)) << "JSON only: " << read.out;
  // Each setting's numbers are numbers: the full scale of 10.0 bar is stored as 100.
  const auto settings = nlohmann::json::parse(read.out);
  const auto fullScale = std::find_if(settings.begin(), settings.end(),
                                      [](const auto& s) { return s["address"] == 9; });
  ASSERT_NE(fullScale, settings.end());
  EXPECT_EQ((*fullScale)["value"], "10.0bar");
  EXPECT_TRUE((*fullScale)["control_value"].is_number_integer());
  EXPECT_EQ((*fullScale)["stored_raw"], 100);

  // The listing keeps the Settings window's groups together: a group once left never comes back.
  std::istringstream listed(Call(Tcp() + " read").out);
  std::vector<std::string> groups;
  for (std::string line; std::getline(listed, line);) {
    const std::string group = line.substr(0, std::min(line.find(" – "), line.find(": ")));
    if (groups.empty() || groups.back() != group) groups.push_back(group);
  }
  EXPECT_EQ(std::set<std::string>(groups.begin(), groups.end()).size(), groups.size());

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
  for (const auto& [key, value] : {std::pair{"\n9=", "\n9=61"}, {"\n27=", "\n27=15"}, {"\n4=", "\n4=1"}}) {
    const auto at = text.find(key);
    text.replace(at, text.find('\n', at + 1) - at, value);
  }
  test::WriteFile(Path("s.ini"), text);

  sim_->ClearFrames();
  const Outcome refused = Call(Tcp() + " write --changed-only " + Path("s.ini"), "y\n");
  EXPECT_EQ(refused.code, 1) << "no terminal to ask on and no --yes, whatever stdin says";
  EXPECT_EQ(Writes(), std::vector<std::string>{});
  EXPECT_NE(refused.err.find("Pressure sensor – full scale: 10.0bar → 6.1bar"), std::string::npos)
      << "the difference comes first: " << refused.err;

  sim_->ClearFrames();
  const Outcome write = Call(Tcp() + " --yes write --changed-only " + Path("s.ini"));
  ASSERT_EQ(write.code, 0) << write.err;
  EXPECT_EQ(Writes(), (std::vector<std::string>{"98 09 3D DE", "98 1B 0F C2", "60 00 08 68"}));

  // Nothing left to change: only the closing request. The last address alone: it is written.
  sim_->ClearFrames();
  ASSERT_EQ(Call(Tcp() + " --yes write --changed-only " + Path("s.ini")).code, 0);
  EXPECT_EQ(Writes(), std::vector<std::string>{"60 00 08 68"});
  text = test::ReadFile(Path("s.ini"));
  const auto at = text.find("\n51=");
  text.replace(at, text.find('\n', at + 1) - at, "\n51=7");
  test::WriteFile(Path("s.ini"), text);
  sim_->ClearFrames();
  ASSERT_EQ(Call(Tcp() + " --yes write --changed-only " + Path("s.ini")).code, 0);
  EXPECT_EQ(Writes(), (std::vector<std::string>{"98 33 07 D2", "60 00 08 68"}));
  EXPECT_EQ(sim_->Memory()[9], 61);
  EXPECT_EQ(sim_->Memory()[27], 15);

  EXPECT_EQ(Call(Tcp() + " diff " + Path("s.ini") + " " + Path("s.ini")).out,
            Path("s.ini") + " and " + Path("s.ini") + " are the same file.\n");
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
  // The entry kept here and the controller block the first diff read.
  const Outcome missing = Call(Tcp() + " diff history:3 controller");
  unsetenv("XDG_DATA_HOME");
  ASSERT_EQ(diff.code, 0) << diff.err;
  EXPECT_NE(diff.out.find("full scale: 6.1bar → 10.0bar"), std::string::npos) << diff.out;
  EXPECT_EQ(missing.code, 1) << "only two entries kept";
}

TEST_F(CliProgram, FullWritesBackupRestoreCountersErrorsAndTank) {
  Start({"--set", "error=0x0C"});
  ASSERT_EQ(Call(Tcp() + " read -o " + Path("s.ini")).code, 0);
  // The file's cistern reference values are not sent: the controller keeps its own.
  std::string text = test::ReadFile(Path("s.ini"));
  const auto at = text.find("\n4=");
  text.replace(at, text.find('\n', at + 1) - at, "\n4=123");
  test::WriteFile(Path("s.ini"), text);
  const std::uint8_t reference = sim_->Memory()[4];
  ASSERT_NE(reference, 123);
  sim_->ClearFrames();
  ASSERT_EQ(Call(Tcp() + " -y write " + Path("s.ini")).code, 0);
  EXPECT_EQ(Count("60 00 08 68"), 1);
  EXPECT_GE(static_cast<int>(sim_->Frames().size()), 52);
  EXPECT_EQ(sim_->Memory()[4], reference);

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
  EXPECT_EQ(sim_->Frames().size(), 102u) << "one read of the table kept first, then its 101 entries";
  EXPECT_EQ(Writes().size(), 101u);
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
  EXPECT_NE(refused.err.find("is not a settings file"), std::string::npos) << refused.err;

  const Outcome dead = Call("--tcp 127.0.0.1:1 status");
  EXPECT_EQ(dead.code, 2);
  EXPECT_NE(dead.err.find("Could not open the connection to the controller."), std::string::npos)
      << dead.err;

  ASSERT_EQ(Call(Tcp() + " read -o " + Path("s.ini")).code, 0);
  sim_->ClearFrames();
  const Outcome unacknowledged = Call(Tcp() + " -y write " + Path("s.ini"));
  EXPECT_EQ(unacknowledged.code, 2);
  EXPECT_NE(unacknowledged.err.find("possibly because write enable is off. Request it with "
                                     "'velta-cli write-enable'"),
            std::string::npos)
      << unacknowledged.err;
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
  // The settings table runs over pages, its head on each of them.
  std::istringstream pages(text);
  int headed = 0;
  for (std::string page; std::getline(pages, page, '\f');) headed += page.find("Default") != std::string::npos;
  EXPECT_GE(headed, 2);
  // One setting changed, every counter and an error count set; the pump starts are the last bytes.
  sim_->SetMemory(9, {61});
  sim_->SetMemory(52, {0, 0, 0x1A, 0x85});
  sim_->SetMemory(56, {0, 0, 0x0D, 0x80});
  sim_->SetMemory(84, {0, 0, 0x30, 0x39});
  sim_->SetMemory(65, {7});
  ASSERT_EQ(Call(Tcp() + " report -o " + Path("r.html")).code, 0);
  const std::string html = test::ReadFile(Path("r.html"));
  EXPECT_NE(html.find("<td>full scale</td><td>6.1bar</td><td>10.0bar</td>"),
            std::string::npos)
      << "the default beside a changed value";
  EXPECT_GE(Occurrences(html, "</td><td></td></tr>"), 10) << "no default beside an unchanged one";
  for (const char* expected : {"<td>Pump hours</td><td>321", "<td>Pump starts</td><td>12345<",
                               "<td>Mains meter pulses</td><td>6789<",
                               "<td>Cistern meter pulses</td><td>3456<",
                               "<td>Er.P </td><td align=\"right\"><b>7</b></td>"}) {
    EXPECT_NE(html.find(expected), std::string::npos) << expected;
  }
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
  std::string reason;
  EXPECT_TRUE(LastLinesOfFile(Path("fifo"), 20, reason).empty());
  EXPECT_EQ(reason, "It is a pipe (FIFO), not a regular file.");

  // A file it cannot read is named in the report and on stderr.
  const Outcome unreadable =
      Call(Tcp() + " report --error-file " + Path("fifo") + " -o " + Path("u.html"));
  ASSERT_EQ(unreadable.code, 0) << unreadable.err;
  const std::string told =
      Path("fifo") + " cannot be read: It is a pipe (FIFO), not a regular file.";
  EXPECT_NE(test::ReadFile(Path("u.html")).find(told), std::string::npos);
  EXPECT_NE(unreadable.err.find(told), std::string::npos) << unreadable.err;
}

// A save never turns a device or a pipe into a plain file, reached directly or through a link,
// and never waits for a FIFO's reader.
TEST_F(CliProgram, SavesRefuseADeviceOrAPipe) {
  Start();
  namespace fs = std::filesystem;
  ASSERT_EQ(mkfifo(Path("pipe").c_str(), 0600), 0);
  fs::create_symlink(Path("pipe"), Path("link"));
  const bool root = geteuid() == 0;
  if (root) {
    ASSERT_EQ(mknod(Path("null").c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
  }
  for (const char* command : {" report -o ", " tank read -o ", " read -o "}) {
    for (const char* target : {"pipe", "link", "null"}) {
      if (!root && std::string(target) == "null") continue;  // only root makes device nodes
      const Outcome save = Call(Tcp() + command + Path(target));
      EXPECT_NE(save.code, 0) << command << target;
      EXPECT_NE(save.err.find("not a regular file"), std::string::npos) << command << save.err;
      EXPECT_EQ(fs::status(Path(target)).type(),
                root && std::string(target) == "null" ? fs::file_type::character
                                                      : fs::file_type::fifo)
          << command << target;
    }
  }
}

// Every number a user types is decimal: a leading zero is no octal prefix, and a sign, blanks or
// a hex prefix are refused (only --admin takes 0x hex, as documented). A refusal names the range,
// and nothing reaches the controller, not even the read before the question. An open that fails
// names the device once and the next step.
TEST_F(CliProgram, NumbersAreDecimalAndRefusalsSayWhy) {
  Start();
  const std::string port = std::to_string(sim_->TcpPort());
  const struct {
    std::string args;
    int code;
    const char* said = "";  // part of stderr
  } rows[] = {
      {"--tcp 127.0.0.1:0" + port + " status", 0},
      {"--tcp 127.0.0.1:+" + port + " status", 1},
      {"--tcp '127.0.0.1: " + port + "' status", 1},
      {"--tcp 127.0.0.1:0x10 status", 1, "the port a number from 1 to 65535 written in decimal"},
      {"--tcp 127.0.0.1:99999 status", 1, "from 1 to 65535"},
      {"--tcp 127.0.0.1:0 status", 1, "from 1 to 65535"},
      {"--port COM0 status", 1, "from COM1 to COM255"},
      {"--port COM0x5 status", 1},
      {"--port COM+5 status", 1},
      {"--port COM256 status", 1},
      {"--admin 0x10 " + Tcp() + " status", 0},
      {"--admin 010 " + Tcp() + " status", 0},
      {"--admin -1 " + Tcp() + " status", 1, "from 0 to 255 written in decimal digits or in hex"},
      {"--admin 0x " + Tcp() + " status", 1},
      {Tcp() + " status --watch --seconds 9999999999", 1, "from 0 to 31536000 (one year)"},
      {Tcp() + " status --watch --seconds 2.5e3", 1, "\"2.5e3\" is not one"},
      {Tcp() + " status --watch --seconds 1.5s", 1, "written in decimal digits"},
      {Tcp() + " counters --set hours=", 1, "\"hours=\" gives no number"},
      {Tcp() + " counters --set 'starts= '", 1, "gives no number"},
      {Tcp() + " counters --set hours=0x10", 1, "from 0 to 4294967295 written in decimal"},
      {Tcp() + " counters --set hours=70000", 1, "70000 is outside 0..65535"},
      {Tcp() + " errors --clear 11", 1, "its number from 0 to 10 written in decimal digits"},
      {Tcp() + " diff history:99999999999999999999 controller", 1, "takes N from 1"},
      // A device by the COM number the table gives it, or by its path alone; the next steps.
      {"--device /dev/ttyUSB9 status", 2, "No such device: /dev/ttyUSB9 (COM14). Plug the adapter "
                                          "in, or choose a port that is there. 'velta-cli ports'"},
      {"--device /dev/velta-none status", 2, "No such device: /dev/velta-none. Plug the adapter"},
  };
  for (const auto& row : rows) {
    sim_->ClearFrames();
    const Outcome outcome = Call(row.args);
    EXPECT_EQ(outcome.code, row.code) << row.args << ": " << outcome.err;
    EXPECT_NE(outcome.err.find(row.said), std::string::npos) << row.args << ": " << outcome.err;
    EXPECT_TRUE(row.code == 0 || sim_->Frames().empty()) << row.args;
  }
  // Admin flags in hex: 0x12 holds the serial write base flag (0x02), decimal 12 does not.
  sim_->ClearFrames();
  ASSERT_EQ(Call("--admin 0x12 " + Tcp() + " -y counters --set starts=5").code, 0);
  EXPECT_EQ(Count("90 54 00 E4"), 1);
}

// A file size limit stands in for a full disk: the report is refused with the reason and leaves no
// temporary file; the CSV keeps whole rows only, after the line end its unfinished last row lacked.
TEST_F(CliProgram, FileSizeLimitRefusesWritesWithTheReason) {
  Start();
  const std::string limit = "ulimit -f 4; ";  // 512-byte blocks in sh
  const Outcome report = Call(Tcp() + " report -o " + Path("r.html"), "", limit);
  EXPECT_NE(report.code, 0) << report.err;
  EXPECT_NE(report.err.find("File too large."), std::string::npos) << report.err;

  const std::string earlier = "time,level\n" + std::string(1900, 'x') + ",half";
  test::WriteFile(Path("log.csv"), earlier);
  const Outcome watch =
      Call(Tcp() + " status --watch --seconds 3 --csv " + Path("log.csv"), "", limit);
  EXPECT_EQ(watch.code, 2) << watch.err;
  EXPECT_NE(watch.err.find("Measurement rows are lost: " + Path("log.csv") +
                           " cannot be written. File too large."),
            std::string::npos)
      << watch.err;
  const std::string csv = test::ReadFile(Path("log.csv"));
  ASSERT_EQ(csv.rfind(earlier + "\n", 0), 0u);
  std::istringstream rows(csv.substr(earlier.size() + 1));
  for (std::string row; std::getline(rows, row);) {
    EXPECT_EQ(std::count(row.begin(), row.end(), ','), 10) << "whole rows only: " << row;
  }
  EXPECT_EQ(csv.back(), '\n');
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.Path()),
                          std::filesystem::directory_iterator()),
            4) << "stdin, stdout, stderr and the log: no temporary file";
}

}  // namespace
}  // namespace velta
