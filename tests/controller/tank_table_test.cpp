// The tank table file: what the reader accepts and refuses, with which message and which effect
// on the table and the log, and that a saved table loads again.
#include "controller/tank_table.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <sstream>

#include "tests/support/english_suite.h"
#include "tests/support/files.h"
#include "tests/support/recording_feedback.h"
#include "tests/support/scratch_dir.h"

namespace velta {
namespace {

namespace fs = std::filesystem;

// Entry lines "i;value(i)" for the indices first..last, each ending in `eol`.
std::string Entries(int first, int last, const std::function<int(int)>& value,
                    const std::string& eol = "\n") {
  std::string text;
  for (int i = first; i <= last; ++i)
    text += std::to_string(i) + ";" + std::to_string(value(i)) + eol;
  return text;
}
int Identity(int i) { return i; }

TankTable Filled(std::int32_t value) {
  TankTable table;
  table.fill(value);
  return table;
}

class TankTableFile : public test::EnglishSuite {
 protected:
  std::string Write(const std::string& content, const std::string& file = "table.csv") {
    const std::string path = (dir_ / file).string();
    test::WriteFile(path, content);
    return path;
  }

  std::string Fifo() {
    const std::string path = (dir_ / "pipe.csv").string();
    EXPECT_EQ(mkfifo(path.c_str(), 0600), 0);
    return path;
  }

  test::ScratchDir dir_;
  std::string reason_;
};

struct ReaderCase {
  const char* what;
  std::string content;
  int result;
  const char* message;  // English, %s = the full path, %d = the file's line
  int line;
  int loggedEntries;  // entry lines logged (and stored) before the result
};

TEST_F(TankTableFile, ReaderResultsMessagesAndPartialReplacement) {
  const auto withLine = [](int index, const std::string& line) {
    return "Name\n" + Entries(0, index - 1, Identity) + line + "\n" +
           Entries(index + 1, 100, Identity);
  };
  const std::vector<ReaderCase> cases = {
      {"0;0..100;100", "Name\n" + Entries(0, 100, Identity), 0, "", 0, 101},
      {"101 zeros", "Name\n" + Entries(0, 100, [](int) { return 0; }), 0, "", 0, 101},
      {"blank after the semicolon", withLine(5, "5; 5"), 0, "", 0, 101},
      {"text after the value", withLine(5, "5;5;x"), 0, "", 0, 101},
      {"blank before the index", withLine(5, "  5;5"), 0, "", 0, 101},
      {"lines after the last entry", "Name\n" + Entries(0, 100, Identity) + "junk\n", 0, "", 0,
       101},
      {"last line without line end", "Name\n" + Entries(0, 99, Identity) + "100;100", 0, "", 0,
       101},
      {"40;30 after 39;31",
       "Name\n" + Entries(0, 38, [](int i) { return i / 2; }) + "39;31\n40;30\n" +
           Entries(41, 100, Identity),
       -5, "File %s contains descending values in line %d.", 42, 40},
      {"value 101", withLine(5, "5;101"), -4, "File %s contains a wrong value in line %d.", 7, 5},
      {"value -1", withLine(5, "5;-1"), -4, "File %s contains a wrong value in line %d.", 7, 5},
      {"value beyond 32 bits", withLine(5, "5;4294967301"), -4,
       "File %s contains a wrong value in line %d.", 7, 5},
      {"index 6 where 5 belongs", withLine(5, "6;50"), -4,
       "File %s contains a wrong index in line %d.", 7, 5},
      {"index beyond 32 bits", withLine(5, "4294967301;50"), -4,
       "File %s contains a wrong index in line %d.", 7, 5},
      {"blank before the semicolon", withLine(5, "5 ;50"), -3,
       "File %s does not contain a pair in line %d.", 7, 5},
      {"comma instead of semicolon", withLine(0, "0,0"), -3,
       "File %s does not contain a pair in line %d.", 2, 0},
      {"no value", withLine(7, "7;"), -3, "File %s does not contain a pair in line %d.", 9, 7},
      {"empty entry line", withLine(3, ""), -3, "File %s does not contain a pair in line %d.", 5,
       3},
      {"100 entry lines", "Name\n" + Entries(0, 99, Identity), -2,
       "File %s contains too few values.", 0, 100},
      {"name line only", "Name\n", -2, "File %s contains too few values.", 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = Write(c.content);
    TankTable table = Filled(77);
    std::string name = "before", message;
    test::RecordingFeedback log;
    log.Log("earlier line");

    EXPECT_EQ(ReadTankTableFile(path, table, name, message, log), c.result);
    EXPECT_EQ(message.substr(0, message.find('\n')),
              c.result == 0 ? "" : Format(c.message, path.c_str(), c.line));
    EXPECT_EQ(name, "Name");
    EXPECT_EQ(log.clears, 1);
    ASSERT_EQ(log.lines.size(), static_cast<std::size_t>(c.loggedEntries));
    const TankTable expected = [&] {
      TankTable t = Filled(77);
      std::istringstream lines(c.content);
      std::string line;
      std::getline(lines, line);
      for (int i = 0; i < c.loggedEntries; ++i) {
        std::getline(lines, line);
        t[static_cast<std::size_t>(i)] = std::stoi(line.substr(line.find(';') + 1));
        EXPECT_EQ(log.lines[static_cast<std::size_t>(i)],
                  std::to_string(i) + ";" + std::to_string(t[static_cast<std::size_t>(i)]));
      }
      return t;
    }();
    EXPECT_EQ(table, expected);
  }
}

// The message names the line as the user's editor counts it; the line after it shows that line.
TEST_F(TankTableFile, FailuresNameTheFilesOwnLine) {
  const auto withLine = [](int index, const std::string& line) {
    return "Name\n" + Entries(0, index - 1, Identity) + line + "\n" +
           Entries(index + 1, 100, Identity);
  };
  const struct {
    std::string content;
    std::string reason;
  } cases[] = {
      {withLine(5, "5;101"), "The line reads \"5;101\"."},
      {withLine(0, "x"), "The line reads \"x\"."},
      {withLine(100, "100;\x01\x1b"), "The line reads \"100;??\"."},
      {withLine(40, "40;" + std::string(70, '9')), "The line reads \"40;" + std::string(57, '9') + "...\"."},
      {"Name\n", "The file ends after line 1."},
      {"Name\r\n" + Entries(0, 99, Identity), "The file ends after line 101."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    TankTable table{};
    std::string name, message;
    test::RecordingFeedback log;
    EXPECT_NE(ReadTankTableFile(Write(c.content), table, name, message, log), kTankFileOk);
    EXPECT_EQ(message.substr(message.find('\n') + 1), c.reason);
  }
}

TEST_F(TankTableFile, EmptyOrMissingFileLeavesLogNameAndTableAlone) {
  const struct {
    const char* what;
    std::string path;
    int result;
    const char* message;
  } cases[] = {
      {"empty file", Write(""), -2, "File %s contains too few values.\nThe file is empty."},
      {"missing file", (dir_ / "missing.csv").string(), -1,
       "File %s cannot be opened.\nNo such file or directory."},
      {"a folder", dir_.Path().string(), -1,
       "File %s cannot be opened.\nIt is a folder, not a file."},
      {"a FIFO", Fifo(), -1,
       "File %s cannot be opened.\nIt is a pipe (FIFO), not a regular file."},
      {"a device", "/dev/zero", -1,
       "File %s cannot be opened.\nIt is a device, not a regular file."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TankTable table = Filled(9);
    std::string name = "kept", message;
    test::RecordingFeedback log;
    log.Log("earlier line");
    EXPECT_EQ(ReadTankTableFile(c.path, table, name, message, log), c.result);
    EXPECT_EQ(message, Format(c.message, c.path.c_str()));
    EXPECT_EQ(log.lines, std::vector<std::string>{"earlier line"});
    EXPECT_EQ(log.clears, 0);
    EXPECT_EQ(name, "kept");
    EXPECT_EQ(table, Filled(9));
  }
}

TEST_F(TankTableFile, NameLineIsReadWholeAndWithoutItsLineEnd) {
  const std::string longName(150, 'n');
  const struct {
    const char* what;
    std::string nameLine;
    std::string eol;
    std::string name;
  } cases[] = {
      {"150 characters", longName + "\n", "\n", longName},
      {"150 characters, CR LF file", longName + "\r\n", "\r\n", longName},
      {"empty name", "\n", "\n", ""},
      {"empty name, CR LF", "\r\n", "\r\n", ""},
      {"umlauts and blanks", "Zisterne Süd 3 m³ \n", "\n", "Zisterne Süd 3 m³ "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TankTable table{};
    std::string name, message;
    test::RecordingFeedback log;
    const std::string path = Write(c.nameLine + Entries(0, 100, Identity, c.eol));
    ASSERT_EQ(ReadTankTableFile(path, table, name, message, log), 0) << message;
    EXPECT_EQ(name, c.name);
    EXPECT_EQ(table[100], 100);
    EXPECT_EQ(log.lines.back(), "100;100");
  }
}

// Lines are read up to 64 KiB: a longer name keeps its beginning and the rest of its line is
// skipped; a longer entry line holds no pair. A 100 MB file without line ends is answered at once.
TEST_F(TankTableFile, OverlongLinesAreCut) {
  const std::size_t limit = 64 * 1024;
  const std::string name(limit, 'n');
  TankTable table{};
  std::string read, message;
  test::RecordingFeedback log;
  const std::string longName = Write(name + "rest of the name;5\r\n" + Entries(0, 100, Identity));
  ASSERT_EQ(ReadTankTableFile(longName, table, read, message, log), 0) << message.substr(0, 80);
  EXPECT_EQ(read, name);

  const std::string longEntry =
      Write("n\n" + Entries(0, 9, Identity) + "10;10" + std::string(limit, ' ') + "\n" +
            Entries(11, 100, Identity));
  EXPECT_EQ(ReadTankTableFile(longEntry, table, read, message, log), -3);
  EXPECT_EQ(message, Format("File %s does not contain a pair in line %d.", longEntry.c_str(), 12) +
                         "\nThe line reads \"10;10" + std::string(55, ' ') + "...\".");

  const std::string noLineEnds = (dir_ / "zeros.csv").string();
  Write("", "zeros.csv");
  ASSERT_EQ(::truncate(noLineEnds.c_str(), 100 * 1024 * 1024), 0);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ReadTankTableFile(noLineEnds, table, read, message, log), -2);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  EXPECT_EQ(read.size(), limit);
}

TEST_F(TankTableFile, SavedTableLoadsAgainUnchanged) {
  TankTable saved;
  for (int i = 0; i < kTankEntries; ++i) saved[static_cast<std::size_t>(i)] = i / 3;
  const std::string name(150, 'x');
  const std::string path = (dir_ / "saved.csv").string();
  ASSERT_TRUE(WriteTankTableFile(path, name, saved, reason_));

  const std::string text = test::ReadFile(path);
  EXPECT_EQ(text, name + "\r\n" +
                      Entries(
                          0, 100, [](int i) { return i / 3; }, "\r\n"));

  TankTable loaded = Filled(50);
  std::string loadedName, message;
  test::RecordingFeedback log;
  ASSERT_EQ(ReadTankTableFile(path, loaded, loadedName, message, log), 0) << message;
  EXPECT_EQ(loaded, saved);
  EXPECT_EQ(loadedName, name);
}

TEST_F(TankTableFile, ControllerValuesSaveButAreRefusedOnLoad) {
  TankTable fromController;
  for (int i = 0; i < kTankEntries; ++i) fromController[static_cast<std::size_t>(i)] = i;
  fromController[17] = 200;
  const std::string path = (dir_ / "controller.csv").string();
  ASSERT_TRUE(WriteTankTableFile(path, "vom Regler", fromController, reason_));

  TankTable table{};
  std::string name, message;
  test::RecordingFeedback log;
  EXPECT_EQ(ReadTankTableFile(path, table, name, message, log), -4);
  EXPECT_EQ(message.substr(0, message.find('\n')),
            Format("File %s contains a wrong value in line %d.", path.c_str(), 19));
}

TEST_F(TankTableFile, SaveReplacesWholeFilesOrNothing) {
  const std::string path = Write("old content that is much longer than nothing\n", "t.csv");
  ASSERT_TRUE(WriteTankTableFile(path, "neu", Filled(1), reason_));
  EXPECT_EQ(test::ReadFile(path).substr(0, 8), "neu\r\n0;1");
  // Only the target is left in the folder, no temporary file.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.Path()), fs::directory_iterator()), 1);

  const std::string unreachable = (dir_ / "no" / "such" / "folder.csv").string();
  EXPECT_FALSE(WriteTankTableFile(unreachable, "x", Filled(1), reason_));
  EXPECT_FALSE(fs::exists(unreachable));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.Path()), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace velta
