// read, write, backup, restore and diff: the Settings window's file and transfer buttons.
#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "cli/confirm.h"
#include "cli/image_source.h"
#include "cli/messages.h"
#include "controller/block_diff.h"
#include "controller/setting_fields.h"
#include "i18n/lookup.h"
#include "service/settings_jobs.h"

namespace velta::cli {
namespace {

struct WriteOptions {
  std::string file;
  bool changedOnly = false;
  bool sendReferences = false;
};

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

int SaveTo(const std::string& path, const ControllerImage& image, ImageFileKind kind) {
  std::string reason;
  if (!SaveImageFile(path, image, kind, reason)) {
    return Fail(kExitRefused, Format(V_("Cannot write %s: %s"), path.c_str(), reason.c_str()));
  }
  std::fprintf(stderr, "%s\n",
               Format(kind == ImageFileKind::Backup ? V_("Backup saved to %s") : V_("Settings saved to %s"),
                      path.c_str())
                   .c_str());
  return kExitOk;
}

// Reads the controller, then saves the image to `path` or, without one, lists the settings.
int RunRead(CliContext& context, const std::string& path, ImageFileKind kind) {
  int failure = kExitOk;
  const std::optional<ControllerImage> image = ReadImage(context, kind, failure);
  if (!image) return failure;
  if (!path.empty()) return SaveTo(path, *image, kind);
  nlohmann::json list = nlohmann::json::array();
  for (const SettingField* field : SettingFieldsByGroup()) {
    const std::string label = SettingLabel(*field), text = SettingText(*field, *image);
    if (!context.json) std::printf("%s: %s\n", label.c_str(), text.c_str());
    list.push_back({{"setting", label}, {"value", text}});
  }
  if (context.json) std::printf("%s\n", list.dump().c_str());
  return kExitOk;
}

// Shows what the write changes against the controller's block, read now, then asks. The exit
// code when not agreed.
int ConfirmWrite(CliContext& context, ImageFileKind kind, const ControllerImage& image,
                 bool sendReferences, const char* question) {
  if (context.yes) return kExitOk;
  int failure = kExitOk;
  const std::optional<ControllerImage> controller = ReadImage(context, kind, failure);
  if (!controller) return failure;
  ControllerImage written = image;
  if (!sendReferences) service::KeepControllerReferences(written, *controller);
  PrintChanges(SettingsChanges(*controller, written), false, stderr);
  return Confirm(context, V_(question)) ? kExitOk : kExitRefused;
}

int RunWrite(CliContext& context, const WriteOptions& options) {
  ConnectionSettings settings;
  if (!context.Connection(settings)) return kExitRefused;
  const std::optional<ControllerImage> image = LoadImage(options.file, ImageFileKind::Settings);
  if (!image) return kExitRefused;
  if (const int refused = ConfirmWrite(context, ImageFileKind::Settings, *image,
                                       options.sendReferences,
                                       VN_("Write these settings to the controller?"))) {
    return refused;
  }
  service::SettingsWrite write{*image, options.sendReferences, options.changedOnly, true};
  const service::BlockWrite written =
      service::WriteSettings(settings, context.feedback, context.Records(), write);
  context.baselines = written.baselines;
  if (!options.changedOnly) return Finish(written, V_("Settings written."));
  return Finish(written, Format(V_("Settings written: %zu of %d bytes changed."),
                                written.written.size(), kParameterBlockSize));
}

int RunRestore(CliContext& context, const std::string& path) {
  ConnectionSettings settings;
  if (!context.Connection(settings)) return kExitRefused;
  const std::optional<ControllerImage> image = LoadImage(path, ImageFileKind::Backup);
  if (!image) return kExitRefused;
  if (const int refused = ConfirmWrite(context, ImageFileKind::Backup, *image, true,
                                       VN_("Overwrite all of the controller's memory with this "
                                           "backup? The controller restarts afterwards."))) {
    return refused;
  }
  const service::BlockWrite written =
      service::RestoreBackup(settings, context.feedback, context.Records(), *image, true);
  context.baselines = written.baselines;
  return Finish(written, V_("Backup restored; the controller restarts."));
}

// Two sources naming one file, by one path or two.
bool SameFile(const std::string& first, const std::string& second) {
  std::error_code error;
  return std::filesystem::equivalent(first, second, error);
}

int RunDiff(CliContext& context, const std::string& first, const std::string& second) {
  int failure = kExitOk;
  const std::optional<ControllerImage> a = ImageFrom(context, first, failure);
  if (!a) return failure;
  const std::optional<ControllerImage> b = ImageFrom(context, second, failure);
  if (!b) return failure;
  const std::vector<FieldChange> changes = SettingsChanges(*a, *b);
  if (!changes.empty() || context.json) {
    PrintChanges(changes, context.json, stdout);
  } else {
    const char* same = SameFile(first, second) ? VN_("%s and %s are the same file.")
                                               : VN_("The settings in %s and %s are the same.");
    std::printf("%s\n", Format(V_(same), first.c_str(), second.c_str()).c_str());
  }
  return kExitOk;
}

}  // namespace

void AddSettingsCommands(CLI::App& app, CliContext& context, int& result) {
  static std::string readPath, backupPath, restorePath, diffA, diffB;
  CLI::App* read = app.add_subcommand("read", VN_("Read the settings; save them or list them"));
  read->add_option("-o,--output", readPath, VN_("Settings file (.ini) to write"));
  read->callback([&] { result = RunRead(context, readPath, ImageFileKind::Settings); });

  static WriteOptions write;
  CLI::App* writeCommand = app.add_subcommand("write", VN_("Write a settings file into the controller"));
  writeCommand->add_option("file", write.file, VN_("Settings file (.ini)"))->required();
  writeCommand->add_flag("--changed-only", write.changedOnly,
                         VN_("Write only the bytes that differ from the controller's"));
  writeCommand->add_flag("--send-references", write.sendReferences,
                         VN_("Send the file's cistern reference values instead of keeping the controller's"));
  writeCommand->callback([&] { result = RunWrite(context, write); });

  CLI::App* backup = app.add_subcommand("backup", VN_("Save the controller's whole memory image"));
  backup->add_option("-o,--output", backupPath, VN_("Backup file (.bak)"))->required();
  backup->callback([&] { result = RunRead(context, backupPath, ImageFileKind::Backup); });

  CLI::App* restore = app.add_subcommand("restore", VN_("Write a backup file into the controller"));
  restore->add_option("file", restorePath, VN_("Backup file (.bak)"))->required();
  restore->callback([&] { result = RunRestore(context, restorePath); });

  CLI::App* diff = app.add_subcommand("diff", VN_("Settings that differ between two sources"));
  diff->add_option("a", diffA, VN_("A file, history:N (N-th newest kept block) or controller"))
      ->required();
  diff->add_option("b", diffB, VN_("A file, history:N or controller"))->required();
  diff->callback([&] { result = RunDiff(context, diffA, diffB); });
}

}  // namespace velta::cli
