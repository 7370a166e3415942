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
    const std::string label = SettingLabel(*breach.field);
    const std::string where =
        line ? Format(V_("%s on line %d of %s"), label.c_str(), *line, path.c_str())
             : Format(V_("%s (missing, read as 0) of %s"), label.c_str(), path.c_str());
    lines += Format(V_("%s: %lld is outside %lld..%lld"), where.c_str(),
                    static_cast<long long>(breach.value),
                    static_cast<long long>(breach.range.minimum),
                    static_cast<long long>(breach.range.maximum)) +
             "\n";
  }
  return lines + V_("Nothing was sent.");
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
          options.file, V_("Write these settings to the controller?"), written);
      !written) {
    return stopped;
  }
  if (!options.changedOnly) return Finish(*written, V_("Settings written."));
  return Finish(*written, Format(V_("Settings written: %zu of %d bytes changed."),
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
          V_("Overwrite all of the controller's memory with this backup? The controller restarts "
             "afterwards."),
          written);
      !written) {
    return stopped;
  }
  return Finish(*written, V_("Backup restored; the controller restarts."));
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
