#include "files/ini_edit.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <optional>

#include "files/atomic_write.h"
#include "files/regular_file.h"
#include "i18n/lookup.h"

namespace velta {
namespace {

struct Line {
  std::string_view body;  // without the line end
  std::string_view end;   // "\r\n", "\n" or empty for a last line without one
};

// Line ends as the parser sees them: LF, CR LF or a lone CR.
std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  while (!text.empty()) {
    const std::size_t end = text.find_first_of("\r\n");
    if (end == std::string_view::npos) {
      lines.push_back({text, {}});
      break;
    }
    const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
    const std::size_t next = end + (crlf ? 2 : 1);
    lines.push_back({text.substr(0, end), text.substr(end, next - end)});
    text.remove_prefix(next);
  }
  return lines;
}

std::string_view Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

bool SameName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

// The name of a "[name]" line.
std::optional<std::string_view> SectionName(std::string_view body) {
  const std::string_view line = Trim(body);
  if (line.empty() || line.front() != '[') return std::nullopt;
  const std::size_t close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

// The key of a "key=value" line; comment lines have none.
std::optional<std::string_view> KeyName(std::string_view body) {
  const std::string_view line = Trim(body);
  const std::size_t equals = line.find('=');
  if (line.empty() || line.front() == ';' || equals == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(0, equals));
}

// The text's lines; the parser passes over a UTF-8 byte order mark in front of the first one.
std::vector<Line> TextLines(std::string_view text, bool& bom) {
  bom = text.starts_with("\xEF\xBB\xBF");
  if (bom) text.remove_prefix(3);
  return SplitLines(text);
}

}  // namespace

std::string SectionLines(std::string_view text, std::string_view section) {
  bool bom = false;
  std::string out = "[" + std::string(section) + "]\n";
  bool inside = false;
  for (const Line& line : TextLines(text, bom)) {
    const auto name = SectionName(line.body);
    if (name) {
      inside = SameName(*name, section);
    } else if (inside) {
      out.append(line.body).append("\n");
    }
  }
  return out;
}

std::optional<int> IniKeyLine(std::string_view text, std::string_view section,
                              std::string_view key) {
  bool bom = false;
  bool inside = false;
  int number = 0;
  for (const Line& line : TextLines(text, bom)) {
    ++number;
    if (const auto name = SectionName(line.body)) {
      inside = SameName(*name, section);
    } else if (const auto name = KeyName(line.body); inside && name && SameName(*name, key)) {
      return number;
    }
  }
  return std::nullopt;
}

std::string SetIniValues(std::string_view text, std::string_view section, const IniValues& values) {
  bool bom = false;
  const std::vector<Line> lines = TextLines(text, bom);
  const std::string newline =
      !lines.empty() && !lines.front().end.empty() ? std::string(lines.front().end) : "\n";
  std::vector<std::string> replaced(lines.size());  // new text of a line, empty when unchanged
  std::vector<bool> found(values.size(), false);

  std::size_t header = lines.size();
  for (std::size_t i = 0; i < lines.size() && header == lines.size(); ++i) {
    const auto name = SectionName(lines[i].body);
    if (name && SameName(*name, section)) header = i;
  }
  std::size_t insertAfter = header;  // the section's last non-blank line
  for (std::size_t i = header + 1; i < lines.size() && !SectionName(lines[i].body); ++i) {
    if (!Trim(lines[i].body).empty()) insertAfter = i;
    const auto key = KeyName(lines[i].body);
    if (!key) continue;
    for (std::size_t v = 0; v < values.size(); ++v) {
      if (found[v] || !SameName(*key, values[v].first)) continue;
      found[v] = true;
      replaced[i] = values[v].first + "=" + values[v].second;
      break;
    }
  }

  std::string added;
  for (std::size_t v = 0; v < values.size(); ++v) {
    if (!found[v]) added += values[v].first + "=" + values[v].second + newline;
  }
  if (header == lines.size()) {
    added = "[" + std::string(section) + "]" + newline + added;
    insertAfter = lines.empty() ? lines.size() : lines.size() - 1;
  }

  std::string out = bom ? "\xEF\xBB\xBF" : "";
  out.reserve(text.size() + added.size());
  if (lines.empty()) out += added;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    out += replaced[i].empty() ? std::string(lines[i].body) : replaced[i];
    const bool addHere = i == insertAfter && !added.empty();
    out += lines[i].end.empty() && addHere ? std::string_view(newline) : lines[i].end;
    if (addHere) out += added;
  }
  return out;
}

bool SaveIniValues(const std::string& path, std::string_view section, const IniValues& values,
                   std::string& reason) {
  std::string existing;
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0 || errno != ENOENT) {
    auto text = ReadRegularFile(path, kMaxIniFileSize, reason);
    if (!text) {
      reason = V_("The existing file cannot be read: ") + reason;
      return false;
    }
    existing = std::move(*text);
  }
  return WriteFileAtomically(path, SetIniValues(existing, section, values), reason);
}

}  // namespace velta
