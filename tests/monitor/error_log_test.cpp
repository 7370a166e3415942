// The stored-error lines and the error file.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "monitor/error_log.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace velta {
namespace {

namespace fs = std::filesystem;

using test::ReadFile;

class ErrorLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("TZ", "UTC", 1);
    tzset();
  }

  test::ScratchDir dir_;
  // 06.12.2026 13:20:05 UTC
  const std::time_t when_ = 1796563205;
};

TEST_F(ErrorLogTest, NumberedLinesWithDateAndTime) {
  ErrorLog log;
  EXPECT_EQ(log.Add("Trockenlauf Pumpe! (Er.P)", when_, nullptr),
            "#0/ 06.12.2026/ 13:20:05/ Trockenlauf Pumpe! (Er.P)");
  EXPECT_EQ(log.Add("Lecküberwachung! (Er.L)", when_, nullptr),
            "#1/ 06.12.2026/ 13:20:05/ Lecküberwachung! (Er.L)");
  EXPECT_EQ(log.Add("x", 0, nullptr), "#2/ 01.01.1970/ 00:00:00/ x");
  log.Clear();
  EXPECT_EQ(log.Add("y", when_ + 3600 * 11 - 5, nullptr), "#0/ 07.12.2026/ 00:20:00/ y");
  EXPECT_EQ(log.Next(), 1u);
}

TEST_F(ErrorLogTest, FileGetsLinesAppendedAfterItsContent) {
  const fs::path path = dir_ / "fehler.txt";
  test::WriteFile(path, "earlier line\n");
  ErrorFile file(path.string());
  ErrorLog log;
  log.Add("A", when_, &file);
  log.Add("B", when_, &file);
  EXPECT_EQ(ReadFile(path), "earlier line\n#0/ 06.12.2026/ 13:20:05/ A\n#1/ 06.12.2026/ 13:20:05/ B\n");

  const fs::path created = dir_ / "new.txt";
  ErrorFile fresh(created.string());
  EXPECT_TRUE(fresh.AppendLine("first"));
  EXPECT_EQ(ReadFile(created), "first\n");
}

TEST_F(ErrorLogTest, UnwritableFileLosesNothingFromTheList) {
  ErrorFile missingFolder((dir_ / "no-such-folder" / "fehler.txt").string());
  ErrorFile folder(dir_.Path().string());  // a directory cannot be opened for writing
  EXPECT_FALSE(missingFolder.AppendLine("lost"));
  EXPECT_FALSE(folder.AppendLine("lost"));
  ErrorLog log;
  EXPECT_EQ(log.Add("A", when_, &missingFolder), "#0/ 06.12.2026/ 13:20:05/ A");
  EXPECT_EQ(log.Add("B", when_, &folder), "#1/ 06.12.2026/ 13:20:05/ B");
  EXPECT_FALSE(fs::exists(dir_ / "no-such-folder"));
}

// A file size limit (SIGXFSZ ignored, as the program does) stands in for a full disk: a line that
// does not fit is taken back whole, the next one that fits follows the last whole line, and a file
// created for a line that could not be written is removed again.
TEST_F(ErrorLogTest, FileKeepsWholeLinesOnly) {
  const fs::path path = dir_ / "fehler.txt";
  test::WriteFile(path, "earlier line\n");
  const fs::path fresh = dir_ / "fresh.txt";
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit small = saved;
  small.rlim_cur = 30;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  ErrorFile file(path.string());
  const bool tooLong = file.AppendLine("a line that does not fit");
  const bool fits = file.AppendLine("short");
  ErrorFile created(fresh.string());
  const bool createdLine = created.AppendLine(std::string(40, 'x'));
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);

  EXPECT_FALSE(tooLong);
  EXPECT_TRUE(fits);
  EXPECT_EQ(ReadFile(path), "earlier line\nshort\n");
  EXPECT_FALSE(createdLine);
  EXPECT_FALSE(fs::exists(fresh));
}

// Writing that starts to fail costs one log line with the reason, and working again one more;
// further lost lines say nothing. Short lines fit the file size limit, long ones do not.
TEST_F(ErrorLogTest, FileFailingAndRecoveringIsToldOnce) {
  const fs::path path = dir_ / "fehler.txt";
  ErrorFile file(path.string());
  ErrorLog log;
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit small = saved;
  small.rlim_cur = 100;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  std::vector<std::string> notices;
  for (const std::size_t length : {1, 80, 80, 1, 1, 80}) {
    log.Add(std::string(length, 'x'), when_, &file);
    notices.push_back(log.TakeFileNotice());
  }
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  const std::string lost = "Cannot write " + path.string() + ": File too large. Lines are lost.";
  EXPECT_EQ(notices, (std::vector<std::string>{"", lost, "", "The error file is written again.",
                                               "", lost}));
}

// A FIFO is no error file: refused at once instead of waiting for a reader.
TEST_F(ErrorLogTest, FifoIsRefusedWithoutWaiting) {
  const fs::path fifo = dir_ / "pipe.txt";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  ErrorFile file(fifo.string());
  EXPECT_FALSE(file.AppendLine("lost"));
  EXPECT_EQ(file.Reason(),
            "Cannot write " + fifo.string() + ": It is a pipe (FIFO), not a regular file.");
}

// The stored default "c:\error.txt" and other Windows-style paths name a file in the state folder;
// a path of this system is taken as it stands.
TEST_F(ErrorLogTest, WindowsPathIsKeptInTheStateFolder) {
  const fs::path state = dir_ / "state";
  setenv("XDG_STATE_HOME", state.c_str(), 1);
  EXPECT_EQ(ErrorFilePath("c:\\error.txt"), (state / "velta-control" / "error.txt").string());
  EXPECT_EQ(ErrorFilePath("D:\\logs\\pumpe.txt"), (state / "velta-control" / "pumpe.txt").string());
  EXPECT_EQ(ErrorFilePath("/var/log/fehler.txt"), "/var/log/fehler.txt");
  EXPECT_EQ(ErrorFilePath("fehler.txt"), "fehler.txt");

  ErrorFile file("c:\\error.txt");
  EXPECT_TRUE(file.AppendLine("first"));
  EXPECT_EQ(ReadFile(state / "velta-control" / "error.txt"), "first\n");

  setenv("XDG_STATE_HOME", "relative/state", 1);
  setenv("HOME", dir_.Path().c_str(), 1);
  EXPECT_EQ(ErrorFilePath("c:\\error.txt"),
            (dir_ / ".local/state/velta-control/error.txt").string());
  unsetenv("XDG_STATE_HOME");
}

}  // namespace
}  // namespace velta
