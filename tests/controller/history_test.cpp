// The history of controller blocks: files in the program's own formats that load again, named by
// date, time, kind and controller version, the bound that removes the oldest, and a folder that
// cannot be written costing one log line.
#include "controller/history.h"

#include <gtest/gtest.h>

#include <ctime>

#include <regex>

#include "controller/default_block.h"
#include "controller/fields.h"
#include "tests/support/english_suite.h"
#include "tests/support/files.h"
#include "tests/support/recording_feedback.h"
#include "tests/support/scratch_dir.h"

namespace velta {
namespace {

namespace fs = std::filesystem;

class HistoryTest : public test::EnglishSuite {
 protected:
  HistoryTest() { LoadDefaultBlock(image); }

  std::vector<std::string> Whats(const History& history) const {
    std::vector<std::string> whats;
    for (const HistoryEntry& entry : history.Entries()) whats.push_back(entry.what);
    return whats;
  }

  test::ScratchDir dir;
  test::RecordingFeedback feedback;
  ControllerImage image;
};

TEST_F(HistoryTest, FilesInTheProgramsFormatsNewestFirst) {
  History history(dir / "history");
  history.NoteVersion(160);
  for (int a = kParameterBlockSize; a < kImageSize; ++a)
    image.SetByte(a, static_cast<std::uint8_t>(a));
  Set(image, field::PumpeStunden, 812);
  TankTable table{};
  table[100] = 100;

  history.KeepImage("settings", image, ImageFileKind::Settings, feedback);
  history.KeepImage("backup-before-write", image, ImageFileKind::Backup, feedback);
  history.KeepLines("counters", CounterLines(image), feedback);
  history.NoteVersion(0);
  history.KeepTankTable("tank-table", "Site 4", table, feedback);
  EXPECT_TRUE(feedback.lines.empty());

  const std::vector<HistoryEntry> entries = history.Entries();
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(Whats(history), (std::vector<std::string>{"tank-table", "counters",
                                                      "backup-before-write", "settings"}));
  const std::regex date(R"(\d{4}-\d\d-\d\d)"), time(R"(\d\d:\d\d:\d\d)");
  for (const HistoryEntry& entry : entries) {
    EXPECT_TRUE(std::regex_match(entry.date, date)) << entry.date;
    EXPECT_TRUE(std::regex_match(entry.time, time)) << entry.time;
    EXPECT_EQ(entry.path.parent_path(), dir / "history" / entry.date);
  }
  EXPECT_EQ(entries[3].version, 160);
  EXPECT_NE(entries[3].path.filename().string().find("-settings-V1.60.ini"), std::string::npos);
  EXPECT_EQ(entries[0].version, 0) << "no version known for the table";

  ControllerImage settings, backup;
  std::string reason;
  EXPECT_EQ(LoadImageFile(entries[3].path.string(), settings, ImageFileKind::Settings, reason),
            160);
  EXPECT_TRUE(std::equal(settings.bytes.begin(), settings.bytes.begin() + kParameterBlockSize,
                         image.bytes.begin()));
  EXPECT_EQ(LoadImageFile(entries[2].path.string(), backup, ImageFileKind::Backup, reason), 160);
  EXPECT_EQ(backup.bytes, image.bytes);
  EXPECT_EQ(test::ReadFile(entries[1].path.string()),
            "Pump[h]: 812\nPump[starts]: 1414878807\nTrinkwater [Pulse]: 875902519\n"
            "Cistern [puls]: 943274555\n");
  TankTable loaded{};
  std::string name, message;
  EXPECT_EQ(ReadTankTableFile(entries[0].path.string(), loaded, name, message, feedback), 0);
  EXPECT_EQ(name, "Site 4");
  EXPECT_EQ(loaded, table);
}

TEST_F(HistoryTest, BoundRemovesTheOldestFirst) {
  History byCount(dir / "count", {3, 1u << 30});
  for (const char* what : {"one", "two", "three", "four", "five"}) {
    byCount.KeepLines(what, {what}, feedback);
  }
  EXPECT_EQ(Whats(byCount), (std::vector<std::string>{"five", "four", "three"}));

  // Room for two settings files of the same size, not three.
  History bySize(dir / "size");
  bySize.KeepImage("first", image, ImageFileKind::Settings, feedback);
  const std::uintmax_t fileSize = fs::file_size(bySize.Entries().at(0).path);
  History bounded(dir / "size", {1000, 2 * fileSize + fileSize / 2});
  for (const char* what : {"second", "third", "fourth"}) {
    bounded.KeepImage(what, image, ImageFileKind::Settings, feedback);
  }
  EXPECT_EQ(Whats(bounded), (std::vector<std::string>{"fourth", "third"}));
  EXPECT_TRUE(feedback.lines.empty());
}

// A file of `size` bytes (sparse, so 50 MiB cost nothing) as an earlier run would have kept it.
fs::path Plant(const fs::path& day, const std::string& name, std::uintmax_t size = 1) {
  fs::create_directories(day);
  test::WriteFile((day / name).string(), "x");
  fs::resize_file(day / name, size);
  return day / name;
}

// The default bounds, each just kept and just exceeded, and the order across date folders: the
// older day goes first even when its file's time of day is later.
TEST_F(HistoryTest, DefaultBoundsAndOrderAcrossDays) {
  constexpr std::uintmax_t kBytes = 50u * 1024u * 1024u;
  const struct {
    const char* name;
    std::size_t files;      // planted, 1 byte each, in one old day
    std::uintmax_t large;   // size of one more planted file, 0: none
    std::size_t remaining;  // files after one more is kept
  } rows[] = {
      {"1000 files kept", 999, 0, 1000},
      {"1001 files bound", 1000, 0, 1000},
      {"50 MB kept", 0, kBytes - 100, 2},
      {"50 MB bound", 0, kBytes, 1},
  };
  for (const auto& row : rows) {
    const fs::path root = dir / row.name;
    for (std::size_t i = 0; i < row.files; ++i) {
      char name[64];
      std::snprintf(name, sizeof name, "00-%02zu-%02zu.%03zu-old.txt", i / 600, i / 10 % 60,
                    i % 10);
      Plant(root / "2000-01-01", name);
    }
    if (row.large != 0) Plant(root / "2000-01-01", "00-00-00.000-large.txt", row.large);
    History history(root);
    history.KeepLines("new", {"1"}, feedback);
    EXPECT_EQ(history.Entries().size(), row.remaining) << row.name;
    EXPECT_EQ(history.Entries().at(0).what, "new") << row.name;
  }

  const fs::path root = dir / "days";
  const fs::path older = Plant(root / "2000-01-01", "23-00-00.000-older.txt");
  const fs::path newer = Plant(root / "2000-01-02", "01-00-00.000-newer.txt");
  History history(root, {2, 1u << 30});
  history.KeepLines("today", {"1"}, feedback);
  EXPECT_FALSE(fs::exists(older));
  EXPECT_FALSE(fs::exists(root / "2000-01-01")) << "an emptied day goes with its last file";
  EXPECT_EQ(Whats(history), (std::vector<std::string>{"today", "newer"}));
  EXPECT_TRUE(feedback.lines.empty());
}

// A date folder or a file that is a link to elsewhere is neither listed nor pruned: files outside
// the history stay, the links themselves too.
TEST_F(HistoryTest, PruningNeverFollowsALink) {
  const fs::path outside = Plant(dir / "elsewhere", "00-00-00.000-precious.txt");
  Plant(dir / "elsewhere", "00-00-01.000-precious.txt");
  const fs::path root = dir / "history";
  fs::create_directories(root);
  fs::create_symlink(dir / "elsewhere", root / "2000-01-01");
  Plant(root / "2000-01-02", "00-00-00.000-old.txt");
  fs::create_symlink(outside, root / "2000-01-02" / "00-00-01.000-linked.txt");
  History history(root, {1, 1u << 30});
  history.KeepLines("new", {"1"}, feedback);
  history.KeepLines("newest", {"1"}, feedback);
  EXPECT_EQ(Whats(history), (std::vector<std::string>{"newest"}));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "elsewhere"), fs::directory_iterator()), 2);
  EXPECT_TRUE(fs::is_symlink(root / "2000-01-01"));
  EXPECT_TRUE(fs::is_symlink(root / "2000-01-02" / "00-00-01.000-linked.txt"));
}

// Today's folder as a link to elsewhere is never written through.
TEST_F(HistoryTest, TodaysFolderAsALinkIsNotWrittenThrough) {
  const fs::path root = dir / "history";
  fs::create_directories(root);
  fs::create_directories(dir / "elsewhere");
  const std::time_t now = std::time(nullptr);
  char today[16];
  std::strftime(today, sizeof today, "%Y-%m-%d", std::localtime(&now));
  fs::create_symlink(dir / "elsewhere", root / today);
  History(root).KeepLines("new", {"1"}, feedback);
  EXPECT_TRUE(fs::is_empty(dir / "elsewhere"));
}

TEST_F(HistoryTest, FolderThatCannotBeWrittenCostsOneLine) {
  test::WriteFile((dir / "plain-file").string(), "not a folder");
  History history(dir / "plain-file" / "history");
  history.KeepImage("settings", image, ImageFileKind::Settings, feedback);
  ASSERT_EQ(feedback.lines.size(), 1u);
  EXPECT_EQ(feedback.lines[0].rfind("History: could not write ", 0), 0u) << feedback.lines[0];
  EXPECT_EQ(feedback.beeps, 0);
  EXPECT_TRUE(history.Entries().empty());
}

}  // namespace
}  // namespace velta
