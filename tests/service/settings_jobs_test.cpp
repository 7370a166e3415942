// The block jobs against the simulated controller, without a window: one link per job, the
// history of what was read and overwritten, the reference-value rule and the write baseline.
#include "service/settings_jobs.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "controller/default_block.h"
#include "controller/fields.h"
#include "tests/support/recording_feedback.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/transfer_support.h"

namespace velta::service {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr const char* kSettingsDone = "60 00 08 68";

class SettingsJobs : public ::testing::Test {
 protected:
  // A controller that holds the Default block with reference values of its own.
  void Start() {
    sim_ = std::make_unique<test::SimProcess>(std::vector<std::string>{"--write-enable"});
    Bytes block(kDefaultBlock.begin(), kDefaultBlock.end());
    block[4] = 0x12, block[5] = 0x34, block[16] = 0x05, block[17] = 0x67;
    sim_->SetMemory(0, block);
    sim_->ClearFrames();
  }
  Records Fresh() { return {history_, baselines_ = Baselines()}; }
  ControllerImage ControllerBlock() {
    ControllerImage image;
    const Bytes memory = sim_->Memory();
    std::copy_n(memory.begin(), kImageSize, image.bytes.begin());
    return image;
  }
  int Count(const std::string& frame) {
    const std::vector<std::string> frames = sim_->Frames();
    return static_cast<int>(std::count(frames.begin(), frames.end(), frame));
  }
  // The newest history entry named `what`, loaded back.
  std::optional<ControllerImage> Kept(const std::string& what, ImageFileKind kind) {
    for (const HistoryEntry& entry : history_.Entries()) {
      if (entry.what != what) continue;
      ControllerImage image;
      std::string reason;
      if (LoadImageFile(entry.path.string(), image, kind, reason)) return image;
    }
    return std::nullopt;
  }

  test::ScratchDir dir_;
  History history_{dir_.Path()};
  Baselines baselines_;
  std::unique_ptr<test::SimProcess> sim_;
  test::RecordingFeedback feedback_;
};

// Every settings write runs on one link: the read it needs and the write, one connection and
// one closing request, the controller's reference values kept unless sent on purpose.
TEST_F(SettingsJobs, EachWriteIsOneLinkAndKeepsTheReferenceRule) {
  struct Row {
    const char* name;
    bool changedOnly, sendReferences;
    int writes;             // write frames sent
    std::uint8_t refFull0;  // address 4 afterwards
  };
  for (const Row row : {Row{"full, references kept", false, false, 52, 0x12},
                        Row{"full, references sent", false, true, 52, 0x4E},
                        Row{"changed only, references kept", true, false, 1, 0x12},
                        Row{"changed only, references sent", true, true, 3, 0x4E}}) {
    SCOPED_TRACE(row.name);
    Start();
    ControllerImage block = ControllerBlock();
    Set(block, field::RefZistVoll, 0x4E20);
    Set(block, field::Druckendwert, 61);
    const BlockWrite written =
        WriteSettings(sim_->TcpSettings(), feedback_, Fresh(),
                      {block, row.sendReferences, row.changedOnly, false});
    ASSERT_TRUE(written.Done());
    EXPECT_EQ(sim_->Connections(), 1);
    EXPECT_EQ(Count(kSettingsDone), 1);
    const std::vector<std::string> frames = sim_->Frames();
    EXPECT_EQ(std::count_if(frames.begin(), frames.end(),
                            [](const std::string& f) { return f.rfind("98 ", 0) == 0; }),
              row.writes);
    EXPECT_EQ(sim_->Memory()[4], row.refFull0);
    EXPECT_EQ(sim_->Memory()[field::Druckendwert.address], 61);
    EXPECT_EQ(written.block.Byte(4), row.refFull0) << "the job returns what it wrote";
    EXPECT_TRUE(baselines_.Controller().Covers(0, kParameterBlockSize - 1));
  }
}

// Nothing read before (velta-cli): the write first reads what it overwrites and keeps it.
TEST_F(SettingsJobs, AWriteWithNothingReadKeepsTheBlockItOverwrites) {
  struct Row {
    const char* what;
    ImageFileKind kind;
    int lastCompared;
    bool settingsReadBefore;  // a settings read knows bytes 0..51 only: a restore still reads all
  };
  for (const Row row : {Row{"settings-before-write", ImageFileKind::Settings, 51, false},
                        Row{"backup-before-write", ImageFileKind::Backup, 255, false},
                        Row{"backup-before-write", ImageFileKind::Backup, 255, true}}) {
    SCOPED_TRACE(row.what);
    Start();
    const ControllerImage before = ControllerBlock();
    ControllerImage image;
    image.bytes.fill(0x33);
    const Records records = Fresh();
    if (row.settingsReadBefore)
      ReadBlock(sim_->TcpSettings(), feedback_, records, ImageFileKind::Settings, {});
    const BlockWrite written =
        row.kind == ImageFileKind::Backup
            ? RestoreBackup(sim_->TcpSettings(), feedback_, records, image, true)
            : WriteSettings(sim_->TcpSettings(), feedback_, records, {image, true, false, true});
    ASSERT_TRUE(written.Done());
    EXPECT_EQ(sim_->Connections(), row.settingsReadBefore ? 2 : 1);
    EXPECT_EQ(Count("88 01 FF 88"), row.kind == ImageFileKind::Backup ? 1 : 0) << "the whole memory";
    EXPECT_EQ(sim_->Memory()[7], 0x33);
    const std::optional<ControllerImage> kept = Kept(row.what, row.kind);
    ASSERT_TRUE(kept.has_value());
    EXPECT_TRUE(std::equal(before.bytes.begin(), before.bytes.begin() + row.lastCompared + 1,
                           kept->bytes.begin()));
  }
}

// The windows write what they show without another read when nothing was read and the
// references are sent: no read frame, and no before-write entry (nothing known to keep).
TEST_F(SettingsJobs, TheWindowsWriteSendsNoReadOfItsOwn) {
  Start();
  const BlockWrite written = WriteSettings(sim_->TcpSettings(), feedback_, Fresh(),
                                           {ControllerBlock(), true, false, false});
  ASSERT_TRUE(written.Done());
  EXPECT_EQ(Count("88 00 34 BC"), 0);
  EXPECT_FALSE(Kept("settings-before-write", ImageFileKind::Settings));
}

TEST_F(SettingsJobs, ReadsAreKeptAndBecomeTheBaseline) {
  for (const ImageFileKind kind : {ImageFileKind::Settings, ImageFileKind::Backup}) {
    Start();
    const MemoryRead read = ReadBlock(sim_->TcpSettings(), feedback_, Fresh(), kind, {});
    ASSERT_TRUE(read.Done());
    EXPECT_EQ(sim_->Connections(), 1);
    const int last = kind == ImageFileKind::Backup ? 255 : 51;
    EXPECT_TRUE(baselines_.Controller().Covers(0, last));
    const std::optional<ControllerImage> kept =
        Kept(kind == ImageFileKind::Backup ? "backup" : "settings", kind);
    ASSERT_TRUE(kept.has_value());
    EXPECT_EQ(kept->Byte(4), 0x12);
    EXPECT_EQ(read.image.Byte(last), ControllerBlock().Byte(last));
  }
}

TEST_F(SettingsJobs, AFailedOpenGivesTheReasonLineAndSendsNothing) {
  const BlockWrite written = WriteSettings(test::UnreachableSettings(), feedback_, Fresh(),
                                           {ControllerImage{}, false, false, false});
  EXPECT_EQ(written.outcome, Outcome::NoLink);
  EXPECT_EQ(written.reason, test::kRefusedReason);
  EXPECT_NE(std::find(feedback_.lines.begin(), feedback_.lines.end(), test::kRefusedReason),
            feedback_.lines.end());
  EXPECT_TRUE(history_.Entries().empty());
}

}  // namespace
}  // namespace velta::service

namespace velta::service {
namespace {

using Lines = std::vector<std::string>;

ControllerImage PatternImage(int start) {
  ControllerImage image;
  const auto bytes = test::Pattern(kImageSize, start);
  std::copy(bytes.begin(), bytes.end(), image.bytes.begin());
  return image;
}

TEST(WriteSettingsLink, ChannelThatDoesNotOpenSendsNothing) {
  const test::ScratchDir dir;
  History history(dir.Path());
  Baselines baselines;
  test::RecordingFeedback feedback;
  const BlockWrite written = WriteSettings(test::UnreachableSettings(), feedback, {history, baselines},
                                           {PatternImage(1), true, false, false});
  EXPECT_EQ(written.outcome, Outcome::NoLink);
  EXPECT_EQ(feedback.lines, (Lines{"Fehler beim öffnen der Schnittstelle!", test::kRefusedReason}));
  EXPECT_EQ(feedback.beeps, 1);
  EXPECT_TRUE(feedback.colours.empty());
}

// The block written takes the controller's two reference values and nothing else of its block,
// whatever the controller's version.
TEST(WriteSettingsLink, TakesOnlyTheControllersReferenceValues) {
  test::SimProcess sim({"--version", "1.601.59", "--write-enable"});
  std::vector<std::uint8_t> block(52, 0x11);
  block[4] = 0x12, block[5] = 0x34, block[16] = 0x05, block[17] = 0x67;
  sim.SetMemory(0, block);
  const ControllerImage image = PatternImage(90);
  const test::ScratchDir dir;
  History history(dir.Path());
  Baselines baselines;
  test::RecordingFeedback feedback;

  const BlockWrite written =
      WriteSettings(sim.TcpSettings(), feedback, {history, baselines}, {image, false, false, false});

  EXPECT_TRUE(written.Done()) << "a wrong version does not stop the write";
  for (int a = 0; a < kParameterBlockSize; ++a) {
    const bool reference = a == 4 || a == 5 || a == 16 || a == 17;
    EXPECT_EQ(sim.Memory()[a], reference ? block[a] : image.Byte(a)) << "address " << a;
  }
  EXPECT_EQ(feedback.writeButtons, std::vector<bool>{false});
}

// A restore reads the whole memory first, upper part then the first bytes: a short reply to the
// upper part alone ends the job before any write.
TEST(WriteSettingsLink, RestoreWhoseFirstReadHalfFailsWritesNothing) {
  test::SimProcess sim({"--fault", "short read 200", "--write-enable"});
  const test::ScratchDir dir;
  History history(dir.Path());
  Baselines baselines;
  test::RecordingFeedback feedback;
  const BlockWrite written =
      RestoreBackup(sim.TcpSettings(), feedback, {history, baselines}, PatternImage(90), true);
  EXPECT_EQ(written.outcome, Outcome::NoReply);
  const std::vector<std::string> frames = sim.Frames();
  EXPECT_TRUE(std::none_of(frames.begin(), frames.end(), [](const std::string& frame) {
    return frame.rfind("98 ", 0) == 0;
  })) << frames.size();
}

TEST(WriteSettingsLink, FailedReadReportsAndWritesNothing) {
  test::SimProcess sim({"--fault", "badsum read", "--write-enable"});
  sim.ClearFrames();
  const test::ScratchDir dir;
  History history(dir.Path());
  Baselines baselines;
  test::RecordingFeedback feedback;

  const BlockWrite written = WriteSettings(sim.TcpSettings(), feedback, {history, baselines},
                                           {PatternImage(90), false, false, false});

  EXPECT_EQ(written.outcome, Outcome::WrongSum);
  EXPECT_EQ(sim.Frames(), (std::vector<std::string>{"88 00 34 BC", "60 00 07 67"}));
  EXPECT_EQ(feedback.lines.back(), "Fehler beim auslesen des Moduls!");
  EXPECT_EQ(feedback.beeps, 1);
}

}  // namespace
}  // namespace velta::service
