// read, write, backup, restore and diff: the Settings window's file and transfer buttons.
#include <cstdio>
#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "cli/confirm.h"
#include "cli/image_source.h"
#include "controller/fields.h"
#include "controller/block_diff.h"
#include "controller/setting_fields.h"
#include "controller/settings_transfer.h"
#include "i18n/lookup.h"

namespace velta::cli {
namespace {

struct WriteOptions {
  std::string file;
  bool changedOnly = false;
  bool sendReferences = false;
};

int ExitFor(ExchangeOutcome outcome) {
  return outcome == ExchangeOutcome::Good ? kExitOk : kExitFailure;
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

int SaveTo(const std::string& path, const ControllerImage& image, ImageFileKind kind) {
  std::string reason;
  if (!SaveImageFile(path, image, kind, reason)) {
    return Fail(kExitRefused,
                Format(_("Datei %s kann nicht geöffnet werden."), path.c_str()) + "\n" + reason);
  }
  const char* saved = kind == ImageFileKind::Backup ? "Backup in %s gespeichert"
                                                    : "Einstellungen in %s gespeichert";
  std::fprintf(stderr, "%s\n", Format(_(saved), path.c_str()).c_str());
  return kExitOk;
}

// Reads the controller, then saves the image to `path` or, without one, lists the settings.
int RunRead(CliContext& context, const std::string& path, ImageFileKind kind) {
  ConnectionSettings settings;
  if (!context.Connection(settings)) return kExitRefused;
  const std::optional<ControllerImage> image = ReadImage(context, kind);
  if (!image) return kExitFailure;
  if (!path.empty()) return SaveTo(path, *image, kind);
  nlohmann::json list = nlohmann::json::array();
  for (const SettingField* field : SettingFields()) {
    const std::string label = SettingLabel(*field), text = SettingText(*field, *image);
    if (!context.json) std::printf("%s: %s\n", label.c_str(), text.c_str());
    list.push_back({{"setting", label}, {"value", text}});
  }
  if (context.json) std::printf("%s\n", list.dump().c_str());
  return kExitOk;
}

// The window's question, preceded by what the write changes in the controller.
bool ConfirmSettingsWrite(CliContext& context, const ControllerImage& image, bool sendReferences) {
  if (context.yes) return true;
  const std::optional<ControllerImage> controller = ReadImage(context, ImageFileKind::Settings);
  if (!controller) return false;
  ControllerImage written = image;
  if (!sendReferences) {
    Set(written, field::RefZistVoll, Get(*controller, field::RefZistVoll));
    Set(written, field::RefZistLeer, Get(*controller, field::RefZistLeer));
  }
  PrintChanges(SettingsChanges(*controller, written), false, stderr);
  return Confirm(context, _("ACHTUNG:\nSollen alle Einstellungen zur Steuerung übertragen werden?\n"));
}

int RunWrite(CliContext& context, const WriteOptions& options) {
  ConnectionSettings settings;
  if (!context.Connection(settings)) return kExitRefused;
  std::optional<ControllerImage> image = LoadImage(options.file, ImageFileKind::Settings);
  if (!image) return kExitRefused;
  if (!ConfirmSettingsWrite(context, *image, options.sendReferences)) return kExitRefused;
  if (options.changedOnly) {
    std::vector<int> written;
    const ExchangeOutcome outcome = TransferChangedParameters(
        settings, context.feedback, *image, options.sendReferences, &written);
    if (outcome == ExchangeOutcome::Good)
      std::fprintf(stderr, "%zu of %d bytes written\n", written.size(), kParameterBlockSize);
    return ExitFor(outcome);
  }
  if (!options.sendReferences && !FetchControllerReferences(settings, context.feedback, *image))
    return kExitFailure;
  return ExitFor(TransferParameterBlock(settings, context.feedback, *image));
}

int RunRestore(CliContext& context, const std::string& path) {
  ConnectionSettings settings;
  if (!context.Connection(settings)) return kExitRefused;
  const std::optional<ControllerImage> image = LoadImage(path, ImageFileKind::Backup);
  if (!image) return kExitRefused;
  if (!Confirm(context, _("ACHTUNG:\nSoll das komplette Backup zur Steuerung übertragen werden?\n"
                          "Es werden ALLE Daten und Einstellungen überschrieben!!!\n"))) {
    return kExitRefused;
  }
  return ExitFor(TransferBackupImage(settings, context.feedback, *image));
}

int RunDiff(CliContext& context, const std::string& first, const std::string& second) {
  int failure = kExitOk;
  const std::optional<ControllerImage> a = ImageFrom(context, first, failure);
  if (!a) return failure;
  const std::optional<ControllerImage> b = ImageFrom(context, second, failure);
  if (!b) return failure;
  PrintChanges(SettingsChanges(*a, *b), context.json, stdout);
  return kExitOk;
}

}  // namespace

void AddSettingsCommands(CLI::App& app, CliContext& context, int& result) {
  static std::string readPath, backupPath, restorePath, diffA, diffB;
  CLI::App* read = app.add_subcommand("read", "Read the settings; save them or list them");
  read->add_option("-o,--output", readPath, "Settings file (.ini) to write");
  read->callback([&] { result = RunRead(context, readPath, ImageFileKind::Settings); });

  static WriteOptions write;
  CLI::App* writeCommand = app.add_subcommand("write", "Write a settings file into the controller");
  writeCommand->add_option("file", write.file, "Settings file (.ini)")->required();
  writeCommand->add_flag("--changed-only", write.changedOnly,
                         "Write only the bytes that differ from the controller's");
  writeCommand->add_flag("--send-references", write.sendReferences,
                         "Send the file's cistern reference values instead of keeping the controller's");
  writeCommand->callback([&] { result = RunWrite(context, write); });

  CLI::App* backup = app.add_subcommand("backup", "Save the controller's whole memory image");
  backup->add_option("-o,--output", backupPath, "Backup file (.bak)")->required();
  backup->callback([&] { result = RunRead(context, backupPath, ImageFileKind::Backup); });

  CLI::App* restore = app.add_subcommand("restore", "Write a backup file into the controller");
  restore->add_option("file", restorePath, "Backup file (.bak)")->required();
  restore->callback([&] { result = RunRestore(context, restorePath); });

  CLI::App* diff = app.add_subcommand("diff", "Settings that differ between two sources");
  diff->add_option("a", diffA, "A file, history:N (N-th newest kept block) or controller")
      ->required();
  diff->add_option("b", diffB, "A file, history:N or controller")->required();
  diff->callback([&] { result = RunDiff(context, diffA, diffB); });
}

}  // namespace velta::cli
