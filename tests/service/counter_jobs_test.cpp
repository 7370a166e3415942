// The counter and error memory jobs against the simulated controller: what goes on the wire,
// what the image and the history receive, and values refused before anything is sent.
#include "service/counter_jobs.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "controller/fields.h"
#include "tests/support/files.h"
#include "tests/support/recording_feedback.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/transfer_support.h"

namespace velta::service {
namespace {

using Frames = std::vector<std::string>;
using Lines = std::vector<std::string>;

constexpr const char* kWriteError =
    "Fehler beim Schreiben oder Lesen!\n->Möglicherweise keine Schreibfreigabe!";

class CounterJobs : public ::testing::Test {
 protected:
  Records Fresh() { return {history_, baselines_ = Baselines()}; }
  // The text the history kept as `what`; empty when none.
  std::string Kept(const std::string& what) {
    for (const HistoryEntry& entry : history_.Entries()) {
      if (entry.what == what) return test::ReadFile(entry.path.string());
    }
    return {};
  }

  test::ScratchDir dir_;
  History history_{dir_.Path()};
  Baselines baselines_;
  test::RecordingFeedback feedback_;
};

TEST_F(CounterJobs, ReadTakesAddressesUpToThePumpStartsAndKeepsTheCounters) {
  test::SimProcess sim({"--set", "hours=1234", "--set", "starts=4294967295", "--set",
                        "mains=77", "--set", "cistern=66"});
  sim.ClearFrames();
  const MemoryRead read = ReadCounters(sim.TcpSettings(), feedback_, Fresh());
  ASSERT_TRUE(read.Done());
  EXPECT_EQ(sim.Frames().front(), "88 00 58 E0");
  struct Row {
    Counter counter;
    const char* shown;
  };
  for (const Row row : {Row{Counter::PumpHours, "1234"}, Row{Counter::PumpStarts, "4294967295"},
                        Row{Counter::MainsPulses, "77"}, Row{Counter::CisternPulses, "66"}}) {
    EXPECT_EQ(CounterText(read.image, row.counter), row.shown);
    EXPECT_NE(Kept("counters").find(row.shown), std::string::npos) << row.shown;
  }
  EXPECT_TRUE(baselines_.Controller().Covers(0, kCountersReadLast));
}

TEST_F(CounterJobs, BadChecksumKeepsNothing) {
  test::SimProcess sim({"--fault", "badsum read", "--set", "hours=5"});
  const MemoryRead read = ReadCounters(sim.TcpSettings(), feedback_, Fresh());
  EXPECT_EQ(read.outcome, Outcome::WrongSum);
  EXPECT_TRUE(history_.Entries().empty());
  EXPECT_FALSE(baselines_.Controller().Covers(0, 0));
}

// A value the counter cannot hold is refused, naming the value and the range, and nothing goes
// on the wire; the largest value it can hold is written.
TEST_F(CounterJobs, ValuesOutsideTheCountersRangeSendNothing) {
  struct Row {
    Counter counter;
    std::uint32_t value;
    const char* refusal;  // nullptr: written
  };
  const Row rows[] = {
      {Counter::PumpHours, 65536, "Pump hours: 65536 is outside 0..65535"},
      {Counter::PumpHours, 4294967295u, "Pump hours: 4294967295 is outside 0..65535"},
      {Counter::PumpHours, 65535, nullptr},
      {Counter::PumpStarts, 4294967295u, nullptr},
  };
  test::SimProcess sim({"--write-enable"});
  for (const Row& row : rows) {
    sim.ClearFrames();
    const MemoryWrite written =
        SetCounter(sim.TcpSettings(), feedback_, Fresh(), {}, row.counter, row.value);
    if (row.refusal != nullptr) {
      EXPECT_EQ(written.outcome, Outcome::Refused) << row.value;
      EXPECT_EQ(written.reason, row.refusal);
      EXPECT_TRUE(sim.Frames().empty()) << row.value;
      EXPECT_EQ(sim.Connections(), 0);
    } else {
      EXPECT_TRUE(written.Done()) << row.value;
      EXPECT_EQ(sim.Frames().back(), "60 00 09 69");
    }
  }
}

TEST_F(CounterJobs, HoursAreWrittenAsFourBytesThenRestart) {
  test::SimProcess sim({"--pty", "--write-enable", "--set", "hours=999"});
  sim.SetMemory(60, {7, 7});
  sim.ClearFrames();
  const MemoryWrite written = SetCounter(test::PtySettings(sim, 214), feedback_, Fresh(), {},
                                         Counter::PumpHours, 258);
  ASSERT_TRUE(written.Done());
  EXPECT_EQ(sim.Frames(),
            (Frames{"90 3C 00 CC", "90 3D 00 CD", "90 3E 01 CF", "90 3F 02 D1", "60 00 09 69"}));
  EXPECT_EQ(test::MemoryRange(sim, 60, 63), (std::vector<std::uint8_t>{0, 0, 1, 2}));
  EXPECT_EQ(feedback_.lines, Lines{"Die Übertragung war erfolgreich!"});
  EXPECT_EQ(feedback_.barMaximum, 3);
  EXPECT_TRUE(baselines_.Controller().Covers(60, 63));
}

TEST_F(CounterJobs, MissingAcknowledgementStopsButRestarts) {
  test::SimProcess sim({"--write-enable", "--fault", "write-stop 54"});
  sim.SetMemory(52, {1, 2, 3, 4});
  sim.ClearFrames();
  const MemoryWrite written = SetCounter(sim.TcpSettings(), feedback_, Fresh(), {},
                                         Counter::MainsPulses, 0x0A0B0C0D);
  EXPECT_EQ(written.outcome, Outcome::NotAcknowledged);
  EXPECT_EQ(sim.Frames(), (Frames{"98 34 0A D6", "98 35 0B D8", "98 36 0C DA", "60 00 09 69"}));
  EXPECT_EQ(test::MemoryRange(sim, 52, 55), (std::vector<std::uint8_t>{10, 11, 3, 4}));
  EXPECT_EQ(feedback_.lines, Lines{kWriteError});
  EXPECT_EQ(feedback_.beeps, 1);
}

TEST_F(CounterJobs, ChannelThatDoesNotOpenKeepsTheNewValueInTheImage) {
  const MemoryWrite written = SetCounter(test::UnreachableSettings(), feedback_, Fresh(), {},
                                         Counter::CisternPulses, 9);
  EXPECT_EQ(written.outcome, Outcome::NoLink);
  EXPECT_EQ(written.image.Long(56), 9u);
  EXPECT_EQ(feedback_.lines, (Lines{"Fehler beim Öffnen der Schnittstelle!", test::kRefusedReason}));
  EXPECT_EQ(feedback_.beeps, 1);
}

TEST_F(CounterJobs, ErrorMemoryReadListsElevenCountsAndKeepsThem) {
  test::SimProcess sim;
  sim.SetMemory(64, {3, 1, 2, 4, 5, 6, 7, 8, 9, 0, 255});
  sim.ClearFrames();
  const MemoryRead read = ReadErrorCounts(sim.TcpSettings(), feedback_, Fresh(), {});
  ASSERT_TRUE(read.Done());
  EXPECT_EQ(sim.Frames().front(), "88 00 52 DA");
  EXPECT_EQ(feedback_.lines,
            (Lines{"Steuerung auslesen...", "Daten wurden richtig ausgelesen!",
                   "Steuerung Version -->V1.60", "", "Fehlerspeicher:", "Er.t #3", "Er.P #1",
                   "Er.C #2", "Er.h #4", "Er.L #5", "Er.1 #6", "Er.2 #7", "Er.b #8", "P.LE #9",
                   "Rückstau #0", "Er.F #255"}));
  for (int a = 0; a < kImageSize; ++a) {
    EXPECT_EQ(read.image.Byte(a), a >= 64 && a <= 74 ? sim.Memory()[a] : 0) << "address " << a;
  }
  EXPECT_NE(Kept("error-memory").find("Er.F #255"), std::string::npos);
}

TEST_F(CounterJobs, FailedErrorMemoryReadListsNoCounts) {
  test::SimProcess sim({"--fault", "badsum read"});
  sim.SetMemory(64, {3});
  const MemoryRead read = ReadErrorCounts(sim.TcpSettings(), feedback_, Fresh(), {});
  EXPECT_FALSE(read.Done());
  EXPECT_EQ(std::find(feedback_.lines.begin(), feedback_.lines.end(), "Fehlerspeicher:"),
            feedback_.lines.end());
  EXPECT_EQ(read.image.Byte(64), 0);
  EXPECT_TRUE(history_.Entries().empty());
}

TEST_F(CounterJobs, ClearingSendsOneWriteOfZeroToTheChosenCounter) {
  test::SimProcess sim({"--pty", "--write-enable"});
  struct Row {
    const char* link;
    ConnectionSettings settings;
    int index;
    const char* frame;  // nullptr: refused, nothing sent
  };
  const Row rows[] = {
      {"serial", test::PtySettings(sim, 215), 10, "90 4A 00 DA"},
      {"tcp", sim.TcpSettings(), 10, "98 4A 00 E2"},
      {"tcp", sim.TcpSettings(), 0, "98 40 00 D8"},
      {"tcp", sim.TcpSettings(), 11, nullptr},
      {"tcp", sim.TcpSettings(), -1, nullptr},
  };
  for (const Row& row : rows) {
    sim.SetMemory(64, std::vector<std::uint8_t>(11, 9));
    sim.ClearFrames();
    test::RecordingFeedback feedback;
    const MemoryWrite cleared = ClearErrorCount(row.settings, feedback, Fresh(), row.index);
    const auto counts = test::MemoryRange(sim, 64, 74);
    if (row.frame == nullptr) {
      EXPECT_EQ(cleared.outcome, Outcome::Refused) << row.index;
      EXPECT_TRUE(sim.Frames().empty()) << row.index;
      EXPECT_EQ(counts, std::vector<std::uint8_t>(11, 9));
      continue;
    }
    EXPECT_TRUE(cleared.Done()) << row.link;
    EXPECT_EQ(sim.Frames(), std::vector<std::string>{row.frame}) << row.link;
    for (int i = 0; i < 11; ++i) EXPECT_EQ(counts[i], i == row.index ? 0 : 9) << row.link << i;
    EXPECT_EQ(feedback.lines, Lines{"Die Übertragung war erfolgreich!"}) << row.link;
  }
}

TEST_F(CounterJobs, UnacknowledgedClearReportsWithoutSuccess) {
  test::SimProcess sim;  // no write enable
  const MemoryWrite cleared = ClearErrorCount(sim.TcpSettings(), feedback_, Fresh(), 3);
  EXPECT_EQ(cleared.outcome, Outcome::NotAcknowledged);
  EXPECT_EQ(feedback_.lines, Lines{kWriteError});
  EXPECT_EQ(feedback_.beeps, 1);
  EXPECT_EQ(sim.Frames(), std::vector<std::string>{"98 43 00 DB"}) << "no Restart request";
}

}  // namespace
}  // namespace velta::service
