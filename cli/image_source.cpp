#include "cli/image_source.h"

#include <cctype>
#include <charconv>
#include <cstring>

#include "cli/messages.h"
#include "controller/history.h"
#include "files/ini_edit.h"
#include "files/regular_file.h"
#include "service/settings_jobs.h"

namespace velta::cli {

ImageFileKind FileKindOf(const std::string& path) {
  const bool backup = path.size() >= 4 && path.compare(path.size() - 4, 4, ".bak") == 0;
  return backup ? ImageFileKind::Backup : ImageFileKind::Settings;
}

std::optional<ControllerImage> LoadImage(const std::string& path, ImageFileKind kind) {
  ControllerImage image;
  std::string reason;
  const std::optional<int> version = LoadImageFile(path, image, kind, reason);
  if (!version) {
    Fail(kExitRefused, Format(V_("Cannot read %s: %s"), path.c_str(), reason.c_str()));
    return std::nullopt;
  }
  // A file without "Version" in its section is no file of this kind: nothing to write from it.
  if (*version == 0) {
    Fail(kExitRefused,
         Format(kind == ImageFileKind::Backup
                    ? V_("%s is not a backup file: it has no line \"Version=...\" in a section [%s].")
                    : V_("%s is not a settings file: it has no line \"Version=...\" in a section [%s]."),
                path.c_str(), ImageFileSection(kind)));
    return std::nullopt;
  }
  if (*version != kImageFileVersion) {
    std::fprintf(stderr, "%s\n",
                 Format(V_("%s was saved by another program version (%d); check the settings."),
                        path.c_str(), *version)
                     .c_str());
  }
  return image;
}

std::optional<int> ImageFileLine(const std::string& path, ImageFileKind kind, int address) {
  std::string reason;
  const std::optional<std::string> text = ReadRegularFile(path, kMaxIniFileSize, reason);
  if (!text) return std::nullopt;
  return IniKeyLine(*text, ImageFileSection(kind), std::to_string(address));
}

std::optional<ControllerImage> ReadImage(CliContext& context, ImageFileKind kind, int& failure) {
  ConnectionSettings settings;
  failure = kExitRefused;
  if (!context.Connection(settings)) return std::nullopt;
  const service::MemoryRead read =
      service::ReadBlock(settings, context.feedback, context.Records(), kind, ControllerImage{});
  failure = Finish(read);
  if (!read.Done()) return std::nullopt;
  return read.image;
}

std::optional<std::string> HistoryFile(const std::string& source) {
  const std::string number = source.substr(std::strlen(kHistoryPrefix));
  std::size_t wanted = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), wanted);
  if (number.empty() || !std::isdigit(static_cast<unsigned char>(number[0])) ||
      error != std::errc() || end != number.data() + number.size()) {
    return std::nullopt;
  }
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
      Fail(kExitRefused, TypedRefusal(Typed::HistoryEntry, source));
      return std::nullopt;
    }
    return LoadImage(*path, FileKindOf(*path));
  }
  if (source == kControllerSource) return ReadImage(context, ImageFileKind::Settings, failure);
  failure = kExitRefused;
  return LoadImage(source, FileKindOf(source));
}

}  // namespace velta::cli
