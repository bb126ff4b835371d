#include "app/ExitConfirm.h"

#include <QApplication>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QThread>
#include <QTimer>
#include <exception>

#include "ui_ExitConfirm.h"

namespace kvq {

namespace {

// The re-entrancy guard of ConfirmExit: the window that is open, cleared
// when it is destroyed.
TfrmExitConfirm* g_current = nullptr;
int g_timeoutMs = kExitConfirmTimeoutMs;

}  // namespace

TfrmExitConfirm::TfrmExitConfirm(int timeoutMs, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TfrmExitConfirm>()), tmrTimeout(new QTimer(this)) {
  ui_->setupUi(this);
  // A dialog border without border icons, above every other window.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint);
  ui_->imgQuestion->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
  setFixedSize(sizeHint().expandedTo(QSize(360, 0)));
  tmrTimeout->setObjectName("tmrTimeout");
  tmrTimeout->setSingleShot(true);
  tmrTimeout->setInterval(timeoutMs);
  connect(tmrTimeout, &QTimer::timeout, this, &TfrmExitConfirm::tmrTimeoutTimer);
  connect(ui_->btnOK, &QPushButton::clicked, this, &TfrmExitConfirm::btnOKClick);
  connect(ui_->btnCancel, &QPushButton::clicked, this, &TfrmExitConfirm::btnCancelClick);
  g_current = this;
}

TfrmExitConfirm::~TfrmExitConfirm() {
  if (g_current == this) g_current = nullptr;
}

TfrmExitConfirm* TfrmExitConfirm::Current() { return g_current; }

void TfrmExitConfirm::showEvent(QShowEvent* event) {
  // Centred on the desktop, not on the main window.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  tmrTimeout->start();
  QDialog::showEvent(event);
}

void TfrmExitConfirm::Answer(int result) {
  if (exitResult_ == kExitNone) exitResult_ = result;
  tmrTimeout->stop();
  QDialog::done(exitResult_ == kExitOK ? Accepted : Rejected);
}

void TfrmExitConfirm::btnOKClick() { Answer(kExitOK); }
void TfrmExitConfirm::btnCancelClick() { Answer(kExitCancel); }
void TfrmExitConfirm::tmrTimeoutTimer() { Answer(kExitTimeout); }
void TfrmExitConfirm::reject() { Answer(kExitCancel); }

bool ConfirmExit(int timeoutMs) {
  if (TfrmExitConfirm::Current()) return false;
  try {
    QPointer<TfrmExitConfirm> confirm = new TfrmExitConfirm(timeoutMs < 0 ? g_timeoutMs : timeoutMs);
    confirm->show();
    confirm->raise();
    confirm->activateWindow();
    // Not modal: the program keeps drawing and its timers keep running, and
    // the guard above turns a second close request into a no.
    while (confirm && confirm->ExitResult() == kExitNone && !QCoreApplication::closingDown()) {
      QCoreApplication::processEvents(QEventLoop::AllEvents);
      QThread::msleep(1);
    }
    // Destroyed behind our back (the application going away): let it close.
    if (!confirm) return true;
    const int result = confirm->ExitResult();
    delete confirm.data();
    return result == kExitOK || result == kExitNone;
  } catch (...) {
    return true;
  }
}

int ExitConfirmTimeout() { return g_timeoutMs; }
void SetExitConfirmTimeout(int timeoutMs) { g_timeoutMs = timeoutMs; }

}  // namespace kvq
