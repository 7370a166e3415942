#include "service/settings_jobs.h"

#include <algorithm>
#include <span>

#include "controller/fields.h"
#include "controller/settings_transfer.h"
#include "i18n/lookup.h"
#include "service/job_link.h"

namespace velta::service {
namespace {

constexpr int kLastParameter = kParameterBlockSize - 1;
constexpr int kLastAddress = kImageSize - 1;

void CopyInto(ControllerImage& image, int firstAddress, std::span<const std::uint8_t> data) {
  std::copy(data.begin(), data.end(), image.bytes.begin() + firstAddress);
}

// A read the write depended on failed: nothing is written.
void ReportModuleNotRead(Feedback& feedback) {
  feedback.Log(_("Fehler beim auslesen des Moduls!"));
  feedback.Beep();
}

// Opens the link of a write; one that starts with a read reports a failed open as reads do.
ChannelHandle OpenWriteLink(const ConnectionSettings& settings, Feedback& feedback,
                            bool readFirst, JobResult& failure) {
  if (readFirst) {
    ChannelHandle link = OpenReadLink(settings, feedback, failure);
    if (!link.IsOpen()) ReportModuleNotRead(feedback);
    return link;
  }
  ChannelHandle link =
      OpenJobLink(settings, feedback, _("Fehler beim öffnen der Schnittstelle!"), failure);
  if (!link.IsOpen()) feedback.Beep();
  return link;
}

// The controller's block before a write, kept in the history: for a backup write the whole image
// when it is known, else (and for a settings write) the Parameter block. False, with the reason in
// the plan, when it was known but could not be kept.
void KeepBlockBeforeWrite(History& history, WritePlan& plan, Feedback& feedback) {
  const Baseline& controller = plan.baselines->Controller();
  bool kept = true;
  if (plan.kind == ImageFileKind::Backup && controller.Covers(0, kLastAddress)) {
    kept = history.KeepImage("backup-before-write", controller.image, ImageFileKind::Backup,
                             feedback);
  } else if (controller.Covers(0, kLastParameter)) {
    kept = history.KeepImage("settings-before-write", controller.image, ImageFileKind::Settings,
                             feedback);
  }
  if (!kept) plan.historyFailure = history.LastFailure();
}

// After a complete write the controller holds the written bytes, and they are what the window
// shows: a file loaded before no longer counts.
void NoteWritten(Baselines& baselines, const ControllerImage& image, int count) {
  baselines.ControllerWritten(0, std::span(image.bytes).first(count));
  baselines.BlockRead();
}

// The values the write would change to one outside their fields' ranges. Against an unknown
// controller every field counts as changed.
std::vector<RangeBreach> RangeBreaches(const WritePlan& plan) {
  std::vector<RangeBreach> breaches;
  for (const SettingField* field : SettingFields()) {
    const int value = field->get(plan.image);
    if (plan.controllerKnown && field->stored(plan.controller) == field->stored(plan.image)) {
      continue;
    }
    const SettingRange range = RangeIn(*field, plan.image);
    if (value < range.minimum || value > range.maximum) breaches.push_back({field, value, range});
  }
  return breaches;
}

// What the plan found once the controller's block is known (or known not to be).
void Assess(WritePlan& plan, bool checkRanges, History& history, Feedback& feedback) {
  if (plan.controllerKnown) {
    plan.changes = SettingsChanges(plan.controller, plan.image);
    if (plan.kind == ImageFileKind::Backup)
      plan.otherBytes = OtherBytesChanged(plan.controller, plan.image);
  }
  if (checkRanges) plan.breaches = RangeBreaches(plan);
  if (!plan.breaches.empty()) {
    plan.outcome = Outcome::Refused;
    plan.reason = V_("A value is outside its range; nothing was written.");
    plan.link.Close();
    return;
  }
  KeepBlockBeforeWrite(history, plan, feedback);
}

// Takes the controller's block as a read, now or before, left it in the baseline.
void TakeKnownController(WritePlan& plan, int last) {
  const Baseline& controller = plan.baselines->Controller();
  plan.controllerKnown = controller.Covers(0, last);
  if (plan.controllerKnown) plan.controller = controller.image;
}

}  // namespace

MemoryRead ReadBlock(const ConnectionSettings& settings, Feedback& feedback, Records records,
                     ImageFileKind kind, ControllerImage image) {
  MemoryRead result;
  result.image = image;
  const ChannelHandle link = OpenReadLink(settings, feedback, result);
  if (link.IsOpen()) {
    const bool backup = kind == ImageFileKind::Backup;
    // One read carries at most 255 bytes: addresses 1..255 first, then 0 (read as 0..1).
    const ReadResult read = ReadKnown(link, feedback, records, backup ? 1 : 0,
                                      backup ? kLastAddress : kLastParameter);
    if (read.success) CopyInto(result.image, backup ? 1 : 0, read.data);
    if (backup) {
      const ReadResult lower = ReadKnown(link, feedback, records, 0, 1);
      if (lower.success) result.image.SetByte(0, lower.data[0]);
    }
    result.outcome = ReadOutcome(read.outcome);
    result.version = read.version;
    if (result.Done()) {
      records.baselines.BlockRead();
      records.history.KeepImage(backup ? "backup" : "settings", result.image, kind, feedback);
    }
  }
  return result;
}

ControllerImage SettingsAsWritten(const ControllerImage& block, bool sendReferences,
                                  const Baselines& baselines) {
  ControllerImage written = block;
  const Baseline& controller = baselines.Controller();
  if (sendReferences || !controller.Covers(0, kLastParameter)) return written;
  Set(written, field::RefZistVoll, Get(controller.image, field::RefZistVoll));
  Set(written, field::RefZistLeer, Get(controller.image, field::RefZistLeer));
  return written;
}

std::vector<std::string> WritePlan::ChangeList() const {
  if (kind == ImageFileKind::Backup) return BackupChangeLines(controller, image);
  return ChangeLines(changes);
}

WritePlan PlanSettingsWrite(const ConnectionSettings& settings, Feedback& feedback,
                            Records records, const SettingsWrite& write) {
  WritePlan plan;
  plan.baselines = &records.baselines;
  plan.image = write.block;
  plan.changedOnly = write.changedOnly;
  const bool known = records.baselines.Controller().Covers(0, kLastParameter);
  const bool readFirst =
      !write.sendReferences || write.changedOnly || (write.readUnknownBlock && !known);
  plan.link = OpenWriteLink(settings, feedback, readFirst, plan);
  if (plan.link.IsOpen() && readFirst) {
    const ReadResult read = ReadKnown(plan.link, feedback, records, 0, kLastParameter);
    plan.controllerRead = read.success;
    if (!read.success) {
      ReportModuleNotRead(feedback);
      plan.outcome = ReadOutcome(read.outcome);
      plan.link.Close();
    }
  }
  if (!plan.Done()) return plan;
  TakeKnownController(plan, kLastParameter);
  // Without the block's references the plan has just read the controller's.
  plan.image = SettingsAsWritten(write.block, write.sendReferences, records.baselines);
  Assess(plan, write.checkRanges, records.history, feedback);
  return plan;
}

WritePlan PlanRestore(const ConnectionSettings& settings, Feedback& feedback, Records records,
                      const ControllerImage& image, bool readUnknownBlock, bool checkRanges) {
  WritePlan plan;
  plan.baselines = &records.baselines;
  plan.kind = ImageFileKind::Backup;
  plan.image = image;
  const bool readFirst =
      readUnknownBlock && !records.baselines.Controller().Covers(0, kLastAddress);
  plan.link = OpenWriteLink(settings, feedback, readFirst, plan);
  if (plan.link.IsOpen() && readFirst) {
    const ReadResult upper = ReadKnown(plan.link, feedback, records, 1, kLastAddress);
    const ReadResult lower = ReadKnown(plan.link, feedback, records, 0, 1);
    plan.controllerRead = upper.success && lower.success;
    if (!plan.controllerRead) {
      ReportModuleNotRead(feedback);
      plan.outcome = ReadOutcome(upper.success ? lower.outcome : upper.outcome);
      plan.link.Close();
    }
  }
  if (!plan.Done()) return plan;
  TakeKnownController(plan, kLastAddress);
  Assess(plan, checkRanges, records.history, feedback);
  return plan;
}

BlockWrite CarryOut(WritePlan plan, const ConnectionSettings& settings, Feedback& feedback) {
  BlockWrite result;
  static_cast<JobResult&>(result) = plan;
  result.block = plan.image;
  result.controllerRead = plan.controllerRead;
  if (result.Done() && plan.link.IsOpen()) {
    ExchangeOutcome exchange;
    int count = kParameterBlockSize;
    if (plan.kind == ImageFileKind::Backup) {
      exchange = TransferBackupImage(plan.link, settings, feedback, plan.image);
      count = kImageSize;
    } else if (plan.changedOnly) {
      result.written = ChangedParameterAddresses(plan.controller, plan.image);
      exchange =
          TransferChangedParameters(plan.link, settings, feedback, plan.image, result.written);
    } else {
      exchange = TransferParameterBlock(plan.link, settings, feedback, plan.image);
    }
    result.outcome = WriteOutcome(exchange);
    if (result.Done()) NoteWritten(*plan.baselines, plan.image, count);
  }
  return result;
}

BlockWrite WriteSettings(const ConnectionSettings& settings, Feedback& feedback, Records records,
                         const SettingsWrite& write) {
  return CarryOut(PlanSettingsWrite(settings, feedback, std::move(records), write), settings,
                  feedback);
}

BlockWrite RestoreBackup(const ConnectionSettings& settings, Feedback& feedback, Records records,
                         const ControllerImage& image, bool readUnknownBlock) {
  return CarryOut(PlanRestore(settings, feedback, std::move(records), image, readUnknownBlock),
                  settings, feedback);
}

}  // namespace velta::service
