// Saving a file: permissions kept or taken from the umask, symbolic links kept, a folder the user
// may not write to, and the reason given when a save fails.
#include "files/atomic_write.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/unprivileged.h"

namespace velta {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::RunAsUnprivileged;
using test::WriteFile;

mode_t ModeOf(const fs::path& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0);
  return info.st_mode & 07777;
}

class AtomicWriteTest : public ::testing::Test {
 protected:
  void SetUp() override { savedMask_ = ::umask(027); }
  void TearDown() override { ::umask(savedMask_); }

  test::ScratchDir dir_;
  std::string reason_;
  mode_t savedMask_ = 0;
};

TEST_F(AtomicWriteTest, ExistingFileKeepsItsModeAndNewFileTakesTheUmask) {
  EXPECT_EQ(CurrentUmask(), 027u);
  EXPECT_EQ(CurrentUmask(), 027u) << "reading the umask changed it";

  const fs::path secret = dir_ / "secret.ini";
  WriteFile(secret, "old");
  ASSERT_EQ(::chmod(secret.c_str(), 0600), 0);
  ASSERT_TRUE(WriteFileAtomically(secret, "new", reason_)) << reason_;
  EXPECT_EQ(ReadFile(secret), "new");
  EXPECT_EQ(ModeOf(secret), 0600u);

  const fs::path fresh = dir_ / "fresh.ini";
  ASSERT_TRUE(WriteFileAtomically(fresh, "x", reason_)) << reason_;
  EXPECT_EQ(ModeOf(fresh), 0640u);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.Path()), fs::directory_iterator()), 2);
}

TEST_F(AtomicWriteTest, SavingThroughALinkUpdatesItsTargetAndKeepsTheLink) {
  fs::create_directory(dir_ / "real");
  const fs::path target = dir_ / "real" / "plant.tcp";
  WriteFile(target, "old");
  const fs::path link = dir_ / "link.tcp";
  fs::create_symlink("real/plant.tcp", link);
  ASSERT_TRUE(WriteFileAtomically(link, "new", reason_)) << reason_;
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(fs::read_symlink(link), "real/plant.tcp");
  EXPECT_EQ(ReadFile(target), "new");
}

// A save never turns a device or a pipe into a plain file, however it is reached, and never waits
// for a reader of a FIFO.
TEST_F(AtomicWriteTest, TargetThatIsNotARegularFileIsRefused) {
  ASSERT_EQ(::mkfifo((dir_ / "pipe").c_str(), 0666), 0);
  fs::create_symlink("pipe", dir_ / "pipe-link");
  fs::create_directory(dir_ / "folder");
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::mknod((dir_ / "null").c_str(), S_IFCHR | 0666, ::makedev(1, 3)), 0);
  }
  const struct {
    const char* name;
    fs::file_type type;
    const char* reason;
  } rows[] = {
      {"pipe", fs::file_type::fifo, "It is a pipe (FIFO), not a regular file."},
      {"pipe-link", fs::file_type::fifo, "It is a pipe (FIFO), not a regular file."},
      {"folder", fs::file_type::directory, "It is a folder, not a file."},
      {"null", fs::file_type::character, "It is a device, not a regular file."},
  };
  for (const auto& row : rows) {
    if (!root && row.type == fs::file_type::character) continue;  // only root makes device nodes
    reason_.clear();
    EXPECT_FALSE(WriteFileAtomically(dir_ / row.name, "report", reason_)) << row.name;
    EXPECT_EQ(reason_, row.reason) << row.name;
    EXPECT_EQ(fs::status(dir_ / row.name).type(), row.type) << row.name;
  }
  EXPECT_TRUE(fs::is_symlink(dir_ / "pipe-link"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.Path()), fs::directory_iterator()),
            root ? 4 : 3);
}

// A folder the user may not write to holding a file they may write: the file is overwritten in
// place; a file they may not write either is left alone with the reason.
TEST_F(AtomicWriteTest, ReadOnlyFolderOverwritesAWritableFileInPlace) {
  const fs::path folder = dir_ / "locked";
  fs::create_directory(folder);
  const fs::path writable = folder / "open.ini";
  const fs::path readOnly = folder / "closed.ini";
  WriteFile(writable, "old content, longer than the new");
  WriteFile(readOnly, "keep");
  ASSERT_EQ(::chmod(writable.c_str(), 0666), 0);
  ASSERT_EQ(::chmod(readOnly.c_str(), 0644), 0);
  ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
  ASSERT_EQ(::chmod(dir_.Path().c_str(), 0755), 0);

  EXPECT_EQ(RunAsUnprivileged([&] {
              std::string reason;
              if (!WriteFileAtomically(writable, "new", reason)) return 1;
              if (WriteFileAtomically(readOnly, "lost", reason)) return 2;
              return reason.find("Permission denied") == std::string::npos ? 3 : 0;
            }),
            0);
  ::chmod(folder.c_str(), 0755);
  EXPECT_EQ(ReadFile(writable), "new");
  EXPECT_EQ(ReadFile(readOnly), "keep");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2);
}

// A full disk, imitated by a file size limit: the old file survives whole and the reason names the
// cause; in a read-only folder the in-place write is the only copy, and the reason says it is lost.
TEST_F(AtomicWriteTest, FailedSaveSaysWhy) {
  const fs::path path = dir_ / "keep.bak";
  WriteFile(path, "old");
  ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
  const fs::path folder = dir_ / "locked";
  fs::create_directory(folder);
  const fs::path inPlace = folder / "open.bak";
  WriteFile(inPlace, "old");
  ASSERT_EQ(::chmod(inPlace.c_str(), 0666), 0);
  ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
  ASSERT_EQ(::chmod(dir_.Path().c_str(), 0777), 0);

  EXPECT_EQ(RunAsUnprivileged([&] {
              std::signal(SIGXFSZ, SIG_IGN);
              const rlimit small{100, 100};
              if (::setrlimit(RLIMIT_FSIZE, &small) != 0) return 10;
              const std::string big(1000, 'x');
              std::string reason;
              if (WriteFileAtomically(path, big, reason)) return 1;
              if (reason != "File too large.") return 2;
              if (WriteFileAtomically(inPlace, big, reason)) return 3;
              return reason.find("old content is lost") == std::string::npos ? 4 : 0;
            }),
            0);
  ::chmod(folder.c_str(), 0755);
  EXPECT_EQ(ReadFile(path), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.Path()), fs::directory_iterator()), 2);
}

}  // namespace
}  // namespace velta
