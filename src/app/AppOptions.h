// The five application options and the options dialog that edits them.
#pragma once

#include <QDialog>
#include <memory>

class QGroupBox;

namespace Ui {
class TfrmAppOptions;
}

namespace kvq {

// The options the main window keeps (stored in the "Windows" section of the
// main settings file when the program ends).
struct TAppOptions {
  bool UseGMTData = false;            // database times are GMT; show them as local time
  bool SyncTabs = true;               // database retrievals go to graph and list
  bool ShowDisableSensors = false;    // list disabled stations and sensors in the tree
  int TimeBoundary = 0;               // 0 [start, end], 1 [start, end), 2 (start, end]
  bool UseDefaultTimeFormat = false;  // views write times as "mm/dd/yyyy hh:mm:ss"

  friend bool operator==(const TAppOptions&, const TAppOptions&) = default;
};

class TfrmAppOptions : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmAppOptions(QWidget* parent = nullptr);
  ~TfrmAppOptions() override;
  TfrmAppOptions(const TfrmAppOptions&) = delete;
  TfrmAppOptions& operator=(const TfrmAppOptions&) = delete;

  // The options the dialog starts from; copied into the controls when the
  // dialog is shown.
  void SetOptions(const TAppOptions& options) { options_ = options; }

  // After OK: the options read from the controls. Before OK (or after
  // Cancel): what SetOptions gave.
  const TAppOptions& Options() const { return options_; }

 public slots:
  // Takes the five values from the controls and closes with OK.
  void btnOKClick();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  std::unique_ptr<Ui::TfrmAppOptions> ui_;
  TAppOptions options_;
};

// Runs the options dialog on `options` (through ExecDialog). On OK the five
// values are written back and the result is true; Cancel changes nothing.
// The caller compares ShowDisableSensors to rebuild its tree.
bool EditAppOptions(TAppOptions& options, QWidget* parent = nullptr);

}  // namespace kvq
