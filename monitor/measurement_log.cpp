#include "monitor/measurement_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "controller/atomic_write.h"
#include "controller/regular_file.h"
#include "controller/user_folders.h"
#include "i18n/lookup.h"

namespace velta {
namespace {

// Fields with a separator or a quote are quoted, quotes doubled.
std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

}  // namespace

std::string MeasurementLogHeader() {
  std::string header = "time";
  for (const ReadingRow* row : CsvRows()) header += std::string(",") + row->csvColumn;
  return header;
}

std::string MeasurementRow(std::time_t when, const Readings& readings) {
  std::string row = CsvField(LocalTimeText(when, "%Y-%m-%dT%H:%M:%S"));
  for (const ReadingRow* column : CsvRows()) row += ',' + CsvField(PlainText(readings[column->id]));
  return row;
}

bool MeasurementLog::Open(const std::string& path) {
  Close();
  if (IsOddFile(path, reason_)) return false;
  // O_NONBLOCK: a FIFO put there since the check must not hold the window.
  const int flags = O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
  fd_ = ::open(path.c_str(), flags, 0666);
  if (fd_ < 0) {
    reason_ = ErrorText(errno);
    return false;
  }
  path_ = path;
  if (StartRows()) return true;
  Close();
  return false;
}

bool MeasurementLog::StartRows() {
  struct stat info {};
  if (::fstat(fd_, &info) != 0) {
    reason_ = ErrorText(errno);
    return false;
  }
  if (!S_ISREG(info.st_mode)) {  // replaced since it was checked
    reason_ = "It is not a regular file.";
    return false;
  }
  if (info.st_size == 0) {
    return AppendWhole(fd_, MeasurementLogHeader() + "\n", reason_);
  }
  char last = '\n';
  if (::pread(fd_, &last, 1, info.st_size - 1) != 1) {
    reason_ = ErrorText(errno);
    return false;
  }
  return last == '\n' || AppendWhole(fd_, "\n", reason_);
}

void MeasurementLog::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool MeasurementLog::Append(std::time_t when, const Readings& readings) {
  if (fd_ < 0) return false;
  return AppendWhole(fd_, MeasurementRow(when, readings) + "\n", reason_);
}

}  // namespace velta
