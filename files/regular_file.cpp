#include "files/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace velta {
namespace {

std::string NotRegularReason(mode_t mode) {
  if (S_ISDIR(mode)) return "It is a folder, not a file.";
  if (S_ISFIFO(mode)) return "It is a pipe (FIFO), not a regular file.";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "It is a device, not a regular file.";
  return "It is not a regular file.";
}

std::string TooLargeReason(long long size, std::size_t maxSize) {
  return "It is too large (" + std::to_string(size) + " bytes, at most " +
         std::to_string(maxSize) + " are read).";
}

}  // namespace

std::string ErrorText(int error) {
  const char* text = ::strerrordesc_np(error);
  return text != nullptr ? std::string(text) + "." : "Error " + std::to_string(error) + ".";
}

bool IsOddFile(const std::string& path, std::string& reason) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode)) return false;
  reason = NotRegularReason(info.st_mode);
  return true;
}

RegularFile::RegularFile(const std::string& path) {
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    reason_ = ErrorText(errno);
    return;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    reason_ = ErrorText(errno);
    ::close(fd);
    return;
  }
  if (!S_ISREG(info.st_mode)) {
    reason_ = NotRegularReason(info.st_mode);
    ::close(fd);
    return;
  }
  fd_ = fd;
  size_ = info.st_size;
}

RegularFile::~RegularFile() {
  if (fd_ >= 0) ::close(fd_);
}

std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t maxSize,
                                           std::string& reason) {
  const RegularFile file(path);
  if (!file.IsOpen()) {
    reason = file.Reason();
    return std::nullopt;
  }
  if (static_cast<unsigned long long>(file.Size()) > maxSize) {
    reason = TooLargeReason(file.Size(), maxSize);
    return std::nullopt;
  }
  // The file may grow while it is read: one byte more than allowed tells that it did.
  std::string text(static_cast<std::size_t>(file.Size()) + 1, '\0');
  std::size_t done = 0;
  for (;;) {
    if (done == text.size()) {
      if (text.size() > maxSize) {
        reason = TooLargeReason(static_cast<long long>(done), maxSize);
        return std::nullopt;
      }
      text.resize(std::min(maxSize + 1, text.size() * 2));
    }
    const ssize_t n = ::read(file.Fd(), text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      reason = ErrorText(errno);
      return std::nullopt;
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  text.resize(done);
  return text;
}

FileReadBuffer::int_type FileReadBuffer::underflow() {
  ssize_t n;
  do {
    n = ::read(fd_, block_, sizeof block_);
  } while (n < 0 && errno == EINTR);
  if (n <= 0) return traits_type::eof();
  setg(block_, block_, block_ + n);
  return traits_type::to_int_type(block_[0]);
}

}  // namespace velta
