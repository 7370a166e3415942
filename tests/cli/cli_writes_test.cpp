// velta-cli's settings writes: planned and written on one link, checked against the field table,
// the controller's block kept in the history first, and what changed printed once done.
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>

#include "files/ini_edit.h"
#include "tests/support/cli_program.h"

namespace velta {
namespace {

namespace fs = std::filesystem;
using test::CliOutcome;

class CliWrites : public test::CliProgram {
 protected:
  CliWrites() {
    setenv("XDG_DATA_HOME", (dir_ / "data").c_str(), 1);
    Start();
    EXPECT_EQ(Call(Tcp() + " read -o " + Path("s.ini")).code, 0);
  }
  ~CliWrites() override { unsetenv("XDG_DATA_HOME"); }

  // The settings read from the simulator with one address's value changed.
  std::string Edited(int address, int value) {
    const std::string key = std::to_string(address),
                      path = Path(key + "-" + std::to_string(value) + ".ini");
    test::WriteFile(path, SetIniValues(test::ReadFile(Path("s.ini")), "VELTA Setup",
                                       {{key, std::to_string(value)}}));
    return path;
  }
  fs::path HistoryRoot() const { return dir_ / "data" / "velta-control" / "history"; }
  static std::string Today() {
    const std::time_t now = std::time(nullptr);
    char date[16];
    std::strftime(date, sizeof date, "%Y-%m-%d", std::localtime(&now));
    return date;
  }
};

// A value the write would change to one outside its field's range is refused, naming the field,
// the file's line and the range, before anything is sent; one the controller holds passes.
TEST_F(CliWrites, AFileValueOutsideItsRangeIsRefusedBeforeAnythingIsSent) {
  struct Row {
    int address;
    int held;
    int value;
    int code;
    const char* said;
  };
  for (const Row row : {Row{3, 1, 7, 1, "Cistern – Tank shape on line 6 of "},
                        Row{3, 7, 7, 0, "Settings written."},
                        Row{2, 5, 4, 1, "4 is outside 5..100"},
                        Row{22, 30, 34, 1, "34 is outside 35..100"},
                        Row{22, 30, 35, 0, "Settings written."},
                        Row{22, 30, 30, 0, "Settings written."}}) {
    sim_->SetMemory(row.address, {static_cast<std::uint8_t>(row.held)});
    const std::string file = Edited(row.address, row.value);
    sim_->ClearFrames();
    const CliOutcome run = Call(Tcp() + " -y write " + file);
    EXPECT_EQ(run.code, row.code) << row.address << run.err;
    EXPECT_NE(run.err.find(row.said), std::string::npos) << run.err;
    EXPECT_EQ(Writes().empty(), row.code != 0) << row.address;
  }
}

// A write whose before-write copy cannot be kept stops before anything is sent and names
// --no-history, which lets it go ahead; a link for today's folder is never written through.
TEST_F(CliWrites, AWriteWithoutItsHistoryCopyStopsUnlessToldOtherwise) {
  const fs::path elsewhere = dir_ / "elsewhere";
  fs::create_directories(elsewhere);
  ASSERT_EQ(Call(Tcp() + " tank read -o " + Path("t.csv")).code, 0);
  for (const std::string& command :
       {"write " + Edited(11, 30), std::string("counters --set starts=5"),
        std::string("errors --clear Er.P"), "tank send " + Path("t.csv")}) {
    for (const bool link : {false, true}) {
      fs::remove_all(HistoryRoot());
      fs::create_directories(HistoryRoot());
      if (link) {
        fs::create_directory_symlink(elsewhere, HistoryRoot() / Today());
      } else {
        fs::remove(HistoryRoot());
        test::WriteFile(HistoryRoot().string(), "a file where the folder should be");
      }
      sim_->ClearFrames();
      const CliOutcome stopped = Call(Tcp() + " -y " + command);
      EXPECT_EQ(stopped.code, 1) << command << stopped.err;
      EXPECT_NE(stopped.err.find("--no-history"), std::string::npos) << stopped.err;
      EXPECT_TRUE(Writes().empty()) << command << link;
      EXPECT_TRUE(fs::is_empty(elsewhere));
      EXPECT_EQ(Call(Tcp() + " -y --no-history " + command).code, 0) << command;
      EXPECT_FALSE(Writes().empty()) << command << link;
    }
  }
}

// Every write prints what it changed once done, also with --yes: as the question lists it,
// the reference values left out unless sent, or "Nothing changed.".
TEST_F(CliWrites, AWritePrintsWhatItChanged) {
  sim_->SetMemory(65, {0});
  sim_->SetMemory(84, {0, 0, 0, 0});
  ASSERT_EQ(Call(Tcp() + " backup -o " + Path("b.bak")).code, 0);
  ASSERT_EQ(Call(Tcp() + " tank read -o " + Path("t.csv")).code, 0);
  struct Row {
    std::string command;
    const char* printed;
  };
  const Row rows[] = {
      {"write " + Edited(11, 30), "Pump – On: 2.0bar → 3.0bar\n"},
      {"write " + Edited(4, 99), "Nothing changed.\n"},
      {"restore " + Path("b.bak"), "Nothing changed.\n"},
      {"counters --set starts=4242", "Pump[starts]: 0 → 4242\n"},
      {"errors --clear Er.P", "Nothing changed.\n"},
      {"tank send " + Path("t.csv"), "Nothing changed.\n"},
  };
  for (const Row& row : rows) {
    sim_->SetMemory(11, {20});
    sim_->SetMemory(84, {0, 0, 0, 0});
    const CliOutcome run = Call(Tcp() + " -y " + row.command);
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, row.printed) << row.command;
  }
  const CliOutcome no = CallOnTerminal(Tcp() + " write " + Edited(11, 30), "n");
  EXPECT_EQ(no.code, 1);
  EXPECT_NE(no.out.find("Nothing was written."), std::string::npos) << no.out;
}

// The question and the write share one link and one read of the block.
TEST_F(CliWrites, AConfirmedWriteReadsOnceOnOneLink) {
  const std::string file = Edited(11, 30);
  sim_->ClearFrames();
  const CliOutcome run = CallOnTerminal(Tcp() + " write " + file, "y");
  EXPECT_EQ(run.code, 0) << run.out;
  EXPECT_EQ(sim_->Connections(), 1);
  EXPECT_EQ(Count("88 00 34 BC"), 1);
  EXPECT_EQ(sim_->Memory()[11], 30);
}

}  // namespace
}  // namespace velta
