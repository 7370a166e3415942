// The Settings window's firmware update button.
#include "i18n/lookup.h"
#include "ui/Unit3.h"
#include "ui/busy_window.h"
#include "ui/desktop.h"
#include "ui/job_runner.h"
#include "ui/qt_text.h"
#include "ui_Unit3.h"
#include "update/firmware_update.h"

void Form3::bbUpdateClick() {
  velta::BusyWindow busy(*this, *ui->bbUpdate);
  const bool confirmed = velta::CurrentDesktop().AskYesNo(
      QStringLiteral("Info"),
      velta::ToQString(_("ACHTUNG:\nSoll das -Update- wirklich durchgeführt werden?\n")));
  const QString chosen = confirmed
                             ? velta::CurrentDesktop().OpenFileName(
                                   velta::QtFileFilter(QStringLiteral("UpdateFile (*.enc)|*.enc")),
                                   QStringLiteral("enc"))
                             : QString();
  if (!chosen.isEmpty()) {
    velta::RunJob(WindowFeedback(), [connection = connection_(),
                                     file = velta::AbsoluteFilePath(chosen)](velta::Feedback& f) {
      velta::RunFirmwareUpdate(connection, file, f);
    });
  }
}
