#include "data/DBCache.h"

#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <QTimeZone>
#include <QVariant>

#include "data/DBConnect.h"
#include "data/DataDef.h"
#include "data/DatabaseError.h"
#include "data/SqlDateTime.h"
#include "data/TimeValueRows.h"
#include "foundation/Directive.h"
#include "foundation/Messages.h"

namespace kvq {

namespace {

// Queries by time boundary code: 0 "Start >= and <= End", 1 "Start >= and < End",
// 2 "Start > and <= End".
const char* const kSensorQueries[3] = {
    "SELECT * FROM KV_DATA1 WHERE (STATION_ID=:STATION_ID) AND (SENSORNAME=:SENSORNAME) AND (:STARTTIME <= "
    "TIME_TAG) AND (TIME_TAG <=:ENDTIME) ORDER BY TIME_TAG ",
    "SELECT * FROM KV_DATA1 WHERE (STATION_ID=:STATION_ID) AND (SENSORNAME=:SENSORNAME) AND (:STARTTIME <= "
    "TIME_TAG) AND (TIME_TAG <:ENDTIME) ORDER BY TIME_TAG ",
    "SELECT * FROM KV_DATA1 WHERE (STATION_ID=:STATION_ID) AND (SENSORNAME=:SENSORNAME) AND (:STARTTIME < "
    "TIME_TAG) AND (TIME_TAG <=:ENDTIME) ORDER BY TIME_TAG ",
};

const char* const kPostProcessedQueries[3] = {
    "SELECT * FROM KV_PPDATA1 WHERE (STATION_ID=:STATION_ID) AND (SENSORNAME=:SENSORNAME) AND "
    "(DATA_LABEL=:DATA_LABEL) AND (:STARTTIME <= TIME_TAG) AND (TIME_TAG <=:ENDTIME) ORDER BY TIME_TAG ",
    "SELECT * FROM KV_PPDATA1 WHERE (STATION_ID=:STATION_ID) AND (SENSORNAME=:SENSORNAME) AND "
    "(DATA_LABEL=:DATA_LABEL) AND (:STARTTIME <= TIME_TAG) AND (TIME_TAG <:ENDTIME) ORDER BY TIME_TAG ",
    "SELECT * FROM KV_PPDATA1 WHERE (STATION_ID=:STATION_ID) AND (SENSORNAME=:SENSORNAME) AND "
    "(DATA_LABEL=:DATA_LABEL) AND (:STARTTIME < TIME_TAG) AND (TIME_TAG <=:ENDTIME) ORDER BY TIME_TAG ",
};

const char kReferenceQuery[] =
    "SELECT REFERENCE_1, REFERENCE_2 FROM KV_SITESENSORS WHERE (STE_STATION_ID=:STATION_ID) AND "
    "(SENSORNAME=:SENSORNAME) ";

const char kFindSensorValue[] =
    "SELECT * FROM KV_DATA1 WHERE        STATION_ID = :STATION_ID AND       SENSORNAME = :SENSORNAME AND       "
    "TIME_TAG = :TIME_TAG ";

const char kInsertSensorValue[] =
    "INSERT INTO KV_DATA1 (       STATION_ID,        SENSORNAME,        TIME_TAG,        SOURCE,        "
    "ORIG_VALUE,        ED_VALUE ) VALUES (        :STATION_ID,        :SENSORNAME,        :TIME_TAG,        "
    ":SOURCE,        :ORIG_VALUE,        :ED_VALUE ) ";

const char kUpdateSensorValue[] =
    "UPDATE KV_DATA1 SET        ED_VALUE = :ED_VALUE WHERE        STATION_ID = :STATION_ID AND       SENSORNAME = "
    ":SENSORNAME AND       TIME_TAG = :TIME_TAG";

const char kDeleteSensorValue[] =
    "DELETE FROM KV_DATA1 WHERE        STATION_ID = :STATION_ID AND       SENSORNAME = :SENSORNAME AND       "
    "TIME_TAG >= :TIME_TAG1 AND TIME_TAG <= :TIME_TAG2";

const char kFindPostProcessedValue[] =
    "SELECT * FROM KV_PPDATA1 WHERE        STATION_ID = :STATION_ID AND       DATA_LABEL = :DATA_LABEL AND       "
    "SENSORNAME = :SENSORNAME AND       TIME_TAG = :TIME_TAG";

const char kUpdatePostProcessedValue[] =
    "UPDATE KV_PPDATA1 SET        PP_VALUE = :PP_VALUE WHERE        STATION_ID = :STATION_ID AND       DATA_LABEL = "
    ":DATA_LABEL AND       SENSORNAME = :SENSORNAME AND       TIME_TAG = :TIME_TAG";

const char kDeletePostProcessedValue[] =
    "DELETE FROM KV_PPDATA1 WHERE        STATION_ID = :STATION_ID AND       DATA_LABEL = :DATA_LABEL AND       "
    "SENSORNAME = :SENSORNAME AND       TIME_TAG >= :TIME_TAG1 AND TIME_TAG <= :TIME_TAG2";

// Half the width of the delete window: 0.1 second in days.
constexpr double kDeleteWindow = 1.1574074074074074e-06;

QString Q(const std::string& s) { return QString::fromStdString(s); }

std::string ErrorText(const QSqlError& error) {
  std::string text = error.text().toStdString();
  return text.empty() ? std::string("Unknown database error.") : text;
}

// A query on the program's connection, forward only (rows are read once).
QSqlQuery NewQuery(const QSqlDatabase& db) {
  QSqlQuery q(db);
  q.setForwardOnly(true);
  return q;
}

void PrepareOrRaise(QSqlQuery& q, const char* sql) {
  if (!q.prepare(QString::fromLatin1(sql))) throw EDatabaseError(ErrorText(q.lastError()));
}

void ExecOrRaise(QSqlQuery& q) {
  if (!q.exec()) throw EDatabaseError(ErrorText(q.lastError()));
}

// Puts the open connection into `db`; false when there is none.
// Whether the row of station, sensor (and label) at time t exists; false when
// the lookup itself fails.
bool FindRow(const QSqlDatabase& db, const char* sql, const std::string& station, const std::string& sensor,
             const std::string* label, const QVariant& t, bool& exists) {
  QSqlQuery q = NewQuery(db);
  if (!q.prepare(QString::fromLatin1(sql))) return false;
  q.bindValue(QStringLiteral(":STATION_ID"), Q(station));
  if (label) q.bindValue(QStringLiteral(":DATA_LABEL"), Q(*label));
  q.bindValue(QStringLiteral(":SENSORNAME"), Q(sensor));
  q.bindValue(QStringLiteral(":TIME_TAG"), t);
  if (!q.exec()) return false;
  exists = q.next();
  return q.lastError().type() == QSqlError::NoError;
}

bool HaveDatabase(QSqlDatabase& db) {
  db = DBConnection().Database();
  return db.isValid() && db.isOpen();
}

}  // namespace

TDBViewDataCacheItem& TDBViewDataCache::ItemFor(const std::string& station, const std::string& sensor) {
  for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
    if (SameText((*it)->Station, station) && SameText((*it)->Sensor, sensor)) return **it;
  }
  items_.push_back(std::make_unique<TDBViewDataCacheItem>(station, sensor));
  return *items_.back();
}

TDBViewDataCacheItem& TDBViewDataCache::ItemFor(const std::string& station, const std::string& sensor,
                                                const std::string& label) {
  for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
    if (SameText((*it)->Station, station) && SameText((*it)->Sensor, sensor) && SameText((*it)->Label, label))
      return **it;
  }
  items_.push_back(std::make_unique<TDBViewDataCacheItem>(station, sensor, label));
  return *items_.back();
}

void TDBViewDataCache::Clear() {
  items_.clear();
  RangeStart = 0;
  RangeEnd = 0;
}

void TDBViewDataCache::LoadSensorData(const TDataFileStationSensor& request) { Load(request, false); }

void TDBViewDataCache::LoadPostProcessedData(const TDataFileStationSensor& request) { Load(request, true); }

void TDBViewDataCache::Load(const TDataFileStationSensor& request, bool postProcessed) {
  Clear();
  if (!DBConnection().Connect()) throw EDatabaseError("Error connecting database.");
  RangeStart = request.Start;
  RangeEnd = request.End;
  const QSqlDatabase db = DBConnection().Database();
  const double offset = request.UseGMT ? GmtOffset() : 0.0;
  const int boundary = request.TimeBoundary >= 0 && request.TimeBoundary <= 2 ? request.TimeBoundary : 0;
  const QVariant start = DateTimeParam(db, TimeTagToDateTime(request.Start) + offset);
  const QVariant end = DateTimeParam(db, TimeTagToDateTime(request.End) + offset);
  const char* table = postProcessed ? "KV_PPDATA1" : "KV_DATA1";
  const char* valueColumn = postProcessed ? "PP_VALUE" : "ED_VALUE";

  QSqlQuery data = NewQuery(db);
  PrepareOrRaise(data, postProcessed ? kPostProcessedQueries[boundary] : kSensorQueries[boundary]);
  // Prepared at its first use, so that a broken sensor table fails the load
  // only after the first sensor's values are in.
  QSqlQuery references = NewQuery(db);
  bool referencesPrepared = false;

  for (int g = 0; g < request.ItemCount(); ++g) {
    const TDataFileStationSensorItem& group = *request.Items(g);
    for (std::size_t k = 0; k < group.Stations.size() && k < group.Sensors.size(); ++k) {
      const std::string& station = group.Stations[k];
      const std::string& sensor = group.Sensors[k];
      const std::string label = k < group.Labels.size() ? group.Labels[k] : std::string();
      TDBViewDataCacheItem& item = postProcessed ? ItemFor(station, sensor, label) : ItemFor(station, sensor);

      data.bindValue(QStringLiteral(":STATION_ID"), Q(station));
      data.bindValue(QStringLiteral(":SENSORNAME"), Q(sensor));
      if (postProcessed) data.bindValue(QStringLiteral(":DATA_LABEL"), Q(label));
      data.bindValue(QStringLiteral(":STARTTIME"), start);
      data.bindValue(QStringLiteral(":ENDTIME"), end);
      ExecOrRaise(data);
      // Whole milliseconds, as the database keeps them, so that a time read
      // here and the same time computed elsewhere are the same number.
      ReadTimeValueRows(data, valueColumn, FormatStr("%s for %s.%s", table, station, sensor),
                        [&item, offset](DateTimeValue time, double value) {
                          item.Append(MillisecondsToDateTime(DateTimeToMilliseconds(time - offset)), value);
                        });
      data.finish();
      item.Compact();
      if (postProcessed) continue;

      item.Reference1 = 0.0;
      item.Reference2 = 0.0;
      if (!referencesPrepared) {
        PrepareOrRaise(references, kReferenceQuery);
        referencesPrepared = true;
      }
      references.bindValue(QStringLiteral(":STATION_ID"), Q(station));
      references.bindValue(QStringLiteral(":SENSORNAME"), Q(sensor));
      ExecOrRaise(references);
      if (references.next()) {
        if (!references.isNull(0)) item.Reference1 = references.value(0).toDouble();
        if (!references.isNull(1)) item.Reference2 = references.value(1).toDouble();
      }
      if (references.lastError().type() != QSqlError::NoError) throw EDatabaseError(ErrorText(references.lastError()));
      references.finish();
    }
  }
}

bool TDBViewDataCache::SetSensorValue(const std::string& station, const std::string& sensor, bool useGMT,
                                      double value, DateTimeValue time) {
  QSqlDatabase db;
  if (!HaveDatabase(db)) return false;
  const QVariant t = DateTimeParam(db, time + (useGMT ? GmtOffset() : 0.0));
  bool exists = false;
  if (!FindRow(db, kFindSensorValue, station, sensor, nullptr, t, exists)) return false;

  QSqlQuery w = NewQuery(db);
  if (!exists) {
    if (!w.prepare(QString::fromLatin1(kInsertSensorValue))) return false;
    w.bindValue(QStringLiteral(":SOURCE"), QStringLiteral(" "));
    w.bindValue(QStringLiteral(":ORIG_VALUE"), value);
  } else {
    if (!w.prepare(QString::fromLatin1(kUpdateSensorValue))) return false;
  }
  w.bindValue(QStringLiteral(":STATION_ID"), Q(station));
  w.bindValue(QStringLiteral(":SENSORNAME"), Q(sensor));
  w.bindValue(QStringLiteral(":TIME_TAG"), t);
  w.bindValue(QStringLiteral(":ED_VALUE"), value);
  if (!w.exec()) return false;

  ItemFor(station, sensor).Put(time, value);
  return true;
}

bool TDBViewDataCache::DeleteSensorValue(const std::string& station, const std::string& sensor, bool useGMT,
                                         DateTimeValue time) {
  QSqlDatabase db;
  if (!HaveDatabase(db)) {
    ShowError("The database is not connected.");
    return false;
  }
  const double t = time + (useGMT ? GmtOffset() : 0.0);
  QSqlQuery q = NewQuery(db);
  bool ok = q.prepare(QString::fromLatin1(kDeleteSensorValue));
  if (ok) {
    q.bindValue(QStringLiteral(":STATION_ID"), Q(station));
    q.bindValue(QStringLiteral(":SENSORNAME"), Q(sensor));
    q.bindValue(QStringLiteral(":TIME_TAG1"), DateTimeParam(db, t - kDeleteWindow));
    q.bindValue(QStringLiteral(":TIME_TAG2"), DateTimeParam(db, t + kDeleteWindow));
    ok = q.exec();
  }
  if (!ok) {
    ShowError(ErrorText(q.lastError()));
    return false;
  }
  ItemFor(station, sensor).Remove(time);
  return true;
}

bool TDBViewDataCache::SetPostProcessedValue(const std::string& station, const std::string& sensor, bool useGMT,
                                             double value, DateTimeValue time, const std::string& label) {
  QSqlDatabase db;
  if (!HaveDatabase(db)) return false;
  const QVariant t = DateTimeParam(db, time + (useGMT ? GmtOffset() : 0.0));
  bool exists = false;
  if (!FindRow(db, kFindPostProcessedValue, station, sensor, &label, t, exists)) return false;
  // Post-processed values are never inserted by an edit.
  if (!exists) return false;

  QSqlQuery w = NewQuery(db);
  if (!w.prepare(QString::fromLatin1(kUpdatePostProcessedValue))) return false;
  w.bindValue(QStringLiteral(":PP_VALUE"), value);
  w.bindValue(QStringLiteral(":STATION_ID"), Q(station));
  w.bindValue(QStringLiteral(":DATA_LABEL"), Q(label));
  w.bindValue(QStringLiteral(":SENSORNAME"), Q(sensor));
  w.bindValue(QStringLiteral(":TIME_TAG"), t);
  if (!w.exec()) return false;

  ItemFor(station, sensor, label).Put(time, value);
  return true;
}

bool TDBViewDataCache::DeletePostProcessedValue(const std::string& station, const std::string& sensor, bool useGMT,
                                                DateTimeValue time, const std::string& label) {
  QSqlDatabase db;
  if (!HaveDatabase(db)) return false;
  const double t = time + (useGMT ? GmtOffset() : 0.0);
  QSqlQuery q = NewQuery(db);
  if (!q.prepare(QString::fromLatin1(kDeletePostProcessedValue))) return false;
  q.bindValue(QStringLiteral(":STATION_ID"), Q(station));
  q.bindValue(QStringLiteral(":DATA_LABEL"), Q(label));
  q.bindValue(QStringLiteral(":SENSORNAME"), Q(sensor));
  q.bindValue(QStringLiteral(":TIME_TAG1"), DateTimeParam(db, t - kDeleteWindow));
  q.bindValue(QStringLiteral(":TIME_TAG2"), DateTimeParam(db, t + kDeleteWindow));
  if (!q.exec()) return false;
  ItemFor(station, sensor, label).Remove(time);
  return true;
}

double TDBViewDataCache::GmtOffset() {
  const QTimeZone zone = QTimeZone::systemTimeZone();
  if (!zone.isValid()) return 0.0;
  // Seconds east of UTC without daylight saving; the bias is UTC minus local
  // standard time in minutes.
  const int east = zone.standardTimeOffset(QDateTime::currentDateTimeUtc());
  const double biasMinutes = -east / 60.0;
  return biasMinutes / 1440.0;
}

TDBViewDataCache& ViewDataCache() {
  static TDBViewDataCache cache;
  return cache;
}

}  // namespace kvq
