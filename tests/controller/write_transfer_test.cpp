// Writing to the simulated controller: the write family on each link, the acknowledgement rule,
// the stop at the first missing acknowledgement and the closing requests.
#include "controller/settings_transfer.h"

#include <gtest/gtest.h>

#include "controller/write_loop.h"
#include "tests/support/recording_feedback.h"
#include "tests/support/transfer_support.h"

namespace velta {
namespace {

using Lines = std::vector<std::string>;
using Frames = std::vector<std::string>;

constexpr const char* kWriteError =
    "Fehler beim Schreiben oder Lesen!\n->Möglicherweise keine Schreibfreigabe!";

ControllerImage PatternImage(int start) {
  ControllerImage image;
  const auto bytes = test::Pattern(kImageSize, start);
  std::copy(bytes.begin(), bytes.end(), image.bytes.begin());
  return image;
}

std::vector<std::uint8_t> ImageRange(const ControllerImage& image, int first, int last) {
  return {image.bytes.begin() + first, image.bytes.begin() + last + 1};
}

ExchangeOutcome WriteOne(const ConnectionSettings& settings, Feedback& feedback, int address,
                      std::uint8_t value) {
  const std::uint8_t values[] = {value};
  WritePlan plan;
  plan.firstAddress = address;
  plan.values = values;
  return WriteBytes(OpenFromSettings(settings), settings, feedback, plan);
}

ExchangeOutcome WriteParameters(const ConnectionSettings& settings, Feedback& feedback,
                                const ControllerImage& image) {
  return TransferParameterBlock(OpenFromSettings(settings), settings, feedback, image);
}

ExchangeOutcome WriteBackup(const ConnectionSettings& settings, Feedback& feedback,
                            const ControllerImage& image) {
  return TransferBackupImage(OpenFromSettings(settings), settings, feedback, image);
}

TEST(WriteBytes, WriteFamilyFollowsTransportAndAdminFlag) {
  test::SimProcess sim({"--pty", "--write-enable"});
  struct Row {
    const char* link;
    ConnectionSettings settings;
    const char* frame;
  };
  const Row rows[] = {
      {"serial", test::PtySettings(sim, 212), "90 05 2A BF"},
      {"tcp", sim.TcpSettings(0), "98 05 2A C7"},
      {"tcp, admin 0x02", sim.TcpSettings(kAdminSerialWriteBase), "90 05 2A BF"},
      {"tcp, other admin bits", sim.TcpSettings(0xFD), "98 05 2A C7"},
  };
  for (const Row& row : rows) {
    sim.SetMemory(5, {0});
    sim.ClearFrames();
    test::RecordingFeedback feedback;
    EXPECT_EQ(WriteOne(row.settings, feedback, 5, 0x2A), ExchangeOutcome::Good) << row.link;
    EXPECT_EQ(sim.Frames(), Frames{row.frame}) << row.link;
    EXPECT_EQ(sim.Memory()[5], 0x2A) << row.link;
    EXPECT_EQ(feedback.lines, Lines{"Die Übertragung war erfolgreich!"}) << row.link;
  }
}

// Only the arrival of one byte counts, whatever its value.
TEST(WriteBytes, AnyAcknowledgementValueCompletesTheParameterBlock) {
  for (const char* ack : {"0", "255"}) {
    test::SimProcess sim({"--write-enable", "--ack", ack});
    sim.ClearFrames();
    const ControllerImage image = PatternImage(200);
    test::RecordingFeedback feedback;

    EXPECT_EQ(WriteParameters(sim.TcpSettings(), feedback, image), ExchangeOutcome::Good);

    const Frames frames = sim.Frames();
    ASSERT_EQ(frames.size(), 53u) << "ack " << ack;
    EXPECT_EQ(frames.front(), "98 00 C8 60");
    EXPECT_EQ(frames[51], "98 33 95 60");
    EXPECT_EQ(frames.back(), "60 00 08 68") << "Settings done ends the transfer";
    EXPECT_EQ(test::MemoryRange(sim, 0, 51), ImageRange(image, 0, 51));
    EXPECT_EQ(test::MemoryRange(sim, 52, 52), std::vector<std::uint8_t>{0}) << "only 0..51";
    EXPECT_EQ(feedback.lines, (Lines{"Übertrage alle Einstellungen zur Steuerung...",
                                     "Die Übertragung war erfolgreich!"}));
    EXPECT_EQ(feedback.colours, std::vector<BarColour>{BarColour::Red});
    EXPECT_EQ(feedback.barMaximum, 51);
    ASSERT_EQ(feedback.positions.size(), 53u);
    EXPECT_EQ(feedback.positions[51], 51);
    EXPECT_EQ(feedback.positions.back(), 0) << "the bar is emptied at the end";
  }
}

TEST(WriteBytes, StopsAtFirstMissingAcknowledgementAndStillSendsTheClosingRequest) {
  struct Row {
    bool backup;
    const char* closing;
  };
  for (const Row row : {Row{false, "60 00 08 68"}, Row{true, "60 00 09 69"}}) {
    test::SimProcess sim({"--write-enable", "--fault", "write-stop 17"});
    const std::vector<std::uint8_t> before = test::MemoryRange(sim, 0, 255);
    sim.ClearFrames();
    const ControllerImage image = PatternImage(99);
    test::RecordingFeedback feedback;

    const ExchangeOutcome outcome = row.backup
                                     ? WriteBackup(sim.TcpSettings(), feedback, image)
                                     : WriteParameters(sim.TcpSettings(), feedback, image);

    EXPECT_EQ(outcome, ExchangeOutcome::Short);
    const Frames frames = sim.Frames();
    ASSERT_EQ(frames.size(), 19u) << "writes 0..17, then the closing request";
    EXPECT_EQ(frames[17].substr(0, 6), "98 11 ");
    EXPECT_EQ(frames.back(), row.closing);
    const std::vector<std::uint8_t> after = test::MemoryRange(sim, 0, 255);
    for (int a = 0; a < 256; ++a) {
      EXPECT_EQ(after[a], a < 17 ? image.Byte(a) : before[a]) << "address " << a;
    }
    const Lines lines = feedback.lines;
    EXPECT_EQ(std::count(lines.begin(), lines.end(), kWriteError), 1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Die Übertragung war erfolgreich!"), 0);
    EXPECT_EQ(feedback.beeps, 1);
  }
}

TEST(WriteBytes, BackupWritesAll256BytesAndAnnouncesTheRestart) {
  test::SimProcess sim({"--pty", "--write-enable"});
  sim.ClearFrames();
  const ControllerImage image = PatternImage(255);
  test::RecordingFeedback feedback;

  EXPECT_EQ(WriteBackup(test::PtySettings(sim, 213), feedback, image),
            ExchangeOutcome::Good);

  const Frames frames = sim.Frames();
  ASSERT_EQ(frames.size(), 257u);
  EXPECT_EQ(frames[0], "90 00 FF 8F");
  EXPECT_EQ(frames[255], "90 FF 00 8F");
  EXPECT_EQ(frames[256], "60 00 09 69");
  EXPECT_EQ(test::MemoryRange(sim, 0, 255), ImageRange(image, 0, 255));
  EXPECT_EQ(feedback.lines,
            (Lines{"Übertrage das komplette Backup zur Steuerung...", "Neustart der Steuerung !!!",
                   "Die Übertragung war erfolgreich!"}));
  EXPECT_EQ(feedback.barMaximum, 255);
}

TEST(WriteBytes, WithoutWriteEnableTheFirstByteFails) {
  test::SimProcess sim;
  sim.ClearFrames();
  test::RecordingFeedback feedback;
  EXPECT_EQ(WriteOne(sim.TcpSettings(), feedback, 74, 0), ExchangeOutcome::Short);
  EXPECT_EQ(sim.Frames(), Frames{"98 4A 00 E2"});
  EXPECT_EQ(feedback.lines, Lines{kWriteError});
  EXPECT_EQ(feedback.beeps, 1);
}

}  // namespace
}  // namespace velta
