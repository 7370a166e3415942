// velta-cli does every controller job as the windows do: the same history files, the block a
// write overwrites kept first, the reason line of a failed open, values checked before anything
// is sent, what each write changes shown before its question, and plain English of its own.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "controller/history.h"
#include "controller/settings_file.h"
#include "tests/support/cli_program.h"

namespace velta {
namespace {

using Outcome = test::CliOutcome;
using test::CliProgram;

class CliJobs : public CliProgram {
 protected:
  CliJobs() { setenv("XDG_DATA_HOME", (dir_ / "data").c_str(), 1); }
  ~CliJobs() override { unsetenv("XDG_DATA_HOME"); }

  std::multiset<std::string> KeptKinds() {
    std::multiset<std::string> kinds;
    for (const HistoryEntry& entry : History().Entries()) kinds.insert(entry.what);
    return kinds;
  }
  std::optional<ControllerImage> Kept(const std::string& what, ImageFileKind kind) {
    for (const HistoryEntry& entry : History().Entries()) {
      ControllerImage image;
      std::string reason;
      if (entry.what == what && LoadImageFile(entry.path.string(), image, kind, reason)) return image;
    }
    return std::nullopt;
  }
};

// Each reading command leaves the entry the window's button leaves, under the windows' folder.
TEST_F(CliJobs, ReadingCommandsKeepWhatTheyReadAsTheWindowsDo) {
  Start();
  struct Row {
    const char* command;
    const char* kind;
  };
  for (const Row row : {Row{"read", "settings"}, Row{"backup -o b.bak", "backup"},
                        Row{"counters", "counters"}, Row{"errors", "error-memory"},
                        Row{"tank read", "tank-table"}}) {
    const std::size_t before = KeptKinds().count(row.kind);
    const Outcome run = Call(Tcp() + " " + row.command);
    ASSERT_EQ(run.code, 0) << row.command << run.err;
    EXPECT_EQ(KeptKinds().count(row.kind), before + 1) << row.command;
  }
  EXPECT_EQ(History().Root(), dir_ / "data" / "velta-control" / "history");
}

// A write or restore with nothing read before reads the block it overwrites and keeps it.
TEST_F(CliJobs, WritesKeepTheBlockTheyOverwrite) {
  Start();
  sim_->SetMemory(9, {0x21});
  ASSERT_EQ(Call(Tcp() + " read -o " + Path("s.ini")).code, 0);
  ASSERT_EQ(Call(Tcp() + " backup -o " + Path("b.bak")).code, 0);
  std::filesystem::remove_all(dir_ / "data");
  struct Row {
    const char* command;
    const char* kind;
    ImageFileKind file;
  };
  for (const Row row : {Row{"write s.ini", "settings-before-write", ImageFileKind::Settings},
                        Row{"restore b.bak", "backup-before-write", ImageFileKind::Backup}}) {
    sim_->SetMemory(9, {0x42});
    const std::string command = row.command;
    const Outcome run = Call(Tcp() + " -y " + command.substr(0, command.find(' ')) + " " +
                             Path(command.substr(command.find(' ') + 1)));
    ASSERT_EQ(run.code, 0) << run.err;
    const std::optional<ControllerImage> kept = Kept(row.kind, row.file);
    ASSERT_TRUE(kept.has_value()) << row.kind;
    EXPECT_EQ(kept->Byte(9), 0x42) << row.kind << ": the controller's bytes before the write";
    EXPECT_EQ(sim_->Memory()[9], 0x21);
  }
}

// The reason line the windows print after a failed open, and the exit code of a dead link.
TEST_F(CliJobs, AFailedOpenSaysWhy) {
  for (const char* command : {"read", "counters", "errors", "live", "tank read", "write-enable",
                              "-y counters --set starts=1", "report -o x.html"}) {
    const Outcome run = Call(std::string("--tcp 127.0.0.1:1 ") + command);
    EXPECT_EQ(run.code, 2) << command;
    EXPECT_NE(run.err.find("Connection refused by 127.0.0.1:1: nothing listens on that port"),
              std::string::npos)
        << command << ": " << run.err;
  }
}

TEST_F(CliJobs, ACounterValueOutsideItsRangeIsRefusedAndNothingSent) {
  Start();
  sim_->ClearFrames();
  const Outcome run = Call(Tcp() + " -y counters --set hours=65536");
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.err.find("65536 is outside 0..65535"), std::string::npos) << run.err;
  EXPECT_TRUE(sim_->Frames().empty());
}

// Each write shows what it changes, then asks its own question; "n" writes nothing.
TEST_F(CliJobs, EachWriteShowsWhatItChangesBeforeItsQuestion) {
  Start({"--set", "starts=12"});
  ASSERT_EQ(Call(Tcp() + " backup -o " + Path("b.bak")).code, 0);
  ASSERT_EQ(Call(Tcp() + " tank read -o " + Path("t.csv")).code, 0);
  sim_->SetMemory(9, {61});
  sim_->SetMemory(65, {9});
  struct Row {
    std::string command;
    std::vector<std::string> shown;  // in this order
  };
  const Row rows[] = {
      {"restore " + Path("b.bak"),
       {"full scale: 6.1bar → 10.0bar", "Overwrite all of the controller's memory"}},
      {"counters --set starts=4242", {"Pump[starts]: 12 → 4242", "Set this counter"}},
      {"errors --clear Er.P", {"Er.P: 9 → 0", "Clear this error count"}},
      {"tank send " + Path("t.csv"),
       {"entries:", "  100: 100", "Send this tank table to the controller?"}},
  };
  for (const Row& row : rows) {
    sim_->ClearFrames();
    const Outcome run = CallOnTerminal(Tcp() + " " + row.command, "n");
    EXPECT_EQ(run.code, 1) << row.command;
    std::size_t at = 0;
    for (const std::string& text : row.shown) {
      at = run.out.find(text, at);
      EXPECT_NE(at, std::string::npos) << row.command << ": " << text << "\n" << run.out;
    }
    const std::vector<std::string> frames = sim_->Frames();
    EXPECT_TRUE(std::none_of(frames.begin(), frames.end(),
                             [](const std::string& f) { return f.rfind("98 ", 0) == 0; }))
        << row.command << ": nothing written";
  }
}

// velta-cli words its results itself; the windows' catalogue texts stay off its terminal.
TEST_F(CliJobs, SpeaksPlainEnglishOfItsOwn) {
  Start();
  test::WriteFile(Path("fw.enc"), std::string(100, '\x5A'));
  ASSERT_EQ(Call(Tcp() + " read -o " + Path("s.ini")).code, 0);
  ASSERT_EQ(Call(Tcp() + " tank read -o " + Path("t.csv")).code, 0);
  struct Row {
    std::string command;
    const char* said;
    std::vector<std::string> fault;
  };
  const Row rows[] = {
      {"read -o " + Path("s2.ini"), "Settings saved to", {}},
      {"-y write " + Path("s.ini"), "write enable is off", {"--fault", "write-stop 10"}},
      {"-y counters --set cistern=5", "Counter cistern set to 5", {}},
      {"-y tank send " + Path("t.csv"), "Tank table sent", {}},
      {"-y tank send " + Path("t.csv"), "write enable is off", {"--fault", "write-stop 200"}},
      {"-y update " + Path("fw.enc"), "Firmware programmed.", {}},
      {"write-enable", "Write enable requested.", {}},
  };
  for (const Row& row : rows) {
    Start(row.fault);
    const Outcome run = Call(Tcp() + " " + row.command);
    EXPECT_NE(run.err.find(row.said), std::string::npos) << row.command << ": " << run.err;
    for (const char* catalogue : {"attitudes", "Controler", "Programming successfully",
                                  "with open to the interface", "Error during writing"}) {
      EXPECT_EQ(run.err.find(catalogue), std::string::npos) << row.command << ": " << run.err;
    }
  }
}

TEST_F(CliJobs, TankSendEndsWithADoneLine) {
  Start();
  ASSERT_EQ(Call(Tcp() + " tank read -o " + Path("t.csv")).code, 0);
  const Outcome run = CallOnTerminal(Tcp() + " tank send " + Path("t.csv"), "y");
  EXPECT_EQ(run.code, 0) << run.out;
  const std::size_t full = run.out.find("100%");
  ASSERT_NE(full, std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Tank table sent: 101 of 101 entries.", full), std::string::npos)
      << run.out;
}

TEST_F(CliJobs, WriteEnableIsASubcommand) {
  Start();
  sim_->ClearFrames();
  ASSERT_EQ(Call(Tcp() + " write-enable").code, 0);
  EXPECT_EQ(sim_->Frames(), std::vector<std::string>{"60 00 0E 6E"});
}

}  // namespace
}  // namespace velta
