// Monitor window: connection management, the live status poll and the error log.
#pragma once

#include <QWidget>
#include <cstdint>

#include "link/connection.h"

class Form1 : public QWidget {
  Q_OBJECT
 public:
  explicit Form1(QWidget* parent = nullptr);

  // What the other windows need to open their own short-lived Channels.
  const velta::ConnectionSettings& Connection() const { return connection_; }
  std::uint8_t Admin() const { return connection_.admin; }
  // The caption of the blue LED's label (the Settings window's flow sensor and valve options).
  void SetBlueLedCaption(const QString& caption);

 private:
  velta::ConnectionSettings connection_;
};
