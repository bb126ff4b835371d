// The database alias chooser "Select Data Source": one alias of the alias
// catalogue, a user name and a password, tested by opening a connection
// before they go back to the data source explorer.
#pragma once

#include <QDialog>
#include <memory>
#include <string>

namespace Ui {
class TfrmDataSource;
}

namespace kvq {

// What the alias chooser hands back; three empty texts when it failed.
struct TAliasChoice {
  std::string Alias;
  std::string UserName;
  std::string Password;
};

class TfrmDataSource : public QDialog {
  Q_OBJECT

 public:
  // Fills the alias list from the alias catalogue; a failure to read it is
  // shown in an error box and leaves the list empty. No alias is selected.
  explicit TfrmDataSource(QWidget* parent = nullptr);
  ~TfrmDataSource() override;
  TfrmDataSource(const TfrmDataSource&) = delete;
  TfrmDataSource& operator=(const TfrmDataSource&) = delete;

  // Alias, user name and password after OK; three empty texts when no alias
  // was selected or the test connection failed (and before OK).
  TAliasChoice Result() const;

 public slots:
  // OK closes the dialog with OK in every case. Without a selected alias it
  // shows "Error 1405: Database not selected."; when the test connection
  // fails, "Error 1200: Unable to connect to database.". Either marks the
  // result as failed.
  void btnOKClick();

 private:
  std::unique_ptr<Ui::TfrmDataSource> ui_;
  bool failed_ = true;  // until an OK with a working connection
};

}  // namespace kvq
