// Settings and backup files on disk: the exact text written, how values load, how a file shared
// by both kinds keeps the other section, and that a failed save leaves the old file alone.
#include "controller/settings_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "controller/default_block.h"
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
};

TEST_F(ImageFileTest, SavedSettingsFileHasVersionAndAddressesInNumericOrder) {
  const std::string path = PathOf("default.ini");
  ASSERT_TRUE(SaveImageFile(path, DefaultImage(), ImageFileKind::Settings));
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
  ASSERT_TRUE(SaveImageFile(path, saved, ImageFileKind::Backup));
  const std::string text = ReadFile(path);
  EXPECT_EQ(text.rfind("[VELTA Backup]\nVersion=160\n0=255\n1=254\n", 0), 0u);
  EXPECT_NE(text.find("\n254=1\n255=0\n"), std::string::npos);

  ControllerImage loaded;
  loaded.bytes.fill(0x5A);
  EXPECT_EQ(LoadImageFile(path, loaded, ImageFileKind::Backup), 160);
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
  ASSERT_TRUE(SaveImageFile(settingsPath, DefaultImage(), ImageFileKind::Settings));
  ControllerImage image;
  image.bytes.fill(9);
  EXPECT_EQ(LoadImageFile(settingsPath, image, ImageFileKind::Backup), 0);
  EXPECT_EQ(image.bytes, ControllerImage{}.bytes) << "all 256 bytes are zero";

  ControllerImage backup;
  backup.bytes.fill(33);
  const std::string backupPath = PathOf("b.bak");
  ASSERT_TRUE(SaveImageFile(backupPath, backup, ImageFileKind::Backup));
  image.bytes.fill(9);
  EXPECT_EQ(LoadImageFile(backupPath, image, ImageFileKind::Settings), 0);
  for (int a = 0; a < kImageSize; ++a) EXPECT_EQ(image.Byte(a), a < 52 ? 0 : 9) << a;
}

TEST_F(ImageFileTest, SavingSettingsIntoBackupFileKeepsBothSections) {
  ControllerImage backup;
  backup.bytes.fill(200);
  const std::string path = PathOf("shared.bak");
  ASSERT_TRUE(SaveImageFile(path, backup, ImageFileKind::Backup));
  ASSERT_TRUE(SaveImageFile(path, DefaultImage(), ImageFileKind::Settings));

  ControllerImage image;
  EXPECT_EQ(LoadImageFile(path, image, ImageFileKind::Backup), 160);
  EXPECT_EQ(image.bytes, backup.bytes);
  EXPECT_EQ(LoadImageFile(path, image, ImageFileKind::Settings), 160);
  EXPECT_TRUE(std::equal(kDefaultBlock.begin(), kDefaultBlock.end(), image.bytes.begin()));
  EXPECT_EQ(image.Byte(52), 200);
}

TEST_F(ImageFileTest, ExistingKeysAreRewrittenInOrderAndForeignEntriesKept) {
  const std::string path = PathOf("old.ini");
  WriteFile(path,
        "; written by hand\n[Other]\nname=pump house\n\n"
        "[VELTA Setup]\n7=99\nNote=keep me\nVersion=150\n0=1\n");
  ASSERT_TRUE(SaveImageFile(path, DefaultImage(), ImageFileKind::Settings));
  const std::string text = ReadFile(path);

  EXPECT_NE(text.find("[Other]\nname=pump house\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Note=keep me\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Version=160\n0=3\n1=3\n2=5\n3=1\n4=78\n5=32\n6=1\n7=43\n8=1\n"),
            std::string::npos)
      << text;
  EXPECT_EQ(text.find("7=99"), std::string::npos);
  EXPECT_EQ(text.find("Version=150"), std::string::npos);
}

TEST_F(ImageFileTest, UnreadableFileIsReportedAndImageKept) {
  ControllerImage image = DefaultImage();
  EXPECT_FALSE(LoadImageFile(PathOf("missing.ini"), image, ImageFileKind::Settings));
  EXPECT_TRUE(std::equal(kDefaultBlock.begin(), kDefaultBlock.end(), image.bytes.begin()));
}

TEST_F(ImageFileTest, SaveThatCannotBeWrittenFails) {
  EXPECT_FALSE(SaveImageFile(PathOf("no/such/dir/x.ini"), DefaultImage(), ImageFileKind::Settings));
  // A directory in place of the file is neither read nor replaced.
  fs::create_directory(PathOf("taken.ini"));
  EXPECT_FALSE(SaveImageFile(PathOf("taken.ini"), DefaultImage(), ImageFileKind::Settings));
  EXPECT_TRUE(fs::is_directory(PathOf("taken.ini")));
}

// The process may write only a few hundred bytes per file: the new file breaks off mid-way, as on
// a full disk. The old file must survive whole and no temporary file may stay behind.
TEST_F(ImageFileTest, InterruptedSaveLeavesOldFileIntact) {
  const std::string path = PathOf("keep.bak");
  ControllerImage old;
  old.bytes.fill(1);
  ASSERT_TRUE(SaveImageFile(path, old, ImageFileKind::Backup));
  const std::string before = ReadFile(path);

  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 300;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool written = SaveImageFile(path, DefaultImage(), ImageFileKind::Backup);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previousHandler);

  EXPECT_FALSE(written);
  EXPECT_EQ(ReadFile(path), before);
  EXPECT_EQ(Entries(), std::vector<std::string>{"keep.bak"});
}

}  // namespace
}  // namespace velta
