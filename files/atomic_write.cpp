#include "files/atomic_write.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <memory>
#include <tuple>
#include <vector>

#include "files/regular_file.h"

namespace velta {
namespace {

bool WriteAll(int fd, const std::string& content) {
  std::size_t done = 0;
  while (done < content.size()) {
    const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n == 0) errno = ENOSPC;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// The file a save really goes to: a symbolic link is followed, so the link stays a link.
std::string SaveTarget(const std::string& path) {
  struct stat link {};
  if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return path;
  std::unique_ptr<char, decltype(&::free)> resolved(::realpath(path.c_str(), nullptr), &::free);
  return resolved ? std::string(resolved.get()) : path;
}

// mkstemp creates the file readable by its owner only; a saved document should get the usual
// permissions (those of an existing target, else 0666 less the umask).
bool TakeTargetPermissions(int fd, const std::string& path) {
  struct stat existing {};
  const mode_t mode =
      ::stat(path.c_str(), &existing) == 0 ? existing.st_mode & 07777 : 0666 & ~CurrentUmask();
  return ::fchmod(fd, mode) == 0;
}

// Overwrites the file itself, for a folder that lets no new file be made beside it.
bool OverwriteInPlace(const std::string& path, const std::string& content, std::string& reason) {
  // O_NONBLOCK: a FIFO put there since the check must not hold the save.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) {
    reason = "The folder does not allow a new file and the file itself cannot be written: " +
             ErrorText(errno);
    return false;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    reason = "The folder does not allow a new file and the target is not a regular file.";
    return false;
  }
  const bool written = WriteAll(fd, content) &&
                       ::ftruncate(fd, static_cast<off_t>(content.size())) == 0 &&
                       ::fsync(fd) == 0;
  const int error = errno;
  const bool closed = ::close(fd) == 0;
  if (written && closed) return true;
  reason = "Writing the file in place failed, its old content is lost: " +
           ErrorText(written ? errno : error);
  return false;
}

}  // namespace

bool AppendWhole(int fd, const std::string& text, std::string& reason) {
  struct stat before {};
  if (::fstat(fd, &before) != 0) {
    reason = ErrorText(errno);
    return false;
  }
  if (WriteAll(fd, text)) return true;
  const int error = errno;
  // The size before: with O_APPEND the text went to the end, so this cuts off exactly its part.
  std::ignore = ::ftruncate(fd, before.st_size);
  reason = ErrorText(error);
  return false;
}

unsigned CurrentUmask() {
  // umask() can only be read by setting it, which other threads would see for a moment.
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("Umask:", 0) == 0) {
      return static_cast<unsigned>(std::strtoul(line.c_str() + 6, nullptr, 8));
    }
  }
  return 022;
}

bool WriteFileAtomically(const std::string& path, const std::string& content,
                         std::string& reason) {
  const std::string target = SaveTarget(path);
  if (IsOddFile(target, reason)) return false;
  std::string pattern = target + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) {
    const int error = errno;
    struct stat info {};
    if ((error == EACCES || error == EPERM) && ::stat(target.c_str(), &info) == 0) {
      return OverwriteInPlace(target, content, reason);
    }
    reason = ErrorText(error);
    return false;
  }
  bool done = TakeTargetPermissions(fd, target) && WriteAll(fd, content) && ::fsync(fd) == 0;
  int error = errno;
  if (::close(fd) != 0 && done) {
    done = false;
    error = errno;
  }
  if (done && std::rename(name.data(), target.c_str()) == 0) return true;
  if (done) error = errno;
  std::remove(name.data());
  reason = ErrorText(error);
  return false;
}

}  // namespace velta
