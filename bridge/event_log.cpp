#include "bridge/event_log.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace velta::bridge {

void LogEvent(const std::string& who, const std::string& what) {
  // stdio locks the stream for the whole call, so lines from different threads do not mix.
  std::fprintf(stderr, "%s: %s\n", who.c_str(), what.c_str());
}

std::string OpenFilesNote() {
  const int probe = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
  if (probe >= 0) {
    close(probe);
    return {};
  }
  if (errno != EMFILE) return {};
  rlimit limit{};
  getrlimit(RLIMIT_NOFILE, &limit);
  return "; too many open files (the limit is " + std::to_string(limit.rlim_cur) + ")";
}

}  // namespace velta::bridge
