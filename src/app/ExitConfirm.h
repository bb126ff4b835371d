// The exit confirmation: a small always-on-top window that asks whether to
// close the program, answers Cancel by itself after three minutes, and the
// ConfirmExit loop that the main window runs for every close request.
#pragma once

#include <QDialog>
#include <memory>

class QTimer;

namespace Ui {
class TfrmExitConfirm;
}

namespace kvq {

// ExitResult values; 0 while the question is open.
enum TExitResult : int { kExitNone = 0, kExitOK = 1, kExitCancel = 2, kExitTimeout = 3 };

// The time-out of the confirmation (3 minutes).
constexpr int kExitConfirmTimeoutMs = 180000;

class TfrmExitConfirm : public QDialog {
  Q_OBJECT

 public:
  // Creates the window (hidden) with its time-out of `timeoutMs`, which
  // starts when the window is shown. While it exists a second ConfirmExit
  // answers no at once.
  explicit TfrmExitConfirm(int timeoutMs = kExitConfirmTimeoutMs, QWidget* parent = nullptr);
  ~TfrmExitConfirm() override;
  TfrmExitConfirm(const TfrmExitConfirm&) = delete;
  TfrmExitConfirm& operator=(const TfrmExitConfirm&) = delete;

  // kExitOK, kExitCancel or kExitTimeout once answered (the window then
  // closes), kExitNone before.
  int ExitResult() const { return exitResult_; }

  // The confirmation window that exists now, or null. Lets tests answer it.
  static TfrmExitConfirm* Current();

 public slots:
  void btnOKClick();
  void btnCancelClick();
  void tmrTimeoutTimer();
  // Escape or the window manager's close: an answer of Cancel.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Answer(int result);

  std::unique_ptr<Ui::TfrmExitConfirm> ui_;
  QTimer* tmrTimeout;  // Qt child
  int exitResult_ = kExitNone;
};

// Asks whether the program may close: true only when the user presses OK.
// A request while a confirmation is already open answers false at once; a
// time-out or Cancel answers false; any failure while asking answers true.
// Shows the confirmation without making it modal and keeps the GUI alive
// (pending events, 1 ms sleeps) until it is answered. `timeoutMs` < 0 takes
// ExitConfirmTimeout().
bool ConfirmExit(int timeoutMs = -1);

// The time-out ConfirmExit uses by default; tests of the main window shorten
// it. Not thread-safe (the GUI thread only).
int ExitConfirmTimeout();
void SetExitConfirmTimeout(int timeoutMs);

}  // namespace kvq
