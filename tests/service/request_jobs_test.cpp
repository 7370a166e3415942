// The short jobs against the simulator: the clear-errors and write-enable requests, the live
// values and the report's reading, each on one link.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "monitor/poll_tick.h"
#include "service/report_data.h"
#include "service/request_jobs.h"
#include "tests/support/recording_feedback.h"
#include "tests/support/sim_process.h"
#include "tests/support/transfer_support.h"

namespace velta::service {
namespace {

// One Main status page read on a Channel of its own.
MainPageView ReadMainPage(const ConnectionSettings& settings) {
  PollCycle cycle;
  StatusUpdate update = PollTick(cycle, OpenFromSettings(settings));
  if (!update.main) ADD_FAILURE() << "no Main status page";
  return update.main.value_or(MainPageView{});
}

TEST(ClearErrors, AnyAcknowledgementCountsAndTheFlagsGo) {
  for (const char* ack : {"0", "0xFF"}) {
    test::SimProcess sim({"--static", "--set", "error=0x0C", "--set", std::string("ack=") + ack});
    ASSERT_TRUE(ReadMainPage(sim.TcpSettings()).errors->stored);
    sim.ClearFrames();
    test::RecordingFeedback feedback;
    EXPECT_TRUE(ClearAllErrors(sim.TcpSettings(), feedback).Done()) << ack;
    EXPECT_EQ(sim.Frames(), std::vector<std::string>{"60 00 0D 6D"});
    EXPECT_EQ(ReadMainPage(sim.TcpSettings()).errors->lines,
              std::vector<std::string>{"Keine Fehler"});
  }
}

TEST(ClearErrors, NoReplyOrNoChannel) {
  test::SimProcess sim({"--static", "--fault", "noreply clear"});
  test::RecordingFeedback feedback;
  EXPECT_EQ(ClearAllErrors(sim.TcpSettings(), feedback).outcome, Outcome::NoReply);
  EXPECT_EQ(sim.Frames(), std::vector<std::string>{"60 00 0D 6D"});
  EXPECT_TRUE(feedback.lines.empty());
  const JobResult none = ClearAllErrors(test::UnreachableSettings(), feedback);
  EXPECT_EQ(none.outcome, Outcome::NoLink);
  EXPECT_EQ(feedback.lines, std::vector<std::string>{test::kRefusedReason});
}

TEST(WriteEnable, RequestShowsOnTheNextMainPage) {
  test::SimProcess sim({"--static"});
  EXPECT_FALSE(ReadMainPage(sim.TcpSettings()).writeEnabled);
  sim.ClearFrames();
  test::RecordingFeedback feedback;
  EXPECT_TRUE(AskWriteEnable(sim.TcpSettings(), feedback).Done());
  EXPECT_TRUE(ReadMainPage(sim.TcpSettings()).writeEnabled);
  EXPECT_EQ(sim.Frames(), (std::vector<std::string>{"60 00 0E 6E", "60 00 01 61"}));
  EXPECT_EQ(AskWriteEnable(test::UnreachableSettings(), feedback).outcome, Outcome::NoLink);
  EXPECT_EQ(feedback.lines, (std::vector<std::string>{"Fehler beim Öffnen der Schnittstelle !",
                                                       test::kRefusedReason}));
}

TEST(LiveValues, ALinkThatDoesNotOpenSaysOnlyWhy) {
  test::RecordingFeedback feedback;
  const LiveValues live = ReadLive(test::UnreachableSettings(), feedback, true);
  EXPECT_EQ(live.outcome, Outcome::NoLink);
  EXPECT_EQ(feedback.lines, std::vector<std::string>{test::kRefusedReason});
  EXPECT_EQ(feedback.beeps, 0);
}

// The report reads its memory, the live values and the Main status page on one link.
TEST(ReportData, OneLinkForTheMemoryTheLiveValuesAndTheStatus) {
  test::SimProcess sim({"--set", "hours=321"});
  sim.ClearFrames();
  test::RecordingFeedback feedback;
  const ReportReading reading = ReadReportData(sim.TcpSettings(), feedback);
  ASSERT_TRUE(reading.Done());
  EXPECT_EQ(sim.Connections(), 1);
  EXPECT_EQ(sim.Frames(), (std::vector<std::string>{"88 00 58 E0", "60 00 07 67", "60 00 0C 6C",
                                                    "60 00 01 61"}));
  EXPECT_EQ(reading.version, 160);
  EXPECT_TRUE(reading.live.Given(ReadingId::PumpStarts));
  EXPECT_EQ(reading.image.Word(62), 321);
  EXPECT_TRUE(reading.status.has_value());
  EXPECT_EQ(NumberOf(reading.statusReadings[ReadingId::PumpHours]), 321);
}

}  // namespace
}  // namespace velta::service
