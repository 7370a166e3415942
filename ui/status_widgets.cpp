#include "ui/status_widgets.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include "ui/readable_colour.h"

namespace {

const QColor kSegmentLit(230, 20, 20);
const QColor kSegmentDark(70, 25, 25);
const QColor kLedDark(90, 90, 90);
const QColor kLedRim(40, 40, 40);
const QColor kSeriesBlue(0, 0, 255);

QColor LedColour(const QString& name) {
  if (name == "yellow") return QColor(255, 220, 0);
  if (name == "red") return QColor(240, 0, 0);
  if (name == "blue") return QColor(30, 90, 255);
  return QColor(0, 210, 0);
}

// A bar with pointed ends, the usual look of a seven-segment display.
QPainterPath BarPath(const QRectF& r, bool horizontal) {
  QPainterPath path;
  if (horizontal) {
    const double tip = r.height() / 2;
    path.moveTo(r.left(), r.center().y());
    path.lineTo(r.left() + tip, r.top());
    path.lineTo(r.right() - tip, r.top());
    path.lineTo(r.right(), r.center().y());
    path.lineTo(r.right() - tip, r.bottom());
    path.lineTo(r.left() + tip, r.bottom());
  } else {
    const double tip = r.width() / 2;
    path.moveTo(r.center().x(), r.top());
    path.lineTo(r.right(), r.top() + tip);
    path.lineTo(r.right(), r.bottom() - tip);
    path.lineTo(r.center().x(), r.bottom());
    path.lineTo(r.left(), r.bottom() - tip);
    path.lineTo(r.left(), r.top() + tip);
  }
  path.closeSubpath();
  return path;
}

}  // namespace

SegmentImage::SegmentImage(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TranslucentBackground);
}

void SegmentImage::setSegment(const QString& segment) {
  segment_ = segment;
  update();
}

void SegmentImage::setLit(bool lit) {
  if (lit_ == lit) return;
  lit_ = lit;
  update();
}

void SegmentImage::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(lit_ ? kSegmentLit : kSegmentDark);
  const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  if (segment_ == "dp") {
    painter.drawEllipse(area);
    return;
  }
  // Named a, d, g: horizontal; b, c, e, f: vertical; unnamed ones follow their shape.
  const bool horizontal = segment_.isEmpty() ? width() >= height()
                                             : QString("adg").contains(segment_);
  painter.drawPath(BarPath(area, horizontal));
}

LedImage::LedImage(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TranslucentBackground);
}

void LedImage::setColour(const QString& colour) {
  colour_ = colour;
  update();
}

void LedImage::setLit(bool lit) {
  lit_ = lit;
  update();
}

void LedImage::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF area = QRectF(rect()).adjusted(1, 1, -1, -1);
  const QColor base = lit_ ? LedColour(colour_) : kLedDark;
  // Highlight up and left of the centre, as light falls on a domed lens.
  QRadialGradient gradient(area.center(), area.width() / 2,
                           area.center() - QPointF(area.width() / 5, area.height() / 5));
  gradient.setColorAt(0, base.lighter(lit_ ? 170 : 130));
  gradient.setColorAt(1, base.darker(lit_ ? 130 : 150));
  painter.setBrush(gradient);
  // The rim keeps a dark LED apart from a dark window; a line this thin, smoothed into its
  // neighbours, needs more contrast than text.
  painter.setPen(QPen(velta::ReadableOn(kLedRim, palette().color(QPalette::Window), 4.5), 1));
  painter.drawEllipse(area);
}

HistoryChart::HistoryChart(QWidget* parent) : QWidget(parent) {
  setAutoFillBackground(true);
}

void HistoryChart::ShowSamples(const QVector<QPointF>& points, bool line) {
  series1_.clear();
  series2_.clear();
  (line ? series1_ : series2_) = points;
  update();
}

void HistoryChart::SetView3D(bool on) {
  view3D_ = on;
  update();
}

void HistoryChart::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillRect(rect(), palette().base());

  // Plot area: room for the right axis labels and the bottom axis labels; in 3D the depth
  // takes some of the top right.
  const int depth = view3D_ ? 6 : 0;
  const QFontMetrics metrics(font());
  const double left = metrics.horizontalAdvance("-28") / 2.0 + 2;
  const QRectF plot(left, 4 + depth, width() - left - metrics.horizontalAdvance("100") - 6 - depth,
                    height() - 8 - depth - metrics.height());
  if (plot.width() <= 0 || plot.height() <= 0) return;
  auto toScreen = [&](double x, double y) {
    return QPointF(plot.left() + (x - kBottomMin) / (kBottomMax - kBottomMin) * plot.width(),
                   plot.bottom() - (y - kRightMin) / (kRightMax - kRightMin) * plot.height());
  };
  const QPointF back(depth, -depth);

  // Walls and grid.
  painter.setPen(QPen(QColor(200, 200, 200), 1, Qt::DotLine));
  for (int y = 0; y <= 100; y += 25) {
    const QPointF left = toScreen(kBottomMin, y), right = toScreen(kBottomMax, y);
    painter.drawLine(left + back, right + back);
  }
  for (int x = -28; x <= 0; x += 4) {
    painter.drawLine(toScreen(x, kRightMin) + back, toScreen(x, kRightMax) + back);
  }
  painter.setPen(palette().color(QPalette::Text));
  painter.drawLine(toScreen(kBottomMin, 0), toScreen(kBottomMax, 0));
  painter.drawLine(toScreen(kBottomMax, 0), toScreen(kBottomMax, 100));
  if (depth) {
    painter.drawLine(toScreen(kBottomMax, 0), toScreen(kBottomMax, 0) + back);
    painter.drawLine(toScreen(kBottomMax, 100), toScreen(kBottomMax, 100) + back);
  }
  for (int y = 0; y <= 100; y += 25) {
    const QPointF at = toScreen(kBottomMax, y) + back;
    painter.drawText(QPointF(at.x() + 3, at.y() + metrics.ascent() / 2.0 - 1), QString::number(y));
  }
  for (int x = -28; x <= 0; x += 4) {
    const QPointF at = toScreen(x, 0);
    const QString label = QString::number(x);
    painter.drawText(QPointF(at.x() - metrics.horizontalAdvance(label) / 2.0,
                             at.y() + metrics.ascent() + 1),
                     label);
  }

  // Samples above 100 (the ring holds bytes) end at the top of the fixed axis.
  painter.setClipRect(
      QRectF(plot.left(), plot.top() - depth, plot.width() + depth + 1, plot.height() + depth + 1));
  // Blue on a light chart, a lighter blue on a dark one.
  const QColor series = velta::ReadableOn(kSeriesBlue, palette().color(QPalette::Base));
  const QColor side = series.darker(160), top = series.lighter(150);
  for (const QPointF& p : series2_) {
    const QRectF bar(toScreen(p.x() - kBarWidth / 2, p.y()), toScreen(p.x() + kBarWidth / 2, 0));
    if (depth) {
      painter.setPen(Qt::NoPen);
      painter.setBrush(side);
      painter.drawPolygon(QPolygonF({bar.topRight(), bar.topRight() + back,
                                     bar.bottomRight() + back, bar.bottomRight()}));
      painter.setBrush(top);
      painter.drawPolygon(QPolygonF({bar.topLeft(), bar.topLeft() + back, bar.topRight() + back,
                                     bar.topRight()}));
    }
    painter.fillRect(bar, series);
  }
  if (series1_.size() > 1) {
    QPolygonF line;
    for (const QPointF& p : series1_) line << toScreen(p.x(), p.y());
    if (depth) {
      // A ribbon: the line drawn again behind, with the band between shaded.
      painter.setPen(Qt::NoPen);
      painter.setBrush(side);
      for (int i = 1; i < line.size(); ++i) {
        painter.drawPolygon(QPolygonF({line[i - 1], line[i], line[i] + back, line[i - 1] + back}));
      }
      painter.setPen(QPen(top, 1.5));
      painter.drawPolyline(line.translated(back));
    }
    painter.setPen(QPen(series, 1.5));
    painter.drawPolyline(line);
  }
}
