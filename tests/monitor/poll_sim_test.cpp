// The poll cycle against the controller simulator, over loopback TCP and over a pseudo-terminal:
// exactly one exchange per tick, the order of the pages, failing pages, and the error store.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string_view>
#include <string>
#include <vector>

#include "link/port_search.h"
#include "monitor/error_log.h"
#include "monitor/poll_tick.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/sim_process.h"
#include "tests/support/transfer_support.h"

namespace velta {
namespace {

const char* const kMain = "60 00 01 61";
const char* const kModule = "60 00 0A 6A";
const char* const kFilter = "60 00 0B 6B";
const char* const kCounters = "60 00 0C 6C";
const char* const kMeter = "60 00 0F 6F";
const char* const kHistory = "88 62 39 23";

// A simulator standing still, with the optional pages as given.
std::vector<std::string> SimArgs(bool meter, bool module, bool filter,
                                 std::vector<std::string> more = {}) {
  std::vector<std::string> args{"--static",
                                "--set", std::string("watermeter=") + (meter ? "1" : "0"),
                                "--set", std::string("modulerinse=") + (module ? "1" : "0"),
                                "--set", std::string("filter=") + (filter ? "1" : "0")};
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

// The text the update shows under `key`, if it shows one.
std::optional<std::string> Text(const StatusUpdate& update, std::string_view key) {
  for (const ShownText& shown : update.texts) {
    if (key == shown.field.key) return shown.text;
  }
  return std::nullopt;
}

class PollOverTcp : public ::testing::Test {
 protected:
  void Open(const std::vector<std::string>& args) {
    sim_ = std::make_unique<test::SimProcess>(args);
    channel_ = OpenFromSettings(sim_->TcpSettings());
    ASSERT_TRUE(channel_.IsOpen());
  }

  // Runs `ticks` ticks and returns the frames the simulator received meanwhile, checking that
  // every tick sent exactly one.
  std::vector<std::string> Ticks(int ticks, std::vector<StatusUpdate>* updates = nullptr) {
    sim_->ClearFrames();
    for (int i = 0; i < ticks; ++i) {
      StatusUpdate update = PollTick(cycle_, channel_);
      EXPECT_EQ(sim_->Frames().size(), static_cast<std::size_t>(i + 1)) << "tick " << i;
      if (updates) updates->push_back(std::move(update));
    }
    return sim_->Frames();
  }

  std::unique_ptr<test::SimProcess> sim_;
  ChannelHandle channel_;
  PollCycle cycle_;
};

TEST_F(PollOverTcp, FirstPassReadsHistoryThenFollowsTheOptionalPages) {
  Open(SimArgs(true, true, true));
  std::vector<StatusUpdate> updates;
  EXPECT_EQ(Ticks(12, &updates),
            (std::vector<std::string>{kMain, kHistory, kMeter, kCounters, kModule, kFilter,  //
                                      kMain, kMeter, kCounters, kModule, kFilter, kMain}));
  for (const StatusUpdate& update : updates) EXPECT_TRUE(update.verdict.good);
  ASSERT_TRUE(updates[0].main.has_value());
  ASSERT_TRUE(updates[1].history.has_value()) << "the chart is filled after the first page";
  EXPECT_TRUE(updates[2].readings.Known(ReadingId::WaterMeter1));
  EXPECT_TRUE(Text(updates[2], "water_meter_1").has_value());
  EXPECT_TRUE(Text(updates[3], "pump_starts").has_value());
  EXPECT_TRUE(Text(updates[4], "module_rinse").has_value());
  EXPECT_TRUE(Text(updates[5], "filter_rinse").has_value());
}

TEST_F(PollOverTcp, WithoutOptionalPagesOnlyMainAndCounters) {
  Open(SimArgs(false, false, false));
  std::vector<StatusUpdate> updates;
  const auto frames = Ticks(9, &updates);
  // The filter rinse page is tried once: FF FF FF FF takes it out of the cycle.
  EXPECT_EQ(frames, (std::vector<std::string>{kMain, kHistory, kCounters, kFilter, kMain,
                                              kCounters, kMain, kCounters, kMain}));
  EXPECT_EQ(Text(updates[3], "filter_rinse"), "Ohne Filterspülung");
  EXPECT_FALSE(cycle_.filterRinseConfigured);

  // Switching Polling off and on asks for the history and the filter rinse page again.
  ResetForPollingStart(cycle_);
  EXPECT_EQ(Ticks(5), (std::vector<std::string>{kCounters, kFilter, kMain, kHistory, kCounters}));
}

TEST_F(PollOverTcp, UnansweredPagesAreAskedAgainOthersMoveOn) {
  Open(SimArgs(false, true, true, {"--fault", "noreply page10", "--fault", "badsum page1"}));
  // Main status page with a bad sum: asked again, nothing shown.
  std::vector<StatusUpdate> updates;
  EXPECT_EQ(Ticks(2, &updates), (std::vector<std::string>{kMain, kMain}));
  EXPECT_FALSE(updates[0].main.has_value() || updates[1].main.has_value());
  EXPECT_EQ(cycle_.mainPageCount, 0);

  sim_->Control("fault clear");
  sim_->Control("fault noreply page10");
  EXPECT_EQ(Ticks(6), (std::vector<std::string>{kMain, kHistory, kCounters, kModule, kModule,
                                                kModule}));
  sim_->Control("fault clear");
  sim_->Control("fault short page11 3");
  EXPECT_EQ(Ticks(3), (std::vector<std::string>{kModule, kFilter, kFilter}));
  sim_->Control("fault clear");
  sim_->Control("fault noreply read");
  EXPECT_EQ(Ticks(2), (std::vector<std::string>{kFilter, kMain}));
  ResetForPollingStart(cycle_);
  EXPECT_EQ(Ticks(6), (std::vector<std::string>{kCounters, kModule, kFilter, kMain, kHistory,
                                                kCounters}))
      << "an unanswered history read moves on";
}

TEST_F(PollOverTcp, CountersWithBadSumStillShowHoursAndLeakStarts) {
  Open(SimArgs(false, false, false, {"--set", "hours=12", "--set", "runticks=8789", "--set",
                                     "leak=2", "--fault", "badsum page12"}));
  std::vector<StatusUpdate> updates;
  EXPECT_EQ(Ticks(4, &updates), (std::vector<std::string>{kMain, kHistory, kCounters, kFilter}));
  EXPECT_FALSE(updates[2].verdict.good);
  EXPECT_EQ(Text(updates[2], "pump_hours"), "12h:59m");
  EXPECT_EQ(Text(updates[2], "leak_starts"), "Leckstarts:2");
  EXPECT_FALSE(Text(updates[2], "pump_starts").has_value());
}

TEST_F(PollOverTcp, ErrorsAreStoredOnceNumberedAndAppendedToTheFile) {
  Open(SimArgs(false, false, false, {"--set", "error=0x0C"}));
  const test::ScratchDir dir;
  const auto path = dir / "errors.txt";
  test::WriteFile(path, "from an earlier run\n");
  ErrorFile file(path.string());
  ErrorLog log;
  std::vector<std::string> stored;
  auto storeErrors = [&](const StatusUpdate& update) {
    if (!update.main || !update.main->errors || !update.main->errors->stored) return;
    for (const auto& message : update.main->errors->lines) {
      stored.push_back(log.Add(message, std::time(nullptr), &file));
    }
  };

  std::vector<StatusUpdate> updates;
  Ticks(4, &updates);  // main, history, counters, filter rinse
  Ticks(1, &updates);  // main again, same flags
  for (const auto& update : updates) storeErrors(update);
  ASSERT_EQ(stored.size(), 2u);
  EXPECT_EQ(stored[0].substr(0, 3), "#0/");
  EXPECT_EQ(stored[1].substr(0, 3), "#1/");
  EXPECT_NE(stored[0].find("/ Messwertgeber Zisterne defekt! (Er.b)"), std::string::npos);
  EXPECT_NE(stored[1].find("/ Trockenlauf Pumpe! (Er.P)"), std::string::npos);
  EXPECT_EQ(updates[0].main->errors->barColour, LevelBarColour::Red);

  // The stored list is cleared; a new error starts again at #0.
  log.Clear();
  sim_->Control("set error2=0x01");
  updates.clear();
  Ticks(2, &updates);  // counters, main
  for (const auto& update : updates) storeErrors(update);
  ASSERT_EQ(stored.size(), 5u) << "a changed pair lists every active error again";
  EXPECT_EQ(stored[2].substr(0, 3), "#0/");
  EXPECT_NE(stored[4].find("/ Lecküberwachung! (Er.L)"), std::string::npos);

  EXPECT_EQ(test::ReadFile(path), "from an earlier run\n" + stored[0] + "\n" + stored[1] + "\n" +
                                      stored[2] + "\n" + stored[3] + "\n" + stored[4] + "\n");
}

// Bytes a controller sends after its reply must not shift the next reply, over either transport.
TEST(PollStaleBytes, ThrownAwayBeforeTheNextRequest) {
  test::SimProcess sim(SimArgs(true, false, false, {"--pty", "--fault", "stale 3"}));
  ASSERT_FALSE(sim.PtyPath().empty());
  constexpr std::uint32_t kPort = 200;
  const ConnectionSettings serial = test::PtySettings(sim, kPort);
  for (const ConnectionSettings& settings : {serial, sim.TcpSettings()}) {
    ChannelHandle channel = OpenFromSettings(settings);
    ASSERT_TRUE(channel.IsOpen());
    PollCycle cycle;
    std::vector<PollState> asked;
    int good = 0;
    for (int i = 0; i < 8; ++i) {
      const StatusUpdate update = PollTick(cycle, channel);
      asked.push_back(update.verdict.page);
      good += update.verdict.good;
      // Let the stale bytes arrive before the next tick, as the 200 ms timer does.
      usleep(50 * 1000);
    }
    channel.Close();
    EXPECT_EQ(asked, (std::vector<PollState>{PollState::MainStatus, PollState::History,
                                              PollState::WaterMeter, PollState::Counters,
                                              PollState::FilterRinse, PollState::MainStatus,
                                              PollState::WaterMeter, PollState::Counters}))
        << (settings.useTcp ? "TCP" : "serial");
    EXPECT_EQ(good, 8) << (settings.useTcp ? "TCP" : "serial");
  }
  SetComPortOverride(kPort, "");
}

}  // namespace
}  // namespace velta
