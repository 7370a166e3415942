// Settings and backup files on disk: the exact text written, how values load, how a file shared
// by both kinds keeps the other section, and that a failed save leaves the old file alone.
#include "controller/settings_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>

#include "controller/default_block.h"
#include "files/regular_file.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace velta {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::WriteFile;

ControllerImage DefaultImage() {
  ControllerImage image;
  LoadDefaultBlock(image);
  return image;
}

class ImageFileTest : public ::testing::Test {
 protected:
  std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_.Path())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  test::ScratchDir dir_;
  std::string reason_;
};

TEST_F(ImageFileTest, SavedSettingsFileHasVersionAndAddressesInNumericOrder) {
  const std::string path = PathOf("default.ini");
  ASSERT_TRUE(SaveImageFile(path, DefaultImage(), ImageFileKind::Settings, reason_));
  EXPECT_EQ(ReadFile(path),
            "[VELTA Setup]\nVersion=160\n"
            "0=3\n1=3\n2=5\n3=1\n4=78\n5=32\n6=1\n7=43\n8=1\n9=100\n10=35\n11=20\n12=0\n13=3\n"
            "14=20\n15=20\n16=7\n17=58\n18=0\n19=172\n20=1\n21=71\n22=30\n23=123\n24=0\n25=0\n"
            "26=37\n27=10\n28=95\n29=195\n30=1\n31=183\n32=0\n33=22\n34=135\n35=211\n36=1\n"
            "37=183\n38=0\n39=96\n40=143\n41=61\n42=0\n43=0\n44=10\n45=48\n46=99\n47=5\n48=185\n"
            "49=2\n50=221\n51=141\n");
  EXPECT_EQ(Entries(), std::vector<std::string>{"default.ini"}) << "no temporary file remains";
}

TEST_F(ImageFileTest, BackupFileRoundTripsAllAddresses) {
  ControllerImage saved;
  for (int a = 0; a < kImageSize; ++a) saved.SetByte(a, static_cast<std::uint8_t>(255 - a));
  const std::string path = PathOf("all.bak");
  ASSERT_TRUE(SaveImageFile(path, saved, ImageFileKind::Backup, reason_));
  const std::string text = ReadFile(path);
  EXPECT_EQ(text.rfind("[VELTA Backup]\nVersion=160\n0=255\n1=254\n", 0), 0u);
  EXPECT_NE(text.find("\n254=1\n255=0\n"), std::string::npos);

  ControllerImage loaded;
  loaded.bytes.fill(0x5A);
  EXPECT_EQ(LoadImageFile(path, loaded, ImageFileKind::Backup, reason_), 160);
  EXPECT_EQ(loaded.bytes, saved.bytes);
}

TEST_F(ImageFileTest, ValuesLoadAsTheirLowByteAndAnythingElseAsZero) {
  struct Row {
    const char* value;
    std::uint8_t expected;
  };
  const Row rows[] = {
      {"300", 44},   {"-1", 255}, {"abc", 0},  {"", 0},         {"12abc", 0},
      {"+7", 7},     {"255", 255}, {"256", 0}, {"4294967296", 0}, {"-2147483648", 0},
      {"2147483647", 255},        {"0x10", 0}, {"  9  ", 9},
  };
  for (const Row& row : rows) {
    ControllerImage image;
    image.bytes.fill(0x77);
    const int version =
        LoadImageText(std::string("[VELTA Setup]\nVersion=160\n5=") + row.value + "\n", image,
                      ImageFileKind::Settings);
    EXPECT_EQ(version, 160);
    EXPECT_EQ(image.Byte(5), row.expected) << "value \"" << row.value << "\"";
    EXPECT_EQ(image.Byte(4), 0) << "a missing key loads as 0";
    EXPECT_EQ(image.Byte(52), 0x77) << "a settings load stops at address 51";
  }
}

TEST_F(ImageFileTest, LoadingTheOtherKindFindsNoSectionAndZeroes) {
  const std::string settingsPath = PathOf("s.ini");
  ASSERT_TRUE(SaveImageFile(settingsPath, DefaultImage(), ImageFileKind::Settings, reason_));
  ControllerImage image;
  image.bytes.fill(9);
  EXPECT_EQ(LoadImageFile(settingsPath, image, ImageFileKind::Backup, reason_), 0);
  EXPECT_EQ(image.bytes, ControllerImage{}.bytes) << "all 256 bytes are zero";

  ControllerImage backup;
  backup.bytes.fill(33);
  const std::string backupPath = PathOf("b.bak");
  ASSERT_TRUE(SaveImageFile(backupPath, backup, ImageFileKind::Backup, reason_));
  image.bytes.fill(9);
  EXPECT_EQ(LoadImageFile(backupPath, image, ImageFileKind::Settings, reason_), 0);
  for (int a = 0; a < kImageSize; ++a) EXPECT_EQ(image.Byte(a), a < 52 ? 0 : 9) << a;
}

TEST_F(ImageFileTest, SavingSettingsIntoBackupFileKeepsBothSections) {
  ControllerImage backup;
  backup.bytes.fill(200);
  const std::string path = PathOf("shared.bak");
  ASSERT_TRUE(SaveImageFile(path, backup, ImageFileKind::Backup, reason_));
  ASSERT_TRUE(SaveImageFile(path, DefaultImage(), ImageFileKind::Settings, reason_));

  ControllerImage image;
  EXPECT_EQ(LoadImageFile(path, image, ImageFileKind::Backup, reason_), 160);
  EXPECT_EQ(image.bytes, backup.bytes);
  EXPECT_EQ(LoadImageFile(path, image, ImageFileKind::Settings, reason_), 160);
  EXPECT_TRUE(std::equal(kDefaultBlock.begin(), kDefaultBlock.end(), image.bytes.begin()));
  EXPECT_EQ(image.Byte(52), 200);
}

// Only the program's own keys change: comments, free text, other sections, a key of the same name
// elsewhere and the file's CR LF line ends stay byte for byte. Keys already in the section are
// replaced where they stand, whatever their case and blanks; new ones follow the section's last entry.
TEST_F(ImageFileTest, SaveChangesOnlyItsOwnKeysAndKeepsLineEnds) {
  const std::string path = PathOf("old.ini");
  const std::string head =
      "; written by hand\r\n[Other]\r\nname=pump house\r\n0=keep\r\nfree text line\r\n\r\n";
  const std::string tail = "\r\n[Later]\r\nVersion=1\r\n";
  WriteFile(path,
            head + "[velta setup]\r\n 7 = 99\r\nNote=keep me\r\nVERSION=150\r\n0=1\r\n" + tail);
  ASSERT_TRUE(SaveImageFile(path, DefaultImage(), ImageFileKind::Settings, reason_)) << reason_;

  std::string added;
  for (int address = 1; address < kParameterBlockSize; ++address) {
    if (address == 7) continue;
    added += std::to_string(address) + "=" + std::to_string(kDefaultBlock[address]) + "\r\n";
  }
  EXPECT_EQ(ReadFile(path),
            head + "[velta setup]\r\n7=43\r\nNote=keep me\r\nVersion=160\r\n0=3\r\n" + added + tail);
}

// Only the first of two keys of the same name is the value; a section added to a file whose last
// line has no line end starts on a line of its own; the file keeps its mode, whatever the umask.
TEST_F(ImageFileTest, SaveKeepsASecondKeyTheLastLineAndTheMode) {
  const struct {
    const char* name;
    std::string before;
    std::string expectedStart;
  } rows[] = {
      {"second key", "[VELTA Setup]\n7=99\n7=55\n", "[VELTA Setup]\n7=43\n7=55\nVersion=160\n"},
      {"unfinished line", "[Other]\nx=1", "[Other]\nx=1\n[VELTA Setup]\n"},
  };
  for (const auto& row : rows) {
    const std::string path = PathOf(row.name);
    WriteFile(path, row.before);
    ASSERT_TRUE(SaveImageFile(path, DefaultImage(), ImageFileKind::Settings, reason_)) << reason_;
    EXPECT_EQ(ReadFile(path).rfind(row.expectedStart, 0), 0u)
        << row.name << ":\n" << ReadFile(path);
  }
  const std::string shared = PathOf("shared.ini");
  WriteFile(shared, "");
  ASSERT_EQ(::chmod(shared.c_str(), 0664), 0);
  const mode_t mask = ::umask(022);
  const bool saved = SaveImageFile(shared, DefaultImage(), ImageFileKind::Settings, reason_);
  ::umask(mask);
  ASSERT_TRUE(saved) << reason_;
  struct stat info {};
  ASSERT_EQ(::stat(shared.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0664u);
}

// Read as the Windows private-profile reader did: names without regard to case, blanks around '='
// trimmed, one pair of surrounding quotes taken off, and the first of two keys of the same name.
TEST_F(ImageFileTest, LoadFollowsThePrivateProfileReadingRules) {
  const std::string path = PathOf("hand.ini");
  WriteFile(path, "[Velta SETUP]\nversion = 160\n0=\"12\"\n  1  =  34  \n2=56\n2=78\n");
  ControllerImage image;
  ASSERT_EQ(LoadImageFile(path, image, ImageFileKind::Settings, reason_), 160) << reason_;
  EXPECT_EQ(image.Byte(0), 12);
  EXPECT_EQ(image.Byte(1), 34);
  EXPECT_EQ(image.Byte(2), 56);
}

// Only regular files of at most 1 MiB are read, without waiting on a FIFO; each refusal says why,
// and the image stays as it was.
TEST_F(ImageFileTest, LoaderRefusesWhatIsNoSettingsFileAndSaysWhy) {
  const std::string fifo = PathOf("pipe.ini");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  fs::create_directory(PathOf("folder.ini"));
  const std::string large = PathOf("large.ini");
  WriteFile(large, "[VELTA Setup]\n0=1\n" + std::string(kMaxIniFileSize, ';'));
  const struct {
    std::string path;
    const char* reason;
  } cases[] = {
      {PathOf("folder.ini"), "It is a folder, not a file."},
      {fifo, "It is a pipe (FIFO), not a regular file."},
      {"/dev/zero", "It is a device, not a regular file."},
      {large, "It is too large (1048594 bytes, at most 1048576 are read)."},
      {PathOf("missing.ini"), "No such file or directory."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    ControllerImage image = DefaultImage();
    reason_.clear();
    EXPECT_FALSE(LoadImageFile(c.path, image, ImageFileKind::Settings, reason_));
    EXPECT_EQ(reason_, c.reason);
    EXPECT_TRUE(std::equal(kDefaultBlock.begin(), kDefaultBlock.end(), image.bytes.begin()));
  }
}

// A million sections are refused at once by their size; as many sections as fit into the size
// limit load within a second.
TEST_F(ImageFileTest, ManySectionsTakeLessThanASecond) {
  std::string million;
  for (int i = 0; i < 1000000; ++i) million += "[" + std::to_string(i) + "]\n";
  std::string fitting;
  for (int i = 0; fitting.size() < kMaxIniFileSize - 64; ++i) {
    fitting += "[" + std::to_string(i) + "]\n";
  }
  fitting += "[VELTA Setup]\n0=5\n";
  for (const auto& [name, text] : {std::pair{"million.ini", million}, {"fitting.ini", fitting}}) {
    SCOPED_TRACE(name);
    const std::string path = PathOf(name);
    WriteFile(path, text);
    ControllerImage image;
    const auto start = std::chrono::steady_clock::now();
    const auto version = LoadImageFile(path, image, ImageFileKind::Settings, reason_);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(version.has_value(), text.size() <= kMaxIniFileSize);
    if (version) {
      EXPECT_EQ(image.Byte(0), 5);
    }
  }
}

TEST_F(ImageFileTest, UnreadableFileIsReportedAndImageKept) {
  ControllerImage image = DefaultImage();
  EXPECT_FALSE(LoadImageFile(PathOf("missing.ini"), image, ImageFileKind::Settings, reason_));
  EXPECT_TRUE(std::equal(kDefaultBlock.begin(), kDefaultBlock.end(), image.bytes.begin()));
}

TEST_F(ImageFileTest, SaveThatCannotBeWrittenFails) {
  EXPECT_FALSE(SaveImageFile(PathOf("no/such/dir/x.ini"), DefaultImage(), ImageFileKind::Settings, reason_));
  // A directory in place of the file is neither read nor replaced.
  fs::create_directory(PathOf("taken.ini"));
  EXPECT_FALSE(SaveImageFile(PathOf("taken.ini"), DefaultImage(), ImageFileKind::Settings, reason_));
  EXPECT_TRUE(fs::is_directory(PathOf("taken.ini")));
}

// The process may write only a few hundred bytes per file: the new file breaks off mid-way, as on
// a full disk. The old file must survive whole and no temporary file may stay behind.
TEST_F(ImageFileTest, InterruptedSaveLeavesOldFileIntact) {
  const std::string path = PathOf("keep.bak");
  ControllerImage old;
  old.bytes.fill(1);
  ASSERT_TRUE(SaveImageFile(path, old, ImageFileKind::Backup, reason_));
  const std::string before = ReadFile(path);

  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 300;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool written = SaveImageFile(path, DefaultImage(), ImageFileKind::Backup, reason_);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previousHandler);

  EXPECT_FALSE(written);
  EXPECT_EQ(ReadFile(path), before);
  EXPECT_EQ(Entries(), std::vector<std::string>{"keep.bak"});
}

}  // namespace
}  // namespace velta
