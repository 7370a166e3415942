// The Settings window's controller operations: reading and writing the settings or the backup,
// the settings and backup files, the counters, the error memory and the live values.
#include "controller/counters.h"
#include "controller/error_memory.h"
#include "controller/live_values.h"
#include "controller/settings_file.h"
#include "controller/settings_transfer.h"
#include "i18n/lookup.h"
#include "ui/Unit3.h"
#include "ui/busy_window.h"
#include "ui/desktop.h"
#include "ui/qt_text.h"
#include "ui_Unit3.h"

using velta::BusyWindow;
using velta::ToQString;

namespace {

// Every operation that overwrites controller data asks first.
bool Confirm(const char* msgid) {
  return velta::CurrentDesktop().AskYesNo(QStringLiteral("Info"), ToQString(_(msgid)));
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
  // Shown once both backup reads are done, so the view also holds address 0 of the second one.
  ShowBlock();
  SelectPreset();
  ui->cbWriteRef->setChecked(false);
  ui->bbSendBC->setEnabled(true);
}

void Form3::bbSendBCClick() {
  const bool backup = ui->cbBackup->isChecked();
  if (!Confirm(backup ? "ACHTUNG:\nSoll das komplette Backup zur Steuerung übertragen werden?\n"
                        "Es werden ALLE Daten und Einstellungen überschrieben!!!\n"
                      : "ACHTUNG:\nSollen alle Einstellungen zur Steuerung übertragen werden?\n")) {
    return;
  }
  BusyWindow busy(*this, *ui->bbSendBC);
  velta::Feedback& feedback = WindowFeedback();
  const velta::ConnectionSettings connection = connection_();
  velta::ExchangeOutcome outcome;
  if (backup) {
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
    outcome = velta::TransferParameterBlock(connection, feedback, image_);
  }
  if (outcome == velta::ExchangeOutcome::Good) ui->cbWriteRef->setChecked(false);
}

void Form3::bbLoadClick() {
  const FileDialogKind dialog = DialogKind(ui->cbBackup->isChecked());
  const QString chosen = velta::CurrentDesktop().OpenFileName(Filter(dialog), dialog.suffix);
  if (chosen.isEmpty()) return;
  const std::string path = velta::AbsoluteFilePath(chosen);
  velta::Feedback& feedback = WindowFeedback();
  std::string reason;
  const std::optional<int> version = velta::LoadImageFile(path, image_, dialog.kind, reason);
  if (!version) {
    feedback.Log(velta::Format(_("Datei %s kann nicht geöffnet werden."), path.c_str()));
    feedback.Log(reason);
    feedback.Beep();
    return;
  }
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
  ui->edPumpeH->setText(ToQString(*shown));
  ui->bbWriteH->setEnabled(true);
}

void Form3::bbWriteHClick() {
  const int item = ui->cbClr->currentIndex();
  if (item < 0) return;
  if (!Confirm("ACHTUNG:\nSollen die neuen Zähler zur Steuerung übertragen werden?\n")) return;
  // The field takes digits only, but a number beyond 32 bits must not be cut down silently.
  const std::string typed = velta::ToStdString(ui->edPumpeH->text());
  const auto value = velta::ParseCounterValue(typed);
  if (!value) {
    // The same words as the toolkit's refusal of an unparsable reference value.
    velta::CurrentDesktop().ShowMessage(
        ToQString(velta::Format("'%s' ist kein gültiger Integerwert", typed.c_str())));
    return;
  }
  BusyWindow busy(*this, *ui->bbWriteH, QStringLiteral("..."));
  velta::WriteCounter(connection_(), WindowFeedback(), image_, static_cast<velta::Counter>(item),
                      *value);
}

void Form3::bbReadErrorClick() {
  BusyWindow busy(*this, *ui->bbReadError, QStringLiteral("Lese..."));
  WindowFeedback().ClearLog();
  velta::ReadErrorMemory(connection_(), WindowFeedback(), image_);
}

void Form3::cbFehlerspeicherChange() { ui->bbClrError->setEnabled(true); }

void Form3::bbClrErrorClick() {
  BusyWindow busy(*this, *ui->bbClrError);
  const int item = ui->cbFehlerspeicher->currentIndex();
  if (item < 0) return;
  if (!Confirm("ACHTUNG:\nSoll der ausgewählte Fehlerzähler wirklich gelöscht werden?\n")) return;
  velta::ClearErrorCounter(connection_(), WindowFeedback(), item);
}

void Form3::bbReadTimerClick() {
  BusyWindow busy(*this, *ui->bbReadTimer);
  velta::ReadLiveValues(connection_(), WindowFeedback(), ViewItem() != 0);
}
