#include "app/LastUpdates.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <map>
#include <optional>

#include "data/DBConnect.h"
#include "data/DataDef.h"
#include "data/SqlDateTime.h"
#include "foundation/Messages.h"

namespace kvq {

bool RefreshLastUpdates(TStationSensorCache& entries) {
  QSqlQuery q(DBConnection().Database());
  q.setForwardOnly(true);
  if (!q.prepare(QStringLiteral("SELECT LAST_UPDATE FROM KV_SITES WHERE (KV_SITES.STATION_ID = :StationID) "))) {
    ShowError(q.lastError().text().toStdString());
    return false;
  }
  // a station has many sensors: ask once per station (nullopt: no row)
  std::map<std::string, std::optional<DateTimeValue>> known;
  for (int i = 0; i < entries.Count(); ++i) {
    TStationSensorItem* e = entries.Items(i);
    const QString station = QString::fromStdString(e->StationID).toUpper();
    auto it = known.find(station.toStdString());
    if (it == known.end()) {
      q.bindValue(QStringLiteral(":StationID"), station);
      if (!q.exec()) {
        ShowError(q.lastError().text().toStdString());
        return false;
      }
      std::optional<DateTimeValue> value;
      if (q.next()) {
        DateTimeValue when = 0;
        value = FieldDateTime(q.value(0), when) ? when : -1.0;
      }
      q.finish();
      it = known.emplace(station.toStdString(), value).first;
    }
    if (it->second) e->LastUpdate = *it->second;
  }
  return true;
}

}  // namespace kvq
