// Settings window: the Parameter block in value editors, and the controller operations.
#pragma once

#include <QDialog>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "controller/feedback.h"
#include "controller/history.h"
#include "controller/image.h"
#include "controller/settings_file.h"
#include "controller/write_baseline.h"
#include "service/records.h"
#include "ui/connection_source.h"

namespace Ui {
class Form3;
}
class UpDown;
struct BoundControl;

class Form3 : public QDialog {
  Q_OBJECT
 public:
  // `connection` names the controller each operation talks to; `history` keeps what is read.
  Form3(velta::ConnectionSource connection, velta::History& history, QWidget* parent = nullptr);
  ~Form3() override;

  // Puts the view selector back to its first entry ("Normal") and applies that view.
  void ResetView();
  // The firmware update button follows the transport (hidden over TCP unless Admin flag 0x04).
  void SetUpdateButtonVisible(bool visible);
  // The error list and its clear button, shown at start-up for administrators (Admin flag 0x10).
  void SetErrorClearingVisible(bool visible);
  // Whether the flow sensor option is ticked (the Monitor window's blue LED caption).
  bool FlowSensorTicked() const;
  // The caption of the Monitor window's blue LED for the options shown: "Fluss", "Filter" or " ".
  QString BlueLedCaption() const;

  // The process-wide controller image (Parameter block and Backup image).
  velta::ControllerImage& Image() { return image_; }
  // Memo3, the beep and pbAktiv, as the operations report through them.
  velta::Feedback& WindowFeedback();

  // --- Binding between the image and the editors (Unit3_binding.cpp) ---
  // Block -> controls, each editor showing the stored value even outside its range; callers that
  // changed the block by reading or loading also run SelectPreset.
  void ShowBlock();
  // (RegelP, RegelD) of the block -> the regulation preset list.
  void SelectPreset();
  // Controls -> block bytes 0..51 in address order; a control still as the last ShowBlock left
  // it keeps the block's bytes. A reference value that is not a number stops it with a message
  // box (the bytes before it stay collected) and returns false; the caller then stops without
  // saving, writing or closing.
  bool CollectBlock();
  // Bits 0..6 show the expert groups, bit 7 unlocks the power stage; 0 shows the picture panel.
  void ApplyGroupMask(int mask);
  // The Registry cache: values "0".."51" and "Expert" in the program's settings store.
  void LoadRegistryCache();
  void SaveRegistryCache();

  // --- Value editor display handlers (Unit3_editors.cpp) ---
  void udDruckEinClick();
  void udDruckRegelClick();
  void udDruckendwertClick();
  void udNachlaufzeitClick();
  void udStartDelayClick();
  void udAnzeigeClick();
  void udLeckDauerClick();
  void udKugelhahnLaufzeitClick();
  void udFilterSpuelZeitClick();
  void udModulSpuelZeitClick();
  void udFilterSpuelIntervallClick();
  void udModulSpuelIntervallClick();
  void upZistLeerClick();
  void upZistVollClick();
  void udPumpeMinClick();
  void udLaufzeitProzentClick();
  void udMaxPowerClick();
  void udMaxPowerTimeClick();
  void udRetryIntervallTimeClick();
  void udRetryCountClick();
  void udLaufzeitClick();
  void udSanftStartClick();
  void udPulsFensterClick();
  void udRegelTClick();
  void udTempOffClick();
  void udTempOnClick();
  void udRegelPClick();
  void udRegelDClick();
  // A click on the run-time text fields switches the monitoring off and back on.
  void edLaufzeitClick();

  // --- Regulation, input and view options (Unit3_options.cpp) ---
  void cbRegelungsartChange();
  void chkRegelungClick();
  void chkSetupFlusssensorClick();
  void cbVarianteChange();
  void cbPowerChange();
  void cbDrucksensorClick();
  void chkSchwimmerSchalterClick();
  void cbMinInputClick();
  void rgAnsichtClick();
  void FormShow();
  void FormClose();
  void cbBackupClick();
  void bbEditTFClick();
  void Image1Click();

  // --- Window life cycle (Unit3.cpp) ---
  void bbOKClick();
  void bbAbbruchClick();
  void cbTankformChange();
  void Memo3DblClick();

  // --- Controller operations (defined in Unit3_operations.cpp) ---
  void bbReadBCClick();
  void bbSendBCClick();
  void bbLoadClick();
  void bSaveClick();
  void bbCompareClick();
  void bbReadHClick();
  void bbWriteHClick();
  void cbClrChange();
  void bbReadErrorClick();
  void bbClrErrorClick();
  void cbFehlerspeicherChange();
  void bbReadTimerClick();
  // The service report of the connected controller, saved as PDF or HTML.
  void bbReportClick();
  // --- end of controller operations ---

  // --- Firmware update (defined in Unit3_update.cpp) ---
  void bbUpdateClick();
  // --- end of firmware update ---

 signals:
  // The flow sensor and valve options name the Monitor window's blue LED.
  void BlueLedCaptionChanged(const QString& caption);
  void FlowSensorChanged(bool ticked);
  // The custom tank shape is edited in the Tank table window, which closes with this window.
  void ShowTankTable();
  void CloseTankTable();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ConnectControls();
  void SetViewItem(int item);
  int ViewItem() const;
  // The value editors' buddies and click handlers, and one editor's text (Unit3_editors.cpp).
  void AttachEditors();
  void ShowEditorText(const UpDown* stepper);
  // One control and its field row (Unit3_binding.cpp): the block's value into the control with
  // its handler; the value as the row stores it (nothing for a reference that is no number); the
  // state compared with the one the block was shown in.
  void ShowControl(const BoundControl& control);
  std::optional<int> ControlValue(const BoundControl& control) const;
  QString ControlState(const BoundControl& control) const;
  // Editors -> `block` bytes 0..51. A reference value that is not a number either stops the
  // collection with a message box (`stopAtBadNumber`) or keeps the block's value.
  bool CollectInto(velta::ControllerImage& block, bool stopAtBadNumber) const;
  // The Parameter block as the editors hold it now, collected into a copy of the image without
  // asking anything (a reference value that is not a number keeps the image's).
  velta::ControllerImage WindowBlock() const;
  // Loads a settings or backup file into the window as "Einstellungen laden" does.
  void LoadFile(const std::string& path, velta::ImageFileKind kind);
  // The details of the write question: what the write changes against the baselines.
  std::string WriteDetails(bool backup) const;
  // Whether a write goes ahead although the controller's values before it could not be kept
  // (`failure` says why); the user is asked. True when they were kept.
  bool WriteWithoutHistory(const std::string& failure) const;
  // What a job keeps up to date: the history and the write baseline.
  velta::service::Records JobRecords();

  std::unique_ptr<Ui::Form3> ui;
  velta::ConnectionSource connection_;
  velta::History& history_;
  velta::Baselines baselines_;
  velta::ControllerImage image_;
  // Each bound control's state as the last ShowBlock left it; a control still in it is untouched.
  std::vector<QString> shownStates_;
  std::unique_ptr<velta::Feedback> feedback_;
  // Run-time window restored by a click on its text after switching it off.
  int rememberedLaufzeit_ = 90;
  // The view item whose groups are shown; kNoView makes the next rgAnsichtClick apply its item.
  static constexpr int kNoView = -1;
  int shownView_ = 0;
  // The expert view may be chosen without the disclaimer question.
  bool expertConsent_ = false;
  // The expert view also unlocks the power stage (mask 255 instead of 127).
  bool powerStageUnlocked_ = false;
};
