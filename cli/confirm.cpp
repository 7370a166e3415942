#include "cli/confirm.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>

namespace velta::cli {

bool Confirm(const CliContext& context, const std::string& question) {
  if (context.yes) return true;
  if (isatty(STDIN_FILENO) != 1) {
    Fail(kExitRefused, V_("Not written: there is no terminal to ask on; give --yes to write"));
    return false;
  }
  const bool endsLine = !question.empty() && question.back() == '\n';
  std::fprintf(stderr, "%s%s[y/N] ", question.c_str(), endsLine ? "" : " ");
  std::fflush(stderr);
  std::string answer;
  std::getline(std::cin, answer);
  const bool agreed = answer == "y" || answer == "Y" || answer == "yes";
  if (!agreed) std::fprintf(stderr, "%s\n", V_("Nothing was written.").c_str());
  return agreed;
}

int StopWithoutHistory(const CliContext& context, const std::string& failure) {
  if (failure.empty() || context.noHistory) return kExitOk;
  return Fail(kExitRefused,
              Format(V_("Not written: the controller's values could not be kept in the history "
                        "first (%s). Free the history folder, or give --no-history to write "
                        "without the copy."),
                     failure.c_str()));
}

void PrintChanges(const std::vector<FieldChange>& changes, bool json, std::FILE* out) {
  if (!json) {
    for (const std::string& line : ChangeLines(changes)) std::fprintf(out, "%s\n", line.c_str());
    return;
  }
  nlohmann::json list = nlohmann::json::array();
  for (const FieldChange& c : changes)
    list.push_back({{"setting", c.label}, {"before", c.before}, {"after", c.after}});
  std::fprintf(out, "%s\n", list.dump().c_str());
}

void ChangeRecord::Print(bool json) const {
  if (json) return PrintChanges(changes, true, stdout);
  if (none) {
    std::printf("%s\n", V_("Nothing changed.").c_str());
    return;
  }
  for (const std::string& line : lines) std::printf("%s\n", line.c_str());
}

}  // namespace velta::cli
