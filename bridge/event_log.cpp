#include "bridge/event_log.h"

#include <cstdio>

namespace velta::bridge {

void LogEvent(const std::string& who, const std::string& what) {
  // stdio locks the stream for the whole call, so lines from different threads do not mix.
  std::fprintf(stderr, "%s: %s\n", who.c_str(), what.c_str());
}

}  // namespace velta::bridge
