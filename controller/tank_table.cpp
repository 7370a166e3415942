#include "controller/tank_table.h"

#include <cctype>
#include <limits>
#include <optional>
#include <string_view>

#include "files/atomic_write.h"
#include "files/regular_file.h"
#include "i18n/lookup.h"

namespace velta {
namespace {

// Longer than any name or entry line a person writes; keeps a file without line ends (or a
// device) from being read into memory whole.
constexpr std::streamsize kMaxLineLength = 64 * 1024;

struct FileLine {
  std::string text;  // without its line end; at most kMaxLineLength characters
  bool cut = false;  // the line was longer; the rest of it was skipped
};

// One line of the file; lines may end in LF or CR LF, the last may end in neither.
bool ReadLine(std::istream& in, FileLine& line) {
  line.text.resize(static_cast<std::size_t>(kMaxLineLength) + 1);
  in.getline(line.text.data(), kMaxLineLength + 1);
  const std::streamsize got = in.gcount();
  if (got == 0) return false;
  line.cut = in.fail() && !in.eof();
  if (line.cut) {
    in.clear();
    in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
  }
  // gcount counts the line feed getline took off, but a cut line had none.
  const bool fed = !line.cut && !in.eof();
  line.text.resize(static_cast<std::size_t>(got - (fed ? 1 : 0)));
  if (!line.cut && !line.text.empty() && line.text.back() == '\r') line.text.pop_back();
  return true;
}

// A decimal integer with optional leading blanks and sign, as scanf's %d takes it. Values beyond
// the int range saturate, so they fail the range checks instead of wrapping into them.
std::optional<std::int32_t> ParseInteger(std::string_view text, std::size_t& pos) {
  while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos]))) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
  const std::size_t digits = pos;
  std::int64_t value = 0;
  for (; pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos])); ++pos) {
    if (value <= INT32_MAX) value = value * 10 + (text[pos] - '0');
  }
  if (pos == digits) return std::nullopt;
  if (negative) value = -value;
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<std::int32_t>(value);
}

struct Pair {
  std::int32_t index;
  std::int32_t value;
};

// "index;value": nothing may stand between the index and the semicolon; whatever follows the value
// is ignored.
std::optional<Pair> ParsePair(std::string_view line) {
  std::size_t pos = 0;
  const auto index = ParseInteger(line, pos);
  if (!index || pos >= line.size() || line[pos] != ';') return std::nullopt;
  ++pos;
  const auto value = ParseInteger(line, pos);
  if (!value) return std::nullopt;
  return Pair{*index, *value};
}

// What the failing line holds, for the line after the message, which has named its number.
std::string FileLineReason(const FileLine& line) {
  constexpr std::size_t kShown = 60;
  std::string shown = line.text.substr(0, kShown);
  for (char& c : shown) {
    if (std::iscntrl(static_cast<unsigned char>(c))) c = '?';
  }
  if (line.cut || line.text.size() > kShown) shown += "...";
  return "The line reads \"" + shown + "\".";
}

}  // namespace

int ReadTankTable(std::istream& in, const std::string& path, TankTable& table, std::string& name,
                  std::string& message, Feedback& log) {
  FileLine line;
  // Messages name the line as the user's editor counts it: entry 1 stands on line 2, below the
  // name line, so one number points at the line, not two.
  const auto fail = [&](int result, const std::string& format, int entry) {
    message = Format(format, path.c_str(), entry + 1) + "\n" + FileLineReason(line);
    return result;
  };
  const auto tooFew = [&](int lines) {
    message = Format(_("Datei %s enthält zu wenige Werte."), path.c_str()) + "\n" +
              (lines == 0 ? std::string("The file is empty.")
                          : "The file ends after line " + std::to_string(lines) + ".");
    return kTankFileTooFewValues;
  };
  if (!ReadLine(in, line)) return tooFew(0);
  name = line.text;
  log.ClearLog();
  for (int i = 0; i < kTankEntries; ++i) {
    const int entry = i + 1;
    if (!ReadLine(in, line)) return tooFew(entry);
    // A line too long for any entry is judged as one that holds no pair.
    const auto pair = line.cut ? std::nullopt : ParsePair(line.text);
    if (!pair)
      return fail(kTankFileNoPair, _("Datei %s enthält in Zeile %d kein Wertepaar."), entry);
    if (pair->index != i) {
      return fail(kTankFileWrongEntry, _("Datei %s enthält in Zeile %d einen falschen Index."),
                  entry);
    }
    if (pair->value < 0 || pair->value > 100) {
      return fail(kTankFileWrongEntry, _("Datei %s enthält in Zeile %d einen falschen Wert."),
                  entry);
    }
    if (i > 0 && pair->value < table[static_cast<std::size_t>(i - 1)]) {
      return fail(kTankFileDescending, _("Datei %s enthält in Zeile %d absteigende Werte."), entry);
    }
    table[static_cast<std::size_t>(i)] = pair->value;
    log.Log(Format("%d;%d", i, pair->value));
  }
  message.clear();
  return kTankFileOk;
}

int ReadTankTableFile(const std::string& path, TankTable& table, std::string& name,
                      std::string& message, Feedback& log) {
  const RegularFile file(path);
  if (!file.IsOpen()) {
    message = Format(_("Datei %s kann nicht geöffnet werden."), path.c_str());
    message += "\n" + file.Reason();
    return kTankFileCannotOpen;
  }
  FileReadBuffer buffer(file.Fd());
  std::istream in(&buffer);
  return ReadTankTable(in, path, table, name, message, log);
}

std::string TankTableText(const std::string& name, const TankTable& table) {
  std::string text = name + "\r\n";
  for (int i = 0; i < kTankEntries; ++i) {
    text += Format("%d;%d\r\n", i, table[static_cast<std::size_t>(i)]);
  }
  return text;
}

bool WriteTankTableFile(const std::string& path, const std::string& name, const TankTable& table,
                        std::string& reason) {
  return WriteFileAtomically(path, TankTableText(name, table), reason);
}

}  // namespace velta
