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
// when it is known, else (and for a settings write) the Parameter block.
void KeepBlockBeforeWrite(Records& records, bool backup, Feedback& feedback) {
  const Baseline& controller = records.baselines.Controller();
  if (backup && controller.Covers(0, kLastAddress)) {
    records.history.KeepImage("backup-before-write", controller.image, ImageFileKind::Backup,
                              feedback);
  } else if (controller.Covers(0, kLastParameter)) {
    records.history.KeepImage("settings-before-write", controller.image, ImageFileKind::Settings,
                              feedback);
  }
}

// After a complete write the controller holds the written bytes, and they are what the window
// shows: a file loaded before no longer counts.
void NoteWritten(Records& records, const ControllerImage& image, int count) {
  records.baselines.ControllerWritten(0, std::span(image.bytes).first(count));
  records.baselines.BlockRead();
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
  result.baselines = std::move(records.baselines);
  return result;
}

void KeepControllerReferences(ControllerImage& block, const ControllerImage& controller) {
  Set(block, field::RefZistVoll, Get(controller, field::RefZistVoll));
  Set(block, field::RefZistLeer, Get(controller, field::RefZistLeer));
}

BlockWrite WriteSettings(const ConnectionSettings& settings, Feedback& feedback, Records records,
                         const SettingsWrite& write) {
  BlockWrite result;
  result.block = write.block;
  const bool known = records.baselines.Controller().Covers(0, kLastParameter);
  const bool readFirst =
      !write.sendReferences || write.changedOnly || (write.readUnknownBlock && !known);
  const ChannelHandle link = OpenWriteLink(settings, feedback, readFirst, result);
  if (link.IsOpen()) {
    ControllerImage controller;
    ReadResult read;
    if (readFirst) {
      read = ReadKnown(link, feedback, records, 0, kLastParameter);
      if (read.success) {
        CopyInto(controller, 0, read.data);
        result.controllerRead = true;
        if (!write.sendReferences) KeepControllerReferences(result.block, controller);
      } else {
        ReportModuleNotRead(feedback);
        result.outcome = ReadOutcome(read.outcome);
      }
    }
    if (result.Done()) {
      KeepBlockBeforeWrite(records, false, feedback);
      ExchangeOutcome exchange;
      if (write.changedOnly) {
        result.written = ChangedParameterAddresses(controller, result.block);
        exchange = TransferChangedParameters(link, settings, feedback, result.block, result.written);
      } else {
        exchange = TransferParameterBlock(link, settings, feedback, result.block);
      }
      result.outcome = WriteOutcome(exchange);
      if (result.Done()) NoteWritten(records, result.block, kParameterBlockSize);
    }
  }
  result.baselines = std::move(records.baselines);
  return result;
}

BlockWrite RestoreBackup(const ConnectionSettings& settings, Feedback& feedback, Records records,
                         const ControllerImage& image, bool readUnknownBlock) {
  BlockWrite result;
  result.block = image;
  const bool readFirst =
      readUnknownBlock && !records.baselines.Controller().Covers(0, kLastAddress);
  const ChannelHandle link = OpenWriteLink(settings, feedback, readFirst, result);
  if (link.IsOpen()) {
    if (readFirst) {
      const ReadResult upper = ReadKnown(link, feedback, records, 1, kLastAddress);
      const ReadResult lower = ReadKnown(link, feedback, records, 0, 1);
      result.controllerRead = upper.success && lower.success;
      if (!result.controllerRead) {
        ReportModuleNotRead(feedback);
        result.outcome = ReadOutcome(upper.success ? lower.outcome : upper.outcome);
      }
    }
    if (result.Done()) {
      KeepBlockBeforeWrite(records, true, feedback);
      result.outcome = WriteOutcome(TransferBackupImage(link, settings, feedback, image));
      if (result.Done()) NoteWritten(records, image, kImageSize);
    }
  }
  result.baselines = std::move(records.baselines);
  return result;
}

}  // namespace velta::service
