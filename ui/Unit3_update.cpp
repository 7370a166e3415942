// The Settings window's firmware update button.
#include "i18n/lookup.h"
#include "service/request_jobs.h"
#include "ui/Unit3.h"
#include "ui/busy_window.h"
#include "ui/desktop.h"
#include "ui/job_runner.h"
#include "ui/qt_text.h"
#include "ui_Unit3.h"

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
  if (chosen.isEmpty()) return;
  const velta::ConnectionSettings connection = connection_();
  const std::string path = velta::AbsoluteFilePath(chosen);
  velta::RunJob(WindowFeedback(), [&](velta::Feedback& feedback) {
    return velta::service::UpdateFirmware(connection, feedback, path);
  });
}
