// The bridge's log: one line per event on stderr, where journald picks it up.
#pragma once

#include <string>

namespace velta::bridge {

// "name: what happened", written whole even when threads log at once.
void LogEvent(const std::string& who, const std::string& what);

}  // namespace velta::bridge
