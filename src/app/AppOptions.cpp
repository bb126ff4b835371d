#include "app/AppOptions.h"

#include <QRadioButton>
#include <algorithm>

#include "app/DialogRunner.h"
#include "ui_AppOptions.h"

namespace kvq {

namespace {

// A group box of radio buttons used as a radio group: the buttons in their
// order inside the box are items 0, 1, ...
QList<QRadioButton*> Items(const QGroupBox* group) {
  return group->findChildren<QRadioButton*>(QString(), Qt::FindDirectChildrenOnly);
}

int ItemIndex(const QGroupBox* group) {
  const QList<QRadioButton*> items = Items(group);
  for (int i = 0; i < items.size(); ++i)
    if (items[i]->isChecked()) return i;
  return -1;
}

void SetItemIndex(const QGroupBox* group, int index) {
  const QList<QRadioButton*> items = Items(group);
  if (index >= 0 && index < items.size()) items[index]->setChecked(true);
}

}  // namespace

TfrmAppOptions::TfrmAppOptions(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TfrmAppOptions>()) {
  ui_->setupUi(this);
  // A fixed border with only the system menu.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(sizeHint().expandedTo(QSize(380, 0)));
  connect(ui_->btnOK, &QPushButton::clicked, this, &TfrmAppOptions::btnOKClick);
  connect(ui_->btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TfrmAppOptions::~TfrmAppOptions() = default;

void TfrmAppOptions::showEvent(QShowEvent* event) {
  ui_->chkSync->setChecked(options_.SyncTabs);
  ui_->chkShowDisabled->setChecked(options_.ShowDisableSensors);
  SetItemIndex(ui_->rgrpTimeBound, options_.TimeBoundary);
  SetItemIndex(ui_->rdgDataTime, options_.UseGMTData ? 1 : 0);
  SetItemIndex(ui_->rdgTimeFormat, options_.UseDefaultTimeFormat ? 0 : 1);
  QDialog::showEvent(event);
}

void TfrmAppOptions::btnOKClick() {
  options_.UseGMTData = ItemIndex(ui_->rdgDataTime) == 1;
  options_.SyncTabs = ui_->chkSync->isChecked();
  options_.ShowDisableSensors = ui_->chkShowDisabled->isChecked();
  // A stored boundary out of range checks no item; it becomes the first.
  options_.TimeBoundary = std::max(0, ItemIndex(ui_->rgrpTimeBound));
  options_.UseDefaultTimeFormat = ItemIndex(ui_->rdgTimeFormat) != 1;
  accept();
}

bool EditAppOptions(TAppOptions& options, QWidget* parent) {
  TfrmAppOptions dialog(parent);
  dialog.SetOptions(options);
  if (ExecDialog(dialog) != QDialog::Accepted) return false;
  options = dialog.Options();
  return true;
}

}  // namespace kvq
