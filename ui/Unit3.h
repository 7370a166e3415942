// Settings window: the Parameter block in value editors, and the controller operations.
#pragma once

#include <QDialog>
#include <memory>

#include "controller/feedback.h"
#include "controller/image.h"

namespace Ui {
class Form3;
}

class Form3 : public QDialog {
  Q_OBJECT
 public:
  explicit Form3(QWidget* parent = nullptr);
  ~Form3() override;

  // Puts the view selector back to its first entry ("Normal") and applies that view.
  void ResetView();
  // The firmware update button follows the transport (hidden over TCP unless Admin flag 0x04).
  void SetUpdateButtonVisible(bool visible);
  // Whether the flow sensor option is ticked (the Monitor window's blue LED caption).
  bool FlowSensorTicked() const;

  // The process-wide controller image (Parameter block and Backup image).
  velta::ControllerImage& Image() { return image_; }
  // Memo3, the beep and pbAktiv, as the operations report through them.
  velta::Feedback& WindowFeedback();
  // The binding between the image and the editors.
  void ShowBlock();
  bool CollectBlock();

  // --- Controller operations (defined in Unit3_operations.cpp) ---
  void bbReadBCClick();
  void bbSendBCClick();
  void bbLoadClick();
  void bSaveClick();
  void bbReadHClick();
  void bbWriteHClick();
  void cbClrChange();
  void bbReadErrorClick();
  void bbClrErrorClick();
  void cbFehlerspeicherChange();
  void bbReadTimerClick();
  // --- end of controller operations ---

  // --- Firmware update (defined in Unit3_update.cpp) ---
  void bbUpdateClick();
  // --- end of firmware update ---

 private:
  std::unique_ptr<Ui::Form3> ui;
  velta::ControllerImage image_;
};
