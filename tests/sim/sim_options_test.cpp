// The simulator's command line and settings, checked without starting it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "sim/device.h"
#include "sim/options.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace velta::sim {
namespace {

TEST(SimOptions, TransportsAndShorthandsAreParsed) {
  const auto parsed = ParseOptions({"--tcp", "0.0.0.0:0", "--control", "0", "--pty-link",
                                    "/tmp/ttyVEL", "--baud", "9600", "--adapter-latency", "16",
                                    "--write-enable",
                                    "--version", "1.601.59", "--set", "level=42", "--static"});
  ASSERT_EQ(parsed.error, "");
  const SimOptions& o = parsed.options;
  EXPECT_EQ(o.tcpHost, "0.0.0.0");
  EXPECT_EQ(o.tcpPort, 0);
  EXPECT_TRUE(o.control);
  EXPECT_TRUE(o.pty);
  EXPECT_EQ(o.ptyLink, "/tmp/ttyVEL");
  EXPECT_EQ(o.baud, 9600);
  EXPECT_EQ(o.adapterLatencyMs, 16);
  using Setting = std::pair<std::string, std::string>;
  EXPECT_EQ(o.settings, (std::vector<Setting>{{"writeenable", "always"},
                                              {"version", "1.601.59"},
                                              {"level", "42"},
                                              {"live", "0"}}));
}

TEST(SimOptions, BadCommandLinesAreRefusedWithAReason) {
  const std::vector<std::vector<std::string>> bad = {
      {"--tcp", "10001"},         {"--tcp", "host:70000"}, {"--tcp"},
      {"--control", "x"},         {"--baud", "0"},         {"--baud", "50"},
      {"--set", "level"},         {"--adapter-latency", "256"}, {"--adapter-latency", "-1"},
      {"--adapter-latency", "1.5"},
      {"--set", "=3"},            {"--frobnicate"},        {"--scenario", "/nonexistent/file"},
  };
  for (const auto& args : bad) {
    EXPECT_NE(ParseOptions(args).error, "") << args[0];
  }
  EXPECT_TRUE(ParseOptions({"--help"}).help);
}

TEST(SimOptions, ScenarioErrorsNameTheLine) {
  const test::ScratchDir dir;
  const std::string path = (dir / "bad-scenario").string();
  test::WriteFile(path, "# fine\nlevel=3\nnonsense\n");
  std::vector<std::pair<std::string, std::string>> settings;
  EXPECT_EQ(ReadScenario(path, settings), path + ":3: expected key=value");
}

TEST(SimSettings, OutOfRangeOrUnknownValuesChangeNothing) {
  Device device;
  const auto before = device.Settings();
  const std::vector<std::pair<std::string, std::string>> bad = {
      {"level", "256"},     {"level", "-1"},       {"hours", "65536"},   {"error", "0x100"},
      {"watermeter", "2"},  {"version", "1.60"},   {"ack", "x"},         {"display", "7E06"},
      {"mode", "sleep"},    {"writeenable", "9"},  {"fault", "explode"}, {"colour", "red"},
      {"starts", "4294967296"},
  };
  for (const auto& [key, value] : bad) {
    EXPECT_NE(device.Set(key, value), "") << key << "=" << value;
  }
  EXPECT_EQ(device.Settings(), before);
}

TEST(SimSettings, EverySettingReadsBackAsItWasSet) {
  Device device;
  for (const std::string setting : {"level=42", "hours=513", "starts=4294967295", "error=252",
                                    "version=1.601.59", "writeenable=always", "display=7E0601",
                                    "ack=255", "filter=0", "mode=boot"}) {
    const auto eq = setting.find('=');
    ASSERT_EQ(device.Set(setting.substr(0, eq), setting.substr(eq + 1)), "") << setting;
    const auto all = device.Settings();
    EXPECT_NE(std::find(all.begin(), all.end(), setting), all.end()) << setting;
  }
}

}  // namespace
}  // namespace velta::sim

namespace velta::sim {
namespace {

TEST(SimScenarios, ShippedScenarioFilesLoad) {
  const auto folder = std::filesystem::path(__FILE__).parent_path() / "../../sim/scenarios";
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    SCOPED_TRACE(entry.path().string());
    std::vector<std::pair<std::string, std::string>> settings;
    ASSERT_EQ(ReadScenario(entry.path().string(), settings), "");
    EXPECT_FALSE(settings.empty());
    Device device;
    for (const auto& [key, value] : settings) EXPECT_EQ(device.Set(key, value), "") << key;
    ++files;
  }
  EXPECT_GT(files, 0);
}

}  // namespace
}  // namespace velta::sim
