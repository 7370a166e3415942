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

int SaveTo(const std::string& path, const ControllerImage& image, ImageFileKind kind) {
  std::string reason;
  if (!SaveImageFile(path, image, kind, reason)) {
    return Fail(kExitRefused, "Cannot write " + path + ": " + reason);
  }
  std::fprintf(stderr, "%s saved to %s\n", kind == ImageFileKind::Backup ? "Backup" : "Settings",
               path.c_str());
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
    // "value" is the text the window shows; the numbers are for scripts.
    list.push_back({{"setting", label},
                    {"value", text},
                    {"address", field->address},
                    {"control_value", field->get(*image)},
                    {"stored_raw", field->stored(*image)}});
  }
  if (context.json) std::printf("%s\n", list.dump().c_str());
  return kExitOk;
}

// "Pump – Minimum on line 23 of site.ini: 30 is outside 60..100", one line per value.
std::string BreachLines(const service::WritePlan& plan, const std::string& path) {
  std::string lines;
  for (const service::RangeBreach& breach : plan.breaches) {
    const std::optional<int> line = ImageFileLine(path, plan.kind, breach.field->address);
    lines += SettingLabel(*breach.field) +
             (line ? " on line " + std::to_string(*line) : std::string(" (missing, read as 0)")) +
             " of " + path + ": " + std::to_string(breach.value) + " is outside " +
             std::to_string(breach.range.minimum) + ".." + std::to_string(breach.range.maximum) +
             "\n";
  }
  return lines + "Nothing was sent.";
}

// Carries out a planned write as far as the user and the plan allow: a value outside its range
// or a before-write copy that could not be kept (without --no-history) stops it; the question
// lists the changes; the change record follows the write. The exit code, or the write.
int CarryOutPlan(CliContext& context, const ConnectionSettings& settings, service::WritePlan plan,
                 const std::string& path, const std::string& question,
                 std::optional<service::BlockWrite>& written) {
  if (!plan.breaches.empty()) return Fail(kExitRefused, BreachLines(plan, path));
  if (!plan.Done()) return Finish(plan);
  if (const int stopped = StopWithoutHistory(context, plan.historyFailure)) return stopped;
  if (!context.yes) {
    for (const std::string& line : plan.ChangeList()) std::fprintf(stderr, "%s\n", line.c_str());
    if (!Confirm(context, question)) return kExitRefused;
  }
  const ChangeRecord record{plan.changes, plan.ChangeList(),
                            plan.changes.empty() && plan.otherBytes == 0};
  written = service::CarryOut(std::move(plan), settings, context.feedback);
  if (written->Done()) record.Print(context.json);
  return kExitOk;
}

int RunWrite(CliContext& context, const WriteOptions& options) {
  ConnectionSettings settings;
  if (!context.Connection(settings)) return kExitRefused;
  const std::optional<ControllerImage> image = LoadImage(options.file, ImageFileKind::Settings);
  if (!image) return kExitRefused;
  service::SettingsWrite write{*image, options.sendReferences, options.changedOnly, true, true};
  std::optional<service::BlockWrite> written;
  if (const int stopped = CarryOutPlan(
          context, settings,
          service::PlanSettingsWrite(settings, context.feedback, context.Records(), write),
          options.file, "Write these settings to the controller?", written);
      !written) {
    return stopped;
  }
  if (!options.changedOnly) return Finish(*written, "Settings written.");
  return Finish(*written, Format("Settings written: %zu of %d bytes changed.",
                                 written->written.size(), kParameterBlockSize));
}

int RunRestore(CliContext& context, const std::string& path) {
  ConnectionSettings settings;
  if (!context.Connection(settings)) return kExitRefused;
  const std::optional<ControllerImage> image = LoadImage(path, ImageFileKind::Backup);
  if (!image) return kExitRefused;
  std::optional<service::BlockWrite> written;
  if (const int stopped = CarryOutPlan(
          context, settings,
          service::PlanRestore(settings, context.feedback, context.Records(), *image, true, true),
          path,
          "Overwrite all of the controller's memory with this backup? The controller restarts "
          "afterwards.",
          written);
      !written) {
    return stopped;
  }
  return Finish(*written, "Backup restored; the controller restarts.");
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
  } else if (SameFile(first, second)) {
    std::printf("%s and %s are the same file.\n", first.c_str(), second.c_str());
  } else {
    std::printf("The settings in %s and %s are the same.\n", first.c_str(), second.c_str());
  }
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
