#include "files/user_folders.h"

#include <cstdlib>

namespace velta {

std::filesystem::path ProgramFolder(const char* variable, const char* belowHome) {
  // The XDG base directory rules take only an absolute path from the environment.
  const char* base = std::getenv(variable);
  if (base != nullptr && base[0] == '/') return std::filesystem::path(base) / "velta-control";
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] == '\0') return {};
  return std::filesystem::path(home) / belowHome / "velta-control";
}

std::string LocalTimeText(std::time_t when, const char* format) {
  std::tm local{};
  localtime_r(&when, &local);
  char text[64];
  const std::size_t size = std::strftime(text, sizeof text, format, &local);
  return std::string(text, size);
}

}  // namespace velta
