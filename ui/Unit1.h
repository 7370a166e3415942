// Monitor window: connection management, the live status poll and the error log.
#pragma once

#include <QTimer>
#include <QWidget>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "link/connection.h"
#include "monitor/error_log.h"
#include "monitor/main_page.h"
#include "service/measurement_recorder.h"
#include "service/status_watch.h"
#include "ui/memo_feedback.h"
#include "ui/poll_worker.h"

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
  // Hands one exchange of the poll to the poll worker; its result is shown when it comes back.
  void Timer1Timer();
  // About once a second while the poll Channel is lost and Polling stays on: one short attempt to
  // open the same port or host again, on the poll worker.
  void HealTimerTimer();
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
  // A step of the status poll has come back from the poll worker and is shown.
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
  // The poll worker's answers, on the window thread; those of a Polling already stopped are
  // dropped.
  void ShowPollingOpened(const velta::ConnectionSettings& settings, const velta::WatchOpen& open,
                         std::uint64_t generation);
  void PostPollStep();
  void ShowPollStep(const velta::WatchStep& step, std::uint64_t generation);
  void ShowStatusUpdate(const velta::StatusUpdate& update, const velta::PollCycle& cycle);
  // The poll Channel's far end is gone: say so once, dim the live display, start healing.
  void ConnectionLost(const std::string& line);
  // It is open again: say so once, light the display, poll again.
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
  QTimer Timer1;            // 200 ms status poll tick while Polling
  QTimer HealTimer;         // reopen attempts while the poll Channel is lost
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

  // The status watch (its poll cycle lives for the program run) is used on the poll worker only.
  velta::StatusWatch watch_;
  // Counts Polling starts and stops, so that an answer for a Polling already stopped is dropped.
  std::atomic<std::uint64_t> pollGeneration_ = 0;
  bool stepPosted_ = false;  // a step is on the worker; a tick meanwhile is skipped
  velta::PollWorker pollWorker_;  // last: its thread ends before the watch goes
};
