// COM numbers: the name parser, the fixed device mapping on Linux, overrides, and the search.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "link/port_search.h"
#include "tests/support/scratch_dir.h"

namespace velta {
namespace {

using Numbers = std::vector<std::int32_t>;

TEST(ComNumbersFromNames, ReadsNamesLikeTheSystemListsThem) {
  struct Row {
    std::vector<std::string> names;
    std::int32_t maximum;
    Numbers expected;
  };
  const Row rows[] = {
      {{"COM3", "com7", "COMPOSITE", "COM300"}, 50, {3, 7}},
      {{"COM1", "LPT1", "COM2", "COM3", "COM4"}, 2, {1, 2}},
      {{"COM9", "COM2", "COM9"}, 50, {9, 2, 9}},  // order and duplicates as listed
      {{"COM 12", "Com+5", "cOm12abc", "COM\t8"}, 50, {12, 5, 12, 8}},
      {{"COM-5", "COM0", "COM", "CO", "", "XCOM3", "COM256"}, 50, {}},
      {{"COM255", "COM1"}, 50, {255, 1}},
      {{"COM99999999999999999999", "COM-99999999999999999999", "COM4"}, 50, {4}},
      {{"COM1", "COM2"}, 0, {}},
      {{"COM1", "COM2"}, -3, {}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ComNumbersFromNames(row.names, row.maximum), row.expected)
        << "first name \"" << (row.names.empty() ? "" : row.names.front()) << "\"";
  }
}

// The documented mapping, at the edges of each range.
TEST(ComDevicePath, FixedMappingOnLinux) {
  const std::pair<std::uint32_t, const char*> rows[] = {
      {1, "/dev/ttyS0"},    {4, "/dev/ttyS3"},      {5, "/dev/ttyUSB0"}, {36, "/dev/ttyUSB31"},
      {37, "/dev/ttyACM0"}, {68, "/dev/ttyACM31"},  {69, "/dev/ttyS4"},  {255, "/dev/ttyS190"},
      {0, ""},              {256, ""},
  };
  for (const auto& [port, path] : rows) EXPECT_EQ(ComDevicePath(port), path) << "COM" << port;
}

class PortSearchTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (const std::uint32_t port : {150u, 160u, 170u, 171u}) SetComPortOverride(port, "");
    unsetenv("VELTA_COM170");
    unsetenv("VELTA_COM171");
  }
  std::string Device(const char* name) {
    const std::string path = (dir_ / name).string();
    std::FILE* f = std::fopen(path.c_str(), "w");
    if (f != nullptr) std::fclose(f);
    return path;
  }
  static Numbers Find(std::int32_t maximum) {
    Numbers numbers(std::max(maximum, 1), -1);
    numbers.resize(FindComPorts(maximum, numbers.data()));
    return numbers;
  }
  static bool Lists(const Numbers& numbers, std::int32_t port) {
    return std::find(numbers.begin(), numbers.end(), port) != numbers.end();
  }

  test::ScratchDir dir_;
};

TEST_F(PortSearchTest, OverriddenPortsAreListedAscendingWhileTheirDeviceExists) {
  SetComPortOverride(160, Device("adapter-b"));
  SetComPortOverride(150, Device("adapter-a"));
  SetComPortOverride(171, (dir_ / "unplugged").string());
  const Numbers all = Find(255);
  EXPECT_TRUE(Lists(all, 150));
  EXPECT_TRUE(Lists(all, 160));
  EXPECT_FALSE(Lists(all, 171));
  EXPECT_TRUE(std::is_sorted(all.begin(), all.end()));
  for (const std::int32_t n : all) {
    EXPECT_GE(n, 1);
    EXPECT_LE(n, 255);
  }

  // At most the maximum: the highest numbers are the ones left out.
  const Numbers fewer = Find(static_cast<std::int32_t>(all.size()) - 1);
  EXPECT_EQ(fewer, Numbers(all.begin(), all.end() - 1));
  EXPECT_EQ(FindComPorts(0, nullptr), 0);

  SetComPortOverride(160, "");
  EXPECT_FALSE(Lists(Find(255), 160));
}

TEST_F(PortSearchTest, EnvironmentOverrideAndWhichOneWins) {
  const std::string fromEnvironment = Device("by-id-link");
  const std::string fromProgram = Device("pty");
  setenv("VELTA_COM170", fromEnvironment.c_str(), 1);
  EXPECT_EQ(ComDevicePath(170), fromEnvironment);
  EXPECT_TRUE(Lists(Find(255), 170));

  SetComPortOverride(170, fromProgram);
  EXPECT_EQ(ComDevicePath(170), fromProgram);
  SetComPortOverride(170, "");
  EXPECT_EQ(ComDevicePath(170), fromEnvironment);

  // An empty variable is no override.
  setenv("VELTA_COM171", "", 1);
  EXPECT_EQ(ComDevicePath(171), "/dev/ttyS106");
}

}  // namespace
}  // namespace velta
