// The custom tank-shape table: 101 level percentages (index 0..100) that the controller uses for
// the tank shape "Eigene Tankform", and its text file (a name line, then "index;value" lines).
#pragma once

#include <array>
#include <cstdint>
#include <istream>
#include <string>

#include "controller/feedback.h"
#include "controller/memory_map.h"

namespace velta {

using TankTable = std::array<std::int32_t, kTankEntries>;

// Results of the table file reader.
enum TankFileResult : int {
  kTankFileOk = 0,
  kTankFileCannotOpen = -1,
  kTankFileTooFewValues = -2,
  kTankFileNoPair = -3,
  kTankFileWrongEntry = -4,  // wrong index or a value outside 0..100
  kTankFileDescending = -5,
};

// Reads a table file. `path` is only used in the message. A line longer than 64 KiB is cut: a name
// keeps its beginning, an entry line counts as one without a pair. Once the name line has been read the
// log is emptied, and every accepted entry is logged as "index;value". Entries before a failing
// line are already replaced; the rest keep their values. On failure `message` holds the
// translated, filled-in reason with the file's own line number (the name line is line 1) and a
// second line, in English, with that line's text ("The line reads "5;101".") or where the file
// ended.
int ReadTankTable(std::istream& in, const std::string& path, TankTable& table, std::string& name,
                  std::string& message, Feedback& log);
// Only a regular file is read; when the file cannot be opened the message gets a second line, in
// English, saying why.
int ReadTankTableFile(const std::string& path, TankTable& table, std::string& name,
                      std::string& message, Feedback& log);

// The file text: the name line, then 101 lines "index;value", each ending in CR LF.
std::string TankTableText(const std::string& name, const TankTable& table);
// Writes the file through a temporary file beside it that replaces the target only when complete.
// False when the file could not be written; the target is then untouched and `reason` says why.
bool WriteTankTableFile(const std::string& path, const std::string& name, const TankTable& table,
                        std::string& reason);

}  // namespace velta
