// What a write is compared with before the user agrees to it: the controller's bytes as last read
// (or written), and the file the window's block was loaded from. Reads, loads and writes keep it
// up to date; the question before a write lists the changes against it.
#pragma once

#include <bitset>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "controller/counters.h"
#include "controller/image.h"
#include "controller/tank_table.h"

namespace velta {

struct Baseline {
  std::string source;  // "the block last read from the controller", "the file /path/x.ini"
  ControllerImage image;
  std::bitset<kImageSize> known;  // the addresses `image` holds

  bool Covers(int first, int last) const;
};

class Baselines {
 public:
  Baselines();

  // Bytes from first on that the controller reported with a good checksum, or acknowledged.
  void ControllerRead(int first, std::span<const std::uint8_t> data);
  void ControllerWritten(int first, std::span<const std::uint8_t> data);
  // The window's block was read from the controller: a file loaded before no longer counts.
  void BlockRead() { file_.reset(); }
  // The window's block was loaded from `path`: addresses 0..addressCount-1 of `image`.
  void FileLoaded(const std::string& path, const ControllerImage& image, int addressCount);

  const Baseline& Controller() const { return controller_; }
  // Those that hold every address first..last: the loaded file first, then the controller's.
  std::vector<const Baseline*> Covering(int first, int last) const;

 private:
  void TakeController(int first, std::span<const std::uint8_t> data, const char* source);

  Baseline controller_;
  std::optional<Baseline> file_;
};

// The tank table window's counterpart: the file the window's table was loaded from and the table
// last read from (or sent to) the controller.
struct TankBaseline {
  std::string source;
  TankTable table;
};
struct TankBaselines {
  std::optional<TankBaseline> file;
  std::optional<TankBaseline> controller;
};

// The detailed text of the question before a write: for each baseline that holds the written
// addresses, "Against <source>:" and one line per change (or "no change"); without any, a line
// that says nothing has been read or loaded to compare with.
std::string SettingsWriteDetails(const Baselines& baselines, const ControllerImage& after);
std::string BackupWriteDetails(const Baselines& baselines, const ControllerImage& after);
std::string CounterWriteDetails(const Baselines& baselines, const ControllerImage& after,
                                Counter counter);
std::string TankWriteDetails(const TankBaselines& baselines, const TankTable& after);

}  // namespace velta
