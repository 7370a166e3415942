// Monitor window: connection management, the live status poll and the error log.
#pragma once

#include <QWidget>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "link/connection.h"
#include "monitor/error_log.h"
#include "monitor/main_page.h"
#include "service/measurement_recorder.h"
#include "service/poller.h"
#include "service/status_watch.h"
#include "ui/memo_feedback.h"

class QLabel;

namespace Ui {
class Form1;
}

class Form1 : public QWidget {
  Q_OBJECT
 public:
  explicit Form1(QWidget* parent = nullptr);
  ~Form1() override;

  // What the other windows need to open their own short-lived Channels.
  const velta::ConnectionSettings& Connection() const { return connection_; }
  std::uint8_t Admin() const { return connection_.admin; }
  // The caption of the blue LED's label (the Settings window's flow sensor and valve options).
  void SetBlueLedCaption(const QString& caption);
  // The Settings window's flow sensor option, which names the blue LED at start-up.
  void SetFlowSensorTicked(bool ticked) { flowSensor_ = ticked; }

  // --- Start-up, settings and connection management (defined in Unit1.cpp) ---
  void FormShow();
  void FormClose();
  void bbSearchPortClick();
  void cbComChange();
  // The port list's context menu: pin the chosen COM number to its adapter's stable name, or
  // remove the pin.
  void cbComContextPopup(const QPoint& where);
  void PinComPort(std::int32_t port, const std::string& stableName);
  // The window's context menu: the language, German or English, for the next start.
  void FormContextPopup(const QPoint& where);
  void LanguageClick(const std::string& language);
  void UnpinComPort(std::int32_t port);
  void rbSerialClick();
  void rbTcpClick();
  void edHostChange();
  void edPortChange();
  void bLoadTCPClick();
  void bSaveTCPClick();
  // The "Statusabfrage" box: starts or stops Polling.
  void cbStartSendClick();
  void Memo1DblClick();
  void bbSetupClick();
  // --- end of connection management ---

  // --- Status poll and view (defined in Unit1_status.cpp) ---
  bool View3D() const;
  void SetView3D(bool on);
  void MemoErrorDblClick();
  void MemoErrorStoreDblClick();
  void edFileDblClick();
  void imgStoreClick();
  void Image1Click();
  void Chart1Click();
  // The history chart's context menu: "Record to CSV…", or the file being written and a stop.
  void Chart1ContextMenu(const QPoint& position);
  void RecordCsvClick();
  void StopRecordingClick();
  void bbClrErrorClick();
  void bbWriteEnableClick();
  // --- end of status poll and view ---

 signals:
  // To the Settings window: its view goes back to "Normal" at start-up.
  void ResetSettingsView();
  // Admin flag 0x10 offers the Settings window's error clearing.
  void AllowErrorClearing(bool allowed);
  // The firmware update is offered over the serial line, and over TCP with Admin flag 0x04.
  void AllowUpdate(bool allowed);
  // The setup button opens the Settings window modally.
  void OpenSettings();
  // The Settings window is locked while the write enable request runs.
  void SettingsUsable(bool usable);
  // A step of the status poll has come back from the poller and is shown.
  void PollStepShown();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  // Routes clicks and double-clicks of memos, labels and painted pictures to their handlers.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ConnectControls();
  // Selects the entry of the port that opens, adding one when that port is absent now.
  void ShowComPort();
  void StartPolling();
  void StopPolling();
  // The poller's answers, relayed to the window thread; those of a switch of Polling that is
  // no longer the latest are dropped.
  void ShowPollingOpened(const velta::WatchOpen& open, std::uint64_t switches);
  void ShowPollStep(const velta::WatchStep& step, const velta::Readings& readings,
                    std::uint64_t switches);
  void ShowStatusUpdate(const velta::StatusUpdate& update, const velta::Readings& readings);
  // The poll Channel's far end is gone: say so once and dim the live display while the poller
  // heals it.
  void ConnectionLost(const std::string& line);
  // It is open again: say so once and light the display.
  void ConnectionRestored(const std::string& line);
  // Dims the display mimic, LEDs and values (not the error lists) while they are not live.
  void SetLiveDisplayStale(bool stale);
  // The twelve controls that are locked while Polling.
  void SetConnectionControlsEnabled(bool enabled);
  void ApplyAdminFlags();
  void Log(const std::string& line);

  std::unique_ptr<Ui::Form1> ui;
  velta::ConnectionSettings connection_;
  std::map<std::int32_t, std::string> comPins_;  // COM numbers pinned to stable device names
  bool startSend_ = false;  // the "Statusabfrage" box asks for Polling
  bool shown_ = false;      // FormShow runs on the first show only
  bool followLog_ = true;   // Memo1 shows its newest line
  // How the service requests report in the connection log.
  std::unique_ptr<velta::MemoFeedback> feedback_;
  // The Settings window's flow sensor option, as that window last reported it.
  bool flowSensor_ = false;
  // Status view (Unit1_status.cpp): a Main status page, a changed error list, one stored error.
  void ShowMainPage(const velta::MainPageView& view);
  void ShowErrors(const velta::ErrorListing& listing);
  void AddError(const std::string& message, std::time_t when);
  // Shows whether the measurement log is being written, and where.
  void ShowRecording();

  // The stored-error numbering lives for the program run.
  velta::ErrorLog errorLog_;
  std::string errorFileNamed_;  // the mapped error file whose real path Memo1 already shows
  // The measurement log, open only while the user records (nothing is written otherwise).
  velta::service::MeasurementRecorder measurementLog_{[this](const std::string& line) { Log(line); }};
  QLabel* lblRecording_ = nullptr;  // on the chart while recording

  // The status watch (its poll cycle lives for the program run), stepped by the poller's thread
  // only, which the window switches on and off.
  velta::StatusWatch watch_;
  velta::service::Poller poller_{watch_};
  velta::ConnectionSettings pollingConnection_;  // what the latest start of Polling opens
};
