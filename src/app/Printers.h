// The printer the user chose in "Print Set&up...", shared by everything that
// prints (the graph, the lists, the parameter sheets).
#pragma once

class QPrinter;
class QWidget;

namespace kvq {

// The program's printer, made on first use and kept until the program ends.
// Needs a QApplication.
QPrinter& SharedPrinter();

// The printer setup dialog (paper, orientation, margins) on SharedPrinter(),
// run through ExecDialog. True when the user accepted it.
bool RunPrinterSetup(QWidget* parent);

}  // namespace kvq
