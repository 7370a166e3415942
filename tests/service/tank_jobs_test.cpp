// The Tank table window's jobs without a window: the read kept in the history and as the
// baseline, the send's baseline, and a link that does not open.
#include "service/tank_jobs.h"

#include <gtest/gtest.h>

#include "tests/support/recording_feedback.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/transfer_support.h"

namespace velta::service {
namespace {

TEST(TankJobs, AGoodReadIsKeptAndBecomesTheBaseline) {
  test::SimProcess sim;
  sim.SetMemory(kTankTableAddress, std::vector<std::uint8_t>(kTankEntries, 17));
  const test::ScratchDir dir;
  History history(dir.Path());
  test::RecordingFeedback feedback;
  TankBaselines before;
  before.file = TankBaseline{"the file x.csv", {}};

  const TankJob read = ReadTank(sim.TcpSettings(), feedback, history, before, "Kugel");

  ASSERT_TRUE(read.Done());
  EXPECT_EQ(read.table[100], 17);
  EXPECT_FALSE(before.file.has_value()) << "the loaded file no longer counts";
  ASSERT_TRUE(before.controller.has_value());
  EXPECT_EQ(before.controller->table, read.table);
  ASSERT_EQ(history.Entries().size(), 1u);
  EXPECT_EQ(history.Entries()[0].what, "tank-table");
}

TEST(TankJobs, ASendMovesTheBaselineOnlyWhenComplete) {
  for (const bool complete : {true, false}) {
    test::SimProcess sim(complete ? std::vector<std::string>{"--write-enable"}
                                  : std::vector<std::string>{});
    test::RecordingFeedback feedback;
    TankTable table;
    table.fill(0x105);
    TankBaselines baselines;
    const TankJob sent = SendTank(sim.TcpSettings(), feedback, baselines, table);
    EXPECT_EQ(sent.Done(), complete);
    EXPECT_EQ(sent.acknowledged, complete ? kTankEntries : 0);
    EXPECT_EQ(baselines.controller.has_value(), complete);
    if (complete) {
      EXPECT_EQ(baselines.controller->table[0], 5) << "the low byte travels";
    }
  }
}

TEST(TankJobs, NoLinkSaysOnlyWhyAndChangesNothing) {
  const test::ScratchDir dir;
  History history(dir.Path());
  test::RecordingFeedback feedback;
  TankTable table;
  table.fill(42);
  TankBaselines baselines;
  const TankJob read = ReadTank(test::UnreachableSettings(), feedback, history, baselines, "");
  const TankJob sent = SendTank(test::UnreachableSettings(), feedback, baselines, table);
  EXPECT_EQ(read.outcome, Outcome::NoLink);
  EXPECT_EQ(sent.outcome, Outcome::NoLink);
  EXPECT_EQ(sent.reason, test::kRefusedReason);
  EXPECT_EQ(feedback.lines, (std::vector<std::string>{test::kRefusedReason, test::kRefusedReason}));
  EXPECT_TRUE(feedback.positions.empty());
  EXPECT_TRUE(history.Entries().empty());
  EXPECT_FALSE(baselines.controller.has_value());
}

}  // namespace
}  // namespace velta::service
