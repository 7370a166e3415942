// Where a command takes a controller image from: a settings (.ini) or backup (.bak) file, a block
// the history kept ("history:1" the newest), or the word "controller" for a fresh read.
#pragma once

#include <optional>
#include <string>

#include "cli/cli_context.h"
#include "controller/image.h"
#include "controller/settings_file.h"

namespace velta::cli {

inline constexpr const char* kControllerSource = "controller";
inline constexpr const char* kHistoryPrefix = "history:";

// The file of the history's n-th newest settings or backup block ("history:n"); nothing when
// there is none.
std::optional<std::string> HistoryFile(const std::string& source);

// .bak is a backup file; anything else a settings file.
ImageFileKind FileKindOf(const std::string& path);

// Loads `path` as the windows' load does (the version warning included). Nothing, with the
// message on stderr, for a file that cannot be read or holds no image of its kind.
std::optional<ControllerImage> LoadImage(const std::string& path, ImageFileKind kind);

// The line of `path` that holds the value of `address`; nothing when the file has none.
std::optional<int> ImageFileLine(const std::string& path, ImageFileKind kind, int address);

// Reads the Parameter block (settings) or the whole Backup image from the controller, kept in
// the history as the windows keep it. On failure says why on stderr, and `failure` gets the exit
// code.
std::optional<ControllerImage> ReadImage(CliContext& context, ImageFileKind kind, int& failure);

// A file, a history entry or the controller, as the source names it. `failure` gets the exit code when nothing
// came.
std::optional<ControllerImage> ImageFrom(CliContext& context, const std::string& source,
                                         int& failure);

}  // namespace velta::cli
