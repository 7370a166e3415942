// A small picture of the tank table: the filling percentage over the level steps 0..100.
#pragma once

#include <QWidget>

#include "controller/tank_table.h"

class TankShapePlot : public QWidget {
  Q_OBJECT
 public:
  explicit TankShapePlot(QWidget* parent = nullptr);
  void SetTable(const velta::TankTable& table);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  velta::TankTable table_{};
};
