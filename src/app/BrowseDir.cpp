#include "app/BrowseDir.h"

#include <QDir>
#include <QFileInfo>
#include <QAbstractFileIconProvider>
#include <QFileSystemModel>
#include <QTimer>

#include "app/PaintedIcon.h"
#include "foundation/Messages.h"
#include "ui_BrowseDir.h"

namespace kvq {

namespace {

constexpr QDir::Filters kFolders = QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives;

// Whether a component of `path` (below the root) is a hidden folder.
bool RunsThroughHidden(const QString& path) {
  for (const QString& part : QDir::cleanPath(path).split('/', Qt::SkipEmptyParts))
    if (part.startsWith('.')) return true;
  return false;
}

// The last component of a folder path, or the path itself for the root.
QString LastComponent(const QString& path) {
  const QString name = QFileInfo(QDir::cleanPath(path)).fileName();
  return name.isEmpty() ? QDir::cleanPath(path) : name;
}

// Folders with the desktop theme's folder icon, or a drawn one where the
// desktop has no icon theme.
class TFolderIconProvider : public QAbstractFileIconProvider {
 public:
  TFolderIconProvider() : folder_(QIcon::fromTheme("folder", FolderIcon())) {}
  QIcon icon(IconType) const override { return folder_; }
  QIcon icon(const QFileInfo&) const override { return folder_; }

 private:
  QIcon folder_;
};

}  // namespace

TfrmBrowseDir::TfrmBrowseDir(QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<Ui::TfrmBrowseDir>()),
      iconProvider_(std::make_unique<TFolderIconProvider>()),
      model_(new QFileSystemModel(this)) {
  ui_->setupUi(this);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setFixedSize(size());

  // The Windows desktop holds every drive; on Linux that is the root folder.
  // Folders only, so the user picks where the .DAT files lie, not a file.
  model_->setFilter(kFolders);
  model_->setReadOnly(true);
  model_->setIconProvider(iconProvider_.get());
  model_->setRootPath(QDir::rootPath());
  ui_->tvwFolder->setModel(model_);
  for (int column = 1; column < model_->columnCount(); ++column) ui_->tvwFolder->hideColumn(column);

  connect(ui_->btnOK, &QPushButton::clicked, this, &TfrmBrowseDir::btnOKClick);
  connect(ui_->btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(ui_->chkHidden, &QCheckBox::toggled, this, &TfrmBrowseDir::chkHiddenClick);
  connect(ui_->tvwFolder->selectionModel(), &QItemSelectionModel::currentChanged, this,
          &TfrmBrowseDir::FolderChanged);

  SetFolder(QDir::homePath());
  ui_->tvwFolder->expand(ui_->tvwFolder->currentIndex());
}

TfrmBrowseDir::~TfrmBrowseDir() {
  // The model (a Qt child, deleted after our members) uses the icon provider.
  ui_->tvwFolder->setModel(nullptr);
  delete model_;
}

bool TfrmBrowseDir::SetFolder(const QString& path) {
  const QFileInfo info(path);
  if (path.isEmpty() || !info.isDir()) return false;
  const QString folder = info.absoluteFilePath();
  if (RunsThroughHidden(folder) && !ui_->chkHidden->isChecked()) ui_->chkHidden->setChecked(true);
  const QModelIndex index = model_->index(folder);
  if (!index.isValid()) return false;
  ui_->tvwFolder->setCurrentIndex(index);
  ui_->tvwFolder->scrollTo(index);
  // The model lists folders in the background; scroll again once it has.
  QTimer::singleShot(200, this, [this] { ui_->tvwFolder->scrollTo(ui_->tvwFolder->currentIndex()); });
  return true;
}

QString TfrmBrowseDir::Folder() const {
  const QModelIndex index = ui_->tvwFolder->currentIndex();
  return index.isValid() ? model_->filePath(index) : QString();
}

QString TfrmBrowseDir::Name() const { return ui_->edtName->text(); }

void TfrmBrowseDir::btnOKClick() {
  const QString folder = Folder();
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
    ShowError("Please enter a data source name and select a folder.");
    return;
  }
  if (ui_->edtName->text().trimmed().isEmpty()) ui_->edtName->setText(LastComponent(folder));
  accept();
}

void TfrmBrowseDir::chkHiddenClick(bool checked) {
  const QString folder = Folder();
  model_->setFilter(checked ? kFolders | QDir::Hidden : kFolders);
  if (!folder.isEmpty()) {
    const QModelIndex index = model_->index(folder);
    if (index.isValid()) ui_->tvwFolder->setCurrentIndex(index);
  }
}

void TfrmBrowseDir::FolderChanged() { ui_->lblPath->setText(Folder()); }

}  // namespace kvq
