// Changing keys of an INI text the way the Windows private-profile writer did: only the lines of
// the keys written change, every other line (comments, free text, other sections, a second key of
// the same name) stays byte for byte, and so do the file's line ends. Reading stays with the INI
// parser (ini_file.h), which cannot write a file back without reshaping it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velta {

using IniValues = std::vector<std::pair<std::string, std::string>>;

// The lines of every section named `section` (without regard to case) under one header line: all
// the parser needs to look at to read that section, however many others the text has.
std::string SectionLines(std::string_view text, std::string_view section);

// The line (counted from 1) the parser takes `key` of `section` from: its first line in any of
// the section's occurrences. Nothing when the key is not there.
std::optional<int> IniKeyLine(std::string_view text, std::string_view section,
                              std::string_view key);

// `text` with each key of `values` set in `section` (names matched without regard to case). A key
// already there is replaced where it stands (its first line in the section's first occurrence);
// missing keys follow the section's last entry in the given order; a missing section is appended
// at the end. New lines end like the text's first line (LF for a text without one).
std::string SetIniValues(std::string_view text, std::string_view section, const IniValues& values);

// Sets the values in the INI file at `path` (created if missing) and replaces it in one step.
// An existing file that cannot be read (not a regular file, too large) is left alone. False, with
// `reason` in one English sentence, when nothing was saved.
bool SaveIniValues(const std::string& path, std::string_view section, const IniValues& values,
                   std::string& reason);

}  // namespace velta
