// Monitor window, status half: the poll tick and how its pages show, the stored-error list and
// error file, and the service requests of the panel group.
#include <QApplication>
#include <QFileInfo>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QMenu>
#include <QPalette>
#include <QProgressBar>
#include <QRegularExpression>
#include <ctime>
#include <filesystem>

#include "i18n/lookup.h"
#include "service/request_jobs.h"
#include "ui/Unit1.h"
#include "ui/desktop.h"
#include "ui/job_runner.h"
#include "ui/program_identity.h"
#include "ui/qt_text.h"
#include "ui/smoke_check.h"
#include "ui/status_widgets.h"
#include "ui/text_fit.h"
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

// The texts of the side pages go to the labels their page's row names.
void ShowPageTexts(QWidget& form, const std::vector<velta::ShownText>& texts) {
  for (const velta::ShownText& shown : texts) {
    if (auto* label = form.findChild<QLabel*>(shown.field.control)) {
      velta::ShowFitted(*label, ToQString(shown.text));
    }
  }
}

void ShowHistory(HistoryChart& chart, const velta::HistoryView& view) {
  QVector<QPointF> points;
  for (int j = 0; j < velta::kHistorySamples; ++j) {
    points.append(QPointF(velta::HistoryX(j), view.samples[j]));
  }
  chart.ShowSamples(points, view.line);
}

}  // namespace

void Form1::ShowPollStep(const velta::WatchStep& step, const velta::Readings& readings,
                         std::uint64_t switches) {
  if (switches != poller_.Switches()) return;
  if (step.update) ShowStatusUpdate(*step.update, readings);
  if (!step.lostLine.empty()) ConnectionLost(step.lostLine);
  if (!step.restoredLine.empty()) ConnectionRestored(step.restoredLine);
  emit PollStepShown();
}

void Form1::ShowStatusUpdate(const velta::StatusUpdate& update, const velta::Readings& readings) {
  if (update.main) ShowMainPage(*update.main);
  if (update.main) measurementLog_.Record(std::time(nullptr), readings);
  ShowPageTexts(*this, update.texts);
  if (update.history) ShowHistory(*ui->Chart1, *update.history);
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
  velta::NoteMainPageShown();
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
  if (const std::string notice = errorLog_.TakeFileNotice(); !notice.empty()) Log(notice);
  // A Windows-style path is kept elsewhere on this system: say where, once.
  if (store && file.Path() != shown && file.Path() != errorFileNamed_ &&
      std::filesystem::exists(file.Path())) {
    errorFileNamed_ = file.Path();
    Log(V_("Error file: ") + file.Path());
  }
}

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
    menu.addAction(ToQString(V_("Recording to %1")).arg(ToQString(measurementLog_.Path())))
        ->setEnabled(false);
    connect(menu.addAction(ToQString(V_("Stop recording"))), &QAction::triggered, this,
            &Form1::StopRecordingClick);
  } else {
    connect(menu.addAction(ToQString(V_("Record to CSV…"))), &QAction::triggered, this, &Form1::RecordCsvClick);
  }
  menu.exec(ui->Chart1->mapToGlobal(position));
}

void Form1::RecordCsvClick() {
  const QString chosen = velta::CurrentDesktop().AppendFileName("CSV (*.csv)", "csv");
  if (chosen.isEmpty()) return;
  const std::string path = velta::AbsoluteFilePath(chosen);
  if (!measurementLog_.Open(path)) {
    Log(velta::Format(_("Datei %s kann nicht geöffnet werden."), path.c_str()));
    Log(measurementLog_.Reason());
    velta::CurrentDesktop().Beep();
    return;
  }
  ShowRecording();
}

void Form1::StopRecordingClick() {
  measurementLog_.Close();
  ShowRecording();
}

// A mark in the chart's corner says that rows are being written and into which file; it covers
// no value, and the chart's tooltip gives the whole path.
void Form1::ShowRecording() {
  const bool recording = measurementLog_.IsOpen();
  const QString path = ToQString(measurementLog_.Path());
  ui->Chart1->setToolTip(recording ? ToQString(V_("Recording to %1")).arg(path) : QString());
  if (lblRecording_ == nullptr) {
    lblRecording_ = new QLabel(ui->Chart1);
    lblRecording_->setObjectName("lblRecording");
    lblRecording_->setStyleSheet("color: #c00000; font-size: 7pt; font-weight: bold;");
    lblRecording_->setAttribute(Qt::WA_TransparentForMouseEvents);
  }
  lblRecording_->setText(ToQString(V_("● REC %1")).arg(QFileInfo(path).fileName()));
  lblRecording_->adjustSize();
  // Top left, over the oldest samples: the right axis keeps its "100" in view.
  lblRecording_->move(4, 2);
  lblRecording_->setVisible(recording);
}

void Form1::bbClrErrorClick() {
  ui->bbClrError->setEnabled(false);
  const velta::ConnectionSettings connection = Connection();
  const velta::service::JobResult cleared = velta::RunJob(*feedback_, [&](velta::Feedback& feedback) {
        return velta::service::ClearAllErrors(connection, feedback);
      });
  if (cleared.outcome != velta::service::Outcome::NoLink) {
    ui->MemoError->appendPlainText(ToQString(cleared.Done()
                                                 ? _("Alle Fehlermeldungen des Moduls gelöscht !")
                                                 : _("Fehler beim löschen !")));
  }
  ui->bbClrError->setEnabled(true);
}

void Form1::bbWriteEnableClick() {
  ui->bbWriteEnable->setEnabled(false);
  emit SettingsUsable(false);
  const velta::ConnectionSettings connection = Connection();
  velta::RunJob(*feedback_, [&](velta::Feedback& feedback) {
    return velta::service::AskWriteEnable(connection, feedback);
  });
  emit SettingsUsable(true);
  ui->bbWriteEnable->setEnabled(true);
}
