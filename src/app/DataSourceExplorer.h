// The data source explorer: the stored data sources of the main settings
// file in a tree of four groups, where the user adds new ones (a folder of
// Ombrix2 data files, a database alias), deletes them and picks the one to
// connect to.
#pragma once

#include <QDialog>
#include <QIcon>
#include <map>
#include <memory>

#include "data/DataSource.h"

class QMenu;
class QTreeWidgetItem;

namespace Ui {
class TfrmDataSourceExplorer;
}

namespace kvq {

class TSettingsFile;

class TfrmDataSourceExplorer : public QDialog {
  Q_OBJECT

 public:
  // Builds the tree from `settings`, the main settings file that the caller
  // holds open; the explorer reads and writes it and flushes it when it
  // closes. `settings` must outlive the explorer.
  explicit TfrmDataSourceExplorer(TSettingsFile& settings, QWidget* parent = nullptr);
  ~TfrmDataSourceExplorer() override;
  TfrmDataSourceExplorer(const TfrmDataSourceExplorer&) = delete;
  TfrmDataSourceExplorer& operator=(const TfrmDataSourceExplorer&) = delete;

  // The source chosen with Connect (kind 0, filter off, sensor data); a
  // default TDataSourceInfo (type 0) until then.
  const TDataSourceInfo& Chosen() const { return chosen_; }

  // The description a tree node carries (every node has one), or null for
  // null. Owned by the node, so valid until the node is deleted.
  static const TDataSourceInfo* NodeInfo(const QTreeWidgetItem* node);

  // The group node of a type (1, 4, 5, 6); null for other types.
  QTreeWidgetItem* GroupNode(int type) const;

  // The selected tree node, or null.
  QTreeWidgetItem* SelectedNode() const;

 public slots:
  // The enabled-state rules, run whenever the GUI goes idle: Connect and
  // Delete on a stored source, New on any node.
  void UpdateActions();

  void actConnectExecute();
  void actNewExecute();
  void actDelExecute();

  // What a double-click does: a stored source connects, a "New..." node
  // opens the folder dialog or the alias chooser; a group only expands.
  void tvwDataSourceDblClick(QTreeWidgetItem* node);

 protected:
  // Flushes the settings file whichever way the explorer closes, so
  // additions and deletions are stored even on Cancel.
  void done(int result) override;
  // The Delete key (without modifiers) on the tree deletes like actDel.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildTree();
  QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, const QString& text, const TDataSourceInfo& info);
  QTreeWidgetItem* AddSourceNode(const TDataSourceInfo& info);
  void NewFolderSource();
  void NewDatabaseSource(int type);
  void tvwDataSourceContextPopup(const QPoint& pos);

  std::unique_ptr<Ui::TfrmDataSourceExplorer> ui_;
  TSettingsFile& settings_;       // the main settings file, not owned
  TDataSourceInfo chosen_;        // the result of Connect
  QMenu* pmDataSource;            // the tree's popup menu (Qt child)
  std::map<int, QTreeWidgetItem*> groups_;  // type -> group node (owned by the tree)
  QIcon groupIcon_, newIcon_, folderSourceIcon_, databaseSourceIcon_, otherSourceIcon_;
};

// Runs the explorer modally on `settings` (through ExecDialog). True when
// the user chose a source with Connect; it is then copied into `chosen`.
// Cancel leaves `chosen` alone; additions and deletions are flushed anyway.
bool ChooseDataSource(TSettingsFile& settings, TDataSourceInfo& chosen, QWidget* parent = nullptr);

}  // namespace kvq
