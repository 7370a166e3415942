#include "ui/tank_shape_plot.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "ui/readable_colour.h"

TankShapePlot::TankShapePlot(QWidget* parent) : QWidget(parent) {}

void TankShapePlot::SetTable(const velta::TankTable& table) {
  table_ = table;
  update();
}

void TankShapePlot::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF area = QRectF(rect()).adjusted(6, 6, -6, -6);
  painter.fillRect(rect(), palette().base());
  painter.setPen(QPen(palette().mid().color(), 1));
  painter.drawRect(area);
  // A table read from the controller may hold bytes above 100; the scale grows to show them.
  const int top = std::max(100, *std::max_element(table_.begin(), table_.end()));
  QPainterPath curve;
  for (int i = 0; i < velta::kTankEntries; ++i) {
    const QPointF point(area.left() + area.width() * i / (velta::kTankEntries - 1),
                        area.bottom() - area.height() * table_[static_cast<std::size_t>(i)] / top);
    if (i == 0) {
      curve.moveTo(point);
    } else {
      curve.lineTo(point);
    }
  }
  QPainterPath filled = curve;
  filled.lineTo(area.bottomRight());
  filled.lineTo(area.bottomLeft());
  filled.closeSubpath();
  painter.fillPath(filled, QColor(70, 140, 220, 90));
  painter.setPen(QPen(velta::ReadableOn(QColor(20, 80, 170), palette().color(QPalette::Base)), 2));
  painter.drawPath(curve);
}
