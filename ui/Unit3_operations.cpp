// The Settings window's controller operations: reading and writing the settings or the backup,
// the settings and backup files, the counters, the error memory and the live values.
#include "controller/counters.h"
#include "controller/error_memory.h"
#include "controller/fields.h"
#include "controller/live_values.h"
#include "controller/settings_file.h"
#include "controller/settings_transfer.h"
#include "i18n/lookup.h"
#include "report/service_report.h"
#include "ui/Unit3.h"
#include "ui/busy_window.h"
#include "ui/compare_window.h"
#include "ui/desktop.h"
#include "ui/qt_text.h"
#include "ui_Unit3.h"

using velta::BusyWindow;
using velta::ToQString;

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

void Form3::bbReadBCClick() {
  BusyWindow busy(*this, *ui->bbReadBC);
  velta::Feedback& feedback = WindowFeedback();
  const bool read = ui->cbBackup->isChecked()
                        ? velta::ReadBackupImage(connection_(), feedback, image_)
                        : velta::ReadParameterBlock(connection_(), feedback, image_);
  if (!read) return;
  baselines_.BlockRead();
  if (ui->cbBackup->isChecked()) {
    history_.KeepImage("backup", image_, velta::ImageFileKind::Backup, feedback);
  } else {
    history_.KeepImage("settings", image_, velta::ImageFileKind::Settings, feedback);
  }
  // Shown once both backup reads are done, so the view also holds address 0 of the second one.
  ShowBlock();
  SelectPreset();
  ui->cbWriteRef->setChecked(false);
  ui->bbSendBC->setEnabled(true);
}

std::string Form3::WriteDetails(bool backup) const {
  if (backup) return velta::BackupWriteDetails(baselines_, image_);
  velta::ControllerImage block = WindowBlock();
  // Unless told to send the view's, the controller keeps its own reference values.
  const velta::Baseline& controller = baselines_.Controller();
  if (!ui->cbWriteRef->isChecked() && controller.Covers(0, velta::kParameterBlockSize - 1)) {
    for (const velta::WordField reference :
         {velta::field::RefZistVoll, velta::field::RefZistLeer}) {
      velta::Set(block, reference, velta::Get(controller.image, reference));
    }
  }
  return velta::SettingsWriteDetails(baselines_, block);
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
  velta::Feedback& feedback = WindowFeedback();
  const velta::ConnectionSettings connection = connection_();
  velta::ExchangeOutcome outcome;
  if (backup) {
    KeepBlockBeforeWrite(true);
    // The image goes out as read or loaded; the view is not collected.
    outcome = velta::TransferBackupImage(connection, feedback, image_);
  } else {
    if (!CollectBlock()) return;
    if (!ui->cbWriteRef->isChecked()) {
      if (!velta::FetchControllerReferences(connection, feedback, image_)) return;
      ShowBlock();
      SelectPreset();
      if (!CollectBlock()) return;
    }
    KeepBlockBeforeWrite(false);
    outcome = velta::TransferParameterBlock(connection, feedback, image_);
  }
  if (outcome != velta::ExchangeOutcome::Good) return;
  ui->cbWriteRef->setChecked(false);
  const std::size_t written = backup ? velta::kImageSize : velta::kParameterBlockSize;
  baselines_.ControllerWritten(0, std::span(image_.bytes).first(written));
  baselines_.BlockRead();
}

void Form3::KeepBlockBeforeWrite(bool backup) {
  const velta::Baseline& controller = baselines_.Controller();
  if (backup && controller.Covers(0, velta::kImageSize - 1)) {
    history_.KeepImage("backup-before-write", controller.image, velta::ImageFileKind::Backup,
                       WindowFeedback());
  } else if (controller.Covers(0, velta::kParameterBlockSize - 1)) {
    history_.KeepImage("settings-before-write", controller.image, velta::ImageFileKind::Settings,
                       WindowFeedback());
  }
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
  const auto shown = velta::ReadCounter(connection_(), WindowFeedback(), image_,
                                        static_cast<velta::Counter>(item));
  if (!shown) return;
  history_.KeepLines("counters", velta::CounterLines(baselines_.Controller().image),
                     WindowFeedback());
  ui->edPumpeH->setText(ToQString(*shown));
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
  if (!velta::WriteCounter(connection_(), WindowFeedback(), image_, counter, *value)) return;
  const velta::AddressRange written = velta::CounterWriteRange(counter);
  baselines_.ControllerWritten(
      written.first, std::span(image_.bytes)
                         .subspan(static_cast<std::size_t>(written.first),
                                  static_cast<std::size_t>(written.last - written.first + 1)));
}

void Form3::bbReadErrorClick() {
  BusyWindow busy(*this, *ui->bbReadError, QStringLiteral("Lese..."));
  WindowFeedback().ClearLog();
  if (!velta::ReadErrorMemory(connection_(), WindowFeedback(), image_)) return;
  history_.KeepLines("error-memory", velta::ErrorMemoryLines(image_), WindowFeedback());
}

void Form3::cbFehlerspeicherChange() { ui->bbClrError->setEnabled(true); }

void Form3::bbClrErrorClick() {
  BusyWindow busy(*this, *ui->bbClrError);
  const int item = ui->cbFehlerspeicher->currentIndex();
  if (item < 0) return;
  if (!Confirm("ACHTUNG:\nSoll der ausgewählte Fehlerzähler wirklich gelöscht werden?\n")) return;
  if (!velta::ClearErrorCounter(connection_(), WindowFeedback(), item)) return;
  static constexpr std::uint8_t kCleared[] = {0};
  baselines_.ControllerWritten(velta::field::ErrorCounter(item).address, kCleared);
}

void Form3::bbReadTimerClick() {
  BusyWindow busy(*this, *ui->bbReadTimer);
  velta::ReadLiveValues(connection_(), WindowFeedback(), ViewItem() != 0);
}

void Form3::bbReportClick() {
  const QString chosen =
      velta::CurrentDesktop().SaveFileName("PDF (*.pdf);;HTML (*.html)", "pdf");
  if (chosen.isEmpty()) return;
  // The site heads the report, as velta-cli report --site gives it; Cancel makes no report.
  const std::optional<QString> site =
      velta::CurrentDesktop().AskText("Service report", "Site (customer, address), may stay empty:");
  if (!site) return;
  const std::string path = velta::AbsoluteFilePath(chosen);
  BusyWindow busy(*this, *ui->bbReport);
  velta::Feedback& feedback = WindowFeedback();
  std::optional<velta::ServiceReport> report =
      velta::ReadServiceReport(connection_(), feedback, velta::StoredErrorFile());
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
