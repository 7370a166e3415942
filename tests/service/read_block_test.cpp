// The Settings window's reads as jobs against the simulator: what the image receives from
// settings and backup reads, and how a read that fails or does not open reports.
#include <gtest/gtest.h>

#include "service/settings_jobs.h"
#include "tests/support/recording_feedback.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/transfer_support.h"

namespace velta::service {
namespace {

using Lines = std::vector<std::string>;
using Frames = std::vector<std::string>;

TEST(ReadBlock, WrongChecksumStillQueriesVersionButFails) {
  test::SimProcess sim({"--fault", "badsum read"});
  sim.ClearFrames();
  test::RecordingFeedback feedback;
  const test::ScratchDir dir;
  History history(dir.Path());
  Baselines baselines;
  ControllerImage image;
  image.bytes.fill(0x42);

  const MemoryRead read = ReadBlock(sim.TcpSettings(), feedback, {history, baselines},
                                   ImageFileKind::Settings, image);
  EXPECT_EQ(read.outcome, Outcome::WrongSum);

  EXPECT_EQ(sim.Frames(), (Frames{"88 00 34 BC", "60 00 07 67"}));
  EXPECT_EQ(feedback.lines, (Lines{"Steuerung auslesen...", "Daten wurden falsch ausgelesen!",
                                   "Steuerung Version -->V1.60"}));
  EXPECT_EQ(feedback.beeps, 0);
  EXPECT_EQ(feedback.writeButtons, std::vector<bool>{true});
  for (std::uint8_t byte : read.image.bytes) ASSERT_EQ(byte, 0x42) << "the image is left as it was";
}


TEST(ReadBlock, ChannelThatDoesNotOpenReportsTwiceAndHidesButtons) {
  test::RecordingFeedback feedback;
  const test::ScratchDir dir;
  History history(dir.Path());
  Baselines baselines;
  const MemoryRead read = ReadBlock(test::UnreachableSettings(), feedback, {history, baselines},
                                    ImageFileKind::Settings, {});
  EXPECT_EQ(read.outcome, Outcome::NoLink);
  EXPECT_EQ(feedback.lines,
            (Lines{"Fehler beim Öffnen der Schnittstelle!", test::kRefusedReason,
                   "Falsche Programm Version!"}));
  EXPECT_EQ(feedback.beeps, 2);
  EXPECT_TRUE(feedback.positions.empty()) << "the bar is not touched";
  EXPECT_EQ(feedback.writeButtons, std::vector<bool>{false});
}

// Reads the backup of a controller whose memory holds a counting pattern, into an empty image.
MemoryRead ReadPatternBackup(test::SimProcess& sim, test::RecordingFeedback& feedback) {
  sim.SetMemory(0, test::Pattern(256, 255));
  sim.ClearFrames();
  const test::ScratchDir dir;
  History history(dir.Path());
  Baselines baselines;
  return ReadBlock(sim.TcpSettings(), feedback, {history, baselines}, ImageFileKind::Backup,
                   ControllerImage{});
}

TEST(ReadBlock, BackupReadFillsAll256BytesWithTwoRequests) {
  test::SimProcess sim;
  test::RecordingFeedback feedback;
  const ControllerImage image = ReadPatternBackup(sim, feedback).image;

  EXPECT_EQ(sim.Frames(), (Frames{"88 01 FF 88", "60 00 07 67", "88 00 02 8A", "60 00 07 67"}));
  EXPECT_EQ(std::vector<std::uint8_t>(image.bytes.begin(), image.bytes.end()),
            test::Pattern(256, 255));
  EXPECT_EQ(feedback.writeButtons, (std::vector<bool>{true, true})) << "each read checks";
}

// A failed read of addresses 1..255 still reads address 0 and fails the whole backup read.
TEST(ReadBlock, BackupReadOfAddressZeroFollowsAFailedUpperRead) {
  test::SimProcess sim({"--fault", "short read 100"});
  test::RecordingFeedback feedback;
  const MemoryRead read = ReadPatternBackup(sim, feedback);
  EXPECT_FALSE(read.Done());
  const ControllerImage& image = read.image;

  EXPECT_EQ(sim.Frames(), (Frames{"88 01 FF 88", "88 00 02 8A", "60 00 07 67"}));
  EXPECT_EQ(image.Byte(0), test::Pattern(256, 255)[0]);
  EXPECT_EQ(image.Byte(1), ControllerImage{}.Byte(1)) << "the failed range is not taken";
}

}  // namespace
}  // namespace velta::service
