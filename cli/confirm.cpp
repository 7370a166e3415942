#include "cli/confirm.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>

namespace velta::cli {

bool Confirm(const CliContext& context, const std::string& question) {
  if (context.yes) return true;
  if (isatty(STDIN_FILENO) != 1) {
    Fail(kExitRefused, "Not written: there is no terminal to ask on; give --yes to write");
    return false;
  }
  const bool endsLine = !question.empty() && question.back() == '\n';
  std::fprintf(stderr, "%s%s[y/N] ", question.c_str(), endsLine ? "" : " ");
  std::fflush(stderr);
  std::string answer;
  std::getline(std::cin, answer);
  const bool agreed = answer == "y" || answer == "Y" || answer == "yes";
  if (!agreed) std::fprintf(stderr, "Nothing was written.\n");
  return agreed;
}

}  // namespace velta::cli
