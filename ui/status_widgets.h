// Painted pictures of the Monitor window: display segments, LEDs and the history chart. They are
// promoted widgets in Unit1.ui; set these dynamic properties there:
//   SegmentImage  "segment" (string): a, b, c, d, e, f, g or dp. a, d and g are drawn as a
//                 horizontal bar, b, c, e and f as a vertical bar, dp as a dot.
//   LedImage      "colour" (string): green, yellow, red or blue;
//                 "lit" (bool): the lit picture (true) or the dark one of an ON/OFF pair.
#pragma once

#include <QColor>
#include <QPointF>
#include <QString>
#include <QVector>
#include <QWidget>
#include <array>
#include <cstdint>

// One segment (or the decimal point) of the three-digit display mimic; lit red or dark.
class SegmentImage : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString segment READ segment WRITE setSegment)
  Q_PROPERTY(bool lit READ isLit WRITE setLit)
 public:
  explicit SegmentImage(QWidget* parent = nullptr);
  QString segment() const { return segment_; }
  void setSegment(const QString& segment);
  bool isLit() const { return lit_; }
  void setLit(bool lit);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString segment_;
  bool lit_ = false;
};

// One LED of the panel in its colour, lit (radial gradient) or dark grey.
class LedImage : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString colour READ colour WRITE setColour)
  Q_PROPERTY(bool lit READ isLit WRITE setLit)
 public:
  explicit LedImage(QWidget* parent = nullptr);
  QString colour() const { return colour_; }
  void setColour(const QString& colour);
  bool isLit() const { return lit_; }
  void setLit(bool lit);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString colour_ = "green";
  bool lit_ = true;
};

// The 56-sample history chart (Chart1): Series1, a blue line without marks, or Series2, blue bars
// of full width, on a right axis fixed at 0..100 and a bottom axis fixed at -28..0; no legend
// and no title.
// The 3D look draws every series with depth and shaded sides.
class HistoryChart : public QWidget {
  Q_OBJECT
 public:
  explicit HistoryChart(QWidget* parent = nullptr);

  static constexpr double kBottomMin = -28.0, kBottomMax = 0.0;
  static constexpr double kRightMin = 0.0, kRightMax = 100.0;
  static constexpr double kBarWidth = 0.5;  // 100 % of the step between samples

  // Empties both series and fills Series1 (line) or Series2 (bars) with the points.
  void ShowSamples(const QVector<QPointF>& points, bool line);
  const QVector<QPointF>& Series1() const { return series1_; }
  const QVector<QPointF>& Series2() const { return series2_; }

  bool View3D() const { return view3D_; }
  void SetView3D(bool on);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QVector<QPointF> series1_, series2_;
  bool view3D_ = false;
};
