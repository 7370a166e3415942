// The stored-error lines and the error file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>

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

}  // namespace
}  // namespace velta
