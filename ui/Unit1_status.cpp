// Monitor window, status half: the poll tick and how its pages show, the stored-error list and
// error file, and the service requests of the panel group.
#include <QApplication>
#include <QGraphicsOpacityEffect>
#include <QMenu>
#include <QPalette>
#include <QProgressBar>
#include <QRegularExpression>
#include <ctime>
#include <filesystem>

#include "i18n/lookup.h"
#include "link/open_reason.h"
#include "monitor/poll_tick.h"
#include "monitor/service_requests.h"
#include "ui/Unit1.h"
#include "ui/desktop.h"
#include "ui/program_identity.h"
#include "ui/qt_text.h"
#include "ui/status_widgets.h"
#include "ui_Unit1.h"

using velta::ToQString;
using velta::ToStdString;

namespace {

constexpr char kErrorFileFilter[] = "Error (*.txt)|*.txt";

// One colour of the widget's palette; the other colours stay.
void SetColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(role, colour);
  widget->setPalette(palette);
}

// The bar's colour under any style: the palette, and the chunk rule of a style sheet when the
// form gives the bar one.
void SetBarColour(QProgressBar* bar, const QColor& colour) {
  SetColour(bar, QPalette::Highlight, colour);
  static const QRegularExpression chunkRule(R"(QProgressBar::chunk\s*\{[^}]*\})");
  const QString sheet = bar->styleSheet().remove(chunkRule).trimmed();
  bar->setStyleSheet(sheet + QString(" QProgressBar::chunk { background: %1; }").arg(colour.name()));
}

void ShowDisplay(QWidget& form, const velta::MainPageView& view) {
  for (int digit = 0; digit < 3; ++digit) {
    for (int s = 0; s < velta::kSegmentCount; ++s) {
      const QString name = QString("img%1%2").arg(velta::kDigitNumbers[digit])
                               .arg(velta::kSegmentNames[s]);
      if (auto* segment = form.findChild<SegmentImage*>(name)) {
        segment->setLit(view.segments[digit][s]);
      }
    }
  }
}

void ShowLeds(Ui::Form1& ui, const velta::MainPageView& view) {
  const std::pair<LedImage*, LedImage*> pairs[velta::kLedCount] = {
      {ui.imggeON, ui.imggeOFF}, {ui.imggnON, ui.imggnOFF},
      {ui.imgrtON, ui.imgrtOFF}, {ui.imgblON, ui.imgblOFF}};
  for (int led = 0; led < velta::kLedCount; ++led) {
    pairs[led].first->setVisible(view.leds[led]);
    pairs[led].second->setVisible(!view.leds[led]);
  }
  ui.imgTastOff->setVisible(view.buttonOffShown);
  ui.imgTastOn->setVisible(!view.buttonOffShown);
}

void ShowTexts(Ui::Form1& ui, const velta::MainPageView& view) {
  ui.lblSensorMin->setText(ToQString(view.sensorMin));
  ui.lblSensorMax->setText(ToQString(view.sensorMax));
  ui.lblRueckStauSensor->setText(ToQString(view.overflowSensor));
  if (view.moduleRinse) ui.lblModulSpuelung->setText(ToQString(*view.moduleRinse));
  ui.lblJP2->setText(ToQString(view.levelMeasurement));
  ui.lblFluss->setText(ToQString(view.flowSensor));
  ui.lblVentil->setText(ToQString(view.valve));
  ui.lblRelais1->setText(ToQString(view.relay1));
  ui.lblRelais2->setText(ToQString(view.relay2));
  ui.lblUrlaub->setVisible(view.pumpSwitchedOff);
  ui.lblWriteEnable->setVisible(view.writeEnabled);
  for (QWidget* meter : {static_cast<QWidget*>(ui.edWasser1), static_cast<QWidget*>(ui.edWasser2),
                         static_cast<QWidget*>(ui.lblWasserZ)}) {
    meter->setVisible(view.waterMeterPresent);
  }
  ui.lblHand->setText(ToQString(view.mode));
  ui.lblBeep->setText(ToQString(view.warningTone));
  ui.lblZisterneRueckstau->setVisible(view.overflowAlarm);
}

void ShowLevelAndPump(Ui::Form1& ui, const velta::MainPageView& view) {
  // A level above the bar's range moves it to its maximum; the text shows the number.
  ui.pbZist->setValue(std::min(view.levelBar, ui.pbZist->maximum()));
  if (view.levelText) ui.lblZist->setText(ToQString(*view.levelText));
  ui.lblPumpe->setText(ToQString(view.pump));
  // Yellow while the pump runs, button face otherwise, each with a text colour of its own so
  // that the texts read under a dark palette too.
  ui.gbPumpe1->setAutoFillBackground(true);
  const QPalette normal = QApplication::palette();
  SetColour(ui.gbPumpe1, QPalette::Window,
            view.pumpRunning ? QColor(Qt::yellow) : normal.color(QPalette::Button));
  SetColour(ui.gbPumpe1, QPalette::WindowText,
            view.pumpRunning ? QColor(Qt::black) : normal.color(QPalette::ButtonText));
  ui.lblDruck->setText(ToQString(view.pressure));
  ui.lblTemp->setText(ToQString(view.temperature));
  ui.lblPumpeLaufzeitMittelwert->setText(ToQString(view.pumpAverage));
}

void ShowCounters(Ui::Form1& ui, const velta::CountersView& view) {
  if (view.starts) ui.lblStarts->setText(ToQString(*view.starts));
  ui.lblPumpeh->setText(ToQString(view.pumpHours));
  ui.lblLeck->setText(ToQString(view.leakStarts));
}

void ShowHistory(HistoryChart& chart, const velta::HistoryView& view) {
  QVector<QPointF> points;
  for (int j = 0; j < velta::kHistorySamples; ++j) {
    points.append(QPointF(velta::HistoryX(j), view.samples[j]));
  }
  chart.ShowSamples(points, view.line);
}

}  // namespace

void Form1::Timer1Timer() {
  const velta::StatusUpdate update = velta::PollTick(poll_, channel_);
  if (update.main) ShowMainPage(*update.main);
  if (measurementLog_.IsOpen()) {
    if (update.waterMeters) measurementLog_.NoteWaterMeters(*update.waterMeters);
    if (update.main) {
      measurementLog_.AppendMainPage(std::time(nullptr), *update.main, poll_.shownE1, poll_.shownE2);
    }
  }
  if (update.moduleRinse) ui->lblModulSpuelung->setText(ToQString(*update.moduleRinse));
  if (update.filterRinse) ui->lblFilterSpuelung->setText(ToQString(*update.filterRinse));
  if (update.counters) ShowCounters(*ui, *update.counters);
  if (update.waterMeters) {
    ui->edWasser2->setText(ToQString(update.waterMeters->first));
    ui->edWasser1->setText(ToQString(update.waterMeters->second));
    ui->lblWasserZ->setText(ToQString(update.waterMeters->indicator));
  }
  if (update.history) ShowHistory(*ui->Chart1, *update.history);
  if (update.lost) ConnectionLost();
}

void Form1::SetLiveDisplayStale(bool stale) {
  constexpr double kStaleOpacity = 0.35;
  for (QWidget* live : {static_cast<QWidget*>(ui->gbVEL), static_cast<QWidget*>(ui->gbZist),
                        static_cast<QWidget*>(ui->gbInfo), static_cast<QWidget*>(ui->gbPumpe1),
                        static_cast<QWidget*>(ui->Chart1)}) {
    if (!stale) {
      live->setGraphicsEffect(nullptr);
      continue;
    }
    auto* dim = new QGraphicsOpacityEffect(live);
    dim->setOpacity(kStaleOpacity);
    live->setGraphicsEffect(dim);
  }
}

void Form1::ShowMainPage(const velta::MainPageView& view) {
  ShowDisplay(*this, view);
  ShowLeds(*ui, view);
  ShowTexts(*ui, view);
  if (view.errors) ShowErrors(*view.errors);
  ShowLevelAndPump(*ui, view);
}

void Form1::ShowErrors(const velta::ErrorListing& listing) {
  ui->MemoError->clear();
  // Errors of one page share one time stamp.
  const std::time_t now = std::time(nullptr);
  for (const std::string& line : listing.lines) {
    if (listing.stored) {
      AddError(line, now);
    } else {
      ui->MemoError->appendPlainText(ToQString(line));
    }
  }
  if (listing.barColour != velta::LevelBarColour::Unchanged) {
    SetBarColour(ui->pbZist, listing.barColour == velta::LevelBarColour::Red ? QColor(255, 0, 0)
                                                                             : QColor(0, 0, 255));
  }
}

void Form1::AddError(const std::string& message, std::time_t when) {
  ui->MemoError->appendPlainText(ToQString(message));
  const std::string shown = ToStdString(ui->edFile->text());
  velta::ErrorFile file(shown);
  const bool store = ui->cbStore->isChecked();
  const std::string line = errorLog_.Add(message, when, store ? &file : nullptr);
  ui->MemoErrorStore->appendPlainText(ToQString(line));
  // A Windows-style path is kept elsewhere on this system: say where, once.
  if (store && file.Path() != shown && file.Path() != errorFileNamed_ &&
      std::filesystem::exists(file.Path())) {
    errorFileNamed_ = file.Path();
    Log("Error file: " + file.Path());
  }
}

void Form1::ResetPollForStart() { velta::ResetForPollingStart(poll_); }

bool Form1::View3D() const { return ui->Chart1->View3D(); }

void Form1::SetView3D(bool on) { ui->Chart1->SetView3D(on); }

void Form1::MemoErrorDblClick() { ui->MemoError->clear(); }

void Form1::MemoErrorStoreDblClick() {
  const QString question =
      ToQString(_("ACHTUNG:\nSollen alle gespeicherten Fehlermeldungen gelöscht werden?\n"));
  if (!velta::CurrentDesktop().AskYesNo("Achtung", question)) return;
  ui->MemoErrorStore->clear();
  errorLog_.Clear();
}

void Form1::edFileDblClick() {
  const QString path =
      velta::CurrentDesktop().SaveFileName(velta::QtFileFilter(kErrorFileFilter), "txt");
  if (!path.isEmpty()) ui->edFile->setText(path);
}

void Form1::imgStoreClick() { edFileDblClick(); }

void Form1::Image1Click() { velta::CurrentDesktop().OpenUrl(velta::kMakerWebAddress); }

void Form1::Chart1Click() { SetView3D(!View3D()); }

void Form1::Chart1ContextMenu(const QPoint& position) {
  QMenu menu(this);
  if (measurementLog_.IsOpen()) {
    menu.addAction(QString("Recording to %1").arg(ToQString(measurementLog_.Path())))
        ->setEnabled(false);
    connect(menu.addAction("Stop recording"), &QAction::triggered, this,
            &Form1::StopRecordingClick);
  } else {
    connect(menu.addAction("Record to CSV…"), &QAction::triggered, this, &Form1::RecordCsvClick);
  }
  menu.exec(ui->Chart1->mapToGlobal(position));
}

void Form1::RecordCsvClick() {
  const QString chosen = velta::CurrentDesktop().SaveFileName("CSV (*.csv)", "csv");
  if (chosen.isEmpty()) return;
  const std::string path = velta::AbsoluteFilePath(chosen);
  if (!measurementLog_.Open(path)) {
    Log(velta::Format(_("Datei %s kann nicht geöffnet werden."), path.c_str()));
    velta::CurrentDesktop().Beep();
    return;
  }
  ui->Chart1->setToolTip(QString("Recording to %1").arg(ToQString(path)));
}

void Form1::StopRecordingClick() {
  measurementLog_.Close();
  ui->Chart1->setToolTip(QString());
}

void Form1::bbClrErrorClick() {
  ui->bbClrError->setEnabled(false);
  switch (velta::RequestClearErrors(Connection())) {
    case velta::ExchangeOutcome::NoChannel:
      Log(velta::OpenFailureReason(Connection()));
      break;
    case velta::ExchangeOutcome::Good:
      ui->MemoError->appendPlainText(ToQString(_("Alle Fehlermeldungen des Moduls gelöscht !")));
      break;
    case velta::ExchangeOutcome::Short:
    case velta::ExchangeOutcome::WrongSum:
      ui->MemoError->appendPlainText(ToQString(_("Fehler beim löschen !")));
      break;
  }
  ui->bbClrError->setEnabled(true);
}

void Form1::bbWriteEnableClick() {
  ui->bbWriteEnable->setEnabled(false);
  emit SettingsUsable(false);
  if (!velta::RequestWriteEnable(Connection())) {
    Log(_("Fehler beim Öffnen der Schnittstelle !"));
    Log(velta::OpenFailureReason(Connection()));
  }
  emit SettingsUsable(true);
  ui->bbWriteEnable->setEnabled(true);
}
