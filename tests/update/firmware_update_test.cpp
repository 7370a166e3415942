// The firmware update against the simulator's boot loader: what reaches the controller, what it
// stores, what the log shows on the way, and how refusals and boot-loader failures end it.
#include "update/firmware_update.h"

#include <gtest/gtest.h>

#include "i18n/lookup.h"
#include "link/frames.h"
#include "link/port_search.h"
#include "tests/support/files.h"
#include "tests/support/recording_feedback.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/sim_process.h"
#include "tests/support/transfer_support.h"
#include "update/boot_loader.h"
#include "update/update_file.h"

namespace velta {
namespace {

constexpr std::uint32_t kPtyComPort = 202;
constexpr const char* kAckLabel = "Wait of  block programming…";
// Stands for the update file's path in expected log lines.
const std::string kPathMarker = "<path>";

// Keeps every logged line, also those a later ClearLog removed from `lines`.
class HistoryFeedback : public test::RecordingFeedback {
 public:
  void Log(const std::string& line) override {
    RecordingFeedback::Log(line);
    history.push_back(line);
  }
  std::vector<std::string> history;
};

std::vector<std::uint8_t> Pattern(std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<std::uint8_t>((i * 13 + i / 251) & 0xFF);
  return bytes;
}

std::string BlockLine(int block, int blocks) {
  return Format("Write block %3d of %3d blocks", block, blocks);
}

class FirmwareUpdate : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { UseLanguage("en"); }

  std::string Write(const std::vector<std::uint8_t>& bytes, const std::string& name) {
    const std::string path = (dir_ / name).string();
    test::WriteFile(path, bytes);
    return path;
  }

  test::ScratchDir dir_;
};

TEST_F(FirmwareUpdate, ProgramsTheImageAndLeavesOneLine) {
  test::SimProcess sim({"--pty"});
  const struct {
    const char* what;
    ConnectionSettings settings;
    std::size_t size;
    int blocks;
  } cases[] = {
      {"1 byte over TCP", sim.TcpSettings(), 1, 1},
      {"1 byte over serial", test::PtySettings(sim, kPtyComPort), 1, 1},
      {"1000 bytes over serial", test::PtySettings(sim, kPtyComPort), 1000, 32},
      {"14336 bytes over TCP", sim.TcpSettings(), 14336, 448},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    sim.ClearFrames();
    const auto file = Pattern(c.size);
    const std::string path = Write(file, "firmware.enc");
    HistoryFeedback feedback;
    ASSERT_EQ(RunFirmwareUpdate(c.settings, path, feedback), UpdateOutcome::Programmed);

    EXPECT_EQ(sim.Frames(), std::vector<std::string>{"60 00 06 66"});
    std::vector<std::uint8_t> expected = PadUpdateImage(file);
    ASSERT_EQ(expected.size(), static_cast<std::size_t>(c.blocks) * 32);
    EXPECT_EQ(sim.ProgrammedImage(), expected);
    const auto boot = sim.Query("boot");
    ASSERT_FALSE(boot.empty());
    EXPECT_EQ(boot.back(), "end");
    EXPECT_EQ(Format("block %d ok", c.blocks - 1), boot[boot.size() - 2]);
    EXPECT_EQ(sim.Query("mode"), std::vector<std::string>{"normal"});

    // Before the log was cleared: start line, file, handshake answer, then per block its line
    // and the acknowledgement label (the 00 acknowledgement adds no line).
    std::vector<std::string> lines = {"Start update…", path, "Answer", "d2"};
    for (int b = 1; b <= c.blocks; ++b) {
      lines.push_back(BlockLine(b, c.blocks));
      lines.push_back(kAckLabel);
    }
    lines.push_back("Programming successfully!");
    EXPECT_EQ(feedback.history, lines);
    EXPECT_EQ(feedback.lines, std::vector<std::string>{"Programming successfully!"});
    EXPECT_EQ(feedback.clears, 1);
    EXPECT_EQ(feedback.repaints, c.blocks);
    EXPECT_EQ(feedback.colours, std::vector<BarColour>{BarColour::Blue});
    EXPECT_EQ(feedback.barMaximum, c.blocks);
    EXPECT_EQ(feedback.positions.size(), static_cast<std::size_t>(c.blocks + 1));
    EXPECT_EQ(feedback.positions.back(), 0);
    sim.Query("boot");  // the events accumulate; later rows look at their own tail only
  }
}

TEST_F(FirmwareUpdate, BlockNumbersLowByteFirst) {
  // Block 1 of an all-zero image goes out as 01 00, 32 x 00, sum 01: the boot loader takes it as
  // block 1 only with the low byte first and acknowledges only a right sum; blocks above 255 show
  // the high byte.
  test::SimProcess sim;
  std::vector<std::uint8_t> file(300 * 32, 0x00);
  file[256 * 32] = 0x5A;
  HistoryFeedback feedback;
  ASSERT_EQ(RunFirmwareUpdate(sim.TcpSettings(), Write(file, "zero.enc"), feedback),
            UpdateOutcome::Programmed);
  EXPECT_EQ(sim.ProgrammedImage(), file);
  const auto boot = sim.Query("boot");
  EXPECT_NE(std::find(boot.begin(), boot.end(), "block 1 ok"), boot.end());
  EXPECT_NE(std::find(boot.begin(), boot.end(), "block 256 ok"), boot.end());
}

TEST_F(FirmwareUpdate, RefusedFilesSendNothing) {
  test::SimProcess sim;
  const struct {
    const char* what;
    std::string path;
    std::vector<std::string> lines;  // the message and, where there is one, the English reason
  } cases[] = {
      {"14337 bytes", Write(Pattern(14337), "large.enc"), {"Error: File is too large"}},
      {"empty", Write({}, "empty.enc"), {"Error: File could not be read.", "The file is empty."}},
      {"missing", (dir_ / "missing.enc").string(),
       {"Error: file cannot open", "No such file or directory."}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    HistoryFeedback feedback;
    EXPECT_EQ(RunFirmwareUpdate(sim.TcpSettings(), c.path, feedback), UpdateOutcome::FileRefused);
    EXPECT_EQ(feedback.history, c.lines);
    EXPECT_TRUE(sim.Frames().empty());
    EXPECT_TRUE(sim.Query("boot").empty());
    EXPECT_EQ(sim.Query("mode"), std::vector<std::string>{"normal"});
  }
}

TEST_F(FirmwareUpdate, BootLoaderFailuresEndTheUpdateWithTheirLine) {
  const std::string failedHandshake =
      "Error: Invalid one or no answer with the connection establishment";
  const struct {
    const char* what;
    const char* fault;
    std::size_t size;
    std::vector<std::string> tail;  // the last lines of the log
    int lastPosition;
  } cases[] = {
      {"handshake answered 55",
       "handshake 0x55",
       64,
       {kPathMarker, "Answer", "55", failedHandshake},
       -1},
      {"handshake unanswered", "handshake none", 64, {kPathMarker, "Answer", failedHandshake}, -1},
      {"block 3 answered 55",
       "block-ack 3 0x55",
       14336,
       {BlockLine(3, 448), kAckLabel, BlockLine(4, 448), kAckLabel, "55",
        "Error: PAGE programming missed"},
       3},
      {"block 10 unacknowledged",
       "block-stop 10",
       14336,
       {BlockLine(10, 448), kAckLabel, BlockLine(11, 448), kAckLabel,
        "Error: PAGE programming missed"},
       10},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test::SimProcess sim({"--fault", c.fault});
    const std::string path = Write(Pattern(c.size), "firmware.enc");
    HistoryFeedback feedback;
    EXPECT_EQ(RunFirmwareUpdate(sim.TcpSettings(), path, feedback), UpdateOutcome::Failed);

    // Nothing is cleared: the log keeps every line up to the failure.
    EXPECT_EQ(feedback.clears, 0);
    EXPECT_EQ(feedback.lines, feedback.history);
    std::vector<std::string> tail = c.tail;
    if (tail.front() == kPathMarker) tail.front() = path;
    ASSERT_GE(feedback.lines.size(), tail.size());
    EXPECT_EQ(std::vector<std::string>(feedback.lines.end() - static_cast<long>(tail.size()),
                                       feedback.lines.end()),
              tail);
    // The bar keeps its position; no end sequence reaches the boot loader.
    if (c.lastPosition >= 0) {
      EXPECT_EQ(feedback.positions.back(), c.lastPosition);
    } else {
      EXPECT_TRUE(feedback.positions.empty());
    }
    const auto boot = sim.Query("boot");
    EXPECT_EQ(std::find(boot.begin(), boot.end(), "end"), boot.end());
    EXPECT_EQ(sim.Query("mode"), std::vector<std::string>{"boot"});
  }
}

// The boot loader takes a while to start after the Update request: the handshake waits for it.
TEST_F(FirmwareUpdate, HandshakeWaitsForTheBootLoaderToStart) {
  test::SimProcess sim({"--fault", "boot-late 1150"});
  HistoryFeedback feedback;
  EXPECT_EQ(RunFirmwareUpdate(sim.TcpSettings(), Write(Pattern(64), "late.enc"), feedback),
            UpdateOutcome::Programmed);
  const auto boot = sim.Query("boot");
  ASSERT_FALSE(boot.empty());
  EXPECT_EQ(boot.back(), "end");
}

// Without a Channel the update ends before it sends anything; of its own lines it logs none, only
// the English line that says why the Channel would not open.
TEST_F(FirmwareUpdate, NoChannelLogsOnlyTheReason) {
  ConnectionSettings nowhere;
  nowhere.useTcp = true;
  nowhere.tcpHost = "127.0.0.1";
  nowhere.tcpPort = 1;
  HistoryFeedback feedback;
  EXPECT_EQ(RunFirmwareUpdate(nowhere, Write(Pattern(64), "firmware.enc"), feedback),
            UpdateOutcome::NoChannel);
  ASSERT_EQ(feedback.history.size(), 1u);
  EXPECT_NE(feedback.history[0].find("Connection refused by 127.0.0.1"), std::string::npos)
      << feedback.history[0];
  EXPECT_TRUE(feedback.colours.empty());
}

TEST_F(FirmwareUpdate, TraceLevelTwoAlsoTracesEverySentByte) {
  test::SimProcess sim({"--set", "mode=boot"});
  const ChannelHandle channel = OpenFromSettings(sim.TcpSettings());
  ASSERT_TRUE(channel.IsOpen());
  std::vector<std::uint8_t> image(32, 0x00);
  image[0] = 0x10;
  HistoryFeedback feedback;
  EXPECT_EQ(ProgramBootLoader(channel, image, feedback, 2), kBootLoaderOk);

  // Zero bytes show their label only; others add the byte in two lower-case hex digits.
  std::vector<std::string> expected = {"Connection establishment:",
                                       "a1",
                                       "Answer",
                                       "d2",
                                       BlockLine(1, 1),
                                       "PAGE number 0 send:",
                                       "PAGE number 0 send:",
                                       "Page 0 byte 0 send",
                                       "10"};
  for (int j = 1; j < 32; ++j) expected.push_back(Format("Page 0 byte %d send", j));
  expected.insert(expected.end(),
                  {"Page 0 summ send", "10", kAckLabel, "Program end send block:", "24",
                   "Program end send block:", "09", "Programming successfully!"});
  EXPECT_EQ(feedback.history, expected);
  EXPECT_EQ(sim.ProgrammedImage(), image);
}

}  // namespace
}  // namespace velta
