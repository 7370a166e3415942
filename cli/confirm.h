// The question before every write, asked on the terminal as the windows ask it in a message box.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_context.h"
#include "controller/block_diff.h"

namespace velta::cli {

// True when the write may go ahead: --yes was given, or the user answered yes on the terminal.
// Without --yes and without a terminal to ask on, the write is refused with a message; a "no"
// says that nothing was written.
bool Confirm(const CliContext& context, const std::string& question);

// A write whose before-write copy could not be kept (`failure` says why) stops unless
// --no-history was given: the exit code, or 0 to go ahead.
int StopWithoutHistory(const CliContext& context, const std::string& failure);

// The changes as lines for a person, or as a JSON list of {"setting", "before", "after"}.
void PrintChanges(const std::vector<FieldChange>& changes, bool json, std::FILE* out);

// What a write changed, printed on stdout once it is done: the question's lines, or "Nothing
// changed." (with --json the list of changes).
struct ChangeRecord {
  std::vector<FieldChange> changes;
  std::vector<std::string> lines;
  bool none = false;

  void Print(bool json) const;
};

}  // namespace velta::cli
