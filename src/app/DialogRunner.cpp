#include "app/DialogRunner.h"

#include <QDialog>

namespace kvq {

namespace {

TDialogRunner& Runner() {
  static TDialogRunner runner;
  return runner;
}

}  // namespace

int ExecDialog(QDialog& dialog) {
  if (Runner()) return Runner()(dialog);
  return dialog.exec();
}

TDialogRunner SetDialogRunner(TDialogRunner runner) {
  TDialogRunner previous = std::move(Runner());
  Runner() = std::move(runner);
  return previous;
}

}  // namespace kvq
