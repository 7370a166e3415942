// Monitor window: connection management, the live status poll and the error log.
#pragma once

#include <QWidget>
#include <cstdint>
#include <memory>

#include "link/channel.h"
#include "link/connection.h"

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

  // --- Status poll and view (defined in Unit1_status.cpp) ---
  void Timer1Timer();
  // Polling was switched on: history read again, filter rinse page asked again.
  void ResetPollForStart();
  bool View3D() const;
  void SetView3D(bool on);
  void MemoErrorDblClick();
  void MemoErrorStoreDblClick();
  void edFileDblClick();
  void imgStoreClick();
  void Image1Click();
  void Chart1Click();
  void bbClrErrorClick();
  void bbWriteEnableClick();
  // --- end of status poll and view ---

 private:
  std::unique_ptr<Ui::Form1> ui;
  velta::ConnectionSettings connection_;
  velta::Channel* channel_ = nullptr;  // the poll Channel while Polling
};
