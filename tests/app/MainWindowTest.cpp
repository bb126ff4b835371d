// The main window with recording views on the demo sources: start-up, the
// explorer answered through the dialog seam, the tree in every grouping, the
// retrieval list, the time range, retrievals, settings across a restart,
// sensor settings files, the exit confirmation and bad input.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>

#include "MainWindowSupport.h"
#include "app/DataSourceExplorer.h"
#include "app/DialogRunner.h"
#include "app/EntryTreeModel.h"
#include "app/ExitConfirm.h"
#include "app/FileChooser.h"
#include "app/Main.h"
#include "app/QtTime.h"
#include "app/RetrievalList.h"
#include "app/TimeRange.h"
#include "data/AliasCatalogue.h"
#include "data/AppPaths.h"
#include "data/DBCache.h"
#include "data/DBConnect.h"
#include "data/DemoDatabase.h"
#include "foundation/GroupSetup.h"
#include "foundation/Messages.h"
#include "store/DemoFiles.h"

using namespace kvq;
using namespace kvq::test;

namespace {

// 30 seconds into Thursday 7 March 2024: "Today" .. "Now" is half a minute.
const TimeTag kNow = EncodeTimeTag(2024, 3, 7, 0, 0, 30);

QStringList Texts(const QAbstractItemModel& model, const QModelIndex& parent = {}) {
  QStringList texts;
  for (int r = 0; r < model.rowCount(parent); ++r) texts << model.index(r, 0, parent).data().toString();
  return texts;
}

// Counts the leaves of the tree that carry an entry.
void ForEachLeaf(const TEntryTreeModel& model, const QModelIndex& parent, int& leaves) {
  for (int r = 0; r < model.rowCount(parent); ++r) {
    const QModelIndex index = model.index(r, 0, parent);
    if (model.rowCount(index) > 0)
      ForEachLeaf(model, index, leaves);
    else
      leaves += model.EntryOf(index) != nullptr;
  }
}

QStringList ListColumn(QTreeWidget* list, int column) {
  QStringList texts;
  for (int r = 0; r < list->topLevelItemCount(); ++r) texts << list->topLevelItem(r)->text(column);
  return texts;
}

QStringList Headers(QTreeWidget* list) {
  QStringList texts;
  for (int c = 0; c < list->columnCount(); ++c) texts << list->headerItem()->text(c);
  return texts;
}

class MainWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    SetClockSource([] { return kNow; });
    demo_ = new QTemporaryDir;
    std::string error;
    ASSERT_TRUE(WriteDemoFiles(Demo("files"), kNow, error)) << error;
    TDemoDatabaseOptions options;
    options.Days = 3;
    ASSERT_TRUE(CreateDemoDatabase(Demo("demo.sqlite"), options, &error)) << error;
  }
  static void TearDownTestSuite() {
    DBConnection().Disconnect();
    delete demo_;
    demo_ = nullptr;
    SetClockSource({});
  }
  static std::string Demo(const std::string& name) {
    const std::string path = demo_->filePath(QString::fromStdString(name)).toStdString();
    if (name == "files") std::filesystem::create_directories(path);
    return path;
  }

  void SetUp() override {
    SetClockSource([] { return kNow; });
    SetMainSettingsPath(Path("KVQuillon.KFG"));
    SetAliasesFilePath(Path("aliases.ini"));
    TAliasInfo alias;
    alias.Name = "DEMO";
    alias.Driver = "QSQLITE";
    alias.Database = Demo("demo.sqlite");
    std::string error;
    ASSERT_TRUE(SaveAlias(alias, &error)) << error;
    SetExitConfirmTimeout(20000);
  }
  void TearDown() override {
    SetMainSettingsPath("");
    SetAliasesFilePath("");
    DBConnection().Disconnect();
    ViewDataCache().Clear();
  }

  std::string Path(const std::string& name) const { return dir_.filePath(QString::fromStdString(name)).toStdString(); }

  // Lists the demo folder ("Demo files") and the demo database ("DEMO") in
  // the main settings file, as the explorer would.
  void StoreDemoSources() {
    TSettingsFile settings(MainSettingsPath());
    TDataSourceInfo folder;
    folder.Type = kSourceOmbrix2;
    folder.Name = "Demo files";
    folder.Folder = Demo("files");
    AddStoredDataSource(settings, folder);
    TDataSourceInfo db;
    db.Type = kSourceDatabase;
    db.DSN = "DEMO";
    db.User = "hydro";
    AddStoredDataSource(settings, db);
    ASSERT_TRUE(settings.Flush());
  }

  std::unique_ptr<TfrmQuillonMain> Start(const QString& firstArgument = {}) {
    auto window = std::make_unique<TfrmQuillonMain>(firstArgument, RecordingViews(log_));
    window->show();
    return window;
  }

  // "&Connect" with the explorer answered by choosing the stored source of
  // group `group` (1 data files, 4 databases).
  void Connect(TfrmQuillonMain& w, int group) {
    TScopedDialogRunner runner([group](QDialog& dialog) {
      auto& explorer = dynamic_cast<TfrmDataSourceExplorer&>(dialog);
      QTreeWidgetItem* node = nullptr;
      QTreeWidgetItem* groupNode = explorer.GroupNode(group);
      for (int i = 0; i < groupNode->childCount() && !node; ++i)
        if (TfrmDataSourceExplorer::NodeInfo(groupNode->child(i))->Kind == 0) node = groupNode->child(i);
      EXPECT_NE(node, nullptr);
      explorer.findChild<QTreeWidget*>("tvwDataSource")->setCurrentItem(node);
      explorer.UpdateActions();
      explorer.actConnectExecute();
      return explorer.result();
    });
    Act(w, "Connect1")->trigger();
  }

  template <class T = QWidget>
  static T* Find(QWidget& w, const char* name) {
    T* child = w.findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
  }
  static QAction* Act(QWidget& w, const char* name) { return Find<QAction>(w, name); }
  static QTreeWidget* List(QWidget& w) { return Find<QTreeWidget>(w, "lstSiteSensors"); }
  static QTreeView* Tree(QWidget& w) { return Find<QTreeView>(w, "tvwLeftTree"); }
  static TBaseQuillonForm* View(TfrmQuillonMain& w, const char* name) { return Find<TBaseQuillonForm>(w, name); }

  // Selects the tree node with `text` below `parent` (the top level by default).
  static QModelIndex SelectNode(TfrmQuillonMain& w, const QString& text, const QModelIndex& parent = {}) {
    TEntryTreeModel& model = w.TreeModel();
    for (int r = 0; r < model.rowCount(parent); ++r) {
      const QModelIndex index = model.index(r, 0, parent);
      if (index.data().toString() == text) {
        Tree(w)->setCurrentIndex(index);
        w.UpdateActions();
        return index;
      }
    }
    ADD_FAILURE() << "no node " << text.toStdString();
    return {};
  }

  static void ChooseGrouping(TfrmQuillonMain& w, int item) {
    auto* combo = Find<QComboBox>(w, "cbxView");
    combo->setCurrentIndex(item);
    emit combo->activated(item);
  }

  static void SetCombo(TfrmQuillonMain& w, const char* name, int item) {
    auto* combo = Find<QComboBox>(w, name);
    combo->setCurrentIndex(item);
    emit combo->activated(item);
  }

  static TAppOptions WithSyncTabs(TAppOptions o, bool sync) {
    o.SyncTabs = sync;
    return o;
  }

  QTemporaryDir dir_;
  TRecordingSink sink_;
  TViewLog log_;
  static QTemporaryDir* demo_;
};

QTemporaryDir* MainWindowTest::demo_ = nullptr;

TEST_F(MainWindowTest, FirstStartWithoutSettings) {
  auto w = Start();
  EXPECT_EQ(w->size(), QSize(811, 525));
  EXPECT_EQ(w->windowTitle(), "KV Quillon");
  EXPECT_EQ(w->font().family(), "Arial");
  EXPECT_EQ(w->font().pointSize(), 8);
  EXPECT_EQ(Find<QMenu>(*w, "miFile")->font(), w->font());  // popups take the design font too
  EXPECT_EQ(Find<QLabel>(*w, "lblDataSource")->text(), "NONE");
  EXPECT_EQ(w->StatusPanelText(0), "None");
  EXPECT_EQ(w->DataSourceType(), 0);
  // with no data source the graph and the database list are shown
  const std::pair<const char*, bool> shown[] = {{"frmGraph", true},
                                                {"frmDBView", true},
                                                {"ViewForm", false},
                                                {"frmStationDatabaseParms", false},
                                                {"frmSensorDatabaseParms", false}};
  for (auto [name, visible] : shown) EXPECT_EQ(!View(*w, name)->isHidden(), visible) << name;
  EXPECT_EQ(Find<QComboBox>(*w, "cboSinceTime")->currentText(), "Today");
  EXPECT_EQ(Find<QComboBox>(*w, "cboUntilTime")->currentText(), "Now");
  EXPECT_EQ(w->TimeRange().Value(true), TimeTagToDateTime(EncodeTimeTag(2024, 3, 7, 0, 0, 0)));
  EXPECT_EQ(DateTimeToTimeTag(w->TimeRange().Value(false)), kNow);
  EXPECT_FALSE(Find<QDateEdit>(*w, "tpPeriodStartsDate")->isEnabled());
  EXPECT_EQ(w->TreeModel().rowCount(), 0);
  EXPECT_EQ(w->CurrentRequest(), nullptr);
  EXPECT_TRUE(w->ActivePageKind() == kPageGraph);
  // the Graph page's view menu stands in the merge slot
  auto* slot = Find<QMenu>(*w, "miPlaceHolder");
  EXPECT_TRUE(slot->menuAction()->isVisible());
  EXPECT_EQ(slot->title(), "&Chart");
  EXPECT_EQ(slot->actions().size(), 2);
  EXPECT_TRUE(sink_.entries.empty());
  auto* pages = Find<QTabWidget>(*w, "pgMain");
  EXPECT_EQ(pages->tabPosition(), QTabWidget::South);
  const QStringList tabs{"&Graph", "&List", "&Station", "S&ensor"};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(pages->tabText(i), tabs[i]);
}

TEST_F(MainWindowTest, CommandsMenusAndToolbar) {
  auto w = Start();
  struct Row {
    const char* name;
    const char* caption;
    const char* shortcut;
    const char* hint;
  };
  const Row rows[] = {
      {"OpenSensorFile", "&Open Sensor Settings file", "", "Open an existing sensor settings file"},
      {"SaveSensorFile", "Save Sensor Sett&ings", "", "Save sensor selections to file"},
      {"Connect1", "&Connect", "", "Connect to a different data source or add a new one."},
      {"miChangeDataSource", "&Change Data Source", "", "Connect to a different data source or add a new one."},
      {"actImport", "&Import...", "", "Import..."},
      {"actExport", "&Export...", "", "Export..."},
      {"FilePrintSetup1", "Print Set&up...", "", "Print Setup"},
      {"actPrint", "&Print...", "", "Print"},
      {"ExitApp", "E&xit", "", ""},
      {"actCopy", "&Copy", "Ctrl+C", "Copies the selection and puts it on the Clipboard"},
      {"EditPaste1", "&Paste", "Ctrl+V", "Inserts Clipboard contents"},
      {"actAddIntoWatchList", "&Add To Retrieval List", "", "Add sensors to Data Retrieval list"},
      {"actAddAllIntoWatchList", "Add All To &Retrieval List", "", "Add all sensors to Data Retrieval list"},
      {"actDeleteFromWatchList", "&Delete From Retrieval List", "", "Delete sensors from Data Retrieval list"},
      {"actDeleteAllFromWatchList", "Delete &All From Retrieval &List", "", "Delete all sensors from Data Retrieval list"},
      {"actSensorData", "&Sensor Data (KV_DATA1)", "", "Retrieve data from data table."},
      {"actPostProcData", "&Post Processed Data (KV_PPDATA1)", "", "Retrieve data from post processing table."},
      {"actRetrieveDataToList", "&List", "", "Retrieve data and display in list tab"},
      {"actRetrieveDataToGraph", "&Graph", "", "Retrieve data and display in graph tab."},
      {"actRetrieveStation", "&Station Properties", "", "Display station database information"},
      {"actRetrieveSensor", "S&ensor Properties", "", "Display sensor database information"},
      {"actClearData", "&Clear", "", "Clear the data displayed in the graph and the list."},
      {"actSelectFilter", "&Select Filter", "", "Select a filter file"},
      {"actApplyFilter", "&Apply Filter", "", "Apply/Remove filter conditions"},
      {"RefreshTreeView", "&Refresh", "F5", "Refresh sensor tree view"},
      {"ExpandTree", "&Expand Tree", "", "Expand all tree items"},
      {"CollapseTree", "&Collapse Tree", "", "Collapse all tree items"},
      {"actViewLeftTree", "&Tree View", "", "Show/hide left tree view."},
      {"actOptions", "&Options", "", "Show more options..."},
      {"actHelpIndex", "KV Quillon &Help", "F1", "Display Help"},
      {"actHelpContents", "KV Quillon &Contents", "", ""},
      {"miAbout", "&About", "", "About"},
  };
  for (const Row& r : rows) {
    QAction* a = Act(*w, r.name);
    if (!a) continue;
    EXPECT_EQ(a->text(), r.caption) << r.name;
    EXPECT_EQ(a->shortcut(), QKeySequence(r.shortcut)) << r.name;
    EXPECT_EQ(a->statusTip(), r.hint) << r.name;
  }
  auto names = [](const QList<QAction*>& actions) {
    QStringList out;
    for (QAction* a : actions) out << (a->isSeparator() ? QString("-") : a->menu() ? a->menu()->objectName() : a->objectName());
    return out;
  };
  EXPECT_EQ(names(w->menuBar()->actions()).join(' '), "miFile miEdit miSelect miData miFilter miPlaceHolder miView miHelp");
  const std::pair<const char*, const char*> menus[] = {
      {"miFile", "OpenSensorFile SaveSensorFile - miChangeDataSource - actImport actExport FilePrintSetup1 actPrint - ExitApp"},
      {"miEdit", "actCopy EditPaste1 -"},
      {"miSelect", "actAddIntoWatchList actAddAllIntoWatchList actDeleteFromWatchList actDeleteAllFromWatchList - "
                   "actSensorData actPostProcData"},
      {"miData", "actRetrieveDataToList actRetrieveDataToGraph - actRetrieveStation actRetrieveSensor - actClearData"},
      {"miFilter", "actSelectFilter actApplyFilter"},
      {"miView", "RefreshTreeView - ExpandTree CollapseTree actViewLeftTree - actOptions"},
      {"miHelp", "actHelpIndex actHelpContents - miAbout"},
  };
  for (auto [menu, items] : menus) EXPECT_EQ(names(Find<QMenu>(*w, menu)->actions()).join(' '), items) << menu;
  EXPECT_EQ(names(Find<QToolBar>(*w, "ToolBarMain")->actions()).join(' '),
            "OpenSensorFile SaveSensorFile - Connect1 actExport actPrint - actCopy - RefreshTreeView - "
            "actRetrieveDataToGraph actRetrieveDataToList actRetrieveStation actRetrieveSensor - actApplyFilter - "
            "actHelpIndex");
  // the data-mode pair shows only for databases; Print needs a printing view
  w->UpdateActions();
  EXPECT_FALSE(Act(*w, "actSensorData")->isVisible());
  EXPECT_TRUE(Act(*w, "actPrint")->isEnabled());
  EXPECT_TRUE(Act(*w, "actOptions")->isEnabled());
  // a hint reaches status panel 1
  QStatusTipEvent tip("Refresh sensor tree view");
  QApplication::sendEvent(w.get(), &tip);
  EXPECT_EQ(w->StatusPanelText(1), "Refresh sensor tree view");
}

TEST_F(MainWindowTest, DemoFolderThroughTheExplorerInEveryGrouping) {
  StoreDemoSources();
  auto w = Start();
  Connect(*w, 1);
  EXPECT_EQ(w->DataSourceType(), 1);
  EXPECT_EQ(w->StatusPanelText(0), "Ombrix2");
  EXPECT_EQ(Find<QLabel>(*w, "lblDataSource")->text(), "Demo files");
  EXPECT_EQ(Headers(List(*w)), QStringList({"StationID", "SensorName", "StartTime", "EndTime", "DataFile"}));
  EXPECT_TRUE(Find<QToolButton>(*w, "btnRefreshLastUpdates")->isHidden());
  EXPECT_EQ(w->GroupSettings().DataStoreKind, 1);
  EXPECT_FALSE(View(*w, "ViewForm")->isHidden());
  EXPECT_TRUE(View(*w, "frmDBView")->isHidden());
  auto* combo = Find<QComboBox>(*w, "cbxView");
  ASSERT_EQ(combo->count(), 3);
  struct Case {
    const char* item;
    QStringList top;
    QStringList underFirst;
  };
  const Case cases[] = {
      {"View By Data Files", {"HILLTOP.DAT", "LAKEVIEW.DAT", "MILLBROOK.DAT"}, {"HILLTOP"}},
      {"View By Stations", {"HILLTOP", "LAKEVIEW", "MILLBROOK"}, {"AIRTEMP", "PRESS", "RAIN", "RH", "WDIR", "WSPD"}},
      {"View By Sensors",
       {"AIRTEMP", "ELEV", "PRESS", "RAIN", "RH", "STAGE", "WDIR", "WSPD", "WTEMP"},
       {"HILLTOP"}},
  };
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(combo->itemText(i), cases[i].item);
    EXPECT_FALSE(combo->itemIcon(i).isNull());
    ChooseGrouping(*w, i);
    EXPECT_EQ(Texts(w->TreeModel()), cases[i].top) << cases[i].item;
    EXPECT_EQ(Texts(w->TreeModel(), w->TreeModel().index(0, 0)), cases[i].underFirst) << cases[i].item;
  }
  // two stations share RAIN: one sensor node with both beneath it
  EXPECT_EQ(Texts(w->TreeModel(), w->TreeModel().index(3, 0)), QStringList({"HILLTOP", "MILLBROOK"}));
  EXPECT_EQ(w->Entries().Count(), 10);
  Act(*w, "ExpandTree")->trigger();
  EXPECT_TRUE(Tree(*w)->isExpanded(w->TreeModel().index(3, 0)));
  Act(*w, "CollapseTree")->trigger();
  EXPECT_FALSE(Tree(*w)->isExpanded(w->TreeModel().index(3, 0)));
  EXPECT_TRUE(sink_.entries.empty());
}

TEST_F(MainWindowTest, DemoDatabaseThroughTheExplorerInEveryGrouping) {
  StoreDemoSources();
  auto w = Start();
  Connect(*w, 4);
  ASSERT_EQ(w->DataSourceType(), 4);
  EXPECT_EQ(w->StatusPanelText(0), "Database");
  EXPECT_EQ(Find<QLabel>(*w, "lblDataSource")->text(), "DEMO");
  EXPECT_EQ(Headers(List(*w)), QStringList({"StationID", "SensorName", "LastUpdate"}));
  EXPECT_FALSE(Find<QToolButton>(*w, "btnRefreshLastUpdates")->isHidden());
  EXPECT_EQ(w->GroupSettings().DataStoreKind, 2);
  w->UpdateActions();
  EXPECT_TRUE(Act(*w, "actSensorData")->isVisible());
  EXPECT_TRUE(Act(*w, "actSensorData")->isChecked());
  EXPECT_TRUE(Act(*w, "actOptions")->isEnabled());
  EXPECT_FALSE(View(*w, "frmStationDatabaseParms")->isHidden());
  auto* combo = Find<QComboBox>(*w, "cbxView");
  ASSERT_EQ(combo->count(), 11);
  ASSERT_EQ(w->Groupings().size(), 11u);
  const int entries = w->Entries().Count();
  EXPECT_GT(entries, 50);
  for (int i = 0; i < combo->count(); ++i) {
    ChooseGrouping(*w, i);
    const TGrouping& g = w->Groupings()[static_cast<std::size_t>(i)];
    ASSERT_GT(w->TreeModel().rowCount(), 0) << g.Caption;
    EXPECT_EQ(w->TreeModel().KindOf(w->TreeModel().index(0, 0)), g.Levels[0]) << g.Caption;
    const QStringList top = Texts(w->TreeModel());
    for (int r = 1; r < top.size(); ++r) {
      if (g.Levels[0] == TNodeKind::PrimaryChannel || g.Levels[0] == TNodeKind::RandomChannel)
        EXPECT_LT(top[r - 1].toInt(), top[r].toInt()) << g.Caption;
      else
        EXPECT_LT(top[r - 1].compare(top[r], Qt::CaseInsensitive), 0) << g.Caption;
    }
    int leaves = 0;
    ForEachLeaf(w->TreeModel(), {}, leaves);
    EXPECT_EQ(leaves, entries) << g.Caption;
  }
  // the disabled station comes and goes with the option
  ChooseGrouping(*w, 0);
  EXPECT_FALSE(Texts(w->TreeModel()).contains("KSL110"));
  {
    // through the options dialog, as the user does it
    TScopedDialogRunner runner([](QDialog& dialog) {
      dialog.show();
      dialog.findChild<QCheckBox*>("chkShowDisabled")->setChecked(true);
      dialog.findChild<QAbstractButton*>("btnOK")->click();
      return dialog.result();
    });
    Act(*w, "actOptions")->trigger();
  }
  EXPECT_TRUE(w->Options().ShowDisableSensors);
  EXPECT_TRUE(Texts(w->TreeModel()).contains("KSL110"));
  TAppOptions options = w->Options();
  w->AddNodeToRetrievalList(SelectNode(*w, "KSL110"));
  w->AddNodeToRetrievalList(SelectNode(*w, "KSL010"));
  const int withDisabled = List(*w)->topLevelItemCount();
  options.ShowDisableSensors = false;
  w->SetOptions(options);
  EXPECT_FALSE(ListColumn(List(*w), 0).contains("KSL110"));
  EXPECT_GT(List(*w)->topLevelItemCount(), 0);
  EXPECT_LT(List(*w)->topLevelItemCount(), withDisabled);
  // post-processed data: other groupings and columns, an empty list
  Act(*w, "actPostProcData")->trigger();
  EXPECT_TRUE(w->IsPostProcessed());
  EXPECT_EQ(combo->count(), 3);
  EXPECT_EQ(combo->itemText(2), "View By SensorLabels");
  EXPECT_EQ(Headers(List(*w)), QStringList({"StationID", "SensorName", "SensorLabel"}));
  EXPECT_EQ(List(*w)->topLevelItemCount(), 0);
  EXPECT_TRUE(Find<QToolButton>(*w, "btnRefreshLastUpdates")->isHidden());
  EXPECT_GT(w->TreeModel().rowCount(), 0);
  w->UpdateActions();
  EXPECT_FALSE(Act(*w, "actOptions")->isEnabled());
  Act(*w, "actSensorData")->trigger();
  EXPECT_FALSE(w->IsPostProcessed());
  EXPECT_EQ(combo->count(), 11);
  EXPECT_TRUE(sink_.entries.empty()) << sink_.entries.front().text;
}

TEST_F(MainWindowTest, AddingDraggingAndDeletingRows) {
  StoreDemoSources();
  auto w = Start();
  Connect(*w, 1);
  QTreeWidget* list = List(*w);
  // a group node adds every entry beneath it, a second time nothing more
  SelectNode(*w, "HILLTOP.DAT");
  Act(*w, "actAddIntoWatchList")->trigger();
  EXPECT_EQ(list->topLevelItemCount(), 6);
  Act(*w, "actAddIntoWatchList")->trigger();
  EXPECT_EQ(list->topLevelItemCount(), 6);
  EXPECT_EQ(list->topLevelItem(0)->text(4), "HILLTOP.DAT");
  // a double-click on the tree adds the selected node
  const QModelIndex lakeview = SelectNode(*w, "LAKEVIEW.DAT");
  emit Tree(*w)->doubleClicked(lakeview);
  EXPECT_EQ(list->topLevelItemCount(), 8);
  // drops are taken only from the tree
  SelectNode(*w, "MILLBROOK.DAT");
  QMimeData mime;
  mime.setData(TEntryTreeModel::kMimeType, "1");
  QDropEvent foreign(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, {});
  QApplication::sendEvent(list->viewport(), &foreign);
  EXPECT_FALSE(foreign.isAccepted());
  EXPECT_FALSE(w->DropOnRetrievalList(w.get()));
  EXPECT_EQ(list->topLevelItemCount(), 8);
  EXPECT_TRUE(w->DropOnRetrievalList(Tree(*w)));
  EXPECT_EQ(list->topLevelItemCount(), 10);
  // Delete without modifiers removes the selected rows; with Shift it does not
  list->clearSelection();
  list->topLevelItem(0)->setSelected(true);
  list->topLevelItem(1)->setSelected(true);
  QTest::keyClick(list, Qt::Key_Delete, Qt::ShiftModifier);
  EXPECT_EQ(list->topLevelItemCount(), 10);
  QTest::keyClick(list, Qt::Key_Delete);
  EXPECT_EQ(list->topLevelItemCount(), 8);
  // a double-click on the list deletes the selection
  list->clearSelection();
  QTreeWidgetItem* row = list->topLevelItem(0);
  row->setSelected(true);
  emit list->itemDoubleClicked(row, 0);
  EXPECT_EQ(list->topLevelItemCount(), 7);
  // the list's popup deletes all; the tree's adds all
  emit list->customContextMenuRequested(QPoint(5, 5));
  auto* listPopup = Find<QMenu>(*w, "pmList");
  EXPECT_TRUE(listPopup->isVisible());
  listPopup->close();
  Act(*w, "actDeleteAllFromWatchList")->trigger();
  EXPECT_EQ(list->topLevelItemCount(), 0);
  const QModelIndex hilltop = w->TreeModel().index(0, 0);
  Tree(*w)->clearSelection();
  emit Tree(*w)->customContextMenuRequested(Tree(*w)->visualRect(hilltop).center());
  EXPECT_EQ(Tree(*w)->currentIndex(), hilltop);  // right-click selects
  auto* treePopup = Find<QMenu>(*w, "pmTree");
  EXPECT_TRUE(treePopup->isVisible());
  treePopup->close();
  Act(*w, "actAddAllIntoWatchList")->trigger();
  EXPECT_EQ(list->topLevelItemCount(), 10);
}

TEST_F(MainWindowTest, SortingByColumnHeaders) {
  StoreDemoSources();
  auto w = Start();
  Connect(*w, 1);
  ChooseGrouping(*w, 2);  // by sensor: rows arrive in sensor order
  Act(*w, "actAddAllIntoWatchList")->trigger();
  QTreeWidget* list = List(*w);
  QHeaderView* header = list->header();
  auto click = [&](int column) {
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
  };
  const QStringList before = ListColumn(list, 1);
  click(3);  // EndTime texts are no numbers: all rows compare equal
  EXPECT_EQ(ListColumn(list, 1), before);
  click(0);
  QStringList stations = ListColumn(list, 0);
  EXPECT_TRUE(std::is_sorted(stations.begin(), stations.end())) << stations.join(' ').toStdString();
  click(0);
  stations = ListColumn(list, 0);
  EXPECT_TRUE(std::is_sorted(stations.rbegin(), stations.rend())) << stations.join(' ').toStdString();
  EXPECT_EQ(stations.first(), "MILLBROOK");
}

TEST_F(MainWindowTest, TodayNowRetrievalAndError1410) {
  StoreDemoSources();
  auto w = Start();
  Connect(*w, 1);
  w->AddNodeToRetrievalList(SelectNode(*w, "LAKEVIEW.DAT"));
  w->AddNodeToRetrievalList(SelectNode(*w, "MILLBROOK.DAT"));
  log_.Calls.clear();
  QTest::mouseClick(Find<QPushButton>(*w, "RetrieveDataButton"), Qt::LeftButton);
  // every view is cleared first, then the graph and the interval list get their requests
  EXPECT_EQ(log_.Count("frmGraph Clear"), 1);
  EXPECT_EQ(log_.Count("frmSensorDatabaseParms Clear"), 1);
  ASSERT_EQ(log_.Count("frmGraph Retrieve"), 1);
  ASSERT_EQ(log_.Count("ViewForm Retrieve"), 1);
  EXPECT_EQ(log_.Count("frmDBView Retrieve"), 0);
  const TSeenRequest& graph = log_.Last["frmGraph"];
  EXPECT_EQ(graph.Start, EncodeTimeTag(2024, 3, 7, 0, 0, 0));
  EXPECT_EQ(graph.End - graph.Start, 30);
  EXPECT_EQ(graph.Count, 4);
  EXPECT_EQ(graph.Items, 2);  // one item per data file, first seen first
  EXPECT_EQ(graph.Sensors, std::vector<std::string>({"LAKEVIEW.ELEV", "LAKEVIEW.WTEMP", "MILLBROOK.RAIN",
                                                     "MILLBROOK.STAGE"}));
  EXPECT_EQ(graph.EntryCopies, 0);
  const TSeenRequest& interval = log_.Last["ViewForm"];
  EXPECT_EQ(interval.Count, 0);
  EXPECT_EQ(interval.EntryCopies, 4);
  EXPECT_EQ(interval.SourceType, 1);
  ASSERT_NE(w->CurrentRequest(), nullptr);
  EXPECT_EQ(w->CurrentRequest()->Count, 0);  // the list form is the one kept
  EXPECT_EQ(w->CurrentRequest()->Items(0)->Entries[0]->HighLimit, 100.0);

  // "Now" .. "Now" is no range: nothing is cleared or retrieved
  SetCombo(*w, "cboSinceTime", TTimeRange::kNow);
  log_.Calls.clear();
  w->RetrieveDataButtonClick();
  EXPECT_TRUE(sink_.Contains("Error 1410: The starting time must be earlier than the ending time."));
  EXPECT_TRUE(log_.Calls.empty());
  // "As Entered Below:" keeps the date, sets the time to midnight, enables the pickers
  SetCombo(*w, "cboSinceTime", TTimeRange::kAsEntered);
  EXPECT_EQ(Find<QTimeEdit>(*w, "tpPeriodStartsTime")->time(), QTime(0, 0));
  EXPECT_EQ(Find<QDateEdit>(*w, "tpPeriodStartsDate")->date(), QDate(2024, 3, 7));
  EXPECT_TRUE(Find<QDateEdit>(*w, "tpPeriodStartsDate")->isEnabled());
  // an empty list clears the views and keeps the request
  const TDataFileStationSensor* kept = w->CurrentRequest();
  Act(*w, "actDeleteAllFromWatchList")->trigger();
  log_.Calls.clear();
  Act(*w, "actRetrieveDataToList")->trigger();
  EXPECT_EQ(w->ActivePageKind(), kPageList);
  EXPECT_EQ(log_.Count("frmGraph Clear"), 1);
  EXPECT_EQ(log_.Count("frmGraph Retrieve"), 0);
  EXPECT_EQ(w->CurrentRequest(), kept);
}

TEST_F(MainWindowTest, DatabaseRetrievalFollowsSyncTabs) {
  StoreDemoSources();
  auto w = Start();
  Connect(*w, 4);
  w->AddNodeToRetrievalList(SelectNode(*w, "KSL010"));
  const int rows = List(*w)->topLevelItemCount();
  ASSERT_GT(rows, 0);
  auto* rightPanel = new QWidget(View(*w, "frmDBView"));
  rightPanel->setObjectName("RightPanel");
  TAppOptions options = w->Options();
  options.TimeBoundary = 2;
  options.UseGMTData = true;
  w->SetOptions(options);
  SetCombo(*w, "cboSinceTime", TTimeRange::kToday - 1);  // "Yesterday"

  struct Case {
    bool sync;
    int page;
    int graph, list;  // Retrieve calls expected
  };
  const Case cases[] = {
      {true, kPageGraph, 1, 1},    {true, kPageStation, 1, 1}, {false, kPageGraph, 1, 0},
      {false, kPageList, 0, 1},    {false, kPageStation, 0, 0},
  };
  for (const Case& c : cases) {
    w->SetOptions(WithSyncTabs(w->Options(), c.sync));
    w->ActivatePage(c.page);
    log_.Calls.clear();
    ViewDataCache().Clear();
    w->RetrieveDataButtonClick();
    const std::string label = "sync " + std::to_string(c.sync) + " page " + std::to_string(c.page);
    EXPECT_EQ(log_.Count("frmGraph Retrieve"), c.graph) << label;
    EXPECT_EQ(log_.Count("frmDBView Retrieve"), c.list) << label;
    EXPECT_EQ(log_.Count("frmDBView Clear"), 1) << label;
    // the cache is loaded whichever view is called
    EXPECT_EQ(ViewDataCache().Count(), rows) << label;
  }
  const TSeenRequest& seen = log_.Last["frmGraph"];
  EXPECT_EQ(seen.SourceType, 4);
  EXPECT_EQ(seen.Count, rows);
  EXPECT_EQ(seen.EntryCopies, rows);
  EXPECT_EQ(seen.TimeBoundary, 2);
  EXPECT_TRUE(seen.UseGMT);
  EXPECT_FALSE(seen.PostProcessed);
  EXPECT_FALSE(rightPanel->isHidden());
  bool anyValues = false;
  for (int i = 0; i < ViewDataCache().Count(); ++i) anyValues |= !ViewDataCache().Items(i).Times.empty();
  EXPECT_TRUE(anyValues);
  // RefreshViews hands the request to both views whatever page and option
  log_.Calls.clear();
  w->RefreshViews();
  EXPECT_EQ(log_.Count("frmGraph Retrieve"), 1);
  EXPECT_EQ(log_.Count("frmDBView Retrieve"), 1);
  // post-processed data hides the list's right panel
  Act(*w, "actPostProcData")->trigger();
  w->AddNodeToRetrievalList(w->TreeModel().index(0, 0));
  w->SetOptions(WithSyncTabs(w->Options(), true));
  w->RetrieveDataButtonClick();
  EXPECT_TRUE(log_.Last["frmDBView"].PostProcessed);
  EXPECT_TRUE(rightPanel->isHidden());
  EXPECT_TRUE(sink_.entries.empty()) << sink_.entries.front().text;
}

TEST_F(MainWindowTest, PropertiesAndCommandRouting) {
  StoreDemoSources();
  auto w = Start();
  Connect(*w, 4);
  ChooseGrouping(*w, 2);  // View By Basin: basin, station, sensor
  const QModelIndex basin = SelectNode(*w, "Kessel");
  EXPECT_TRUE(Act(*w, "actRetrieveStation")->isEnabled());
  EXPECT_FALSE(Act(*w, "actRetrieveSensor")->isEnabled());
  log_.Calls.clear();
  Act(*w, "actRetrieveStation")->trigger();
  // a basin walks down two levels to its first station's first sensor
  const QModelIndex station = w->TreeModel().index(0, 0, basin);
  const QString firstSensor = w->TreeModel().index(0, 0, station).data().toString();
  EXPECT_EQ(log_.Calls, std::vector<std::string>({"frmStationDatabaseParms Clear",
                                                  "frmStationDatabaseParms ShowItem " +
                                                      station.data().toString().toStdString() + "." +
                                                      firstSensor.toStdString()}));
  EXPECT_EQ(w->ActivePageKind(), kPageStation);
  EXPECT_EQ(Find<QMenu>(*w, "miPlaceHolder")->title(), "&Parameters");
  // Copy falls back to the graph; Print stays with the station view
  log_.Calls.clear();
  Act(*w, "actCopy")->trigger();
  w->UpdateActions();
  Act(*w, "actPrint")->trigger();
  Act(*w, "actExport")->trigger();
  EXPECT_EQ(log_.Calls,
            std::vector<std::string>({"frmGraph Copy", "frmStationDatabaseParms Print", "frmGraph Export"}));
  // Sensor Properties wants a leaf
  const QModelIndex sensor = SelectNode(*w, firstSensor, station);
  ASSERT_TRUE(sensor.isValid());
  EXPECT_TRUE(Act(*w, "actRetrieveSensor")->isEnabled());
  log_.Calls.clear();
  Act(*w, "actRetrieveSensor")->trigger();
  EXPECT_EQ(w->ActivePageKind(), kPageSensor);
  EXPECT_EQ(log_.Count("frmSensorDatabaseParms ShowItem " + station.data().toString().toStdString() + "." +
                       firstSensor.toStdString()),
            1);
  // the List page has no view menu to merge
  w->ActivatePage(kPageList);
  EXPECT_FALSE(Find<QMenu>(*w, "miPlaceHolder")->menuAction()->isVisible());
  // a data-file source: no station view, nothing to print on the Station page
  Connect(*w, 1);
  w->ActivatePage(kPageStation);
  SelectNode(*w, "HILLTOP.DAT");
  w->UpdateActions();
  EXPECT_FALSE(Act(*w, "actPrint")->isEnabled());
  EXPECT_FALSE(Act(*w, "actRetrieveStation")->isEnabled());
  EXPECT_FALSE(Act(*w, "actSensorData")->isVisible());
}

TEST_F(MainWindowTest, SettingsSurviveARestart) {
  StoreDemoSources();
  {
    auto w = Start();
    Connect(*w, 1);
    w->AddNodeToRetrievalList(SelectNode(*w, "LAKEVIEW.DAT"));
    SetCombo(*w, "cboSinceTime", 3);  // "Last Week"
    SetCombo(*w, "cboUntilTime", TTimeRange::kAsEntered);
    w->TimeRange().SetValue(false, TimeTagToDateTime(EncodeTimeTag(2024, 3, 6, 12, 0, 0)));
    TAppOptions options = w->Options();
    options.SyncTabs = false;
    options.TimeBoundary = 1;
    options.UseDefaultTimeFormat = true;
    w->SetOptions(options);
    Act(*w, "actViewLeftTree")->trigger();
    w->ActivatePage(kPageList);
  }
  TSettingsFile file(MainSettingsPath());
  EXPECT_EQ(file.Keys("SelectedNode"), std::vector<std::string>({"LAKEVIEW,ELEV,LAKEVIEW.DAT", "LAKEVIEW,WTEMP,LAKEVIEW.DAT"}));
  EXPECT_EQ(file.ReadString("SelectedNode", "LAKEVIEW,ELEV,LAKEVIEW.DAT", ""), "1");
  EXPECT_EQ(file.ReadInteger("SelectedNodeSettings", "FromTimeType", -1), 3);
  EXPECT_FALSE(file.ValueExists("SelectedNodeSettings", "FromTimeValue"));
  EXPECT_EQ(file.ReadInteger("SelectedNodeSettings", "ToTimeType", -1), 0);
  EXPECT_TRUE(file.ValueExists("SelectedNodeSettings", "ToTimeValue"));
  EXPECT_EQ(file.ReadInteger("SelectedNodeSettings", "StartTab", -1), 1);
  EXPECT_EQ(file.ReadString("Windows", "SyncTabs", ""), "0");
  EXPECT_EQ(file.ReadString("Windows", "LeftTreeViewVisible", ""), "0");
  EXPECT_EQ(file.ReadInteger("Windows", "Width", 0), 811);
  EXPECT_EQ(file.ReadInteger("DataSourceSettings", "DataSourceType", 0), 1);
  EXPECT_EQ(file.ReadString("TabSectionfrmGraph", "Marker", ""), "frmGraph");
  // a row whose sensor is gone by the next start is dropped
  file.WriteInteger("SelectedNode", "GONE,LEVEL,GONE.DAT", 1);
  ASSERT_TRUE(file.Flush());

  log_.Calls.clear();
  auto w = Start();
  EXPECT_EQ(w->DataSourceType(), 1);
  EXPECT_EQ(w->CurrentSource().Name, "Demo files");
  EXPECT_EQ(ListColumn(List(*w), 1), QStringList({"ELEV", "WTEMP"}));
  EXPECT_EQ(w->TimeRange().Item(true), 3);
  EXPECT_EQ(w->TimeRange().Item(false), 0);
  EXPECT_EQ(w->TimeRange().Value(false), TimeTagToDateTime(EncodeTimeTag(2024, 3, 6, 12, 0, 0)));
  EXPECT_EQ(w->ActivePageKind(), kPageList);
  EXPECT_FALSE(w->Options().SyncTabs);
  EXPECT_EQ(w->Options().TimeBoundary, 1);
  EXPECT_TRUE(w->Options().UseDefaultTimeFormat);
  EXPECT_TRUE(Find<QWidget>(*w, "pnlTree")->isHidden());
  w->UpdateActions();
  EXPECT_FALSE(Act(*w, "actViewLeftTree")->isChecked());
  EXPECT_EQ(log_.Count("frmGraph LoadSettings TabSectionfrmGraph=frmGraph"), 1);
  EXPECT_EQ(log_.Count("frmSensorDatabaseParms LoadSettings TabSectionfrmSensorDatabaseParms=frmSensorDatabaseParms"), 1);
  EXPECT_EQ(w->windowTitle(), "KV Quillon");
}

TEST_F(MainWindowTest, SensorSettingsFiles) {
  StoreDemoSources();
  const QString picks = QString::fromStdString(Path("picks.sfg"));
  QString chosen;
  const TFileChooser previous = SetFileChooser([&](QWidget*, const TFileRequest& r) {
    EXPECT_EQ(r.Filter, "Sensor Settings files (*.sfg *.SFG)");
    return chosen;
  });
  {
    auto w = Start();
    Connect(*w, 1);
    w->AddNodeToRetrievalList(SelectNode(*w, "MILLBROOK.DAT"));
    SetCombo(*w, "cboSinceTime", 1);  // "Last Month"
    w->ActivatePage(kPageList);
    chosen = picks;
    Act(*w, "SaveSensorFile")->trigger();
    EXPECT_EQ(w->windowTitle(), "KV Quillon - " + picks);
    TSettingsFile saved(picks.toStdString());
    EXPECT_EQ(saved.Keys("SelectedNode").size(), 2u);
    EXPECT_EQ(saved.ReadInteger("SelectedNodeSettings", "StartTab", -1), 1);
    EXPECT_EQ(saved.ReadString("TabSectionViewForm", "Marker", ""), "ViewForm");
    EXPECT_FALSE(saved.SectionExists("Windows"));
    // an existing file is replaced only after a yes
    SetCombo(*w, "cboSinceTime", 2);
    sink_.answers = {false};
    Act(*w, "SaveSensorFile")->trigger();
    EXPECT_TRUE(sink_.Contains(picks.toStdString() + " exists.  Do you wish to overwrite file?"));
    EXPECT_EQ(TSettingsFile(picks.toStdString()).ReadInteger("SelectedNodeSettings", "FromTimeType", -1), 1);
    sink_.answers = {true};
    Act(*w, "SaveSensorFile")->trigger();
    EXPECT_EQ(TSettingsFile(picks.toStdString()).ReadInteger("SelectedNodeSettings", "FromTimeType", -1), 2);
    // a path that cannot be deleted
    const QString folder = QString::fromStdString(Path("folder.sfg"));
    QDir().mkpath(folder + "/inside");
    sink_.answers = {true};
    EXPECT_FALSE(w->SaveSensorSettings(folder));
    EXPECT_TRUE(sink_.Contains("Error 1407: Unable to delete \"" + folder.toStdString() + "\". Check file attributes."));
    // a file without "SelectedNode" is refused and changes nothing
    std::ofstream(Path("other.sfg")) << "[Windows]\nTop=1\n";
    chosen = QString::fromStdString(Path("other.sfg"));
    Act(*w, "OpenSensorFile")->trigger();
    EXPECT_TRUE(sink_.Contains("Error 1402: Invalid sensor settings file."));
    EXPECT_EQ(List(*w)->topLevelItemCount(), 2);
    // the file read on another source: no rows match, range and page still apply
    Connect(*w, 4);
    w->ActivatePage(kPageGraph);
    SetCombo(*w, "cboSinceTime", TTimeRange::kToday);
    chosen = picks;
    Act(*w, "OpenSensorFile")->trigger();
    EXPECT_EQ(List(*w)->topLevelItemCount(), 0);
    EXPECT_EQ(w->TimeRange().Item(true), 2);
    EXPECT_EQ(w->ActivePageKind(), kPageList);
    EXPECT_EQ(w->windowTitle(), "KV Quillon - " + picks);
    Connect(*w, 1);
  }
  // the first argument: ".SFG" in any case is read after the main settings
  const QString upper = QString::fromStdString(Path("PICKS2.SFG"));
  ASSERT_TRUE(QFile::copy(picks, upper));
  {
    auto w = Start(upper);
    EXPECT_EQ(List(*w)->topLevelItemCount(), 2);
    EXPECT_EQ(w->windowTitle(), "KV Quillon - " + upper);
    w->RetrievalList().DeleteAll();
  }
  const QString text = QString::fromStdString(Path("picks.txt"));
  ASSERT_TRUE(QFile::copy(picks, text));
  auto w = Start(text);
  EXPECT_EQ(List(*w)->topLevelItemCount(), 0);
  EXPECT_EQ(w->windowTitle(), "KV Quillon");
  SetFileChooser(previous);
}

TEST_F(MainWindowTest, ExitConfirmationRefusesASecondCloseRequest) {
  auto w = Start();
  bool secondAccepted = true;
  bool stillShown = false;
  QTimer::singleShot(0, [&] {
    ASSERT_NE(TfrmExitConfirm::Current(), nullptr);
    // the window manager's close button pressed again while the question is open
    QCloseEvent second;
    QApplication::sendEvent(w.get(), &second);
    secondAccepted = second.isAccepted();
    stillShown = w->isVisible() && TfrmExitConfirm::Current();
    TfrmExitConfirm::Current()->btnOKClick();
  });
  EXPECT_TRUE(w->close());
  EXPECT_FALSE(secondAccepted);
  EXPECT_TRUE(stillShown);
  EXPECT_FALSE(w->isVisible());
  EXPECT_EQ(TfrmExitConfirm::Current(), nullptr);
  // Cancel keeps the program running
  w->show();
  QTimer::singleShot(0, [] { TfrmExitConfirm::Current()->btnCancelClick(); });
  EXPECT_FALSE(w->close());
  EXPECT_TRUE(w->isVisible());
}

// ---- bad input ---------------------------------------------------------------------

TEST_F(MainWindowTest, GarbageSettingsStillOpenTheWindow) {
  std::ofstream(MainSettingsPath(), std::ios::binary)
      << "[[[Windows\n=\nTop=abc\nWidth=-5\nHeight=99999999999\n[DataSourceSettings]\nDataSourceType=219\n"
         "DataSourcePass=%%%\n\x01\x02\xff\xfe\n[SelectedNodeSettings]\nFromTimeType=77\nStartTab=12\n"
         "[Windows]\nTimeBoundary=9\nSyncTabs=maybe\n";
  auto w = Start();
  EXPECT_EQ(w->DataSourceType(), 0);
  EXPECT_EQ(w->StatusPanelText(0), "None");
  EXPECT_EQ(w->TimeRange().Item(true), TTimeRange::kToday);
  EXPECT_EQ(w->Options().TimeBoundary, 0);
  EXPECT_TRUE(w->Options().SyncTabs);
  EXPECT_EQ(w->ActivePageKind(), kPageGraph);
  EXPECT_GE(w->width(), 400);
  EXPECT_TRUE(sink_.entries.empty());
}

TEST_F(MainWindowTest, BrokenSourcesAtStartGiveClearMessages) {
  // a broken alias: its file is no SQLite database
  std::ofstream(Path("broken.sqlite")) << "this is not a database, it is a grocery list\n";
  TAliasInfo broken;
  broken.Name = "BROKEN";
  broken.Driver = "QSQLITE";
  broken.Database = Path("broken.sqlite");
  ASSERT_TRUE(SaveAlias(broken, nullptr));
  struct Case {
    const char* name;
    std::string settings;
    std::string message;
  };
  const Case cases[] = {
      {"folder vanished",
       "[DataSourceSettings]\nDataSourceType=1\nDataSourceName=Gone\nDataSourceFolder=" + Path("gone") + "\n",
       "Error 1401: Error loading station sensors."},
      {"database refuses", "[DataSourceSettings]\nDataSourceType=4\nDataSourceDSN=BROKEN\n", "Error 1411: Database error - "},
      {"alias unknown", "[DataSourceSettings]\nDataSourceType=4\nDataSourceDSN=NOSUCH\n", "Error 1411: Database error - "},
  };
  for (const Case& c : cases) {
    std::ofstream(MainSettingsPath()) << c.settings;
    TRecordingSink sink;
    auto w = Start();
    EXPECT_TRUE(w->isVisible()) << c.name;
    EXPECT_EQ(w->TreeModel().rowCount(), 0) << c.name;
    ASSERT_FALSE(sink.entries.empty()) << c.name;
    EXPECT_EQ(sink.entries.front().kind, MessageKind::Error) << c.name;
    EXPECT_EQ(sink.entries.front().text.rfind(c.message, 0), 0u) << c.name << ": " << sink.entries.front().text;
    // the source stays current, so nothing of the user's choice is lost
    EXPECT_NE(w->DataSourceType(), 0) << c.name;
  }
}

TEST_F(MainWindowTest, FilterFileThatCannotBeReadDoesNotStopTheWindow) {
  std::ofstream(MainSettingsPath()) << "[DataSourceSettings]\nDataSourceType=4\nDataSourceDSN=DEMO\n"
                                       "[FilterSettings]\nFilterEnabled=1\nFilterFile="
                                    << Path("missing.flt") << "\n";
  auto w = Start();
  EXPECT_EQ(w->DataSourceType(), 4);
  EXPECT_GT(w->TreeModel().rowCount(), 0);
  w->UpdateActions();
  EXPECT_TRUE(Act(*w, "actApplyFilter")->isEnabled());
  EXPECT_EQ(Act(*w, "actApplyFilter")->text(), "&Remove Filter");
  EXPECT_TRUE(sink_.entries.empty());
}

TEST_F(MainWindowTest, RefreshOfLastUpdates) {
  StoreDemoSources();
  auto w = Start();
  Connect(*w, 4);
  QSqlQuery q(DBConnection().Database());
  ASSERT_TRUE(q.exec("UPDATE KV_SITES SET LAST_UPDATE = NULL WHERE STATION_ID = 'TRNR02'"));
  w->AddNodeToRetrievalList(SelectNode(*w, "TRNR02"));
  w->AddNodeToRetrievalList(SelectNode(*w, "KSL010"));
  QTreeWidget* list = List(*w);
  const QString before = list->topLevelItem(0)->text(2);
  EXPECT_NE(before, "Never");
  Find<QToolButton>(*w, "btnRefreshLastUpdates")->click();
  EXPECT_EQ(list->topLevelItem(0)->text(0), "TRNR02");
  EXPECT_EQ(list->topLevelItem(0)->text(2), "Never");
  EXPECT_NE(list->topLevelItem(list->topLevelItemCount() - 1)->text(2), "Never");
  EXPECT_EQ(w->Entries().Count() > 0, true);
  ASSERT_TRUE(q.exec("UPDATE KV_SITES SET LAST_UPDATE = '2024-03-06 23:45:00.000' WHERE STATION_ID = 'TRNR02'"));
}

}  // namespace
