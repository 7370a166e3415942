// How `velta-cli status --watch` prints each Main page: JSON Lines with --json; on a terminal one
// row per page with the time under aligned columns, the header again every screen; into a pipe
// the page's texts, one per line, after the time.
#pragma once

#include <chrono>
#include <string>

#include "service/status_watch.h"

namespace velta::cli {

enum class WatchOutput { JsonLines, Table, Texts };

class WatchPrinter {
 public:
  WatchPrinter(WatchOutput output, int screenRows) : output_(output), screenRows_(screenRows) {}
  // One Main page.
  void Print(const StatusValues& values, std::chrono::system_clock::time_point when);
  // A line about the link, with the time in front.
  static void Say(const std::string& line, std::chrono::system_clock::time_point when);

 private:
  WatchOutput output_;
  int screenRows_;
  int rowsSinceHeader_ = 0;
};

// For a person: the texts the Monitor window shows, by name.
void PrintDisplayTexts(const StatusValues& values);

}  // namespace velta::cli
