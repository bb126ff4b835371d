#include "app/FileChooser.h"

#include <QFileDialog>

namespace kvq {

namespace {

TFileChooser& Installed() {
  static TFileChooser chooser;
  return chooser;
}

QString RunFileDialog(QWidget* parent, const TFileRequest& r) {
  QFileDialog dialog(parent, r.Caption, r.Folder, r.Filter);
  switch (r.Kind) {
    case TFileDialogKind::Open:
      dialog.setAcceptMode(QFileDialog::AcceptOpen);
      dialog.setFileMode(QFileDialog::ExistingFile);
      break;
    case TFileDialogKind::Save:
      dialog.setAcceptMode(QFileDialog::AcceptSave);
      dialog.setFileMode(QFileDialog::AnyFile);
      dialog.setOption(QFileDialog::DontConfirmOverwrite, !r.ConfirmOverwrite);
      break;
    case TFileDialogKind::Folder:
      dialog.setFileMode(QFileDialog::Directory);
      dialog.setOption(QFileDialog::ShowDirsOnly, true);
      break;
  }
  if (!r.DefaultSuffix.isEmpty()) dialog.setDefaultSuffix(r.DefaultSuffix);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

}  // namespace

QString ChooseFile(QWidget* parent, const TFileRequest& request) {
  if (Installed()) return Installed()(parent, request);
  return RunFileDialog(parent, request);
}

TFileChooser SetFileChooser(TFileChooser chooser) {
  TFileChooser previous = std::move(Installed());
  Installed() = std::move(chooser);
  return previous;
}

}  // namespace kvq
