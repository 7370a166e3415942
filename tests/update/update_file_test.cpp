// The Update file: which files are taken, how the image is padded, and how a block goes on the
// wire.
#include "update/update_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "i18n/lookup.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"
#include "update/boot_loader.h"

namespace velta {
namespace {

class UpdateFile : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { UseLanguage("en"); }
  std::string Write(const std::vector<std::uint8_t>& bytes,
                    const std::string& name = "firmware.enc") {
    const std::string path = (dir_ / name).string();
    test::WriteFile(path, bytes);
    return path;
  }
  // A FIFO without a writer: opening it for reading would wait for ever.
  std::string MakeFifo() {
    const std::string path = (dir_ / "pipe.enc").string();
    EXPECT_EQ(mkfifo(path.c_str(), 0600), 0);
    return path;
  }
  test::ScratchDir dir_;
};

// Distinct bytes, so a shifted or truncated copy shows.
std::vector<std::uint8_t> Pattern(std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
  return bytes;
}

TEST_F(UpdateFile, SizesAcceptedAndPadded) {
  const struct {
    std::size_t size;
    std::size_t padded;
  } cases[] = {{1, 32}, {31, 32}, {32, 32}, {33, 64}, {1000, 1024}, {14335, 14336}, {14336, 14336}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    const auto file = Pattern(c.size);
    std::vector<std::uint8_t> image{1, 2, 3};
    std::string reason;
    ASSERT_EQ(LoadUpdateFile(Write(file), image, reason), UpdateFileResult::Loaded);
    ASSERT_EQ(image.size(), c.padded);
    EXPECT_TRUE(std::equal(file.begin(), file.end(), image.begin()));
    EXPECT_TRUE(std::all_of(image.begin() + static_cast<long>(c.size), image.end(),
                            [](std::uint8_t b) { return b == 0xFF; }));
  }
}

TEST_F(UpdateFile, RefusedFilesLeaveNoImageAndSayWhy) {
  const struct {
    const char* what;
    std::string path;
    UpdateFileResult result;
    const char* message;
    const char* reason;  // the English line after the message; empty for none
  } cases[] = {
      {"empty", Write({}, "empty.enc"), UpdateFileResult::Unreadable,
       "Error: File could not be read.", "The file is empty."},
      {"one byte too large", Write(Pattern(14337), "large.enc"), UpdateFileResult::TooLarge,
       "Error: File is too large", ""},
      {"missing", (dir_ / "missing.enc").string(), UpdateFileResult::CannotOpen,
       "Error: file cannot open", "No such file or directory."},
      {"a folder", dir_.Path().string(), UpdateFileResult::CannotOpen, "Error: file cannot open",
       "It is a folder, not a file."},
      {"a FIFO", MakeFifo(), UpdateFileResult::CannotOpen, "Error: file cannot open",
       "It is a pipe (FIFO), not a regular file."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::uint8_t> image{1, 2, 3};
    std::string reason;
    const UpdateFileResult result = LoadUpdateFile(c.path, image, reason);
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(reason, c.reason);
    EXPECT_TRUE(image.empty());
    EXPECT_EQ(UpdateFileMessage(result), c.message);
  }
}

TEST(UpdateBlock, NumberLowByteFirstThenDataThenSum) {
  std::vector<std::uint8_t> image(448 * 32, 0x00);
  for (std::size_t i = 300 * 32; i < 301 * 32; ++i) image[i] = 0xFF;
  const struct {
    int block;
    std::uint8_t low, high, fill, sum;
  } cases[] = {
      {0, 0x00, 0x00, 0x00, 0x00},
      {1, 0x01, 0x00, 0x00, 0x01},
      {255, 0xFF, 0x00, 0x00, 0xFF},
      {256, 0x00, 0x01, 0x00, 0x01},
      // 0x2C + 0x01 + 32 * 0xFF = 0x202D
      {300, 0x2C, 0x01, 0xFF, 0x0D},
      {447, 0xBF, 0x01, 0x00, 0xC0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.block);
    UpdateBlock expected{};
    expected[0] = c.low;
    expected[1] = c.high;
    std::fill(expected.begin() + 2, expected.end() - 1, c.fill);
    expected.back() = c.sum;
    EXPECT_EQ(BuildUpdateBlock(image, c.block), expected);
  }
}

}  // namespace
}  // namespace velta
