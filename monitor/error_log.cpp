#include "monitor/error_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace velta {
namespace {

std::string LocalTimeText(std::time_t when, const char* format) {
  std::tm local{};
  localtime_r(&when, &local);
  char text[32];
  const std::size_t size = std::strftime(text, sizeof text, format, &local);
  return std::string(text, size);
}

}  // namespace

bool ErrorFile::AppendLine(const std::string& line) {
  const int fd = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  // One write of the whole line: with O_APPEND it lands after the file's content in one piece,
  // so the file never holds half a line beside another writer.
  const std::string text = line + "\n";
  ssize_t written;
  do {
    written = ::write(fd, text.data(), text.size());
  } while (written < 0 && errno == EINTR);
  const bool closed = ::close(fd) == 0;
  return closed && written == static_cast<ssize_t>(text.size());
}

std::string ShortDate(std::time_t when) { return LocalTimeText(when, "%d.%m.%Y"); }
std::string LongTime(std::time_t when) { return LocalTimeText(when, "%H:%M:%S"); }

std::string ErrorLog::Add(const std::string& message, std::time_t when, ErrorLineSink* file) {
  const std::string line = "#" + std::to_string(next_) + "/ " + ShortDate(when) + "/ " +
                           LongTime(when) + "/ " + message;
  ++next_;
  if (file != nullptr) file->AppendLine(line);
  return line;
}

}  // namespace velta
