// The modal-dialog seam: our own dialogs (the explorer's folder dialog and
// alias chooser, the options dialog, the about box) are run through one
// replaceable function instead of QDialog::exec(), so GUI tests fill in the
// real dialog and press its buttons without ever blocking in a nested loop.
#pragma once

#include <functional>

class QDialog;

namespace kvq {

// Runs a dialog modally and returns its result (QDialog::Accepted or
// QDialog::Rejected). The dialog stays owned by the caller.
using TDialogRunner = std::function<int(QDialog&)>;

// Runs `dialog` through the installed runner; QDialog::exec() when none is.
int ExecDialog(QDialog& dialog);

// Installs `runner` (empty restores exec()) and returns the previous one.
TDialogRunner SetDialogRunner(TDialogRunner runner);

// Installs a runner for its lifetime, then restores the previous one.
class TScopedDialogRunner {
 public:
  explicit TScopedDialogRunner(TDialogRunner runner) : previous_(SetDialogRunner(std::move(runner))) {}
  ~TScopedDialogRunner() { SetDialogRunner(std::move(previous_)); }
  TScopedDialogRunner(const TScopedDialogRunner&) = delete;
  TScopedDialogRunner& operator=(const TScopedDialogRunner&) = delete;

 private:
  TDialogRunner previous_;
};

}  // namespace kvq
