// The stored-error record: numbered, time-stamped lines for every error that appeared, optionally
// appended to a text file.
#pragma once

#include <ctime>
#include <string>

namespace velta {

// Where stored lines go besides the list. Appending must never throw; a line that cannot be
// written is lost from the file only.
class ErrorLineSink {
 public:
  virtual ~ErrorLineSink() = default;
  // Appends `line` and a line feed; false when the file could not be written.
  virtual bool AppendLine(const std::string& line) = 0;
  // Why the last AppendLine failed, in one English sentence naming the file.
  virtual const std::string& Reason() const = 0;
};

// Where the error file the user sees as `shown` really is. A Windows-style path (a drive letter or
// backslashes), above all the default "c:\error.txt", names a file under
// $XDG_STATE_HOME/velta-control/ (by default ~/.local/state/velta-control/) with the path's last
// part as its name, instead of a file with that odd name in whatever folder the program runs in.
std::string ErrorFilePath(const std::string& shown);

// The error file: opened for appending (created if missing) and closed again for every line. A
// file gets whole lines or none: a line that cannot be written whole (full disk, file size limit)
// is taken back, and a file created for it is removed again.
class ErrorFile : public ErrorLineSink {
 public:
  explicit ErrorFile(const std::string& shown);
  bool AppendLine(const std::string& line) override;
  const std::string& Reason() const override { return reason_; }
  const std::string& Path() const { return path_; }

 private:
  bool Failed(const std::string& why);

  std::string path_;
  bool inStateFolder_;
  std::string reason_;
};

// "dd.MM.yyyy" and "HH:mm:ss" of the local time: the short date and long time of the German
// regional settings, fixed so the file reads the same on every machine.
std::string ShortDate(std::time_t when);
std::string LongTime(std::time_t when);

class ErrorLog {
 public:
  // Builds "#n/ date/ time/ message" with the current line number, counts it and, when `file`
  // is given, appends it there. Returns the line for MemoErrorStore.
  std::string Add(const std::string& message, std::time_t when, ErrorLineSink* file);
  // The stored list was emptied: numbering starts again at 0.
  void Clear() { next_ = 0; }
  unsigned Next() const { return next_; }
  // One line for the window's log when writing the file has just started to fail or has just
  // worked again; empty otherwise, so a full disk costs one line and not one per error.
  std::string TakeFileNotice();

 private:
  void NoteFileOutcome(bool written, const ErrorLineSink& file);

  unsigned next_ = 0;
  bool fileFailing_ = false;
  std::string fileNotice_;
};

}  // namespace velta
