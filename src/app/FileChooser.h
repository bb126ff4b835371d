// The file-chooser seam: every open, save and folder dialog of the program
// goes through one replaceable function object, so GUI tests answer it
// without a dialog ever blocking.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace kvq {

enum class TFileDialogKind { Open, Save, Folder };

struct TFileRequest {
  TFileDialogKind Kind = TFileDialogKind::Open;
  QString Caption;
  QString Folder;         // where the dialog starts
  QString Filter;         // "Sensor Settings files (*.sfg *.SFG)"; empty for folders
  QString DefaultSuffix;  // added to a typed name without one ("sfg")
  // Save: the dialog itself asks before replacing a file. Off where the
  // caller asks in its own words.
  bool ConfirmOverwrite = true;
};

// Answers a request with the chosen path, or an empty text when cancelled.
using TFileChooser = std::function<QString(QWidget* parent, const TFileRequest& request)>;

// Runs the installed chooser; the toolkit's file dialogs when none is.
QString ChooseFile(QWidget* parent, const TFileRequest& request);

// Installs `chooser` (empty restores the file dialogs) and returns the
// previous one.
TFileChooser SetFileChooser(TFileChooser chooser);

}  // namespace kvq
