// Where the program keeps files of its own on this machine, and the local time they are named and
// stamped with.
#pragma once

#include <ctime>
#include <filesystem>
#include <string>

namespace velta {

// The program's folder below an XDG base directory: $<variable>/velta-control when the variable
// holds an absolute path, else ~/<belowHome>/velta-control; empty without either.
std::filesystem::path ProgramFolder(const char* variable, const char* belowHome);

// `when` in local time, formatted by strftime's `format` (at most 63 characters of text).
std::string LocalTimeText(std::time_t when, const char* format);

}  // namespace velta
