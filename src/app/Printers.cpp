#include "app/Printers.h"

#include <QPageSetupDialog>
#include <QPrinter>

#include "app/DialogRunner.h"

namespace kvq {

QPrinter& SharedPrinter() {
  static QPrinter printer(QPrinter::HighResolution);
  return printer;
}

bool RunPrinterSetup(QWidget* parent) {
  QPageSetupDialog dialog(&SharedPrinter(), parent);
  dialog.setWindowTitle(QStringLiteral("Print Setup"));
  return ExecDialog(dialog) == QDialog::Accepted;
}

}  // namespace kvq
