// The Settings window's firmware update button.
#include <QFileInfo>

#include "i18n/lookup.h"
#include "ui/Unit1.h"
#include "ui/Unit3.h"
#include "ui/desktop.h"
#include "ui/forms.h"
#include "ui_Unit3.h"
#include "update/firmware_update.h"

void Form3::bbUpdateClick() {
  setEnabled(false);
  ui->bbUpdate->setEnabled(false);
  const bool confirmed = velta::CurrentDesktop().AskYesNo(
      QStringLiteral("Info"),
      QString::fromStdString(_("ACHTUNG:\nSoll das -Update- wirklich durchgeführt werden?\n")));
  const QString chosen = confirmed
                             ? velta::CurrentDesktop().OpenFileName(
                                   velta::QtFileFilter(QStringLiteral("UpdateFile (*.enc)|*.enc")),
                                   QStringLiteral("enc"))
                             : QString();
  if (!chosen.isEmpty()) {
    velta::RunFirmwareUpdate(form1->Connection(),
                             QFileInfo(chosen).absoluteFilePath().toStdString(), WindowFeedback());
  }
  ui->bbUpdate->setEnabled(true);
  setEnabled(true);
}
