// The data source explorer on real settings files, with its folder dialog
// and alias chooser answered through the dialog seam.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

#include "DialogTestSupport.h"
#include "app/BrowseDir.h"
#include "app/DataSource.h"
#include "app/DataSourceExplorer.h"
#include "app/DialogRunner.h"
#include "foundation/Messages.h"
#include "foundation/SettingsFile.h"

using namespace kvq;
using namespace kvq::test;

namespace {

class ExplorerTest : public ::testing::Test {
 protected:
  ExplorerTest() : settings_(scratch_.Path("KVQuillon.KFG")) {}

  QTreeWidget* Tree(TfrmDataSourceExplorer& e) { return e.findChild<QTreeWidget*>("tvwDataSource"); }
  QAction* Action(TfrmDataSourceExplorer& e, const char* name) { return e.findChild<QAction*>(name); }
  QTreeWidgetItem* NewNode(TfrmDataSourceExplorer& e, int type) { return e.GroupNode(type)->child(0); }
  void Select(TfrmDataSourceExplorer& e, QTreeWidgetItem* node) {
    Tree(e)->setCurrentItem(node);
    e.UpdateActions();
  }
  // Answers the folder dialog with `name` and `folder`.
  TDialogRunner FolderAnswer(const QString& name, const QString& folder) {
    return [=](QDialog& dialog) {
      auto& browse = dynamic_cast<TfrmBrowseDir&>(dialog);
      EXPECT_EQ(browse.windowTitle(), "Browse for Data Source Folder");
      EXPECT_TRUE(browse.SetFolder(folder));
      browse.findChild<QLineEdit*>("edtName")->setText(name);
      Click(browse, "btnOK");
      return browse.result();
    };
  }
  // Answers the alias chooser with `alias` (none for empty) and `user`.
  TDialogRunner AliasAnswer(const QString& alias, const QString& user = "hydro") {
    return [=](QDialog& dialog) {
      auto& chooser = dynamic_cast<TfrmDataSource&>(dialog);
      auto* aliases = chooser.findChild<QComboBox*>("cboDBAlias");
      aliases->setCurrentIndex(aliases->findText(alias));
      chooser.findChild<QLineEdit*>("edtDBUserName")->setText(user);
      chooser.findChild<QLineEdit*>("edtDBPassword")->setText("s3cret");
      Click(chooser, "btnOK");
      return chooser.result();
    };
  }

  TScratch scratch_;
  TSettingsFile settings_;
  TRecordingSink sink_;
};

TEST_F(ExplorerTest, FreshSettingsShowFourGroupsWithNewNodes) {
  TfrmDataSourceExplorer explorer(settings_);
  EXPECT_EQ(explorer.windowTitle(), "Data Source Explorer");
  EXPECT_EQ(explorer.size(), QSize(408, 317));
  QTreeWidget* tree = Tree(explorer);
  ASSERT_NE(tree, nullptr);
  const std::pair<const char*, int> groups[] = {
      {"Ombrix2 Binary Files", 1}, {"Databases", 4}, {"HDB", 5}, {"INSQL", 6}};
  ASSERT_EQ(tree->topLevelItemCount(), 4);
  for (int i = 0; i < 4; ++i) {
    QTreeWidgetItem* group = tree->topLevelItem(i);
    EXPECT_EQ(group->text(0), groups[i].first);
    EXPECT_EQ(TfrmDataSourceExplorer::NodeInfo(group)->Kind, groups[i].second);
    ASSERT_EQ(group->childCount(), 1);
    EXPECT_EQ(group->child(0)->text(0), "New...");
    EXPECT_EQ(TfrmDataSourceExplorer::NodeInfo(group->child(0))->Kind, 100 + groups[i].second);
  }
  EXPECT_EQ(explorer.findChild<QPushButton*>("btnConnect")->text(), "C&onnect");
  EXPECT_TRUE(explorer.findChild<QPushButton*>("btnConnect")->isDefault());
  EXPECT_EQ(Action(explorer, "actConnect")->toolTip(), "Use selected data source");
  EXPECT_EQ(Action(explorer, "actNew")->toolTip(), "New data source");
  EXPECT_EQ(Action(explorer, "actDel")->toolTip(), "Delete data source");
  auto* menu = explorer.findChild<QMenu*>("pmDataSource");
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(menu->actions().size(), 3);
  EXPECT_EQ(menu->actions()[0]->text(), "&New");
  EXPECT_EQ(menu->actions()[1]->text(), "&Delete");
  EXPECT_EQ(menu->actions()[2]->text(), "C&onnect");
}

TEST_F(ExplorerTest, AddsAFolderSourceThroughTheFolderDialog) {
  TfrmDataSourceExplorer explorer(settings_);
  TScopedDialogRunner answer(FolderAnswer("River", scratch_.Folder()));
  Select(explorer, explorer.GroupNode(4));
  explorer.tvwDataSourceDblClick(NewNode(explorer, 1));
  QTreeWidgetItem* group = explorer.GroupNode(1);
  ASSERT_EQ(group->childCount(), 2);
  QTreeWidgetItem* node = group->child(1);
  EXPECT_EQ(node->text(0), "River : " + scratch_.Folder());
  const TDataSourceInfo* info = TfrmDataSourceExplorer::NodeInfo(node);
  EXPECT_EQ(info->Kind, 0);
  EXPECT_EQ(info->Type, 1);
  EXPECT_EQ(info->Number, 1);
  EXPECT_EQ(settings_.ReadInteger("DataSourceSettings", "DataSourceSequence", 0), 2);
  EXPECT_EQ(settings_.ReadInteger("DataSourceOmbrix2Settings", "DataSourceID1", 0), 1);
  EXPECT_EQ(settings_.ReadString("DataSourceID1", "DataSourceName", ""), "River");
  EXPECT_EQ(settings_.ReadString("DataSourceID1", "DataSourceFolder", ""), scratch_.Folder().toStdString());
  // The new node is not selected; the selection stays where it was.
  EXPECT_EQ(explorer.SelectedNode(), explorer.GroupNode(4));
  // The same folder again is a second source with the next number.
  explorer.tvwDataSourceDblClick(NewNode(explorer, 1));
  ASSERT_EQ(group->childCount(), 3);
  EXPECT_EQ(TfrmDataSourceExplorer::NodeInfo(group->child(2))->Number, 2);
  EXPECT_TRUE(sink_.entries.empty());
}

TEST_F(ExplorerTest, CancelledFolderDialogAddsNothing) {
  TfrmDataSourceExplorer explorer(settings_);
  TScopedDialogRunner cancel([](QDialog& dialog) {
    Click(dialog, "btnCancel");
    return dialog.result();
  });
  explorer.tvwDataSourceDblClick(NewNode(explorer, 1));
  EXPECT_EQ(explorer.GroupNode(1)->childCount(), 1);
  EXPECT_FALSE(settings_.SectionExists("DataSourceOmbrix2Settings"));
}

TEST_F(ExplorerTest, AddsDatabaseSourcesThroughTheAliasChooser) {
  TfrmDataSourceExplorer explorer(settings_);
  TScopedDialogRunner answer(AliasAnswer("GOOD"));
  for (int type : {4, 5, 6}) explorer.tvwDataSourceDblClick(NewNode(explorer, type));
  for (int type : {4, 5, 6}) {
    QTreeWidgetItem* group = explorer.GroupNode(type);
    ASSERT_EQ(group->childCount(), 2) << type;
    EXPECT_EQ(group->child(1)->text(0), "GOOD : hydro");
    const TDataSourceInfo* info = TfrmDataSourceExplorer::NodeInfo(group->child(1));
    EXPECT_EQ(info->Type, type);
    EXPECT_EQ(info->Number, type - 3);
    EXPECT_EQ(info->DSN, "GOOD");
    EXPECT_EQ(info->User, "hydro");
    EXPECT_EQ(info->Password, "s3cret");
  }
  EXPECT_EQ(settings_.ReadInteger("DataSourceDatabaseSettings", "DataSourceID1", 0), 1);
  EXPECT_EQ(settings_.ReadInteger("DataSourceHDBSettings", "DataSourceID2", 0), 2);
  EXPECT_EQ(settings_.ReadInteger("DataSourceINSQLSettings", "DataSourceID3", 0), 3);
  EXPECT_EQ(settings_.ReadString("DataSourceID1", "DataSourceDSN", ""), "GOOD");
  EXPECT_EQ(settings_.ReadString("DataSourceID1", "DataSourceUser", ""), "hydro");
  const std::string stored = settings_.ReadString("DataSourceID1", "DataSourcePass", "");
  EXPECT_EQ(stored.size(), 40u);  // scrambled, never in clear
  EXPECT_EQ(stored.find("s3cret"), std::string::npos);
  EXPECT_TRUE(sink_.entries.empty());

  // A fresh explorer reads them back with the passwords unscrambled.
  TfrmDataSourceExplorer again(settings_);
  EXPECT_EQ(TfrmDataSourceExplorer::NodeInfo(again.GroupNode(5)->child(1))->Password, "s3cret");
}

TEST_F(ExplorerTest, FailedAliasChoicesAddNothing) {
  TfrmDataSourceExplorer explorer(settings_);
  {
    TScopedDialogRunner none(AliasAnswer(""));
    explorer.tvwDataSourceDblClick(NewNode(explorer, 4));
  }
  {
    TScopedDialogRunner missing(AliasAnswer("MISSING"));
    explorer.tvwDataSourceDblClick(NewNode(explorer, 4));
  }
  EXPECT_EQ(explorer.GroupNode(4)->childCount(), 1);
  EXPECT_EQ(settings_.ReadInteger("DataSourceSettings", "DataSourceSequence", 0), 0);
  EXPECT_EQ(sink_.Texts(MessageKind::Error),
            (std::vector<std::string>{"Error 1405: Database not selected.",
                                      "Error 1200: Unable to connect to database."}));
}

TEST_F(ExplorerTest, ConnectAndDeleteOnlyOnStoredSources) {
  TDataSourceInfo stored;
  stored.Type = 1;
  stored.Name = "Lake";
  stored.Folder = "/srv/lake";
  AddStoredDataSource(settings_, stored);
  TfrmDataSourceExplorer explorer(settings_);
  QAction* connect = Action(explorer, "actConnect");
  QAction* del = Action(explorer, "actDel");
  QAction* add = Action(explorer, "actNew");
  auto* btnConnect = explorer.findChild<QPushButton*>("btnConnect");
  auto* btnDelete = explorer.findChild<QPushButton*>("btnDelete");

  explorer.UpdateActions();  // nothing selected
  EXPECT_FALSE(connect->isEnabled());
  EXPECT_FALSE(del->isEnabled());
  EXPECT_FALSE(add->isEnabled());
  for (int type : {1, 4, 5, 6}) {
    for (QTreeWidgetItem* node : {explorer.GroupNode(type), NewNode(explorer, type)}) {
      Select(explorer, node);
      EXPECT_FALSE(connect->isEnabled()) << node->text(0).toStdString();
      EXPECT_FALSE(del->isEnabled());
      EXPECT_TRUE(add->isEnabled());
      EXPECT_FALSE(btnConnect->isEnabled());
      EXPECT_FALSE(btnDelete->isEnabled());
    }
  }
  Select(explorer, explorer.GroupNode(1)->child(1));
  EXPECT_TRUE(connect->isEnabled());
  EXPECT_TRUE(del->isEnabled());
  EXPECT_TRUE(add->isEnabled());
  EXPECT_TRUE(btnConnect->isEnabled());
  EXPECT_TRUE(btnDelete->isEnabled());

  // The rules also run by themselves when the GUI goes idle.
  Tree(explorer)->setCurrentItem(explorer.GroupNode(4));
  QEventLoop idle;
  QTimer::singleShot(20, &idle, &QEventLoop::quit);
  idle.exec();
  EXPECT_FALSE(connect->isEnabled());
}

TEST_F(ExplorerTest, ConnectReturnsTheChosenSource) {
  TDataSourceInfo stored;
  stored.Type = 4;
  stored.DSN = "GOOD";
  stored.User = "u";
  stored.Password = "pw";
  AddStoredDataSource(settings_, stored);
  {
    TfrmDataSourceExplorer explorer(settings_);
    Select(explorer, explorer.GroupNode(4)->child(1));
    Action(explorer, "actConnect")->trigger();
    EXPECT_EQ(explorer.result(), QDialog::Accepted);
    EXPECT_EQ(explorer.Chosen().Type, 4);
    EXPECT_EQ(explorer.Chosen().Kind, 0);
    EXPECT_EQ(explorer.Chosen().Number, 1);
    EXPECT_EQ(explorer.Chosen().Password, "pw");
    EXPECT_FALSE(explorer.Chosen().FilterEnabled);
    EXPECT_FALSE(explorer.Chosen().PostProcessed);
  }
  {
    // Through ChooseDataSource, with a double-click.
    TScopedDialogRunner dblClick([](QDialog& dialog) {
      auto& explorer = dynamic_cast<TfrmDataSourceExplorer&>(dialog);
      emit explorer.findChild<QTreeWidget*>("tvwDataSource")
          ->itemDoubleClicked(explorer.GroupNode(4)->child(1), 0);
      return explorer.result();
    });
    TDataSourceInfo chosen;
    chosen.FilterEnabled = true;
    chosen.FilterFile = "old.flt";
    ASSERT_TRUE(ChooseDataSource(settings_, chosen));
    EXPECT_EQ(chosen.DSN, "GOOD");
    EXPECT_FALSE(chosen.FilterEnabled);
    EXPECT_EQ(chosen.FilterFile, "");
  }
  {
    // A double-click on a group or "New..." of a group chooses nothing.
    TScopedDialogRunner groupClick([](QDialog& dialog) {
      auto& explorer = dynamic_cast<TfrmDataSourceExplorer&>(dialog);
      explorer.tvwDataSourceDblClick(explorer.GroupNode(1));
      return explorer.result();
    });
    TDataSourceInfo chosen;
    EXPECT_FALSE(ChooseDataSource(settings_, chosen));
    EXPECT_EQ(chosen.Type, 0);
  }
}

TEST_F(ExplorerTest, NewTakesTheFirstChildOfTheSelectedGroup) {
  TDataSourceInfo stored;
  stored.Type = 5;
  stored.DSN = "GOOD";
  AddStoredDataSource(settings_, stored);
  TfrmDataSourceExplorer explorer(settings_);
  std::vector<std::string> opened;
  TScopedDialogRunner record([&](QDialog& dialog) {
    opened.push_back(dialog.windowTitle().toStdString());
    return int(QDialog::Rejected);
  });
  Select(explorer, explorer.GroupNode(5)->child(1));  // a stored source: its group's "New..."
  Action(explorer, "actNew")->trigger();
  Select(explorer, explorer.GroupNode(1));  // a group: its own "New..."
  Action(explorer, "actNew")->trigger();
  Select(explorer, NewNode(explorer, 6));
  explorer.findChild<QPushButton*>("btnNew")->click();
  EXPECT_EQ(opened, (std::vector<std::string>{"Select Data Source", "Browse for Data Source Folder",
                                              "Select Data Source"}));
}

TEST_F(ExplorerTest, DeleteRemovesTheSourceWithoutAsking) {
  for (const char* name : {"One", "Two"}) {
    TDataSourceInfo stored;
    stored.Type = 1;
    stored.Name = name;
    stored.Folder = "/srv/same";
    AddStoredDataSource(settings_, stored);
  }
  TfrmDataSourceExplorer explorer(settings_);
  QTreeWidgetItem* group = explorer.GroupNode(1);
  ASSERT_EQ(group->childCount(), 3);
  Select(explorer, group->child(1));
  Action(explorer, "actDel")->trigger();
  ASSERT_EQ(group->childCount(), 2);
  EXPECT_EQ(group->child(1)->text(0), "Two : /srv/same");
  EXPECT_FALSE(settings_.ValueExists("DataSourceOmbrix2Settings", "DataSourceID1"));
  EXPECT_FALSE(settings_.SectionExists("DataSourceID1"));
  EXPECT_TRUE(settings_.SectionExists("DataSourceID2"));

  // The Delete key on the tree, without modifiers; with Shift it does nothing.
  Select(explorer, group->child(1));
  QKeyEvent shifted(QEvent::KeyPress, Qt::Key_Delete, Qt::ShiftModifier);
  QApplication::sendEvent(Tree(explorer), &shifted);
  EXPECT_EQ(group->childCount(), 2);
  QKeyEvent plain(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
  QApplication::sendEvent(Tree(explorer), &plain);
  EXPECT_EQ(group->childCount(), 1);
  EXPECT_FALSE(settings_.SectionExists("DataSourceID2"));
  // Groups cannot be deleted.
  Select(explorer, group);
  QApplication::sendEvent(Tree(explorer), &plain);
  EXPECT_EQ(Tree(explorer)->topLevelItemCount(), 4);
  EXPECT_TRUE(sink_.entries.empty());
}

TEST_F(ExplorerTest, ClosingFlushesEvenOnCancel) {
  {
    TfrmDataSourceExplorer explorer(settings_);
    TScopedDialogRunner answer(FolderAnswer("", scratch_.Folder()));
    explorer.tvwDataSourceDblClick(NewNode(explorer, 1));
    Click(explorer, "btnCancel");
    EXPECT_EQ(explorer.result(), QDialog::Rejected);
  }
  TSettingsFile onDisk(scratch_.Path("KVQuillon.KFG"));
  EXPECT_EQ(onDisk.ReadInteger("DataSourceSettings", "DataSourceSequence", 0), 2);
  // A blank name became the folder's last component.
  EXPECT_EQ(onDisk.ReadString("DataSourceID1", "DataSourceName", ""),
            QDir(scratch_.Folder()).dirName().toStdString());
  // Deleting, then cancelling, is stored too.
  {
    TfrmDataSourceExplorer explorer(settings_);
    Select(explorer, explorer.GroupNode(1)->child(1));
    Action(explorer, "actDel")->trigger();
    explorer.reject();
  }
  onDisk.Reload();
  EXPECT_FALSE(onDisk.SectionExists("DataSourceID1"));
}

TEST_F(ExplorerTest, LogAndExcelSourcesStandAtTheTopLevel) {
  settings_.Parse(
      "[DataSourceLogSettings]\nDataSourceID7=7\nDataSourceID8=x\n[DataSourceID7]\n"
      "DataSourceName=Logs\nDataSourceFolder=/srv/logs\n"
      "[DataSourceExcelSettings]\nDataSourceID9=9\n[DataSourceID9]\nDataSourceName=Sheet\nDataSourceFolder=/srv/x\n");
  TfrmDataSourceExplorer explorer(settings_);
  QTreeWidget* tree = Tree(explorer);
  ASSERT_EQ(tree->topLevelItemCount(), 6);
  EXPECT_EQ(tree->topLevelItem(4)->text(0), "Logs : /srv/logs");
  EXPECT_EQ(tree->topLevelItem(5)->text(0), "Sheet : /srv/x");
  // New on a top-level source without children does nothing.
  TScopedDialogRunner never([](QDialog&) {
    ADD_FAILURE() << "no dialog expected";
    return int(QDialog::Rejected);
  });
  Select(explorer, tree->topLevelItem(4));
  Action(explorer, "actNew")->trigger();
}

TEST_F(ExplorerTest, GroupsNewNodesAndSourcesHaveDistinctIcons) {
  TDataSourceInfo folder;
  folder.Type = 1;
  AddStoredDataSource(settings_, folder);
  TDataSourceInfo db;
  db.Type = 4;
  db.DSN = "GOOD";
  AddStoredDataSource(settings_, db);
  TfrmDataSourceExplorer explorer(settings_);
  auto key = [](QTreeWidgetItem* node) { return node->icon(0).cacheKey(); };
  const qint64 group = key(explorer.GroupNode(1));
  const qint64 add = key(NewNode(explorer, 1));
  const qint64 folderSource = key(explorer.GroupNode(1)->child(1));
  const qint64 dbSource = key(explorer.GroupNode(4)->child(1));
  EXPECT_FALSE(explorer.GroupNode(1)->icon(0).isNull());
  EXPECT_NE(group, add);
  EXPECT_NE(group, folderSource);
  EXPECT_NE(add, folderSource);
  EXPECT_NE(add, dbSource);
  EXPECT_NE(group, dbSource);
  EXPECT_EQ(key(explorer.GroupNode(4)), group);
  EXPECT_EQ(key(NewNode(explorer, 5)), add);
}

}  // namespace
