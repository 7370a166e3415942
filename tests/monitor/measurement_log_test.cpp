// The measurement log's file: the header only where there is none, earlier rows kept, an
// unfinished last line ended first, whole rows or none on a full disk, and odd files refused.
#include "monitor/measurement_log.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>

#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace velta {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;

class MeasurementLogTest : public ::testing::Test {
 protected:
  MeasurementLogTest() { readings.SetNumber(ReadingId::Level, 21); }
  std::string Row() const { return MeasurementRow(kWhen, readings) + "\n"; }

  static constexpr std::time_t kWhen = 1765027205;
  test::ScratchDir dir;
  Readings readings;
  MeasurementLog log;
};

TEST_F(MeasurementLogTest, RowsFollowWhatTheFileHeld) {
  const std::string header = MeasurementLogHeader() + "\n";
  const struct {
    const char* name;
    const char* before;  // nullptr: no file
    std::string after;   // before the new row
  } rows[] = {
      {"new file", nullptr, header},
      {"empty file", "", header},
      {"earlier rows", "h\nr1\n", "h\nr1\n"},
      {"unfinished line", "h\nhalf", "h\nhalf\n"},
  };
  for (const auto& row : rows) {
    const fs::path path = dir / row.name;
    if (row.before != nullptr) test::WriteFile(path.string(), std::string(row.before));
    ASSERT_TRUE(log.Open(path.string())) << row.name << ": " << log.Reason();
    ASSERT_TRUE(log.Append(kWhen, readings)) << row.name << ": " << log.Reason();
    log.Close();
    EXPECT_EQ(ReadFile(path.string()), row.after + Row()) << row.name;
  }
}

// A file size limit (SIGXFSZ ignored, as the programs do) stands in for a full disk: a row that
// does not fit is taken back whole and the reason says why; the next row that fits follows the
// last whole one.
TEST_F(MeasurementLogTest, FullDiskTakesTheHalfRowBack) {
  const fs::path path = dir / "log.csv";
  ASSERT_TRUE(log.Open(path.string())) << log.Reason();
  const std::string before = ReadFile(path.string());
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit small = saved;
  small.rlim_cur = before.size() + Row().size() / 2;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool written = log.Append(kWhen, readings);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);

  EXPECT_FALSE(written);
  EXPECT_EQ(log.Reason(), "File too large.");
  EXPECT_EQ(ReadFile(path.string()), before);
  EXPECT_TRUE(log.Append(kWhen, readings)) << log.Reason();
  EXPECT_EQ(ReadFile(path.string()), before + Row());
}

TEST_F(MeasurementLogTest, FifoIsRefusedWithoutWaiting) {
  const fs::path fifo = dir / "pipe.csv";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(log.Open(fifo.string()));
  EXPECT_EQ(log.Reason(), "It is a pipe (FIFO), not a regular file.");
  EXPECT_FALSE(log.IsOpen());
}

}  // namespace
}  // namespace velta
