#include "app/Main.h"

#include <QAbstractEventDispatcher>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QShortcut>
#include <QStatusTipEvent>

#include <stdexcept>

#include "app/About.h"
#include "app/ActionIcons.h"
#include "app/DataSourceExplorer.h"
#include "app/EntryTreeModel.h"
#include "app/ExitConfirm.h"
#include "app/FileChooser.h"
#include "app/Help.h"
#include "app/LastUpdates.h"
#include "app/MainSettings.h"
#include "app/MenuMerge.h"
#include "app/Printers.h"
#include "app/RequestBuilder.h"
#include "app/RetrievalList.h"
#include "app/StationTree.h"
#include "app/TimeRange.h"
#include "app/TreeNodes.h"
#include "app/WaitCursor.h"
#include "data/AppPaths.h"
#include "data/DBCache.h"
#include "data/DBConnect.h"
#include "data/DataDef.h"
#include "foundation/GroupSetup.h"
#include "foundation/Messages.h"
#include "foundation/SettingsFile.h"
#include "store/FileSrvr.h"
#include "ui_Main.h"

namespace kvq {

namespace {

constexpr char kError1401[] = "Error 1401: Error loading station sensors.";

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

// ---- creation and destruction --------------------------------------------------

TfrmQuillonMain::TfrmQuillonMain(const QString& firstArgument, const TViewFactory& viewFactory, QWidget* parent)
    : QMainWindow(parent),
      ui(std::make_unique<Ui::TfrmQuillonMain>()),
      settings_(std::make_unique<TSettingsFile>(MainSettingsPath())),
      entries_(std::make_unique<TStationSensorCache>()),
      fileServer_(std::make_unique<TFileServer>(DefaultGroupSetup("1"))) {
  ui->setupUi(this);
  // the graph view installs ChartPalette() as its series colours
  CreateStatusPanels();
  treeModel_ = new TEntryTreeModel(this);
  ui->tvwLeftTree->setModel(treeModel_);
  retrievalList_ = new TRetrievalList(ui->lstSiteSensors, this);
  timeRange_ = new TTimeRange(ui->cboSinceTime, ui->tpPeriodStartsDate, ui->tpPeriodStartsTime, ui->cboUntilTime,
                              ui->tpPeriodEndsDate, ui->tpPeriodEndsTime, this);
  timeRange_->SetItem(true, TTimeRange::kToday);
  timeRange_->SetItem(false, TTimeRange::kNow);
  ui->spltTree->setStretchFactor(0, 0);
  ui->spltTree->setStretchFactor(1, 1);
  ui->spltTree->setSizes({166, 645});
  ui->spltFilter->setStretchFactor(0, 1);
  ui->spltFilter->setStretchFactor(1, 0);
  ui->btnRefreshLastUpdates->setIcon(ActionIcon(QStringLiteral("RefreshTreeView")));
  ui->btnRefreshLastUpdates->setVisible(false);
  ui->btnClear->setStatusTip(ui->actClearData->statusTip());
  ui->btnClear->setToolTip(ui->actClearData->toolTip());
  ClearMergedMenu(ui->miPlaceHolder);
  for (QAction* action : findChildren<QAction*>()) {
    const QIcon icon = ActionIcon(action->objectName());
    if (!icon.isNull()) action->setIcon(icon);
  }
  setWindowIcon(QIcon(ProgramPicture(64)));
  // the design size, centred on the screen; the settings may move it
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  CreateActionsWiring();
  CreatePopupMenus();
  // menus are windows of their own and do not inherit the design font
  for (QMenu* menu : findChildren<QMenu*>(Qt::FindDirectChildrenOnly)) menu->setFont(font());
  for (QMenu* menu : ui->MainMenu->findChildren<QMenu*>()) menu->setFont(font());
  CreateViews(viewFactory);
  LoadMainSettings();
  ShowViewsForSource();
  if (!firstArgument.isEmpty() && HasSensorSettingsExtension(firstArgument)) LoadSensorSettings(firstArgument);
  idleConnection_ = connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
                            &TfrmQuillonMain::UpdateActions);
  UpdateActions();
}

TfrmQuillonMain::~TfrmQuillonMain() {
  disconnect(idleConnection_);
  SaveMainSettings();
  views_.ClearViews();
  retrievalList_->DeleteAll();
  request_.reset();
  // the tree refers to the entries
  treeModel_->Clear();
  entries_->Clear();
}

void TfrmQuillonMain::CreateStatusPanels() {
  const int widths[3] = {120, 390, 50};
  for (int i = 0; i < 3; ++i) {
    auto* panel = new QLabel(ui->StatusSetup);
    panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setMinimumWidth(widths[i]);
    if (i < 2) panel->setMaximumWidth(widths[i]);
    ui->StatusSetup->addWidget(panel, i == 2 ? 1 : 0);
    statusPanels_[i] = panel;
  }
  statusPanels_[0]->setText(QStringLiteral("None"));
}

void TfrmQuillonMain::CreateViews(const TViewFactory& factory) {
  QWidget* pages[] = {ui->tsGraph, ui->tsGrid, ui->tsStation, ui->tsSensor};
  const QSignalBlocker block(ui->pgMain);
  for (int slot = 0; slot < static_cast<int>(kViewSlots.size()); ++slot) {
    QWidget* page = pages[kViewSlots[static_cast<std::size_t>(slot)].Page - 1];
    ui->pgMain->setCurrentWidget(page);
    TBaseQuillonForm* view = factory(slot, this, page);
    if (!view) continue;
    view->hide();
    page->layout()->addWidget(view);
    view->show();
    views_.Add(view);
  }
  ui->pgMain->setCurrentIndex(0);
}

// ---- services ---------------------------------------------------------------------

QDateEdit* TfrmQuillonMain::PeriodStartsDate() const { return ui->tpPeriodStartsDate; }
QTimeEdit* TfrmQuillonMain::PeriodStartsTime() const { return ui->tpPeriodStartsTime; }
QDateEdit* TfrmQuillonMain::PeriodEndsDate() const { return ui->tpPeriodEndsDate; }
QTimeEdit* TfrmQuillonMain::PeriodEndsTime() const { return ui->tpPeriodEndsTime; }
void TfrmQuillonMain::SetStatusPanel2(const QString& text) { statusPanels_[2]->setText(text); }
const TDataStoreGroupSetup& TfrmQuillonMain::GroupSettings() const { return fileServer_->Settings(); }
QString TfrmQuillonMain::StatusPanelText(int panel) const {
  return panel >= 0 && panel < 3 ? statusPanels_[panel]->text() : QString();
}

void TfrmQuillonMain::RetrieveData(DateTimeValue start, DateTimeValue end) {
  std::string failure;
  {
    TWaitCursor wait;
    try {
      RetrieveRequests(start, end);
    } catch (const std::exception& e) {
      failure = e.what();
    }
  }
  if (!failure.empty()) ShowError(failure);
}

void TfrmQuillonMain::RetrieveRequests(DateTimeValue start, DateTimeValue end) {
  ClearViews();
  // an empty list builds nothing: the previous request stays current
  if (retrievalList_->Count() == 0) return;
  const TimeTag from = DateTimeToTimeTag(start), to = DateTimeToTimeTag(end);
  const int type = source_.Type;
  if (type == kSourceOmbrix2) {
    // the graph counts the rows; the interval list carries entry copies
    auto graph = BuildDataFileRequest(*retrievalList_, from, to, false);
    if (TBaseQuillonForm* view = views_.LookupView(kPageGraph, type)) view->Retrieve(*graph);
    request_ = std::move(graph);
    auto list = BuildDataFileRequest(*retrievalList_, from, to, true);
    if (TBaseQuillonForm* view = views_.LookupView(kPageList, type)) view->Retrieve(*list);
    request_ = std::move(list);
  } else if (IsDatabaseSource(type)) {
    TBaseQuillonForm* listView = views_.LookupView(kPageList, type);
    if (listView && listView->objectName() == QLatin1String("frmDBView"))
      if (auto* panel = listView->findChild<QWidget*>(QStringLiteral("RightPanel"))) panel->setVisible(!IsPostProcessed());
    const TRequestOptions options{options_.UseGMTData, options_.TimeBoundary, options_.UseDefaultTimeFormat};
    auto request = BuildDatabaseRequest(*retrievalList_, from, to, source_, options);
    if (IsPostProcessed())
      ViewDataCache().LoadPostProcessedData(*request);
    else
      ViewDataCache().LoadSensorData(*request);
    const int page = ActivePageKind();
    if (options_.SyncTabs || page == kPageGraph)
      if (TBaseQuillonForm* view = views_.LookupView(kPageGraph, type)) view->Retrieve(*request);
    if (options_.SyncTabs || page == kPageList)
      if (listView) listView->Retrieve(*request);
    request_ = std::move(request);
  }
}

void TfrmQuillonMain::RefreshViews() {
  if (!IsDatabaseSource(source_.Type) || !request_) return;
  for (int kind : {kPageGraph, kPageList}) {
    try {
      if (TBaseQuillonForm* view = views_.LookupView(kind, source_.Type)) view->Retrieve(*request_);
    } catch (...) {
      // a view that cannot redraw keeps what it showed
    }
  }
}

// ---- data source, tree and retrieval list ----------------------------------------

void TfrmQuillonMain::OpenDataSource() {
  statusPanels_[0]->setText(Q(source_.DisplayName()));
  if (source_.Type != kSourceNone) {
    ui->lblDataSource->setText(Q(source_.Caption()));
    ui->lblDataSource->setToolTip(Q(source_.Type == kSourceOmbrix2 ? source_.Folder : source_.Caption()));
  }
  retrievalList_->DeleteAll();
  retrievalList_->SetMode(source_.Type, source_.PostProcessed);
  ui->btnRefreshLastUpdates->setVisible(retrievalList_->ShowsLastUpdate());
  ui->btnRefreshLastUpdates->setEnabled(retrievalList_->ShowsLastUpdate());
  FillGroupings();
  optionsAllowed_ = IsDatabaseSource(source_.Type) && !source_.PostProcessed;
  (source_.PostProcessed ? ui->actPostProcData : ui->actSensorData)->setChecked(true);
  RebuildTree();
}

void TfrmQuillonMain::FillGroupings() {
  groupings_ = GroupingsFor(source_.Type, source_.PostProcessed);
  const QSignalBlocker block(ui->cbxView);
  ui->cbxView->clear();
  for (const TGrouping& g : groupings_) ui->cbxView->addItem(NodeIcon(g.Levels[0]), Q(g.Caption));
  ui->cbxView->setCurrentIndex(groupings_.empty() ? -1 : 0);
}

void TfrmQuillonMain::RebuildTree() {
  const int item = ui->cbxView->currentIndex();
  const TGrouping* grouping =
      item >= 0 && item < static_cast<int>(groupings_.size()) ? &groupings_[static_cast<std::size_t>(item)] : nullptr;
  std::string failure;
  {
    TWaitCursor wait;
    try {
      RebuildStationTree(source_, grouping, options_.ShowDisableSensors, FilterCondition(), *fileServer_, *entries_,
                         *treeModel_);
    } catch (const std::exception& e) {
      failure = e.what();
    }
  }
  if (!failure.empty()) ShowError(std::string(kError1401) + "\n" + failure);
}

std::string TfrmQuillonMain::FilterCondition() { return {}; }

void TfrmQuillonMain::RebuildRetrievalList() { retrievalList_->Rebuild(*entries_); }

void TfrmQuillonMain::AddNodeToRetrievalList(const QModelIndex& node) {
  ForEachNodeEntry(*treeModel_, node, [this](const TStationSensorItem& entry) { retrievalList_->Add(entry); });
}

QModelIndex TfrmQuillonMain::SelectedNode() const {
  const QModelIndexList selected = ui->tvwLeftTree->selectionModel()->selectedIndexes();
  return selected.isEmpty() ? QModelIndex() : selected.first();
}

bool TfrmQuillonMain::DropOnRetrievalList(QObject* dragSource) {
  if (dragSource != ui->tvwLeftTree) return false;
  AddNodeToRetrievalList(SelectedNode());
  return true;
}

void TfrmQuillonMain::SetDataMode(bool postProcessed) {
  if (source_.PostProcessed == postProcessed) return;
  try {
    source_.PostProcessed = postProcessed;
    OpenDataSource();
  } catch (...) {
    ShowError(kError1401);
  }
}

void TfrmQuillonMain::RefreshLastUpdatesClick() {
  {
    TWaitCursor wait;
    if (ConnectDataSource(source_)) RefreshLastUpdates(*entries_);
  }
  RebuildRetrievalList();
}

void TfrmQuillonMain::UseDataSource(const TDataSourceInfo& source) {
  try {
    source_.CopyFrom(source);
    ShowViewsForSource();
    OpenDataSource();
  } catch (...) {
    ShowError(kError1401);
  }
}

void TfrmQuillonMain::ChangeDataSource() {
  TDataSourceInfo chosen;
  if (ChooseDataSource(*settings_, chosen, this)) UseDataSource(chosen);
}

// ---- views and pages ----------------------------------------------------------------

void TfrmQuillonMain::ShowViewsForSource() { views_.ShowViewsForSource(source_.Type); }

void TfrmQuillonMain::ClearViews() { views_.ClearViews(); }

int TfrmQuillonMain::ActivePageKind() const {
  const int index = ui->pgMain->currentIndex();
  return index < 0 ? 0 : index + 1;
}

void TfrmQuillonMain::ActivatePage(int kind) {
  if (kind < kPageGraph || kind > kPageSensor) return;
  {
    const QSignalBlocker block(ui->pgMain);
    ui->pgMain->setCurrentIndex(kind - 1);
  }
  pgMainChange();
}

void TfrmQuillonMain::pgMainChange() {
  try {
    TBaseQuillonForm* view = views_.LookupView(ActivePageKind(), source_.Type);
    MergeViewMenu(ui->miPlaceHolder, view ? view->ViewMenu() : nullptr);
  } catch (...) {
    // a view menu that cannot be merged leaves the slot empty
  }
}

void TfrmQuillonMain::RunViewOp(int op) {
  const int kind = ActivePageKind();
  if (kind == 0) return;
  std::string failure;
  {
    TWaitCursor wait;
    TBaseQuillonForm* view = views_.LookupViewForOp(op, kind, source_.Type, op != kOpPrint);
    try {
      if (!view) {
        // no view copies here: the focused control does its own copy
        if (op == kOpCopy)
          if (QWidget* focus = QApplication::focusWidget()) QMetaObject::invokeMethod(focus, "copy");
      } else if (op == kOpExport) {
        view->Export();
      } else if (op == kOpCopy) {
        view->Copy();
      } else {
        view->Print();
      }
    } catch (const std::exception& e) {
      failure = e.what();
    }
  }
  if (!failure.empty()) ShowError(failure);
}

void TfrmQuillonMain::ShowStationProperties() {
  TBaseQuillonForm* view = views_.LookupView(kPageStation, source_.Type);
  const QModelIndex node = SelectedNode();
  if (!view || !node.isValid()) return;
  if (const TStationSensorItem* entry = StationNodeEntry(*treeModel_, node)) {
    ActivatePage(kPageStation);
    view->Clear();
    view->ShowItem(*entry);
  }
}

void TfrmQuillonMain::ShowSensorProperties() {
  TBaseQuillonForm* view = views_.LookupView(kPageSensor, source_.Type);
  if (!view) return;
  if (const TStationSensorItem* entry = SensorNodeEntry(*treeModel_, SelectedNode())) {
    ActivatePage(kPageSensor);
    view->Clear();
    view->ShowItem(*entry);
  }
}

// ---- time range and retrieval -------------------------------------------------------

void TfrmQuillonMain::RetrieveDataButtonClick() {
  DateTimeValue start = 0, end = 0;
  if (timeRange_->Evaluate(start, end)) RetrieveData(start, end);
}

// ---- settings -------------------------------------------------------------------------

void TfrmQuillonMain::LoadMainSettings() {
  try {
    TWindowSettings w;
    w.Bounds = QRect(pos(), size());
    w.TreeWidth = treeWidth_;
    w.FilterHeight = filterHeight_;
    ReadWindowSettings(*settings_, w);
    ApplyWindowBounds(w.Bounds);
    options_ = w.Options;
    ui->pnlTree->setVisible(w.TreeVisible);
    if (w.TreeWidth >= ui->pnlTree->minimumWidth()) treeWidth_ = w.TreeWidth;
    ui->spltTree->setSizes({treeWidth_, std::max(1, width() - treeWidth_)});
    ui->pnlFilter->setVisible(w.FilterVisible);
    if (w.FilterHeight > 0) filterHeight_ = w.FilterHeight;
    ui->spltFilter->setSizes({std::max(1, height() - filterHeight_), filterHeight_});
    source_.LoadCurrent(*settings_);
    // a type this program does not know opens nothing
    if (source_.Type > kSourceINSQL) source_ = TDataSourceInfo();
    if (source_.Type != kSourceNone) OpenDataSource();
    const TSelectionSettings selection = ReadSelection(*settings_);
    RestoreSelection(selection, *retrievalList_, *entries_, *timeRange_);
    views_.LoadSettings(*settings_);
    ActivatePage(selection.StartTab + 1);
  } catch (...) {
    // the window opens with what was restored so far
  }
}

void TfrmQuillonMain::ApplyWindowBounds(const QRect& bounds) {
  if (bounds.width() < minimumSizeHint().width() / 2 || bounds.height() < 100) return;
  resize(bounds.size());
  // stored bounds that lie on no screen (a monitor gone) keep the centred place
  for (const QScreen* screen : QGuiApplication::screens())
    if (screen->availableGeometry().intersects(bounds)) {
      move(bounds.topLeft());
      return;
    }
}

void TfrmQuillonMain::SaveMainSettings() {
  try {
    source_.SaveCurrent(*settings_);
    TWindowSettings w;
    const QRect normal = isMaximized() || isMinimized() ? normalGeometry() : QRect(pos(), size());
    w.Bounds = normal;
    w.Options = options_;
    w.TreeVisible = !ui->pnlTree->isHidden();
    w.FilterVisible = !ui->pnlFilter->isHidden();
    if (ui->pnlTree->isVisible()) treeWidth_ = ui->pnlTree->width();
    if (ui->pnlFilter->isVisible()) filterHeight_ = ui->pnlFilter->height();
    w.TreeWidth = treeWidth_;
    w.FilterHeight = filterHeight_;
    WriteWindowSettings(*settings_, w);
    WriteSelection(*settings_, CaptureSelection(*retrievalList_, *timeRange_, ActivePageKind() - 1));
    views_.SaveSettings(*settings_);
    WriteStartTab(*settings_, ui->pgMain->currentIndex());
    std::string error;
    if (!settings_->Flush(&error)) qWarning("KV Quillon: the settings were not saved: %s", error.c_str());
  } catch (...) {
    // the previous file stays
  }
}

bool TfrmQuillonMain::LoadSensorSettings(const QString& path) {
  TSettingsFile file(path.toStdString());
  if (!IsSensorSettingsFile(file)) {
    ShowError("Error 1402: Invalid sensor settings file.");
    return false;
  }
  retrievalList_->DeleteAll();
  const TSelectionSettings selection = ReadSelection(file);
  RestoreSelection(selection, *retrievalList_, *entries_, *timeRange_);
  setWindowTitle(SensorSettingsCaption(path));
  views_.LoadSettings(file);
  ActivatePage(selection.StartTab + 1);
  return true;
}

bool TfrmQuillonMain::SaveSensorSettings(const QString& path) {
  if (!ClearSensorSettingsPath(path)) return false;
  TSettingsFile file(path.toStdString());
  WriteSelection(file, CaptureSelection(*retrievalList_, *timeRange_, ActivePageKind() - 1));
  views_.SaveSettings(file);
  WriteStartTab(file, ui->pgMain->currentIndex());
  std::string error;
  if (!file.Flush(&error)) {
    ShowError(error);
    return false;
  }
  setWindowTitle(SensorSettingsCaption(path));
  return true;
}

void TfrmQuillonMain::OpenSensorSettingsFile() {
  TFileRequest request;
  request.Kind = TFileDialogKind::Open;
  request.Caption = QStringLiteral("Open Sensor Settings file");
  request.Folder = QCoreApplication::applicationDirPath();
  request.Filter = QStringLiteral("Sensor Settings files (*.sfg *.SFG)");
  request.DefaultSuffix = QStringLiteral("sfg");
  const QString path = ChooseFile(this, request);
  if (!path.isEmpty()) LoadSensorSettings(path);
}

void TfrmQuillonMain::SaveSensorSettingsFile() {
  TFileRequest request;
  request.Kind = TFileDialogKind::Save;
  request.Caption = QStringLiteral("Save Sensor Settings");
  request.Folder = QCoreApplication::applicationDirPath();
  request.Filter = QStringLiteral("Sensor Settings files (*.sfg *.SFG)");
  request.DefaultSuffix = QStringLiteral("sfg");
  // the question about an existing file is asked in the program's own words
  request.ConfirmOverwrite = false;
  const QString path = ChooseFile(this, request);
  if (!path.isEmpty()) SaveSensorSettings(path);
}

void TfrmQuillonMain::SetOptions(const TAppOptions& options) {
  const bool showDisabledChanged = options.ShowDisableSensors != options_.ShowDisableSensors;
  options_ = options;
  if (showDisabledChanged) {
    RebuildTree();
    RebuildRetrievalList();
  }
}

void TfrmQuillonMain::ShowOptions() {
  TAppOptions options = options_;
  if (EditAppOptions(options, this)) SetOptions(options);
}

// ---- commands ------------------------------------------------------------------------

void TfrmQuillonMain::ToggleTreePanel() { ui->pnlTree->setVisible(ui->pnlTree->isHidden()); }

void TfrmQuillonMain::ShowContextHelp() {
  for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget()) {
    const QVariant topic = w->property("HelpTopic");
    if (topic.isValid()) {
      OpenHelpTopic(topic.toString());
      return;
    }
  }
  OpenHelpIndex();
}

void TfrmQuillonMain::UpdateActions() {
  const int type = source_.Type;
  const bool database = IsDatabaseSource(type);
  const bool connected = DBConnection().IsConnected();
  ui->actImport->setEnabled(database && connected && importRunner_);
  ui->actPrint->setEnabled(ActivePageKind() > 0 && views_.LookupViewForOp(kOpPrint, ActivePageKind(), type, false));
  for (QAction* mode : {ui->actSensorData, ui->actPostProcData}) {
    mode->setVisible(database);
    mode->setEnabled(database);
  }
  const QModelIndex node = SelectedNode();
  ui->actRetrieveStation->setEnabled(views_.LookupView(kPageStation, type) && database && node.isValid());
  ui->actRetrieveSensor->setEnabled(views_.LookupView(kPageSensor, type) && database &&
                                    SensorNodeEntry(*treeModel_, node));
  // choosing a filter file needs the filter editor, which is not built in yet
  ui->actSelectFilter->setEnabled(false);
  const bool filterReady = database && connected && !QString::fromStdString(source_.FilterFile).trimmed().isEmpty();
  ui->actApplyFilter->setEnabled(filterReady);
  ui->actApplyFilter->setChecked(filterReady && source_.FilterEnabled);
  ui->actApplyFilter->setText(filterReady && source_.FilterEnabled ? QStringLiteral("&Remove Filter")
                                                                    : QStringLiteral("&Apply Filter"));
  ui->pnlFilter->setVisible(filterReady && source_.FilterEnabled);
  ui->actOptions->setEnabled(optionsAllowed_);
  ui->actViewLeftTree->setChecked(!ui->pnlTree->isHidden());
}

void TfrmQuillonMain::CreateActionsWiring() {
  auto on = [this](QAction* action, auto slot) { connect(action, &QAction::triggered, this, slot); };
  on(ui->OpenSensorFile, [this] { OpenSensorSettingsFile(); });
  on(ui->SaveSensorFile, [this] { SaveSensorSettingsFile(); });
  on(ui->Connect1, [this] { ChangeDataSource(); });
  on(ui->miChangeDataSource, [this] { ui->Connect1->trigger(); });
  on(ui->actImport, [this] {
    if (importRunner_) importRunner_(this);
  });
  on(ui->actExport, [this] { RunViewOp(kOpExport); });
  on(ui->FilePrintSetup1, [this] { RunPrinterSetup(this); });
  on(ui->actPrint, [this] { RunViewOp(kOpPrint); });
  on(ui->ExitApp, [this] { close(); });
  on(ui->actCopy, [this] { RunViewOp(kOpCopy); });
  on(ui->EditPaste1, [] {
    if (QWidget* focus = QApplication::focusWidget()) QMetaObject::invokeMethod(focus, "paste");
  });
  on(ui->actAddIntoWatchList, [this] { AddNodeToRetrievalList(SelectedNode()); });
  on(ui->actAddAllIntoWatchList, [this] {
    TWaitCursor wait;
    for (int row = 0; row < treeModel_->rowCount(); ++row) AddNodeToRetrievalList(treeModel_->index(row, 0));
  });
  on(ui->actDeleteFromWatchList, [this] { retrievalList_->DeleteSelected(); });
  on(ui->actDeleteAllFromWatchList, [this] { retrievalList_->DeleteAll(); });
  auto* dataMode = new QActionGroup(this);
  dataMode->addAction(ui->actSensorData);
  dataMode->addAction(ui->actPostProcData);
  ui->actSensorData->setChecked(true);
  on(ui->actSensorData, [this] { SetDataMode(false); });
  on(ui->actPostProcData, [this] { SetDataMode(true); });
  on(ui->actRetrieveDataToList, [this] {
    ActivatePage(kPageList);
    RetrieveDataButtonClick();
  });
  on(ui->actRetrieveDataToGraph, [this] {
    ActivatePage(kPageGraph);
    RetrieveDataButtonClick();
  });
  on(ui->actRetrieveStation, [this] { ShowStationProperties(); });
  on(ui->actRetrieveSensor, [this] { ShowSensorProperties(); });
  on(ui->actClearData, [this] { ClearViews(); });
  on(ui->actApplyFilter, [this] {
    source_.FilterEnabled = !source_.FilterEnabled;
    RebuildTree();
  });
  on(ui->RefreshTreeView, [this] {
    if (ui->cbxView->currentIndex() >= 0) RebuildTree();
  });
  on(ui->ExpandTree, [this] { ui->tvwLeftTree->expandAll(); });
  on(ui->CollapseTree, [this] { ui->tvwLeftTree->collapseAll(); });
  on(ui->actViewLeftTree, [this] { ToggleTreePanel(); });
  on(ui->actOptions, [this] { ShowOptions(); });
  on(ui->actHelpIndex, [] { OpenHelpIndex(); });
  on(ui->actHelpContents, [] { OpenHelpContents(); });
  on(ui->miAbout, [this] { ShowAboutBox(this); });
  addAction(ui->actContextHelp);
  on(ui->actContextHelp, [this] { ShowContextHelp(); });

  connect(ui->btnCloseTree, &QToolButton::clicked, this, [this] { ToggleTreePanel(); });
  connect(ui->btnClear, &QPushButton::clicked, ui->actClearData, &QAction::trigger);
  connect(ui->RetrieveDataButton, &QPushButton::clicked, this, [this] { RetrieveDataButtonClick(); });
  connect(ui->btnRefreshLastUpdates, &QToolButton::clicked, this, [this] { RefreshLastUpdatesClick(); });
  // the Retrieve button is the window's default button
  for (const QKeySequence& key : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)})
    connect(new QShortcut(key, this), &QShortcut::activated, ui->RetrieveDataButton, &QPushButton::click);
  connect(ui->cbxView, &QComboBox::activated, this, [this] { RebuildTree(); });
  connect(ui->pgMain, &QTabWidget::currentChanged, this, [this] { pgMainChange(); });
  connect(ui->tvwLeftTree, &QTreeView::doubleClicked, this, [this] { AddNodeToRetrievalList(SelectedNode()); });
  connect(ui->lstSiteSensors, &QTreeWidget::itemDoubleClicked, this, [this] { retrievalList_->DeleteSelected(); });
  QHeaderView* header = ui->lstSiteSensors->header();
  header->setSectionsClickable(true);
  header->setSortIndicatorShown(false);
  connect(header, &QHeaderView::sectionClicked, this, [this](int column) { retrievalList_->SortByColumn(column); });
  ui->lstSiteSensors->installEventFilter(this);
  ui->lstSiteSensors->viewport()->installEventFilter(this);
  ui->lstSiteSensors->viewport()->setAcceptDrops(true);
}

void TfrmQuillonMain::CreatePopupMenus() {
  pmTree_ = new QMenu(this);
  pmTree_->setObjectName(QStringLiteral("pmTree"));
  pmTree_->addActions({ui->actAddIntoWatchList, ui->actAddAllIntoWatchList});
  pmTree_->addSeparator();
  pmTree_->addActions({ui->actRetrieveStation, ui->actRetrieveSensor});
  pmList_ = new QMenu(this);
  pmList_->setObjectName(QStringLiteral("pmList"));
  pmList_->addActions({ui->actDeleteFromWatchList, ui->actDeleteAllFromWatchList});
  connect(ui->tvwLeftTree, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    // a right-click selects the node under the mouse first
    const QModelIndex node = ui->tvwLeftTree->indexAt(pos);
    if (node.isValid()) ui->tvwLeftTree->setCurrentIndex(node);
    UpdateActions();
    pmTree_->popup(ui->tvwLeftTree->viewport()->mapToGlobal(pos));
  });
  connect(ui->lstSiteSensors, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    pmList_->popup(ui->lstSiteSensors->viewport()->mapToGlobal(pos));
  });
}

// ---- events ----------------------------------------------------------------------------

void TfrmQuillonMain::closeEvent(QCloseEvent* event) {
  if (ConfirmExit())
    event->accept();
  else
    event->ignore();
}

bool TfrmQuillonMain::event(QEvent* event) {
  if (event->type() == QEvent::StatusTip) {
    const QString hint = static_cast<QStatusTipEvent*>(event)->tip();
    statusPanels_[1]->setText(hint.section(QLatin1Char('|'), -1));
    return true;
  }
  return QMainWindow::event(event);
}

bool TfrmQuillonMain::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui->lstSiteSensors->viewport()) {
    switch (event->type()) {
      case QEvent::DragEnter:
      case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (drag->source() == ui->tvwLeftTree) {
          drag->setDropAction(Qt::CopyAction);
          drag->accept();
        } else {
          drag->ignore();
        }
        return true;
      }
      case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (DropOnRetrievalList(drop->source())) {
          drop->setDropAction(Qt::CopyAction);
          drop->accept();
        } else {
          drop->ignore();
        }
        return true;
      }
      default: break;
    }
  } else if (watched == ui->lstSiteSensors && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Delete &&
        !(key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))) {
      retrievalList_->DeleteSelected();
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace kvq
