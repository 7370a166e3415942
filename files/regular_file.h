// Reading the files a user picks: only regular files are taken, opened without blocking (a FIFO
// or a device chosen in a dialog must not freeze the window) and, where the caller says so, only
// up to a size that such a file can sensibly have.
#pragma once

#include <cstddef>
#include <optional>
#include <streambuf>
#include <string>

namespace velta {

// Settings, backup and TCP address files are small INI texts; anything larger is not one of them.
constexpr std::size_t kMaxIniFileSize = 1024 * 1024;

// An open regular file, closed when the object goes. When opening failed, Reason() says why in
// one English sentence.
class RegularFile {
 public:
  explicit RegularFile(const std::string& path);
  ~RegularFile();
  RegularFile(const RegularFile&) = delete;
  RegularFile& operator=(const RegularFile&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  int Fd() const { return fd_; }
  long long Size() const { return size_; }
  const std::string& Reason() const { return reason_; }

 private:
  int fd_ = -1;
  long long size_ = 0;
  std::string reason_;
};

// The whole file when it is a regular file of at most `maxSize` bytes; otherwise nothing and
// `reason` says why.
std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t maxSize,
                                           std::string& reason);

// True when `path` exists (symbolic links followed) and is not a regular file: a folder, a FIFO, a
// device. No file is opened, so a FIFO never blocks. `reason` then says what it is. Every writer
// refuses such a target: replacing it would turn /dev/null or a pipe into a plain file.
bool IsOddFile(const std::string& path, std::string& reason);

// A stream buffer reading an open file in blocks, for readers that go through a file line by line.
class FileReadBuffer : public std::streambuf {
 public:
  explicit FileReadBuffer(int fd) : fd_(fd) {}

 protected:
  int_type underflow() override;

 private:
  int fd_;
  char block_[64 * 1024];
};

// The system's English description of an error number, whatever the locale.
std::string ErrorText(int error);

}  // namespace velta
