#include "app/DataSource.h"

#include <QApplication>
#include <exception>

#include "data/AliasCatalogue.h"
#include "data/DBConnect.h"
#include "foundation/Messages.h"
#include "ui_DataSource.h"

namespace kvq {

namespace {

// Shows the wait cursor while the test connection opens (a server may take
// its connect time-out to answer).
class TWaitCursor {
 public:
  TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
  TWaitCursor(const TWaitCursor&) = delete;
  TWaitCursor& operator=(const TWaitCursor&) = delete;
};

}  // namespace

TfrmDataSource::TfrmDataSource(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TfrmDataSource>()) {
  ui_->setupUi(this);
  setFixedSize(sizeHint().expandedTo(size()));
  try {
    for (const TAliasInfo& alias : ListAliases()) ui_->cboDBAlias->addItem(QString::fromStdString(alias.Name));
  } catch (const std::exception& e) {
    ShowError(e.what());
  }
  // Like a drop-down list that starts without a choice: OK without picking
  // one is Error 1405.
  ui_->cboDBAlias->setCurrentIndex(-1);
  connect(ui_->btnOK, &QPushButton::clicked, this, &TfrmDataSource::btnOKClick);
  connect(ui_->btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TfrmDataSource::~TfrmDataSource() = default;

TAliasChoice TfrmDataSource::Result() const {
  if (failed_) return {};
  return {ui_->cboDBAlias->currentText().toStdString(), ui_->edtDBUserName->text().toStdString(),
          ui_->edtDBPassword->text().toStdString()};
}

void TfrmDataSource::btnOKClick() {
  failed_ = true;
  if (ui_->cboDBAlias->currentIndex() < 0 || ui_->cboDBAlias->currentText().isEmpty()) {
    ShowError("Error 1405: Database not selected.");
    ui_->cboDBAlias->setFocus();
  } else {
    std::string error;
    bool opened = false;
    {
      TWaitCursor wait;
      // The test runs on a connection of its own and closes it again, so
      // the program's open connection is never touched.
      opened = TDBConnection::TestConnection(ui_->cboDBAlias->currentText().toStdString(),
                                             ui_->edtDBUserName->text().toStdString(),
                                             ui_->edtDBPassword->text().toStdString(), &error);
    }
    if (opened)
      failed_ = false;
    else
      ShowError("Error 1200: Unable to connect to database.");
  }
  accept();
}

}  // namespace kvq
