#include "ui/pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace velta {

QPixmap MakerLogo() {
  QPixmap logo(110, 56);
  logo.fill(Qt::transparent);
  QPainter p(&logo);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, 56);
  sky.setColorAt(0, QColor(30, 110, 200));
  sky.setColorAt(1, QColor(10, 60, 130));
  p.setBrush(sky);
  p.setPen(Qt::NoPen);
  p.drawRoundedRect(QRectF(1, 1, 108, 54), 8, 8);
  QFont title = p.font();
  title.setBold(true);
  title.setPixelSize(22);
  p.setFont(title);
  p.setPen(Qt::white);
  p.drawText(QRectF(0, 4, 110, 30), Qt::AlignCenter, "VELTA");
  QFont maker = p.font();
  maker.setBold(false);
  maker.setPixelSize(11);
  p.setFont(maker);
  p.drawText(QRectF(0, 32, 110, 18), Qt::AlignCenter, "Korvelt");
  return logo;
}

QPixmap NormalViewPicture() {
  // A cistern with its pump and the pipe to the house.
  QPixmap picture(230, 300);
  picture.fill(Qt::transparent);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF ground(0, 110, 230, 190);
  p.fillRect(ground, QColor(196, 170, 128));
  p.fillRect(QRectF(0, 100, 230, 12), QColor(90, 150, 70));

  const QRectF tank(20, 150, 120, 120);
  p.setPen(QPen(QColor(80, 80, 80), 3));
  p.setBrush(QColor(235, 235, 235));
  p.drawRoundedRect(tank, 18, 18);
  QPainterPath inside;
  inside.addRoundedRect(tank.adjusted(3, 3, -3, -3), 15, 15);
  p.save();
  p.setClipPath(inside);
  p.fillRect(QRectF(tank.left(), tank.top() + 45, tank.width(), tank.height()),
             QColor(60, 140, 220));
  p.restore();
  p.drawLine(QPointF(80, 150), QPointF(80, 112));  // shaft

  const QRectF pump(150, 60, 56, 40);
  p.setBrush(QColor(30, 110, 200));
  p.drawRoundedRect(pump, 6, 6);
  p.setPen(QPen(QColor(60, 60, 60), 5));
  p.drawLine(QPointF(100, 250), QPointF(100, 80));  // suction pipe
  p.drawLine(QPointF(100, 80), QPointF(150, 80));
  p.drawLine(QPointF(206, 80), QPointF(226, 80));
  p.drawLine(QPointF(226, 80), QPointF(226, 20));

  QFont font = p.font();
  font.setBold(true);
  font.setPixelSize(16);
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(pump, Qt::AlignCenter, "VEL");
  return picture;
}

}  // namespace velta
