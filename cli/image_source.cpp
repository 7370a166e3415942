#include "cli/image_source.h"

#include <cstring>

#include "controller/history.h"
#include "controller/settings_transfer.h"
#include "i18n/lookup.h"

namespace velta::cli {

ImageFileKind FileKindOf(const std::string& path) {
  const bool backup = path.size() >= 4 && path.compare(path.size() - 4, 4, ".bak") == 0;
  return backup ? ImageFileKind::Backup : ImageFileKind::Settings;
}

std::optional<ControllerImage> LoadImage(const std::string& path, ImageFileKind kind) {
  ControllerImage image;
  std::string reason;
  const std::optional<int> version = LoadImageFile(path, image, kind, reason);
  // A file without "Version" in its section is no file of this kind: nothing to write from it.
  if (!version || *version == 0) {
    const std::string line = Format(_("Datei %s kann nicht geöffnet werden."), path.c_str());
    Fail(kExitRefused, reason.empty() ? line : line + "\n" + reason);
    return std::nullopt;
  }
  if (*version != kImageFileVersion) {
    std::fprintf(stderr, "%s\n", _("\nVersionsunterschiede der Datei!\nEinstellungen überprüfen!").c_str());
  }
  return image;
}

std::optional<ControllerImage> ReadImage(CliContext& context, ImageFileKind kind) {
  ConnectionSettings settings;
  if (!context.Connection(settings)) return std::nullopt;
  ControllerImage image;
  const bool read = kind == ImageFileKind::Backup
                        ? ReadBackupImage(settings, context.feedback, image)
                        : ReadParameterBlock(settings, context.feedback, image);
  if (!read) return std::nullopt;
  return image;
}

std::optional<std::string> HistoryFile(const std::string& source) {
  const std::string number = source.substr(std::strlen(kHistoryPrefix));
  if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos)
    return std::nullopt;
  std::size_t wanted = std::stoul(number);
  for (const HistoryEntry& entry : History().Entries()) {
    if (entry.extension != "ini" && entry.extension != "bak") continue;
    if (--wanted == 0) return entry.path.string();
  }
  return std::nullopt;
}

std::optional<ControllerImage> ImageFrom(CliContext& context, const std::string& source,
                                         int& failure) {
  if (source.rfind(kHistoryPrefix, 0) == 0) {
    const std::optional<std::string> path = HistoryFile(source);
    failure = kExitRefused;
    if (!path) {
      Fail(kExitRefused, "No history entry " + source);
      return std::nullopt;
    }
    return LoadImage(*path, FileKindOf(*path));
  }
  if (source == kControllerSource) {
    ConnectionSettings settings;
    failure = context.Connection(settings) ? kExitFailure : kExitRefused;
    return failure == kExitRefused ? std::nullopt : ReadImage(context, ImageFileKind::Settings);
  }
  failure = kExitRefused;
  return LoadImage(source, FileKindOf(source));
}

}  // namespace velta::cli
