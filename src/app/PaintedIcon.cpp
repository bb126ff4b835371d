#include "app/PaintedIcon.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

namespace kvq {

namespace {

void PaintFolder(QPainter& p) {
  p.setPen(QPen(QColor(150, 110, 20), 0.8));
  p.setBrush(QColor(240, 196, 70));
  QPainterPath tab;
  tab.moveTo(1.5, 4.5);
  tab.lineTo(1.5, 2.5);
  tab.lineTo(6, 2.5);
  tab.lineTo(7.5, 4.5);
  tab.closeSubpath();
  p.drawPath(tab);
  p.drawRoundedRect(QRectF(1.5, 4.5, 13, 9), 1, 1);
  p.setPen(QPen(QColor(255, 230, 150), 0.8));
  p.drawLine(QPointF(2.5, 6), QPointF(13.5, 6));
}

}  // namespace

QIcon PaintedIcon(const TIconPainter& paint) {
  QIcon icon;
  for (int size : {16, 24, 32, 48}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 16.0, size / 16.0);
    paint(painter);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

QPixmap PaintedPixmap(int width, int height, const std::function<void(QPainter&)>& paint) {
  qreal scale = 1.0;
  if (const QScreen* screen = QGuiApplication::primaryScreen()) scale = screen->devicePixelRatio();
  QPixmap pixmap(qRound(width * scale), qRound(height * scale));
  pixmap.setDevicePixelRatio(scale);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  paint(painter);
  return pixmap;
}

QIcon FolderIcon() { return PaintedIcon(PaintFolder); }

}  // namespace kvq
