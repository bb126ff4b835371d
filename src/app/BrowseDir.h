// The folder dialog of the data source explorer: a name and a folder of
// Ombrix2 data files for a new binary-file data source.
#pragma once

#include <QDialog>
#include <QString>
#include <memory>

class QAbstractFileIconProvider;
class QFileSystemModel;

namespace Ui {
class TfrmBrowseDir;
}

namespace kvq {

class TfrmBrowseDir : public QDialog {
  Q_OBJECT

 public:
  // Shows the file system from "/" with the user's home folder selected.
  explicit TfrmBrowseDir(QWidget* parent = nullptr);
  ~TfrmBrowseDir() override;
  TfrmBrowseDir(const TfrmBrowseDir&) = delete;
  TfrmBrowseDir& operator=(const TfrmBrowseDir&) = delete;

  // Selects `path` in the folder tree (and shows hidden folders when the path
  // runs through one). False when it is not an existing folder; the
  // selection then stays as it was. Tests answer the dialog this way.
  bool SetFolder(const QString& path);

  // The folder selected in the tree; empty when none is.
  QString Folder() const;

  // The name field as typed (not trimmed). After OK it is never blank: a
  // blank name becomes the last component of the folder path.
  QString Name() const;

 public slots:
  // OK: needs a selected folder that exists, else shows "Please enter a data
  // source name and select a folder." and stays open.
  void btnOKClick();

 private:
  void chkHiddenClick(bool checked);
  void FolderChanged();

  std::unique_ptr<Ui::TfrmBrowseDir> ui_;
  std::unique_ptr<QAbstractFileIconProvider> iconProvider_;  // used by model_
  QFileSystemModel* model_;  // owned; deleted first in the destructor
};

}  // namespace kvq
