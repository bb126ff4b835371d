// The main window: the open data source, its station tree, the retrieval
// list, the time range, the options and the five views in the pages. The
// jobs live in collaborators (StationTree, RetrievalList, TimeRange,
// RequestBuilder, MainSettings, ViewRegistry, LastUpdates); this class wires
// them to the window's controls and commands.
#pragma once

#include <QMainWindow>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/AppOptions.h"
#include "app/BaseQuillonForm.h"
#include "app/Groupings.h"
#include "app/ViewRegistry.h"
#include "data/DataSource.h"

class QLabel;
class QMenu;

namespace Ui {
class TfrmQuillonMain;
}

namespace kvq {

class TEntryTreeModel;
class TRetrievalList;
class TSettingsFile;
class TStationSensorCache;
class TTimeRange;

class TfrmQuillonMain : public QMainWindow, public TQuillonServices {
  Q_OBJECT

 public:
  // Creates the window as the program starts it: views from `viewFactory`
  // (one per page slot), then the main settings file (MainSettingsPath(),
  // held open until the window is destroyed) restores the last session, and
  // a ".SFG" `firstArgument` is read as a sensor settings file.
  explicit TfrmQuillonMain(const QString& firstArgument = {}, const TViewFactory& viewFactory = PlaceholderView,
                           QWidget* parent = nullptr);
  // Saves the main settings, then releases views, list, request and source.
  ~TfrmQuillonMain() override;
  TfrmQuillonMain(const TfrmQuillonMain&) = delete;
  TfrmQuillonMain& operator=(const TfrmQuillonMain&) = delete;

  // ---- services offered to the views --------------------------------------
  void RetrieveData(DateTimeValue start, DateTimeValue end) override;
  void RefreshViews() override;
  bool IsPostProcessed() const override { return source_.PostProcessed; }
  int DataSourceType() const override { return source_.Type; }
  bool UseGMTData() const override { return options_.UseGMTData; }
  QDateEdit* PeriodStartsDate() const override;
  QTimeEdit* PeriodStartsTime() const override;
  QDateEdit* PeriodEndsDate() const override;
  QTimeEdit* PeriodEndsTime() const override;
  void SetStatusPanel2(const QString& text) override;
  TFileServer& FileServer() override { return *fileServer_; }
  const TDataStoreGroupSetup& GroupSettings() const override;

  // ---- the window's operations ----------------------------------------------
  // Shows the current source (status panel, label, list columns, groupings)
  // and rebuilds the tree; the retrieval list is emptied.
  void OpenDataSource();
  // Loads the entries again and rebuilds the tree for the chosen grouping.
  void RebuildTree();
  // Looks each row up again in the entry list; rows that are gone disappear.
  void RebuildRetrievalList();
  // Adds the entries beneath a tree node (the node's own for a leaf).
  void AddNodeToRetrievalList(const QModelIndex& node);
  // The Retrieve button: checks the range (Error 1410), then RetrieveData.
  void RetrieveDataButtonClick();
  // Shows the views that serve the current source, hides the others.
  void ShowViewsForSource();
  // Clear on every view and the view data cache.
  void ClearViews();
  // The state rules of the commands; run whenever the GUI goes idle.
  void UpdateActions();
  // Reads a sensor settings file: rows, time range, views, page, caption.
  // False (after Error 1402) when it is none.
  bool LoadSensorSettings(const QString& path);
  // Writes the rows, time range, views and page into a new file at `path`
  // (asking before replacing one); false when nothing was written.
  bool SaveSensorSettings(const QString& path);
  // Makes `source` the current data source and opens it (what Connect in
  // the explorer leads to); Error 1401 when opening fails.
  void UseDataSource(const TDataSourceInfo& source);
  // A drop on the retrieval list: the tree's selected node is added when the
  // drag comes from the tree; drags from anywhere else are refused (false).
  bool DropOnRetrievalList(QObject* dragSource);
  // Activates the page of `kind` (1 Graph .. 4 Sensor) and merges its view
  // menu.
  void ActivatePage(int kind);
  // The kind of the active page (1..4), 0 when none is.
  int ActivePageKind() const;

  // Runs the import window; installed by the program once it has one.
  void SetImportRunner(std::function<void(QWidget* parent)> runner) { importRunner_ = std::move(runner); }

  // ---- state, for the views' neighbours and for tests ------------------------
  const TDataSourceInfo& CurrentSource() const { return source_; }
  const TAppOptions& Options() const { return options_; }
  // Replaces the options as the options dialog does (the tree is rebuilt
  // when ShowDisableSensors changes).
  void SetOptions(const TAppOptions& options);
  const TStationSensorCache& Entries() const { return *entries_; }
  TEntryTreeModel& TreeModel() { return *treeModel_; }
  TRetrievalList& RetrievalList() { return *retrievalList_; }
  TTimeRange& TimeRange() { return *timeRange_; }
  TViewRegistry& Views() { return views_; }
  const std::vector<TGrouping>& Groupings() const { return groupings_; }
  // The last request handed to the views, or null before the first.
  const TDataFileStationSensor* CurrentRequest() const { return request_.get(); }
  TSettingsFile& Settings() { return *settings_; }
  QString StatusPanelText(int panel) const;

 protected:
  // Every close request asks ConfirmExit.
  void closeEvent(QCloseEvent* event) override;
  // Long hints of controls and commands go to status panel 1.
  bool event(QEvent* event) override;
  // Drops from the tree and the Delete key on the retrieval list.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateStatusPanels();
  void CreateActionsWiring();
  void CreatePopupMenus();
  void CreateViews(const TViewFactory& factory);
  void LoadMainSettings();
  void SaveMainSettings();
  void ApplyWindowBounds(const QRect& bounds);
  void FillGroupings();
  void SetDataMode(bool postProcessed);
  QModelIndex SelectedNode() const;
  void pgMainChange();
  void ChangeDataSource();
  void OpenSensorSettingsFile();
  void SaveSensorSettingsFile();
  void ShowOptions();
  void RefreshLastUpdatesClick();
  void ToggleTreePanel();
  void ShowStationProperties();
  void ShowSensorProperties();
  void RunViewOp(int op);
  void ShowContextHelp();
  // The condition text of the current filter for the tree statement. Empty
  // until filters are in: the statement then stays unfiltered.
  std::string FilterCondition();
  // Builds and hands out the requests; a database failure escapes.
  void RetrieveRequests(DateTimeValue start, DateTimeValue end);

  std::unique_ptr<Ui::TfrmQuillonMain> ui;
  std::unique_ptr<TSettingsFile> settings_;  // the main settings file, open for the window's life
  TDataSourceInfo source_;                   // the current data source (type 0: none)
  std::unique_ptr<TStationSensorCache> entries_;
  std::unique_ptr<TFileServer> fileServer_;
  TEntryTreeModel* treeModel_;       // Qt child; refers to entries_
  TRetrievalList* retrievalList_;    // Qt child
  TTimeRange* timeRange_;            // Qt child
  TViewRegistry views_;
  std::vector<TGrouping> groupings_;  // the items of cbxView
  std::unique_ptr<TDataFileStationSensor> request_;
  TAppOptions options_;
  bool optionsAllowed_ = true;  // actOptions: set by OpenDataSource
  QLabel* statusPanels_[3] = {};
  QMenu* pmTree_ = nullptr;
  QMenu* pmList_ = nullptr;
  std::function<void(QWidget*)> importRunner_;
  int treeWidth_ = 166;    // the tree panel's width while it is hidden
  int filterHeight_ = 81;  // the filter panel's height while it is hidden
  QMetaObject::Connection idleConnection_;  // UpdateActions when the GUI goes idle
};

}  // namespace kvq
