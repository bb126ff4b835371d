#include "app/ActionIcons.h"

#include <QPainter>
#include <QPainterPath>

#include <map>

#include "app/PaintedIcon.h"

namespace kvq {

namespace {

const QColor kInk(50, 60, 80);

void Page(QPainter& p, QRectF r, QColor fill = QColor(252, 252, 255)) {
  p.setPen(QPen(kInk, 1));
  p.setBrush(fill);
  p.drawRect(r);
}

void Folder(QPainter& p) {
  p.setPen(QPen(QColor(150, 110, 20), 1));
  p.setBrush(QColor(245, 200, 80));
  QPainterPath back;
  back.moveTo(1.5, 13.5);
  back.lineTo(1.5, 3.5);
  back.lineTo(6, 3.5);
  back.lineTo(7.5, 5);
  back.lineTo(13.5, 5);
  back.lineTo(13.5, 13.5);
  back.closeSubpath();
  p.drawPath(back);
  p.setBrush(QColor(252, 222, 120));
  QPainterPath flap;
  flap.moveTo(1.5, 13.5);
  flap.lineTo(4, 7.5);
  flap.lineTo(15, 7.5);
  flap.lineTo(13.5, 13.5);
  flap.closeSubpath();
  p.drawPath(flap);
}

void Disk(QPainter& p) {
  p.setPen(QPen(QColor(30, 50, 110), 1));
  p.setBrush(QColor(70, 110, 200));
  p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1.5, 1.5);
  p.setBrush(Qt::white);
  p.drawRect(QRectF(4, 1.5, 8, 5));
  p.setBrush(QColor(200, 200, 210));
  p.drawRect(QRectF(4.5, 9.5, 7, 5));
}

void Cylinder(QPainter& p, QRectF r, QColor fill) {
  const qreal cap = r.height() / 4;
  p.setPen(QPen(fill.darker(170), 1));
  p.setBrush(fill);
  QPainterPath body;
  body.moveTo(r.left(), r.top() + cap / 2);
  body.lineTo(r.left(), r.bottom() - cap / 2);
  body.arcTo(QRectF(r.left(), r.bottom() - cap, r.width(), cap), 180, 180);
  body.lineTo(r.right(), r.top() + cap / 2);
  p.drawPath(body);
  p.setBrush(fill.lighter(130));
  p.drawEllipse(QRectF(r.left(), r.top(), r.width(), cap));
}

void Connect(QPainter& p) {
  Cylinder(p, QRectF(1.5, 2, 8, 12), QColor(90, 150, 210));
  p.setPen(QPen(QColor(20, 130, 40), 1.8));
  p.drawLine(QPointF(9, 8), QPointF(14.5, 8));
  p.drawLine(QPointF(12, 5.5), QPointF(14.5, 8));
  p.drawLine(QPointF(12, 10.5), QPointF(14.5, 8));
}

void Export(QPainter& p) {
  Page(p, QRectF(1.5, 1.5, 9, 13));
  p.setPen(QPen(QColor(150, 150, 160), 1));
  for (qreal y : {4.5, 7.0, 9.5}) p.drawLine(QPointF(3, y), QPointF(8.5, y));
  p.setPen(QPen(QColor(200, 90, 20), 1.8));
  p.drawLine(QPointF(7, 11), QPointF(14.5, 11));
  p.drawLine(QPointF(12, 8.5), QPointF(14.5, 11));
  p.drawLine(QPointF(12, 13.5), QPointF(14.5, 11));
}

void Printer(QPainter& p) {
  Page(p, QRectF(4.5, 1.5, 7, 5));
  p.setPen(QPen(kInk, 1));
  p.setBrush(QColor(170, 175, 190));
  p.drawRoundedRect(QRectF(1.5, 6, 13, 6), 1, 1);
  Page(p, QRectF(4.5, 10, 7, 4.5));
  p.setPen(QPen(QColor(40, 180, 60), 1.5));
  p.drawPoint(QPointF(12.5, 8));
}

void Copy(QPainter& p) {
  Page(p, QRectF(1.5, 1.5, 8, 10));
  Page(p, QRectF(6, 4.5, 8, 10));
  p.setPen(QPen(QColor(150, 150, 160), 1));
  for (qreal y : {7.5, 9.5, 11.5}) p.drawLine(QPointF(7.5, y), QPointF(12.5, y));
}

void Refresh(QPainter& p) {
  p.setPen(QPen(QColor(20, 120, 60), 2, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(2.5, 2.5, 11, 11), 60 * 16, 270 * 16);
  p.setBrush(QColor(20, 120, 60));
  p.setPen(Qt::NoPen);
  QPainterPath head;
  head.moveTo(9, 0.5);
  head.lineTo(13.5, 3.5);
  head.lineTo(8.5, 6);
  head.closeSubpath();
  p.drawPath(head);
}

void Graph(QPainter& p) {
  Page(p, QRectF(1.5, 1.5, 13, 13), Qt::white);
  p.setPen(QPen(QColor(210, 40, 40), 1.5));
  p.drawPolyline(QPolygonF({QPointF(3, 11), QPointF(6, 7), QPointF(8.5, 9), QPointF(13, 3.5)}));
  p.setPen(QPen(QColor(40, 90, 200), 1.2));
  p.drawPolyline(QPolygonF({QPointF(3, 6), QPointF(7, 12), QPointF(10, 10), QPointF(13, 12)}));
}

void List(QPainter& p) {
  Page(p, QRectF(1.5, 1.5, 13, 13), Qt::white);
  p.setPen(QPen(QColor(120, 130, 150), 1));
  p.fillRect(QRectF(2, 2, 12, 3), QColor(190, 205, 230));
  for (qreal y : {5.5, 8.5, 11.5}) p.drawLine(QPointF(2, y), QPointF(14, y));
  p.drawLine(QPointF(6.5, 2), QPointF(6.5, 14));
}

void Station(QPainter& p) {
  p.setPen(QPen(QColor(20, 110, 40), 1.6));
  p.drawLine(QPointF(8, 2.5), QPointF(3.5, 14.5));
  p.drawLine(QPointF(8, 2.5), QPointF(12.5, 14.5));
  p.drawLine(QPointF(5.5, 9), QPointF(10.5, 9));
  p.setPen(QPen(QColor(40, 90, 200), 1.2));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(3, 0, 10, 6), 30 * 16, 120 * 16);
  p.setBrush(QColor(220, 40, 40));
  p.setPen(Qt::NoPen);
  p.drawEllipse(QPointF(8, 2.5), 1.6, 1.6);
}

void Sensor(QPainter& p) {
  p.setPen(QPen(QColor(150, 80, 0), 1));
  p.setBrush(QColor(250, 245, 230));
  p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
  p.setPen(QPen(QColor(150, 80, 0), 0.8));
  for (int i = 0; i < 5; ++i) {
    p.save();
    p.translate(8, 8);
    p.rotate(-135 + i * 67.5);
    p.drawLine(QPointF(0, -5.5), QPointF(0, -4));
    p.restore();
  }
  p.setPen(QPen(QColor(210, 40, 40), 1.5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(8, 8), QPointF(11, 4.5));
  p.setBrush(kInk);
  p.setPen(Qt::NoPen);
  p.drawEllipse(QPointF(8, 8), 1.3, 1.3);
}

void Funnel(QPainter& p) {
  p.setPen(QPen(QColor(60, 60, 120), 1));
  p.setBrush(QColor(120, 150, 230));
  QPainterPath f;
  f.moveTo(1.5, 2.5);
  f.lineTo(14.5, 2.5);
  f.lineTo(9.5, 8.5);
  f.lineTo(9.5, 14);
  f.lineTo(6.5, 12.5);
  f.lineTo(6.5, 8.5);
  f.closeSubpath();
  p.drawPath(f);
}

void Help(QPainter& p) {
  p.setPen(QPen(QColor(20, 70, 160), 1));
  p.setBrush(QColor(50, 110, 210));
  p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
  QFont font = p.font();
  font.setPixelSize(11);
  font.setBold(true);
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(QRectF(1.5, 1.5, 13, 13), Qt::AlignCenter, QStringLiteral("?"));
}

void Clear(QPainter& p) {
  p.setPen(QPen(QColor(190, 40, 40), 2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(4, 4), QPointF(12, 12));
  p.drawLine(QPointF(12, 4), QPointF(4, 12));
}

void Tree(QPainter& p) {
  p.setPen(QPen(kInk, 1));
  p.drawLine(QPointF(4, 4), QPointF(4, 12.5));
  p.drawLine(QPointF(4, 8), QPointF(8, 8));
  p.drawLine(QPointF(4, 12.5), QPointF(8, 12.5));
  p.setBrush(QColor(90, 150, 210));
  p.drawRect(QRectF(1.5, 1.5, 5, 4));
  p.drawRect(QRectF(8, 6, 6, 4));
  p.drawRect(QRectF(8, 10.5, 6, 4));
}

}  // namespace

QIcon ActionIcon(const QString& actionName) {
  static const std::map<QString, void (*)(QPainter&)> painters{
      {QStringLiteral("OpenSensorFile"), Folder},
      {QStringLiteral("SaveSensorFile"), Disk},
      {QStringLiteral("Connect1"), Connect},
      {QStringLiteral("actExport"), Export},
      {QStringLiteral("actPrint"), Printer},
      {QStringLiteral("actCopy"), Copy},
      {QStringLiteral("RefreshTreeView"), Refresh},
      {QStringLiteral("actRetrieveDataToGraph"), Graph},
      {QStringLiteral("actRetrieveDataToList"), List},
      {QStringLiteral("actRetrieveStation"), Station},
      {QStringLiteral("actRetrieveSensor"), Sensor},
      {QStringLiteral("actApplyFilter"), Funnel},
      {QStringLiteral("actHelpIndex"), Help},
      {QStringLiteral("actClearData"), Clear},
      {QStringLiteral("actViewLeftTree"), Tree},
  };
  // painted afresh each time: the window asks once per action
  const auto p = painters.find(actionName);
  return p == painters.end() ? QIcon() : PaintedIcon(p->second);
}

}  // namespace kvq
