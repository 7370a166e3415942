// Settings window: the Parameter block in value editors, and the controller operations.
#pragma once

#include <QDialog>

class Form3 : public QDialog {
  Q_OBJECT
 public:
  explicit Form3(QWidget* parent = nullptr);

  // Puts the view selector back to its first entry ("Normal") and applies that view.
  void ResetView();
  // The firmware update button follows the transport (hidden over TCP unless Admin flag 0x04).
  void SetUpdateButtonVisible(bool visible);
  // Whether the flow sensor option is ticked (the Monitor window's blue LED caption).
  bool FlowSensorTicked() const;
};
