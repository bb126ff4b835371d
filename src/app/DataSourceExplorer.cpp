#include "app/DataSourceExplorer.h"

#include <QAbstractEventDispatcher>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QTreeWidgetItem>

#include "app/BrowseDir.h"
#include "app/DataSource.h"
#include "app/DialogRunner.h"
#include "app/PaintedIcon.h"
#include "foundation/SettingsFile.h"
#include "ui_DataSourceExplorer.h"

namespace kvq {

namespace {

// Node kinds besides 0 (a stored source): the group of a type, and the
// "New..." node of that group.
constexpr int kNewNodeKind = 100;

// Tree items carrying their TDataSourceInfo; the tree deletes them, and with
// them their descriptions.
class TDataSourceNode : public QTreeWidgetItem {
 public:
  static constexpr int kItemType = QTreeWidgetItem::UserType + 34;
  explicit TDataSourceNode(const TDataSourceInfo& info) : QTreeWidgetItem(kItemType), Info(info) {}
  TDataSourceInfo Info;
};

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The text of a stored source's node.
QString SourceText(const TDataSourceInfo& info) {
  if (IsDatabaseSource(info.Type)) return Q(info.DSN) + " : " + Q(info.User);
  return Q(info.Name) + " : " + Q(info.Folder);
}

void PaintSheet(QPainter& p) {
  p.setPen(QPen(QColor(90, 90, 90), 0.8));
  p.setBrush(Qt::white);
  QPainterPath sheet;
  sheet.moveTo(3.5, 1.5);
  sheet.lineTo(10, 1.5);
  sheet.lineTo(12.5, 4);
  sheet.lineTo(12.5, 14.5);
  sheet.lineTo(3.5, 14.5);
  sheet.closeSubpath();
  p.drawPath(sheet);
}

void PaintNew(QPainter& p) {
  PaintSheet(p);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(40, 150, 40));
  p.drawEllipse(QRectF(7, 7, 8.5, 8.5));
  p.setPen(QPen(Qt::white, 1.6));
  p.drawLine(QPointF(11.25, 8.8), QPointF(11.25, 13.7));
  p.drawLine(QPointF(8.8, 11.25), QPointF(13.7, 11.25));
}

// A data-file source: a sheet with a river hydrograph.
void PaintFolderSource(QPainter& p) {
  PaintSheet(p);
  p.setPen(QPen(QColor(30, 90, 200), 1.3));
  p.setBrush(Qt::NoBrush);
  QPainterPath wave;
  wave.moveTo(4.5, 11);
  wave.cubicTo(6, 6, 7.5, 6, 8.5, 9);
  wave.cubicTo(9.5, 12, 10.5, 9, 11.5, 5);
  p.drawPath(wave);
}

// A database source: a cylinder.
void PaintDatabaseSource(QPainter& p) {
  const QColor side(60, 110, 190), top(140, 180, 235);
  p.setPen(QPen(QColor(30, 60, 120), 0.8));
  p.setBrush(side);
  QPainterPath body;
  body.moveTo(2.5, 4);
  body.lineTo(2.5, 12.5);
  body.arcTo(QRectF(2.5, 10.5, 11, 4), 180, 180);
  body.lineTo(13.5, 4);
  body.closeSubpath();
  p.drawPath(body);
  p.setBrush(top);
  p.drawEllipse(QRectF(2.5, 2, 11, 4));
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(180, 205, 240), 0.7));
  p.drawArc(QRectF(2.5, 6.5, 11, 4), 180 * 16, 180 * 16);
}

// ASCII log and Excel sources: a sheet of lines.
void PaintOtherSource(QPainter& p) {
  PaintSheet(p);
  p.setPen(QPen(QColor(120, 120, 120), 0.9));
  for (double y = 5; y < 13; y += 2) p.drawLine(QPointF(5, y), QPointF(11, y));
}

}  // namespace

TfrmDataSourceExplorer::TfrmDataSourceExplorer(TSettingsFile& settings, QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<Ui::TfrmDataSourceExplorer>()),
      settings_(settings),
      pmDataSource(nullptr),
      groupIcon_(FolderIcon()),
      newIcon_(PaintedIcon(PaintNew)),
      folderSourceIcon_(PaintedIcon(PaintFolderSource)),
      databaseSourceIcon_(PaintedIcon(PaintDatabaseSource)),
      otherSourceIcon_(PaintedIcon(PaintOtherSource)) {
  ui_->setupUi(this);
  setFixedSize(408, 317);

  // Buttons stand for the actions: same hint, same enabled state.
  const std::pair<QPushButton*, QAction*> bound[] = {
      {ui_->btnConnect, ui_->actConnect}, {ui_->btnNew, ui_->actNew}, {ui_->btnDelete, ui_->actDel}};
  for (auto [button, action] : bound) {
    button->setToolTip(action->toolTip());
    button->setStatusTip(action->statusTip());
    connect(button, &QPushButton::clicked, action, &QAction::trigger);
    connect(action, &QAction::changed, button, [button, action] { button->setEnabled(action->isEnabled()); });
  }
  connect(ui_->actConnect, &QAction::triggered, this, &TfrmDataSourceExplorer::actConnectExecute);
  connect(ui_->actNew, &QAction::triggered, this, &TfrmDataSourceExplorer::actNewExecute);
  connect(ui_->actDel, &QAction::triggered, this, &TfrmDataSourceExplorer::actDelExecute);
  connect(ui_->btnCancel, &QPushButton::clicked, this, &QDialog::reject);

  pmDataSource = new QMenu(this);
  pmDataSource->setObjectName("pmDataSource");
  pmDataSource->addAction(ui_->actNew);
  pmDataSource->addAction(ui_->actDel);
  pmDataSource->addAction(ui_->actConnect);

  ui_->tvwDataSource->installEventFilter(this);
  connect(ui_->tvwDataSource, &QTreeWidget::itemDoubleClicked, this,
          [this](QTreeWidgetItem* node) { tvwDataSourceDblClick(node); });
  connect(ui_->tvwDataSource, &QWidget::customContextMenuRequested, this,
          &TfrmDataSourceExplorer::tvwDataSourceContextPopup);

  // Long folder paths scroll sideways instead of being cut off.
  ui_->tvwDataSource->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  ui_->tvwDataSource->header()->setStretchLastSection(false);
  BuildTree();

  if (auto* dispatcher = QAbstractEventDispatcher::instance())
    connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &TfrmDataSourceExplorer::UpdateActions);
  UpdateActions();
}

TfrmDataSourceExplorer::~TfrmDataSourceExplorer() = default;

const TDataSourceInfo* TfrmDataSourceExplorer::NodeInfo(const QTreeWidgetItem* node) {
  if (!node || node->type() != TDataSourceNode::kItemType) return nullptr;
  return &static_cast<const TDataSourceNode*>(node)->Info;
}

QTreeWidgetItem* TfrmDataSourceExplorer::GroupNode(int type) const {
  const auto it = groups_.find(type);
  return it == groups_.end() ? nullptr : it->second;
}

QTreeWidgetItem* TfrmDataSourceExplorer::SelectedNode() const {
  const QList<QTreeWidgetItem*> selected = ui_->tvwDataSource->selectedItems();
  return selected.isEmpty() ? nullptr : selected.first();
}

QTreeWidgetItem* TfrmDataSourceExplorer::AddNode(QTreeWidgetItem* parent, const QString& text,
                                                 const TDataSourceInfo& info) {
  auto* node = new TDataSourceNode(info);
  node->setText(0, text);
  if (info.Kind == 0) {
    node->setIcon(0, info.Type == kSourceOmbrix2    ? folderSourceIcon_
                     : IsDatabaseSource(info.Type) ? databaseSourceIcon_
                                                   : otherSourceIcon_);
    node->setToolTip(0, text);
  } else {
    node->setIcon(0, info.Kind > kNewNodeKind ? newIcon_ : groupIcon_);
  }
  if (parent)
    parent->addChild(node);
  else
    ui_->tvwDataSource->addTopLevelItem(node);
  return node;
}

QTreeWidgetItem* TfrmDataSourceExplorer::AddSourceNode(const TDataSourceInfo& info) {
  // Types 2 and 3 have no group: they stand at the top level.
  return AddNode(GroupNode(info.Type), SourceText(info), info);
}

void TfrmDataSourceExplorer::BuildTree() {
  ui_->tvwDataSource->clear();
  groups_.clear();
  const std::pair<int, const char*> groups[] = {
      {kSourceOmbrix2, "Ombrix2 Binary Files"}, {kSourceDatabase, "Databases"}, {kSourceHDB, "HDB"},
      {kSourceINSQL, "INSQL"}};
  for (auto [type, text] : groups) {
    TDataSourceInfo group;
    group.Kind = type;
    group.Type = static_cast<std::uint8_t>(type);
    QTreeWidgetItem* node = AddNode(nullptr, text, group);
    groups_[type] = node;
    TDataSourceInfo add = group;
    add.Kind = kNewNodeKind + type;
    AddNode(node, "New...", add);
  }
  for (const TDataSourceInfo& info : ReadStoredDataSources(settings_)) AddSourceNode(info);
  ui_->tvwDataSource->expandAll();
}

void TfrmDataSourceExplorer::UpdateActions() {
  const TDataSourceInfo* info = NodeInfo(SelectedNode());
  const bool stored = info && info->Kind == 0;
  ui_->actConnect->setEnabled(stored);
  ui_->actDel->setEnabled(stored);
  ui_->actNew->setEnabled(info != nullptr);
}

void TfrmDataSourceExplorer::actConnectExecute() {
  QTreeWidgetItem* node = SelectedNode();
  const TDataSourceInfo* info = NodeInfo(node);
  if (!info || info->Kind != 0) return;
  tvwDataSourceDblClick(node);
}

void TfrmDataSourceExplorer::actNewExecute() {
  QTreeWidgetItem* node = SelectedNode();
  if (!node) return;
  QTreeWidgetItem* group = node->parent() ? node->parent() : node;
  if (group->childCount() > 0) tvwDataSourceDblClick(group->child(0));
}

void TfrmDataSourceExplorer::actDelExecute() {
  QTreeWidgetItem* node = SelectedNode();
  const TDataSourceInfo* info = NodeInfo(node);
  if (!info || info->Kind != 0) return;
  DeleteStoredDataSource(settings_, *info);
  delete node;  // and its description with it
  UpdateActions();
}

void TfrmDataSourceExplorer::tvwDataSourceDblClick(QTreeWidgetItem* node) {
  const TDataSourceInfo* info = NodeInfo(node);
  if (!info) return;
  if (info->Kind == 0) {
    chosen_ = *info;
    accept();
  } else if (info->Kind == kNewNodeKind + kSourceOmbrix2) {
    NewFolderSource();
  } else if (info->Kind > kNewNodeKind && IsDatabaseSource(info->Kind - kNewNodeKind)) {
    NewDatabaseSource(info->Kind - kNewNodeKind);
  }
  // A group node: the tree's own expand and collapse is all.
}

void TfrmDataSourceExplorer::NewFolderSource() {
  TfrmBrowseDir dialog(this);
  if (ExecDialog(dialog) != QDialog::Accepted) return;
  TDataSourceInfo info;
  info.Type = kSourceOmbrix2;
  info.Name = dialog.Name().toStdString();
  info.Folder = dialog.Folder().toStdString();
  if (AddStoredDataSource(settings_, info) == 0) return;
  AddSourceNode(info);  // not selected: the selection stays where it was
}

void TfrmDataSourceExplorer::NewDatabaseSource(int type) {
  TfrmDataSource dialog(this);
  if (ExecDialog(dialog) != QDialog::Accepted) return;
  const TAliasChoice choice = dialog.Result();
  if (choice.Alias.empty()) return;
  TDataSourceInfo info;
  info.Type = static_cast<std::uint8_t>(type);
  info.DSN = choice.Alias;
  info.User = choice.UserName;
  info.Password = choice.Password;
  if (AddStoredDataSource(settings_, info) == 0) return;
  AddSourceNode(info);
}

void TfrmDataSourceExplorer::tvwDataSourceContextPopup(const QPoint& pos) {
  if (QTreeWidgetItem* node = ui_->tvwDataSource->itemAt(pos)) ui_->tvwDataSource->setCurrentItem(node);
  UpdateActions();
  pmDataSource->popup(ui_->tvwDataSource->viewport()->mapToGlobal(pos));
}

bool TfrmDataSourceExplorer::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui_->tvwDataSource && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
      actDelExecute();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TfrmDataSourceExplorer::done(int result) {
  // A settings file that cannot be written keeps its previous contents; the
  // main window writes the file again when it ends.
  settings_.Flush();
  QDialog::done(result);
}

bool ChooseDataSource(TSettingsFile& settings, TDataSourceInfo& chosen, QWidget* parent) {
  TfrmDataSourceExplorer explorer(settings, parent);
  if (ExecDialog(explorer) != QDialog::Accepted) return false;
  chosen.CopyFrom(explorer.Chosen());
  return true;
}

}  // namespace kvq
