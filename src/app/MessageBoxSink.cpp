#include "app/MessageBoxSink.h"

#include <QApplication>
#include <QMessageBox>

namespace kvq {

namespace {

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QString Title() {
  const QString name = QApplication::applicationDisplayName();
  return name.isEmpty() ? QStringLiteral("KV Quillon") : name;
}

}  // namespace

TMessageBoxSink::TMessageBoxSink() : previous_(SetMessageSink(this)) {}

TMessageBoxSink::~TMessageBoxSink() { SetMessageSink(previous_); }

void TMessageBoxSink::Show(MessageKind kind, std::string_view text) {
  QMessageBox::Icon icon = QMessageBox::Information;
  if (kind == MessageKind::Error) icon = QMessageBox::Critical;
  if (kind == MessageKind::Warning) icon = QMessageBox::Warning;
  QMessageBox box(icon, Title(), Q(text), QMessageBox::Ok, window_);
  box.exec();
}

bool TMessageBoxSink::Ask(std::string_view text) {
  QMessageBox box(QMessageBox::Question, Title(), Q(text), QMessageBox::Yes | QMessageBox::No, window_);
  box.setDefaultButton(QMessageBox::Yes);
  return box.exec() == QMessageBox::Yes;
}

void TMessageBoxSink::ProcessPendingEvents() { QCoreApplication::processEvents(); }

Choice TMessageBoxSink::AbortRetryIgnore(std::string_view title, std::string_view text) {
  QMessageBox box(QMessageBox::Warning, Q(title), Q(text), QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore,
                  window_);
  switch (box.exec()) {
    case QMessageBox::Abort: return Choice::Abort;
    case QMessageBox::Retry: return Choice::Retry;
    default: return Choice::Ignore;
  }
}

void TMessageBoxSink::RequestClose() {
  // posted: the caller finishes its step before the window's close runs
  if (window_) QMetaObject::invokeMethod(window_.data(), &QWidget::close, Qt::QueuedConnection);
}

}  // namespace kvq
