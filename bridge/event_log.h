// The bridge's log: one line per event on stderr, where journald picks it up.
#pragma once

#include <string>

namespace velta::bridge {

// "name: what happened", written whole even when threads log at once.
void LogEvent(const std::string& who, const std::string& what);

// "; too many open files (the limit is N)" while the process has no descriptor left, else empty:
// said beside a failure that would otherwise only read "could not be opened".
std::string OpenFilesNote();

}  // namespace velta::bridge
