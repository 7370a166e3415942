#include "controller/history.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <iterator>
#include <regex>

#include "files/atomic_write.h"
#include "controller/counters.h"
#include "controller/setting_fields.h"
#include "files/user_folders.h"
#include "i18n/lookup.h"

namespace velta {
namespace fs = std::filesystem;
namespace {

// <HH>-<MM>-<SS>.<mmm>-<what>[-V<version>].<ext>
const std::regex& FileNamePattern() {
  static const std::regex pattern(
      R"(^(\d\d)-(\d\d)-(\d\d)\.(\d\d\d)-([a-z]+(?:-[a-z]+)*)(?:-V(\d+)\.(\d)(\d))?\.(ini|bak|csv|txt)$)");
  return pattern;
}

std::optional<HistoryEntry> ParseEntry(const fs::path& path) {
  const std::string name = path.filename().string();
  std::smatch m;
  if (!std::regex_match(name, m, FileNamePattern())) return std::nullopt;
  HistoryEntry entry;
  entry.path = path;
  entry.date = path.parent_path().filename().string();
  entry.time = m[1].str() + ":" + m[2].str() + ":" + m[3].str();
  entry.what = m[5].str();
  if (m[6].matched) {
    entry.version = static_cast<std::uint16_t>(std::stoi(m[6].str()) * 100 +
                                               std::stoi(m[7].str()) * 10 + std::stoi(m[8].str()));
  }
  entry.extension = m[9].str();
  return entry;
}

bool IsDateFolder(const fs::path& path) {
  static const std::regex date(R"(^\d{4}-\d\d-\d\d$)");
  return std::regex_match(path.filename().string(), date);
}

// The entry's own type: a symbolic link is a link, never what it points to.
fs::file_type OwnType(const fs::directory_entry& entry) {
  std::error_code error;
  return entry.symlink_status(error).type();
}

// Every kept file, oldest first: by date folder, then by name, which starts with the time. A link
// is never entered nor listed, so pruning cannot reach a file outside the history.
std::vector<HistoryEntry> OldestFirst(const fs::path& root) {
  std::vector<HistoryEntry> entries;
  std::error_code error;
  for (const auto& day : fs::directory_iterator(root, error)) {
    if (OwnType(day) != fs::file_type::directory || !IsDateFolder(day.path())) continue;
    for (const auto& file : fs::directory_iterator(day.path(), error)) {
      if (OwnType(file) != fs::file_type::regular) continue;
      if (auto entry = ParseEntry(file.path())) entries.push_back(std::move(*entry));
    }
  }
  std::sort(entries.begin(), entries.end(),
            [](const HistoryEntry& a, const HistoryEntry& b) { return a.path < b.path; });
  return entries;
}

}  // namespace

std::string VersionText(std::uint16_t version) {
  return "V" + std::to_string(version / 100) + "." + std::to_string((version / 10) % 10) +
         std::to_string(version % 10);
}

std::vector<std::string> CounterLines(const ControllerImage& image) {
  std::vector<std::string> lines;
  for (int item = 0; item < static_cast<int>(std::size(kCounterItems)); ++item) {
    lines.push_back(ListItemText(kCounterItems, item) + ": " +
                    CounterText(image, static_cast<Counter>(item)));
  }
  return lines;
}

History::History(fs::path root, HistoryLimits limits) : root_(std::move(root)), limits_(limits) {}

fs::path History::Root() const {
  if (!root_.empty()) return root_;
  const fs::path folder = ProgramFolder("XDG_DATA_HOME", ".local/share");
  return folder.empty() ? folder : folder / "history";
}

bool History::KeepImage(const std::string& what, const ControllerImage& image, ImageFileKind kind,
                        Feedback& feedback) {
  const char* extension = kind == ImageFileKind::Backup ? "bak" : "ini";
  return Keep(what, extension, feedback,
       [&](const fs::path& path, std::string& reason) {
         return SaveImageFile(path.string(), image, kind, reason);
       });
}

bool History::KeepLines(const std::string& what, const std::vector<std::string>& lines,
                        Feedback& feedback) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return Keep(what, "txt", feedback,
       [&](const fs::path& path, std::string& reason) {
         return WriteFileAtomically(path.string(), text, reason);
       });
}

bool History::KeepTankTable(const std::string& what, const std::string& name,
                            const TankTable& table, Feedback& feedback) {
  return Keep(what, "csv", feedback,
       [&](const fs::path& path, std::string& reason) {
         return WriteTankTableFile(path.string(), name, table, reason);
       });
}

template <typename Write>
bool History::Keep(const std::string& what, const char* extension, Feedback& feedback,
                   Write write) {
  std::string reason;
  const std::optional<fs::path> path = NewFilePath(what, extension, reason);
  if (!path || !write(*path, reason)) {
    const fs::path shown = path ? *path : Root();
    const std::string because = reason.empty() ? "" : " (" + reason + ")";
    lastFailure_ = V_("could not write ") + (shown.empty() ? what : shown.string()) + because;
    feedback.Log(V_("History: ") + lastFailure_);
    return false;
  }
  Trim();
  return true;
}

std::optional<fs::path> History::NewFilePath(const std::string& what, const char* extension,
                                             std::string& reason) {
  const fs::path root = Root();
  if (root.empty()) return std::nullopt;
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const std::string date = LocalTimeText(seconds, "%Y-%m-%d");
  const std::string clock = LocalTimeText(seconds, "%H-%M-%S");
  const fs::path day = root / date;
  std::error_code error;
  fs::create_directories(day, error);
  if (error) {
    reason = error.message();
    return std::nullopt;
  }
  // A day that is a link to elsewhere would hold files the history neither lists nor prunes.
  if (fs::is_symlink(day, error)) {
    reason = Format(V_("today's folder %s is a link"), day.c_str());
    return std::nullopt;
  }
  const std::string version = version_ != 0 ? "-" + VersionText(version_) : "";
  // Two files in the same millisecond: the later one takes the next free millisecond, so the
  // names still sort in the order the files were written.
  int millisecond = static_cast<int>(
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
  for (; millisecond < 1000; ++millisecond) {
    char time[16];
    std::snprintf(time, sizeof time, "%s.%03d", clock.c_str(), millisecond);
    const std::string stamp = date + "/" + time;
    const bool sameSecond =
        stamp.compare(0, stamp.size() - 3, lastStamp_, 0, stamp.size() - 3) == 0;
    const fs::path path = day / (std::string(time) + "-" + what + version + "." + extension);
    if ((!sameSecond || stamp > lastStamp_) && !fs::exists(path, error)) {
      lastStamp_ = stamp;
      return path;
    }
  }
  return std::nullopt;
}

void History::Trim() const {
  std::vector<HistoryEntry> entries = OldestFirst(Root());
  std::uintmax_t bytes = 0;
  std::error_code error;
  for (const HistoryEntry& entry : entries) {
    const std::uintmax_t size = fs::file_size(entry.path, error);
    if (!error) bytes += size;
  }
  std::size_t count = entries.size();
  for (const HistoryEntry& entry : entries) {
    if (count <= limits_.files && bytes <= limits_.bytes) break;
    const std::uintmax_t size = fs::file_size(entry.path, error);
    if (!fs::remove(entry.path, error)) continue;
    --count;
    if (size != static_cast<std::uintmax_t>(-1)) bytes -= std::min(bytes, size);
    // A day whose last file went is removed with it.
    fs::remove(entry.path.parent_path(), error);
  }
}

std::vector<HistoryEntry> History::Entries() const {
  std::vector<HistoryEntry> entries = OldestFirst(Root());
  std::reverse(entries.begin(), entries.end());
  return entries;
}

}  // namespace velta
