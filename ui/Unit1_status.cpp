// Monitor window, status half: the poll tick and how its pages show, the stored-error list and
// error file, and the service requests of the panel group.
#include <QApplication>
#include <QPalette>
#include <QProgressBar>
#include <QRegularExpression>
#include <ctime>

#include "i18n/lookup.h"
#include "monitor/poll_tick.h"
#include "monitor/service_requests.h"
#include "ui/Unit1.h"
#include "ui/Unit3.h"
#include "ui/desktop.h"
#include "ui/forms.h"
#include "ui/status_widgets.h"
#include "ui_Unit1.h"

namespace {

// The maker's web page, opened by the logo.
constexpr char kMakerWebAddress[] = "https://www.korvelt.example/";
constexpr char kErrorFileFilter[] = "Error (*.txt)|*.txt";

QString Q(const std::string& text) { return QString::fromStdString(text); }

void SetBackground(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(role, colour);
  widget->setPalette(palette);
}

// The bar's colour under any style: the palette, and the chunk rule of a style sheet when the
// form gives the bar one.
void SetBarColour(QProgressBar* bar, const QColor& colour) {
  SetBackground(bar, QPalette::Highlight, colour);
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
  ui.lblSensorMin->setText(Q(view.sensorMin));
  ui.lblSensorMax->setText(Q(view.sensorMax));
  ui.lblRueckStauSensor->setText(Q(view.overflowSensor));
  if (view.moduleRinse) ui.lblModulSpuelung->setText(Q(*view.moduleRinse));
  ui.lblJP2->setText(Q(view.levelMeasurement));
  ui.lblFluss->setText(Q(view.flowSensor));
  ui.lblVentil->setText(Q(view.valve));
  ui.lblRelais1->setText(Q(view.relay1));
  ui.lblRelais2->setText(Q(view.relay2));
  ui.lblUrlaub->setVisible(view.pumpSwitchedOff);
  ui.lblWriteEnable->setVisible(view.writeEnabled);
  for (QWidget* meter : {static_cast<QWidget*>(ui.edWasser1), static_cast<QWidget*>(ui.edWasser2),
                         static_cast<QWidget*>(ui.lblWasserZ)}) {
    meter->setVisible(view.waterMeterPresent);
  }
  ui.lblHand->setText(Q(view.mode));
  ui.lblBeep->setText(Q(view.warningTone));
  ui.lblZisterneRueckstau->setVisible(view.overflowAlarm);
}

void ShowLevelAndPump(Ui::Form1& ui, const velta::MainPageView& view) {
  // A level above the bar's range moves it to its maximum; the text shows the number.
  ui.pbZist->setValue(std::min(view.levelBar, ui.pbZist->maximum()));
  if (view.levelText) ui.lblZist->setText(Q(*view.levelText));
  ui.lblPumpe->setText(Q(view.pump));
  ui.gbPumpe1->setAutoFillBackground(true);
  SetBackground(ui.gbPumpe1, QPalette::Window,
                view.pumpRunning ? QColor(Qt::yellow) : QApplication::palette().color(QPalette::Button));
  ui.lblDruck->setText(Q(view.pressure));
  ui.lblTemp->setText(Q(view.temperature));
  ui.lblPumpeLaufzeitMittelwert->setText(Q(view.pumpAverage));
}

void ShowCounters(Ui::Form1& ui, const velta::CountersView& view) {
  if (view.starts) ui.lblStarts->setText(Q(*view.starts));
  ui.lblPumpeh->setText(Q(view.pumpHours));
  ui.lblLeck->setText(Q(view.leakStarts));
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
  if (update.moduleRinse) ui->lblModulSpuelung->setText(Q(*update.moduleRinse));
  if (update.filterRinse) ui->lblFilterSpuelung->setText(Q(*update.filterRinse));
  if (update.counters) ShowCounters(*ui, *update.counters);
  if (update.waterMeters) {
    ui->edWasser2->setText(Q(update.waterMeters->first));
    ui->edWasser1->setText(Q(update.waterMeters->second));
    ui->lblWasserZ->setText(Q(update.waterMeters->indicator));
  }
  if (update.history) ShowHistory(*ui->Chart1, *update.history);
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
      ui->MemoError->appendPlainText(Q(line));
    }
  }
  if (listing.barColour != velta::LevelBarColour::Unchanged) {
    SetBarColour(ui->pbZist, listing.barColour == velta::LevelBarColour::Red ? QColor(255, 0, 0)
                                                                             : QColor(0, 0, 255));
  }
}

void Form1::AddError(const std::string& message, std::time_t when) {
  ui->MemoError->appendPlainText(Q(message));
  velta::ErrorFile file(ui->edFile->text().toStdString());
  const std::string line =
      errorLog_.Add(message, when, ui->cbStore->isChecked() ? &file : nullptr);
  ui->MemoErrorStore->appendPlainText(Q(line));
}

void Form1::ResetPollForStart() { velta::ResetForPollingStart(poll_); }

bool Form1::View3D() const { return ui->Chart1->View3D(); }

void Form1::SetView3D(bool on) { ui->Chart1->SetView3D(on); }

void Form1::MemoErrorDblClick() { ui->MemoError->clear(); }

void Form1::MemoErrorStoreDblClick() {
  const QString question =
      Q(_("ACHTUNG:\nSollen alle gespeicherten Fehlermeldungen gelöscht werden?\n"));
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

void Form1::Image1Click() { velta::CurrentDesktop().OpenUrl(kMakerWebAddress); }

void Form1::Chart1Click() { SetView3D(!View3D()); }

void Form1::bbClrErrorClick() {
  ui->bbClrError->setEnabled(false);
  switch (velta::RequestClearErrors(Connection())) {
    case velta::ExchangeOutcome::NoChannel: break;
    case velta::ExchangeOutcome::Good:
      ui->MemoError->appendPlainText(Q(_("Alle Fehlermeldungen des Moduls gelöscht !")));
      break;
    case velta::ExchangeOutcome::Short:
    case velta::ExchangeOutcome::WrongSum:
      ui->MemoError->appendPlainText(Q(_("Fehler beim löschen !")));
      break;
  }
  ui->bbClrError->setEnabled(true);
}

void Form1::bbWriteEnableClick() {
  ui->bbWriteEnable->setEnabled(false);
  if (form3 != nullptr) form3->setEnabled(false);
  if (!velta::RequestWriteEnable(Connection())) Log(_("Fehler beim Öffnen der Schnittstelle !"));
  if (form3 != nullptr) form3->setEnabled(true);
  ui->bbWriteEnable->setEnabled(true);
}
