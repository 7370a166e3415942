// The status watch against the simulator, over loopback TCP and over a pseudo-terminal reached
// through a link path: the simulator killed and started again while watching gives one lost and
// one restored line, the poll starts again at the Main page, and the counts say what happened.
// A suspended watch leaves the link to its borrower.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <thread>

#include "link/exchange.h"
#include "link/open_reason.h"
#include "link/port_search.h"
#include "service/status_watch.h"
#include "tests/link/link_peers.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/sim_process.h"

namespace velta {
namespace {

using test::SimProcess;

constexpr char kMainRequest[] = "60 00 01 61";

struct Transport {
  const char* name;
  bool pty;
};
void PrintTo(const Transport& transport, std::ostream* out) { *out << transport.name; }

class WatchedLink {
 public:
  explicit WatchedLink(const Transport& transport) : pty_(transport.pty) {
    Start();
    if (pty_) {
      settings_.comPort = 200;
      SetComPortOverride(200, (dir_ / "velta-controller").string());
    } else {
      settings_ = sim_->TcpSettings();
    }
  }
  ~WatchedLink() {
    if (pty_) SetComPortOverride(200, "");
  }
  // The simulator again, at the same address or link path.
  void Start() {
    if (pty_) {
      sim_.emplace(std::vector<std::string>{"--static", "--pty-link", (dir_ / "velta-controller").string()});
    } else if (settings_.tcpPort != 0 && settings_.useTcp) {
      sim_.emplace(std::vector<std::string>{
          "--static", "--tcp", "127.0.0.1:" + std::to_string(settings_.tcpPort)});
    } else {
      sim_.emplace(std::vector<std::string>{"--static"});
    }
  }
  void Kill() { sim_.reset(); }
  SimProcess& Sim() { return *sim_; }
  const ConnectionSettings& Settings() const { return settings_; }

 private:
  bool pty_;
  test::ScratchDir dir_;
  std::optional<SimProcess> sim_;
  ConnectionSettings settings_{0, false, "", 0, 0, ""};
};

// Steps until `done` holds for a step, at most `limit`; every step is kept.
std::vector<WatchStep> StepUntil(StatusWatch& watch, const std::function<bool(const WatchStep&)>& done,
                                 std::chrono::milliseconds limit) {
  std::vector<WatchStep> steps;
  const auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    steps.push_back(watch.Step());
    if (done(steps.back())) break;
    // Reopen attempts keep to their pace; polls run back to back to keep the test short.
    if (!steps.back().linkUp) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return steps;
}

std::size_t CountLines(const std::vector<WatchStep>& steps, std::string WatchStep::*line) {
  return static_cast<std::size_t>(std::count_if(
      steps.begin(), steps.end(), [&](const WatchStep& step) { return !(step.*line).empty(); }));
}

std::size_t OpenDescriptors() {
  const std::filesystem::directory_iterator fds("/proc/self/fd");
  return static_cast<std::size_t>(std::distance(fds, std::filesystem::directory_iterator()));
}

class StatusWatchHealing : public ::testing::TestWithParam<Transport> {};

TEST_P(StatusWatchHealing, LostOnceHealedOncePolledAgainFromTheMainPage) {
  WatchedLink link(GetParam());
  StatusWatch watch(link.Settings());
  ASSERT_TRUE(watch.Open().opened);
  const auto polled = StepUntil(watch, [](const WatchStep& s) { return s.cycle.mainPageCount == 3; },
                                std::chrono::seconds(10));
  ASSERT_EQ(watch.Counts().mainPages, 3u);
  EXPECT_EQ(watch.Counts().exchanges, polled.size());
  EXPECT_EQ(polled.back().nextStepIn, kPollInterval);
  ASSERT_TRUE(watch.Latest().main.has_value());

  link.Kill();
  const std::size_t descriptors = OpenDescriptors();
  auto lost = StepUntil(watch, [](const WatchStep& s) { return !s.lostLine.empty(); },
                        std::chrono::seconds(8));
  ASSERT_EQ(CountLines(lost, &WatchStep::lostLine), 1u);
  EXPECT_EQ(OpenDescriptors(), descriptors - 1) << "the lost link is closed at once";
  const std::string name = "Connection to " + ConnectionName(link.Settings());
  EXPECT_EQ(lost.back().lostLine.rfind(name + " lost (", 0), 0u) << lost.back().lostLine;
  EXPECT_FALSE(lost.back().linkUp);
  EXPECT_EQ(lost.back().nextStepIn, kHealInterval);
  EXPECT_FALSE(watch.LinkUp());

  // While the simulator is away: reopen attempts, no further lost line, no exchange counted.
  const std::uint64_t exchanges = watch.Counts().exchanges;
  const auto healing = StepUntil(watch, [](const WatchStep&) { return false; },
                                 std::chrono::milliseconds(600));
  EXPECT_EQ(CountLines(healing, &WatchStep::lostLine), 0u);
  EXPECT_EQ(watch.Counts().exchanges, exchanges);
  for (const WatchStep& step : healing) EXPECT_FALSE(step.update.has_value());

  link.Start();
  const auto restored = StepUntil(
      watch, [](const WatchStep& s) { return !s.restoredLine.empty(); }, std::chrono::seconds(8));
  ASSERT_EQ(CountLines(restored, &WatchStep::restoredLine), 1u);
  EXPECT_EQ(restored.back().restoredLine, name + " restored");
  EXPECT_TRUE(restored.back().linkUp);
  EXPECT_FALSE(restored.back().update.has_value()) << "the poll starts on the next step";

  const WatchStep first = watch.Step();
  ASSERT_TRUE(first.update.has_value());
  EXPECT_TRUE(first.update->main.has_value());
  ASSERT_FALSE(link.Sim().Frames().empty());
  EXPECT_EQ(link.Sim().Frames().front(), kMainRequest);

  const WatchCounts counts = watch.Counts();
  EXPECT_EQ(counts.timesLost, 1u);
  EXPECT_GE(counts.withoutLink, std::chrono::milliseconds(600));
  EXPECT_LE(counts.failedExchanges, 1u) << "only the exchange that found the link gone failed";
  watch.Close();
  EXPECT_FALSE(watch.Watching());
}

INSTANTIATE_TEST_SUITE_P(Transports, StatusWatchHealing,
                         ::testing::Values(Transport{"tcp", false}, Transport{"pty", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StatusWatch, ASuspendedWatchLendsItsLinkAndResumesAtTheMainPage) {
  SimProcess sim({"--static"});
  StatusWatch watch(sim.TcpSettings());
  ASSERT_TRUE(watch.Open().opened);
  watch.Step();
  watch.Step();
  Channel* borrowed = watch.Suspend();
  ASSERT_NE(borrowed, nullptr);
  EXPECT_TRUE(watch.Suspended());
  sim.ClearFrames();
  const WatchStep idle = watch.Step();
  EXPECT_FALSE(idle.update.has_value());
  EXPECT_TRUE(sim.Frames().empty()) << "no poll while the link is lent";

  // The borrower's own exchange: the Counters page.
  const std::uint8_t request[] = {0x60, 0x00, 0x0C, 0x6C};
  ASSERT_EQ(ChannelSend(borrowed, request, 4), 4);
  std::uint8_t reply[kCountersPageLength + 1] = {};
  EXPECT_EQ(ChannelReceive(borrowed, reply, sizeof reply), static_cast<int>(sizeof reply));
  watch.Resume();
  EXPECT_FALSE(watch.Suspended());
  const WatchStep step = watch.Step();
  ASSERT_TRUE(step.update.has_value());
  EXPECT_EQ(step.update->verdict.page, PollState::MainStatus);
  const auto frames = sim.Frames();
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[1], kMainRequest);
}

// A pass pause holds only the step that goes back to the Main page; the rest keep the poll pace.
TEST(StatusWatch, APassPauseWaitsOnlyBeforeTheMainPage) {
  SimProcess sim({"--static"});
  StatusWatch watch(sim.TcpSettings());
  watch.SetPassPause(std::chrono::seconds(1));
  ASSERT_TRUE(watch.Open().opened);
  std::vector<WatchStep> steps;
  while (watch.Counts().mainPages < 3) steps.push_back(watch.Step());
  const std::vector<std::string> frames = sim.Frames();
  ASSERT_EQ(frames.size(), steps.size());
  for (std::size_t i = 0; i + 1 < steps.size(); ++i) {
    const bool mainNext = frames[i + 1] == kMainRequest;
    EXPECT_EQ(steps[i].nextStepIn, mainNext ? std::chrono::milliseconds(1000) : kPollInterval)
        << "step " << i << " before " << frames[i + 1];
  }
}

// A reopen attempt of a lost link against a host that never answers ends at the short connect
// limit, so the window is held a quarter of a second, not the full connect time.
TEST(StatusWatch, AReopenAttemptEndsAtTheShortConnectLimit) {
  std::optional<SimProcess> sim(std::vector<std::string>{"--static"});
  StatusWatch watch(sim->TcpSettings());
  ASSERT_TRUE(watch.Open().opened);
  sim.reset();
  ASSERT_FALSE(StepUntil(watch, [](const WatchStep& s) { return !s.lostLine.empty(); },
                         std::chrono::seconds(8)).back().lostLine.empty());
  test::SynDroppingListener silent;
  ASSERT_TRUE(silent.ok());
  watch.SetConnection({0, true, "127.0.0.1", silent.port(), 0, {}});
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(watch.Step().linkUp);
  EXPECT_LT(test::ElapsedMs(start), 400);
}

TEST(StatusWatch, AFailedOpenSaysWhyAndStepsDoNothing) {
  ConnectionSettings settings{0, true, "127.0.0.1", 1, 0, ""};
  StatusWatch watch(settings);
  const WatchOpen open = watch.Open();
  EXPECT_FALSE(open.opened);
  EXPECT_NE(open.reason.find("refused by 127.0.0.1:1"), std::string::npos) << open.reason;
  EXPECT_FALSE(watch.Watching());
  const WatchStep step = watch.Step();
  EXPECT_FALSE(step.update.has_value());
  EXPECT_FALSE(step.linkUp);
}

}  // namespace
}  // namespace velta
