#include "app/Splash.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QTimer>
#include <cmath>

#include "app/PaintedIcon.h"
#include "ui_Splash.h"

namespace kvq {

namespace {

TSplashForm* g_splash = nullptr;

constexpr int kFrames = 8;

// Frame `n` of the animation on a 32 x 32 canvas: a database cylinder whose
// stored level rises, under a ring of dots with one bright dot going round.
void PaintFrame(QPainter& p, int n) {
  const double level = 26 - (n + 1) * 12.0 / kFrames;
  p.setPen(QPen(QColor(30, 60, 120), 1));
  p.setBrush(QColor(225, 232, 242));
  QPainterPath body;
  body.moveTo(9, 12);
  body.lineTo(9, 25);
  body.arcTo(QRectF(9, 22, 14, 6), 180, 180);
  body.lineTo(23, 12);
  body.closeSubpath();
  p.drawPath(body);
  p.save();
  p.setClipPath(body);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(60, 120, 210));
  p.drawRect(QRectF(8, level, 16, 30 - level));
  p.restore();
  p.setBrush(QColor(150, 185, 235));
  p.drawEllipse(QRectF(9, 9, 14, 6));

  for (int i = 0; i < kFrames; ++i) {
    const double angle = (i * 360.0 / kFrames - 90) * M_PI / 180;
    const QPointF centre(16 + 14 * std::cos(angle), 17 + 14 * std::sin(angle));
    p.setPen(Qt::NoPen);
    p.setBrush(i == n ? QColor(230, 120, 20) : QColor(190, 190, 190));
    p.drawEllipse(centre, i == n ? 2.2 : 1.4, i == n ? 2.2 : 1.4);
  }
}

}  // namespace

TSplashForm::TSplashForm(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      ui_(std::make_unique<Ui::TSplashForm>()),
      tmrAnimate(new QTimer(this)) {
  ui_->setupUi(this);
  setAttribute(Qt::WA_DeleteOnClose);
  setFixedSize(256, 53);
  // Borderless: a frame of its own so the box stands out from what is below.
  setAutoFillBackground(true);
  for (int n = 0; n < kFrames; ++n)
    frames_.push_back(PaintedPixmap(32, 32, [n](QPainter& p) { PaintFrame(p, n); }));
  ui_->imgAnimation->setPixmap(frames_[0]);
  tmrAnimate->setObjectName("tmrAnimate");
  tmrAnimate->setInterval(kFrameIntervalMs);
  connect(tmrAnimate, &QTimer::timeout, this, &TSplashForm::tmrAnimateTimer);
  g_splash = this;
}

TSplashForm::~TSplashForm() {
  if (g_splash == this) g_splash = nullptr;
}

TSplashForm* TSplashForm::Current() { return g_splash; }

void TSplashForm::SetText(const QString& text) {
  QString lines = text;
  lines.replace("\r\n", "\n");
  ui_->SplashLabel->setText(lines);
}

QString TSplashForm::Text() const { return ui_->SplashLabel->text(); }

void TSplashForm::tmrAnimateTimer() {
  frame_ = (frame_ + 1) % FrameCount();
  ui_->imgAnimation->setPixmap(frames_[frame_]);
}

void TSplashForm::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  QPainter p(this);
  p.setPen(palette().color(QPalette::Dark));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TSplashForm::closeEvent(QCloseEvent* event) {
  // The reference goes at once; the box itself a moment later (delete on
  // close defers the delete to the event loop).
  if (g_splash == this) g_splash = nullptr;
  QWidget::closeEvent(event);
}

void TSplashForm::showEvent(QShowEvent* event) {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  tmrAnimate->start();
  QWidget::showEvent(event);
}

void TSplashForm::hideEvent(QHideEvent* event) {
  tmrAnimate->stop();
  QWidget::hideEvent(event);
}

TSplashForm* ShowBusyBox(const QString& text) {
  TSplashForm* splash = TSplashForm::Current();
  if (!splash) splash = new TSplashForm;
  splash->SetText(text);
  splash->show();
  splash->raise();
  // Let it paint before the caller's work keeps the GUI thread busy.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  return splash;
}

void CloseBusyBox() {
  if (TSplashForm* splash = TSplashForm::Current()) splash->close();
}

}  // namespace kvq
