// The Settings window's controller operations: reading and writing the settings or the backup,
// the settings and backup files, the counters, the error memory and the live values.
#include <algorithm>

#include "controller/counters.h"
#include "controller/fields.h"
#include "controller/settings_file.h"
#include "i18n/lookup.h"
#include "report/service_report.h"
#include "service/counter_jobs.h"
#include "service/request_jobs.h"
#include "service/settings_jobs.h"
#include "ui/Unit3.h"
#include "ui/busy_window.h"
#include "ui/compare_window.h"
#include "ui/desktop.h"
#include "ui/job_runner.h"
#include "ui/qt_text.h"
#include "ui_Unit3.h"

using velta::BusyWindow;
using velta::RunJob;
using velta::ToQString;
namespace service = velta::service;

namespace {

// Every operation that overwrites controller data asks first; `details` lists what it changes.
bool Confirm(const char* msgid, const std::string& details = std::string()) {
  return velta::CurrentDesktop().AskYesNo(QStringLiteral("Info"), ToQString(_(msgid)),
                                          ToQString(details));
}

struct FileDialogKind {
  velta::ImageFileKind kind;
  const char* filter;
  const char* suffix;
};

FileDialogKind DialogKind(bool backup) {
  if (backup) return {velta::ImageFileKind::Backup, "Backup (*.bak)|*.bak", "bak"};
  return {velta::ImageFileKind::Settings, "Einstellungen (*.ini)|*.ini", "ini"};
}

QString Filter(const FileDialogKind& dialog) {
  return velta::QtFileFilter(ToQString(_(dialog.filter)));
}

}  // namespace

velta::service::Records Form3::JobRecords() { return {history_, baselines_}; }

void Form3::bbReadBCClick() {
  BusyWindow busy(*this, *ui->bbReadBC);
  const velta::ImageFileKind kind =
      ui->cbBackup->isChecked() ? velta::ImageFileKind::Backup : velta::ImageFileKind::Settings;
  const velta::ConnectionSettings connection = connection_();
  const service::Records records = JobRecords();
  const velta::ControllerImage image = image_;
  const service::MemoryRead read = RunJob(WindowFeedback(), [&](velta::Feedback& feedback) {
    return service::ReadBlock(connection, feedback, records, kind, image);
  });
  image_ = read.image;
  if (!read.Done()) return;
  // Shown once both backup reads are done, so the view also holds address 0 of the second one.
  ShowBlock();
  SelectPreset();
  ui->cbWriteRef->setChecked(false);
  ui->bbSendBC->setEnabled(true);
}

std::string Form3::WriteDetails(bool backup) const {
  if (backup) return velta::BackupWriteDetails(baselines_, image_);
  return velta::SettingsWriteDetails(
      baselines_,
      service::SettingsAsWritten(WindowBlock(), ui->cbWriteRef->isChecked(), baselines_));
}

void Form3::bbSendBCClick() {
  const bool backup = ui->cbBackup->isChecked();
  if (!Confirm(backup ? "ACHTUNG:\nSoll das komplette Backup zur Steuerung übertragen werden?\n"
                        "Es werden ALLE Daten und Einstellungen überschrieben!!!\n"
                      : "ACHTUNG:\nSollen alle Einstellungen zur Steuerung übertragen werden?\n",
               WriteDetails(backup))) {
    return;
  }
  BusyWindow busy(*this, *ui->bbSendBC);
  const velta::ConnectionSettings connection = connection_();
  const service::Records records = JobRecords();
  // The image goes out as read or loaded; the view is collected only for a settings write.
  if (!backup && !CollectBlock()) return;
  const velta::ControllerImage image = image_;
  const bool sendReferences = ui->cbWriteRef->isChecked();
  service::WritePlan plan = RunJob(WindowFeedback(), [&](velta::Feedback& feedback) {
    if (backup) return service::PlanRestore(connection, feedback, records, image, false);
    return service::PlanSettingsWrite(connection, feedback, records, {image, sendReferences});
  });
  if (!WriteWithoutHistory(plan.historyFailure)) {
    // The link is closed where it was opened; nothing has been sent.
    RunJob(WindowFeedback(), [&](velta::Feedback&) { plan.link.Close(); });
    return;
  }
  const service::BlockWrite written = RunJob(WindowFeedback(), [&](velta::Feedback& feedback) {
    return service::CarryOut(std::move(plan), connection, feedback);
  });
  if (written.controllerRead && !backup) {
    // The view shows the controller's reference values the write kept.
    image_ = written.block;
    ShowBlock();
    SelectPreset();
  }
  if (!written.Done()) return;
  ui->cbWriteRef->setChecked(false);
}

bool Form3::WriteWithoutHistory(const std::string& failure) const {
  if (failure.empty()) return true;
  return velta::CurrentDesktop().AskYesNo(
      QStringLiteral("Info"),
      ToQString(velta::Format(V_("The controller's values could not be kept in the history before "
                                 "the write (%s).\nWrite without this copy?"),
                              failure.c_str())),
      QString());
}

void Form3::bbLoadClick() {
  const FileDialogKind dialog = DialogKind(ui->cbBackup->isChecked());
  const QString chosen = velta::CurrentDesktop().OpenFileName(Filter(dialog), dialog.suffix);
  if (chosen.isEmpty()) return;
  LoadFile(velta::AbsoluteFilePath(chosen), dialog.kind);
}

void Form3::LoadFile(const std::string& path, velta::ImageFileKind kind) {
  velta::Feedback& feedback = WindowFeedback();
  std::string reason;
  const std::optional<int> version = velta::LoadImageFile(path, image_, kind, reason);
  if (!version) {
    feedback.Log(velta::Format(_("Datei %s kann nicht geöffnet werden."), path.c_str()));
    feedback.Log(reason);
    feedback.Beep();
    return;
  }
  baselines_.FileLoaded(path, image_, velta::ImageFileAddressCount(kind));
  ShowBlock();
  SelectPreset();
  feedback.Log(velta::Format(_("%s geladen"), path.c_str()));
  if (*version != velta::kImageFileVersion) {
    feedback.Log(_("\nVersionsunterschiede der Datei!\nEinstellungen überprüfen!"));
    feedback.Beep();
  }
  ui->bbSendBC->setEnabled(true);
}

void Form3::bSaveClick() {
  const FileDialogKind dialog = DialogKind(ui->cbBackup->isChecked());
  const QString chosen = velta::CurrentDesktop().SaveFileName(Filter(dialog), dialog.suffix);
  if (chosen.isEmpty()) return;
  // A backup holds the image as it is; settings are taken from the editors first.
  if (dialog.kind == velta::ImageFileKind::Settings && !CollectBlock()) return;
  const std::string path = velta::AbsoluteFilePath(chosen);
  velta::Feedback& feedback = WindowFeedback();
  std::string reason;
  if (!velta::SaveImageFile(path, image_, dialog.kind, reason)) {
    feedback.Log(velta::Format(_("Datei %s kann nicht geöffnet werden."), path.c_str()));
    feedback.Log(reason);
    feedback.Beep();
    return;
  }
  const char* saved = dialog.kind == velta::ImageFileKind::Backup
                          ? "Backup in %s gespeichert"
                          : "Einstellungen in %s gespeichert";
  feedback.Log(velta::Format(_(saved), path.c_str()));
}

void Form3::cbClrChange() { ui->bbReadH->setEnabled(true); }

void Form3::bbReadHClick() {
  const int item = ui->cbClr->currentIndex();
  if (item < 0) return;
  BusyWindow busy(*this, *ui->bbReadH);
  const velta::ConnectionSettings connection = connection_();
  const service::Records records = JobRecords();
  const service::MemoryRead read = RunJob(WindowFeedback(), [&](velta::Feedback& feedback) {
    return service::ReadCounters(connection, feedback, records);
  });
  if (!read.Done()) return;
  const auto counter = static_cast<velta::Counter>(item);
  const velta::AddressRange range = velta::CounterReadRange(counter);
  std::copy(read.image.bytes.begin() + range.first, read.image.bytes.begin() + range.last + 1,
            image_.bytes.begin() + range.first);
  ui->edPumpeH->setText(ToQString(velta::CounterText(image_, counter)));
  ui->bbWriteH->setEnabled(true);
}

void Form3::bbWriteHClick() {
  const int item = ui->cbClr->currentIndex();
  if (item < 0) return;
  const auto counter = static_cast<velta::Counter>(item);
  // The field takes digits only, but a number beyond 32 bits must not be cut down silently.
  const std::string typed = velta::ToStdString(ui->edPumpeH->text());
  const auto value = velta::ParseCounterValue(typed);
  velta::ControllerImage after = image_;
  if (value) velta::StoreCounter(after, counter, *value);
  const std::string details = value ? velta::CounterWriteDetails(baselines_, after, counter) : "";
  if (!Confirm("ACHTUNG:\nSollen die neuen Zähler zur Steuerung übertragen werden?\n", details)) {
    return;
  }
  if (!value) {
    // The same words as the toolkit's refusal of an unparsable reference value.
    velta::CurrentDesktop().ShowMessage(
        ToQString(velta::Format("'%s' ist kein gültiger Integerwert", typed.c_str())));
    return;
  }
  BusyWindow busy(*this, *ui->bbWriteH, QStringLiteral("..."));
  const velta::ConnectionSettings connection = connection_();
  const service::Records records = JobRecords();
  const velta::ControllerImage image = image_;
  const service::MemoryWrite written = RunJob(WindowFeedback(), [&](velta::Feedback& feedback) {
    return service::SetCounter(connection, feedback, records, image, counter, *value);
  });
  if (written.outcome == service::Outcome::Refused) {
    velta::CurrentDesktop().ShowMessage(ToQString(written.reason));
    return;
  }
  image_ = written.image;
}

void Form3::bbReadErrorClick() {
  BusyWindow busy(*this, *ui->bbReadError, QStringLiteral("Lese..."));
  WindowFeedback().ClearLog();
  const velta::ConnectionSettings connection = connection_();
  const service::Records records = JobRecords();
  const velta::ControllerImage image = image_;
  const service::MemoryRead read = RunJob(WindowFeedback(), [&](velta::Feedback& feedback) {
    return service::ReadErrorCounts(connection, feedback, records, image);
  });
  image_ = read.image;
}

void Form3::cbFehlerspeicherChange() { ui->bbClrError->setEnabled(true); }

void Form3::bbClrErrorClick() {
  BusyWindow busy(*this, *ui->bbClrError);
  const int item = ui->cbFehlerspeicher->currentIndex();
  if (item < 0) return;
  if (!Confirm("ACHTUNG:\nSoll der ausgewählte Fehlerzähler wirklich gelöscht werden?\n")) return;
  const velta::ConnectionSettings connection = connection_();
  const service::Records records = JobRecords();
  const service::MemoryWrite cleared = RunJob(WindowFeedback(), [&](velta::Feedback& feedback) {
    return service::ClearErrorCount(connection, feedback, records, item);
  });
}

void Form3::bbReadTimerClick() {
  BusyWindow busy(*this, *ui->bbReadTimer);
  const velta::ConnectionSettings connection = connection_();
  const bool expert = ViewItem() != 0;
  RunJob(WindowFeedback(), [&](velta::Feedback& feedback) {
    return service::ReadLive(connection, feedback, expert);
  });
}

void Form3::bbReportClick() {
  const QString chosen =
      velta::CurrentDesktop().SaveFileName("PDF (*.pdf);;HTML (*.html)", "pdf");
  if (chosen.isEmpty()) return;
  // The site heads the report, as velta-cli report --site gives it; Cancel makes no report.
  const std::optional<QString> site =
      velta::CurrentDesktop().AskText(ToQString(V_("Service report")),
                                      ToQString(V_("Site (customer, address), may stay empty:")));
  if (!site) return;
  const std::string path = velta::AbsoluteFilePath(chosen);
  BusyWindow busy(*this, *ui->bbReport);
  velta::Feedback& feedback = WindowFeedback();
  const velta::ConnectionSettings connection = connection_();
  const std::string errorFile = velta::StoredErrorFile();
  std::optional<velta::ServiceReport> report = RunJob(feedback, [&](velta::Feedback& f) {
    return velta::ReadServiceReport(connection, f, errorFile);
  });
  if (!report) return;
  report->site = site->trimmed().toStdString();
  std::string reason;
  if (!velta::WriteServiceReport(path, *report, reason)) {
    feedback.Log(velta::Format(_("Datei %s kann nicht geöffnet werden."), path.c_str()));
    feedback.Log(reason);
    feedback.Beep();
    return;
  }
  feedback.Log(velta::Format(_("\nIn %s gespeichert"), path.c_str()));
}

void Form3::bbCompareClick() {
  // Window-modal over this window; it goes when closed.
  auto* compare = new CompareWindow({[this] { return WindowBlock(); }, baselines_, history_,
                                     [this](const std::string& path, velta::ImageFileKind kind) {
                                       LoadFile(path, kind);
                                     }},
                                    this);
  compare->setAttribute(Qt::WA_DeleteOnClose);
  compare->open();
}
