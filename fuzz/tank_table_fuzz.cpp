// The tank table reader on arbitrary file contents: it must never crash, read out of bounds or
// hand back a table that breaks the rules of a loaded table.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "controller/tank_table.h"

namespace {

class NoLog : public velta::Feedback {
 public:
  void Log(const std::string&) override { ++lines; }
  void Beep() override {}
  int lines = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  velta::TankTable table{};
  std::string name, message;
  NoLog log;
  const int result = velta::ReadTankTable(in, "fuzz.csv", table, name, message, log);
  if (result < velta::kTankFileDescending || result > velta::kTankFileOk) std::abort();
  if ((result == velta::kTankFileOk) != message.empty()) std::abort();
  // Every logged line is an accepted entry; accepted entries are 0..100 and never descend.
  if (log.lines > velta::kTankEntries) std::abort();
  for (int i = 0; i < log.lines; ++i) {
    const int value = table[static_cast<std::size_t>(i)];
    if (value < 0 || value > 100) std::abort();
    if (i > 0 && value < table[static_cast<std::size_t>(i - 1)]) std::abort();
  }
  if (result != velta::kTankFileOk) return 0;
  if (log.lines != velta::kTankEntries) std::abort();
  // What was loaded saves to a file that loads back unchanged.
  std::istringstream saved(velta::TankTableText(name, table));
  velta::TankTable again{};
  std::string nameAgain, messageAgain;
  if (velta::ReadTankTable(saved, "again.csv", again, nameAgain, messageAgain, log) != 0 ||
      again != table || nameAgain != name) {
    std::abort();
  }
  return 0;
}
