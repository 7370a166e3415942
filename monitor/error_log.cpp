#include "monitor/error_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <utility>

#include "files/atomic_write.h"
#include "files/regular_file.h"
#include "files/user_folders.h"

namespace velta {
namespace {

bool IsWindowsPath(const std::string& path) {
  const bool drive = path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) &&
                     path[1] == ':';
  return drive || path.find('\\') != std::string::npos;
}

std::filesystem::path StateFolder() {
  const std::filesystem::path folder = ProgramFolder("XDG_STATE_HOME", ".local/state");
  return folder.empty() ? std::filesystem::path(".local/state/velta-control") : folder;
}

// Opens the file for appending without waiting on a FIFO; `created` tells whether it was made now.
int OpenForAppending(const std::string& path, bool& created) {
  const int flags = O_WRONLY | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
  created = false;
  int fd = ::open(path.c_str(), flags);
  if (fd < 0 && errno == ENOENT) {
    fd = ::open(path.c_str(), flags | O_CREAT | O_EXCL, 0644);
    created = fd >= 0;
  }
  return fd;
}

}  // namespace

ErrorFile::ErrorFile(const std::string& shown)
    : path_(ErrorFilePath(shown)), inStateFolder_(path_ != shown) {}

std::string ErrorFilePath(const std::string& shown) {
  if (!IsWindowsPath(shown)) return shown;
  const std::string name = shown.substr(shown.find_last_of("\\:") + 1);
  return (StateFolder() / (name.empty() ? "error.txt" : name)).string();
}

bool ErrorFile::AppendLine(const std::string& line) {
  if (inStateFolder_) {
    std::error_code ignored;  // a folder that cannot be made shows as a file that cannot be opened
    std::filesystem::create_directories(StateFolder(), ignored);
  }
  std::string why;
  if (IsOddFile(path_, why)) return Failed(why);
  bool created = false;
  const int fd = OpenForAppending(path_, created);
  if (fd < 0) return Failed(ErrorText(errno));
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return Failed("It is not a regular file.");
  }
  // The whole line at once: with O_APPEND it lands after the file's content in one piece, so the
  // file never holds half a line beside another writer.
  const bool whole = AppendWhole(fd, line + "\n", why);
  if (::close(fd) != 0 && whole) return Failed(ErrorText(errno));
  if (!whole && created) ::unlink(path_.c_str());
  return whole || Failed(why);
}

bool ErrorFile::Failed(const std::string& why) {
  reason_ = "Cannot write " + path_ + ": " + why;
  return false;
}

std::string ShortDate(std::time_t when) { return LocalTimeText(when, "%d.%m.%Y"); }
std::string LongTime(std::time_t when) { return LocalTimeText(when, "%H:%M:%S"); }

std::string ErrorLog::Add(const std::string& message, std::time_t when, ErrorLineSink* file) {
  const std::string line = "#" + std::to_string(next_) + "/ " + ShortDate(when) + "/ " +
                           LongTime(when) + "/ " + message;
  ++next_;
  if (file != nullptr) NoteFileOutcome(file->AppendLine(line), *file);
  return line;
}

void ErrorLog::NoteFileOutcome(bool written, const ErrorLineSink& file) {
  if (written != fileFailing_) return;
  fileFailing_ = !written;
  fileNotice_ = written ? "The error file is written again." : file.Reason() + " Lines are lost.";
}

std::string ErrorLog::TakeFileNotice() { return std::exchange(fileNotice_, std::string()); }

}  // namespace velta
