// Painted pictures of the Monitor window: display segments, LEDs and the history chart.
#pragma once

#include <QWidget>

// One segment (or the decimal point) of the three-digit display mimic; lit or dark.
class SegmentImage : public QWidget {
  Q_OBJECT
 public:
  explicit SegmentImage(QWidget* parent = nullptr) : QWidget(parent) {}
};

// One LED of the panel in its colour; lit or dark.
class LedImage : public QWidget {
  Q_OBJECT
 public:
  explicit LedImage(QWidget* parent = nullptr) : QWidget(parent) {}
};

// The 56-sample history chart (Chart1): a line series or a bar series, optionally in 3D.
class HistoryChart : public QWidget {
  Q_OBJECT
 public:
  explicit HistoryChart(QWidget* parent = nullptr) : QWidget(parent) {}
};
