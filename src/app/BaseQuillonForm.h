// The base of every view embedded in the main window's pages, and the small
// set of services the main window offers the views. Views never include the
// main window; they reach it through TQuillonServices.
#pragma once

#include <QWidget>

#include <cstdint>
#include <string>

#include "foundation/TimeBase.h"

class QDateEdit;
class QMenu;
class QTimeEdit;

namespace kvq {

class TDataFileStationSensor;
class TFileServer;
class TSettingsFile;
class TStationSensorItem;
struct TDataStoreGroupSetup;

// Page kinds of the main window's page control.
enum TPageKind : int { kPageGraph = 1, kPageList = 2, kPageStation = 3, kPageSensor = 4 };
// Operations a view may offer.
enum TViewOp : int { kOpExport = 0, kOpCopy = 1, kOpPrint = 2 };
// A set of small numbers: bit n stands for n (page kinds, source types, ops).
using TSmallSet = std::uint32_t;
constexpr TSmallSet SetOf(std::initializer_list<int> items) {
  TSmallSet s = 0;
  for (int i : items) s |= TSmallSet{1} << i;
  return s;
}
constexpr bool InSet(TSmallSet s, int n) { return n >= 0 && n < 32 && (s >> n) & 1u; }

// What the main window offers the views.
class TQuillonServices {
 public:
  virtual ~TQuillonServices() = default;
  // Clears the views and hands them a new request for [start, end]
  // (day counts), without the checks of the Retrieve button.
  virtual void RetrieveData(DateTimeValue start, DateTimeValue end) = 0;
  // Database sources: hands the current request to the graph and list views again.
  virtual void RefreshViews() = 0;
  // "Post Processed Data" is selected.
  virtual bool IsPostProcessed() const = 0;
  // The current data source type (0 none, 1 data files, 2 ASCII log, 3 Excel, 4..6 databases).
  virtual int DataSourceType() const = 0;
  // The option "GMT To Local".
  virtual bool UseGMTData() const = 0;
  // The four time-range pickers, read and set by the graph view.
  virtual QDateEdit* PeriodStartsDate() const = 0;
  virtual QTimeEdit* PeriodStartsTime() const = 0;
  virtual QDateEdit* PeriodEndsDate() const = 0;
  virtual QTimeEdit* PeriodEndsTime() const = 0;
  // Status bar panel 2 (written by the graph view).
  virtual void SetStatusPanel2(const QString& text) = 0;
  // The main window's file server and its data-store group settings, which a
  // view copies into a data manager of its own.
  virtual TFileServer& FileServer() = 0;
  virtual const TDataStoreGroupSetup& GroupSettings() const = 0;
};

// The base of every embedded view: twelve overridable operations that do
// nothing or answer empty here. A page with no view of its own yet holds one
// of these, named after the view it stands for.
class TBaseQuillonForm : public QWidget {
  Q_OBJECT

 public:
  // `services` is not owned; it outlives the view (the main window owns both).
  TBaseQuillonForm(TQuillonServices* services, const QString& componentName, QWidget* parent = nullptr);
  ~TBaseQuillonForm() override;

  // Discards the shown data.
  virtual void Clear() {}
  // The page kinds, data source types and operations the view serves.
  virtual TSmallSet TabKinds() const { return 0; }
  virtual TSmallSet SourceTypes() const { return 0; }
  virtual TSmallSet Ops() const { return 0; }
  // Loads a retrieval request. The request belongs to the main window and
  // lives until the next retrieval; take what is needed during the call.
  virtual void Retrieve(const TDataFileStationSensor& request) { (void)request; }
  virtual void Export() {}
  virtual void Copy() {}
  virtual void Print() {}
  // A popup menu whose first item the main window merges into its menu bar
  // while the view's page is active; null for none. Owned by the view.
  virtual QMenu* ViewMenu() { return nullptr; }
  // Shows the parameters of one entry.
  virtual void ShowItem(const TStationSensorItem& entry) { (void)entry; }
  // The view's own keys in `section` of an open settings file.
  virtual void LoadSettings(const TSettingsFile& settings, const std::string& section) {
    (void)settings, (void)section;
  }
  virtual void SaveSettings(TSettingsFile& settings, const std::string& section) { (void)settings, (void)section; }

  // "frmGraph", "frmDBView", "ViewForm", "frmStationDatabaseParms", "frmSensorDatabaseParms".
  QString ComponentName() const { return objectName(); }

 protected:
  TQuillonServices* Services() const { return services_; }

 private:
  TQuillonServices* services_;
};

}  // namespace kvq
