// The history: every block read from the controller, and the controller's block just before a
// write, kept as a file in the program's own formats (settings and backup INI, tank table CSV,
// plain text for counters and error memory) under
//   $XDG_DATA_HOME/velta-control/history/<date>/<time>-<what>-V<version>.<ext>
// The newest files are kept within a bound, the oldest removed first. Keeping a file never stops
// or delays an operation by itself: a file that cannot be written costs one log line, and the
// writes that need their before-write copy ask whether it was kept.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "controller/feedback.h"
#include "controller/image.h"
#include "controller/settings_file.h"
#include "controller/tank_table.h"

namespace velta {

struct HistoryLimits {
  std::size_t files = 1000;
  std::uintmax_t bytes = 50u * 1024u * 1024u;
};

struct HistoryEntry {
  std::filesystem::path path;
  std::string date;           // "2024-05-17"
  std::string time;           // "14:03:27"
  std::string what;           // "settings-before-write"
  std::uint16_t version = 0;  // 0 when the controller did not report one
  std::string extension;      // "ini", "bak", "csv" or "txt"
};

// "V1.60" for 160.
std::string VersionText(std::uint16_t version);

// The four counters, one "label: value" line each, as the history keeps them.
std::vector<std::string> CounterLines(const ControllerImage& image);

class History {
 public:
  // `root` empty: $XDG_DATA_HOME/velta-control/history (~/.local/share when XDG_DATA_HOME is not
  // set), looked up at every use.
  explicit History(std::filesystem::path root = {}, HistoryLimits limits = {});

  // The controller version the last read reported (0: none); files are named with it. Blocks that
  // come without a version query (the tank table) carry the one reported before.
  void NoteVersion(std::uint16_t version) { version_ = version; }

  // Each returns whether the file was kept; LastFailure() says why not.
  bool KeepImage(const std::string& what, const ControllerImage& image, ImageFileKind kind,
                 Feedback& feedback);
  bool KeepLines(const std::string& what, const std::vector<std::string>& lines,
                 Feedback& feedback);
  bool KeepTankTable(const std::string& what, const std::string& name, const TankTable& table,
                     Feedback& feedback);
  // "could not write <path> (<reason>)" for the last file not kept.
  const std::string& LastFailure() const { return lastFailure_; }

  // The files kept, newest first.
  std::vector<HistoryEntry> Entries() const;
  std::filesystem::path Root() const;

 private:
  // Writes one file through `write` (false on failure) and trims the history.
  template <typename Write>
  bool Keep(const std::string& what, const char* extension, Feedback& feedback, Write write);
  std::optional<std::filesystem::path> NewFilePath(const std::string& what, const char* extension,
                                                   std::string& reason);
  void Trim() const;

  std::filesystem::path root_;
  HistoryLimits limits_;
  std::uint16_t version_ = 0;
  // "<date>/<time>" of the newest file this object named.
  std::string lastStamp_;
  std::string lastFailure_;
};

}  // namespace velta
