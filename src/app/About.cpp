#include "app/About.h"

#include <QPainter>
#include <QPainterPath>

#include "Version.h"
#include "app/DialogRunner.h"
#include "app/PaintedIcon.h"
#include "ui_About.h"

namespace kvq {

namespace {

// The picture on a 64 x 64 canvas: sky, a rain cloud, a stream with a staff
// gauge standing in it.
void PaintPicture(QPainter& p) {
  QLinearGradient sky(0, 0, 0, 40);
  sky.setColorAt(0, QColor(150, 190, 235));
  sky.setColorAt(1, QColor(225, 238, 250));
  p.setPen(Qt::NoPen);
  p.setBrush(sky);
  p.drawRoundedRect(QRectF(0, 0, 64, 64), 8, 8);

  // Cloud and rain.
  p.setBrush(QColor(120, 130, 150));
  p.drawEllipse(QRectF(6, 6, 18, 12));
  p.drawEllipse(QRectF(15, 3, 18, 15));
  p.drawEllipse(QRectF(26, 7, 16, 11));
  p.drawRect(QRectF(12, 12, 24, 6));
  p.setPen(QPen(QColor(40, 100, 200), 1.6, Qt::SolidLine, Qt::RoundCap));
  for (int i = 0; i < 5; ++i) {
    const double x = 11 + i * 6;
    p.drawLine(QPointF(x, 22), QPointF(x - 2, 27));
  }

  // Banks and the stream.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(110, 160, 80));
  QPainterPath bank;
  bank.moveTo(0, 38);
  bank.cubicTo(20, 33, 40, 40, 64, 35);
  bank.lineTo(64, 64);
  bank.lineTo(0, 64);
  bank.closeSubpath();
  p.drawPath(bank);
  QLinearGradient water(0, 40, 0, 64);
  water.setColorAt(0, QColor(60, 130, 210));
  water.setColorAt(1, QColor(20, 70, 150));
  p.setBrush(water);
  QPainterPath stream;
  stream.moveTo(0, 46);
  stream.cubicTo(16, 42, 30, 50, 64, 44);
  stream.lineTo(64, 60);
  stream.cubicTo(40, 64, 20, 56, 0, 62);
  stream.closeSubpath();
  p.drawPath(stream);
  p.setPen(QPen(QColor(190, 220, 250), 1.2));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(8, 50, 14, 4), 0, 180 * 16);
  p.drawArc(QRectF(30, 53, 14, 4), 0, 180 * 16);

  // Staff gauge: a white board with black marks on a post.
  p.setPen(QPen(QColor(60, 60, 60), 1));
  p.setBrush(QColor(120, 90, 60));
  p.drawRect(QRectF(50, 24, 3, 34));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(44, 22, 8, 28));
  p.setPen(QPen(Qt::black, 1));
  for (int i = 0; i < 7; ++i) {
    const double y = 25 + i * 3.8;
    p.drawLine(QPointF(44.5, y), QPointF(i % 2 ? 48 : 50, y));
  }
  // Water line across the board.
  p.setPen(QPen(QColor(200, 40, 40), 1.4));
  p.drawLine(QPointF(42, 45.5), QPointF(54, 45.5));
}

}  // namespace

QString AboutVersionLine(const QString& productVersion, const QString& fileVersion) {
  const QStringList parts = fileVersion.split('.');
  const QString build = parts.size() >= 4 ? parts[3] : QString();
  return "Version " + productVersion + " (Build " + build + ")";
}

QString ProgramVersion() { return QStringLiteral(KVQ_VERSION); }

QPixmap ProgramPicture(int size) {
  return PaintedPixmap(size, size, [size](QPainter& p) {
    p.scale(size / 64.0, size / 64.0);
    PaintPicture(p);
  });
}

TfmAbout::TfmAbout(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TfmAbout>()) {
  ui_->setupUi(this);
  ui_->imgProgramIcon->setPixmap(ProgramPicture(72));
  SetVersion(ProgramVersion(), ProgramVersion());
  connect(ui_->btnOK, &QPushButton::clicked, this, &QDialog::accept);
}

TfmAbout::~TfmAbout() = default;

void TfmAbout::SetVersion(const QString& productVersion, const QString& fileVersion) {
  ui_->lblVersion->setText(AboutVersionLine(productVersion, fileVersion));
  setFixedSize(sizeHint().expandedTo(QSize(330, 0)));
}

void ShowAboutBox(QWidget* parent) {
  TfmAbout about(parent);
  ExecDialog(about);
}

}  // namespace kvq
