// The retrieval list (lstSiteSensors): the sensors to retrieve, each row with
// a private copy of its entry. Columns follow the source: StationID,
// SensorName, then StartTime, EndTime, DataFile (data files and no source),
// SensorLabel (post-processed data) or LastUpdate (database sensor data).
#pragma once

#include <QObject>

#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "data/DataDef.h"

class QTreeWidget;

namespace kvq {

class TRetrievalList : public QObject {
  Q_OBJECT

 public:
  // Works on `list` (a QTreeWidget used as a multi-select report list; not owned).
  explicit TRetrievalList(QTreeWidget* list, QObject* parent = nullptr);
  ~TRetrievalList() override;

  // Sets the columns for a source; the rows are not touched.
  void SetMode(int sourceType, bool postProcessed);
  // Whether the mode shows the last-update refresh button (database sensor data).
  bool ShowsLastUpdate() const { return lastUpdateMode_; }

  // Appends a row for a copy of `entry` unless a row holds an equal entry
  // (SameEntry). True when a row was added.
  bool Add(const TStationSensorItem& entry);
  void DeleteSelected();
  void DeleteAll();

  int Count() const;
  // The entry copy of a row (rows in display order).
  const TStationSensorItem& Entry(int row) const;
  TStationSensorItem& Entry(int row);

  // Sorts all rows by a column, then flips the column's direction (the first
  // click sorts ascending).
  void SortByColumn(int column);

  // StationID + "," + SensorName + "," + DataFile of every row, in order.
  std::vector<std::string> Keys() const;
  // Adds, for every key, the first entry of `entries` whose StationID,
  // SensorName and DataFile equal the key's three parts (trimmed, letter case
  // ignored); keys without a match are dropped.
  void AddKeys(const std::vector<std::string>& keys, const TStationSensorCache& entries);
  // Rebuilds the rows from the entry list (StationID and SensorName of each
  // row looked up again); rows whose entry is gone disappear.
  void Rebuild(const TStationSensorCache& entries);
 private:
  void WriteRow(int row);
  // The SameEntry fields of every row, so that the duplicate test of Add
  // does not walk the rows (adding a whole tree stays fast).
  static std::string IdentityOf(const TStationSensorItem& entry);
  std::unordered_set<std::string> identities_;
  QTreeWidget* list_;
  int sourceType_ = 0;
  bool postProcessed_ = false;
  bool lastUpdateMode_ = false;
  std::vector<bool> descending_;  // per column: the next click sorts descending
};

// LastUpdate as the list shows it: the locale's short date and long time (no
// time at exactly midnight), "Never" when not above 0.
QString LastUpdateText(DateTimeValue lastUpdate);

}  // namespace kvq
