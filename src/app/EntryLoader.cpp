#include "app/EntryLoader.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

#include <filesystem>

#include "data/DBConnect.h"
#include "data/SiteTiming.h"
#include "data/SqlDateTime.h"
#include "foundation/Directive.h"
#include "store/FileSrvr.h"

namespace kvq {

namespace {

const char kSensorStatement[] =
    "SELECT DISTINCT KV_SITES.STATION_ID, KV_SITESENSORS.SENSORNAME, KV_SITES.REPORTING_TIME, "
    "KV_SITES.REPORTING_INTERVAL, KV_SITES.BASIN, KV_SITES.AGENCY, KV_SITES.DISTRICT, KV_SITES.CITY, "
    "KV_SITES.COUNTRY, KV_SITES.STATE, KV_SITES.COUNTY, KV_SITES.PRIMARY_CHANNEL, KV_SITES.RANDOM_CHANNEL, "
    "KV_SITES.LAST_UPDATE, KV_SITESENSORS.RIGHT_DIGIT FROM KV_SITES, KV_SITESENSORS WHERE (KV_SITES.STATION_ID = "
    "KV_SITESENSORS.STE_STATION_ID)";
const char kEnabledConditions[] = "  AND (KV_SITES.ENABLED = 'Y') AND (KV_SITESENSORS.ENABLED = 'Y')";
const char kPostProcessedStatement[] =
    "SELECT DISTINCT KV_SITES.STATION_ID, KV_SITESENSORS.SENSORNAME, KV_SITES.REPORTING_TIME, "
    "KV_SITES.REPORTING_INTERVAL, KV_SITES.BASIN, KV_SITES.AGENCY, KV_SITES.DISTRICT, KV_SITES.CITY, "
    "KV_SITES.COUNTRY, KV_SITES.STATE, KV_SITES.COUNTY, KV_SITES.PRIMARY_CHANNEL, KV_SITES.RANDOM_CHANNEL, "
    "DATA_LABEL, KV_SITES.LAST_UPDATE, KV_SITESENSORS.RIGHT_DIGIT FROM KV_SITES, KV_SITESENSORS, KV_PPLIST WHERE "
    "(KV_SITES.STATION_ID = KV_SITESENSORS.STE_STATION_ID) AND (KV_SITES.STATION_ID = KV_PPLIST.STATION_ID) AND "
    "(KV_SITESENSORS.SENSORNAME = KV_PPLIST.SENSORNAME)";

bool Blank(const std::string& s) { return s.find_first_not_of(" \t\r\n") == std::string::npos; }

std::string Text(const QVariant& v) { return v.isNull() ? std::string() : v.toString().toStdString(); }

std::int32_t Int(const QVariant& v) { return v.isNull() ? 0 : v.toInt(); }

}  // namespace

void LoadFolderEntries(const std::string& folder, TFileServer& server, TStationSensorCache& entries) {
  namespace fs = std::filesystem;
  server.Settings().FileList.clear();
  std::error_code ec;
  fs::directory_iterator it(folder, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    std::error_code typeError;
    if (name.size() <= 4 || !SameText(name.substr(name.size() - 4), ".DAT") || !it->is_regular_file(typeError)) continue;
    const std::string path = folder + (!folder.empty() && folder.back() == '/' ? "" : "/") + name;
    // the server opens this file alone and lists its sensors
    server.Settings().FileList = path;
    server.OpenAll();
    std::vector<std::string> sensors;
    if (!server.ListSensors(path, sensors)) continue;
    std::string startText, endText;
    if (const TDataFile* file = server.FindFile(path)) {
      startText = FormatStr("%j", file->StartTime());
      endText = FormatStr("%j", file->EndTime());
    }
    for (const std::string& full : sensors) {
      auto e = std::make_unique<TStationSensorItem>();
      const std::size_t dot = full.find('.');
      e->DataFile = name;
      e->FilePath = path;
      e->StationID = full.substr(0, dot);
      e->SensorName = dot == std::string::npos ? std::string() : full.substr(dot + 1);
      e->StartTime = startText;
      e->EndTime = endText;
      entries.Add(std::move(e));
    }
  }
}

std::string TreeStatement(bool postProcessed, bool showDisabled) {
  if (postProcessed) return kPostProcessedStatement;
  return showDisabled ? std::string(kSensorStatement) : std::string(kSensorStatement) + kEnabledConditions;
}

bool LoadDatabaseEntries(bool postProcessed, bool showDisabled, const std::string& filterText,
                         TStationSensorCache& entries, std::string* error) {
  std::string statement = TreeStatement(postProcessed, showDisabled);
  if (!Blank(filterText)) statement += " AND " + filterText;
  QSqlQuery q(DBConnection().Database());
  q.setForwardOnly(true);
  if (!q.exec(QString::fromStdString(statement))) {
    if (error) *error = q.lastError().text().toStdString();
    return false;
  }
  const QSqlRecord r = q.record();
  const int station = r.indexOf(QStringLiteral("STATION_ID")), sensor = r.indexOf(QStringLiteral("SENSORNAME"));
  const int time = r.indexOf(QStringLiteral("REPORTING_TIME")), interval = r.indexOf(QStringLiteral("REPORTING_INTERVAL"));
  const int basin = r.indexOf(QStringLiteral("BASIN")), agency = r.indexOf(QStringLiteral("AGENCY"));
  const int district = r.indexOf(QStringLiteral("DISTRICT")), city = r.indexOf(QStringLiteral("CITY"));
  const int country = r.indexOf(QStringLiteral("COUNTRY")), state = r.indexOf(QStringLiteral("STATE"));
  const int county = r.indexOf(QStringLiteral("COUNTY")), primary = r.indexOf(QStringLiteral("PRIMARY_CHANNEL"));
  const int random = r.indexOf(QStringLiteral("RANDOM_CHANNEL")), label = r.indexOf(QStringLiteral("DATA_LABEL"));
  const int update = r.indexOf(QStringLiteral("LAST_UPDATE")), digits = r.indexOf(QStringLiteral("RIGHT_DIGIT"));
  while (q.next()) {
    auto e = std::make_unique<TStationSensorItem>();
    e->StationID = Text(q.value(station));
    e->SensorName = Text(q.value(sensor));
    e->Interval = ReportingIntervalSeconds(q.value(interval));
    e->Offset = ReportingOffsetSeconds(q.value(time), e->Interval);
    e->Basin = Text(q.value(basin));
    e->Agency = Text(q.value(agency));
    e->District = Text(q.value(district));
    e->City = Text(q.value(city));
    e->Country = Text(q.value(country));
    e->State = Text(q.value(state));
    e->County = Text(q.value(county));
    e->PrimaryChannel = Int(q.value(primary));
    e->RandomChannel = Int(q.value(random));
    if (label >= 0) e->SensorLabel = Text(q.value(label));
    DateTimeValue when = 0;
    e->LastUpdate = FieldDateTime(q.value(update), when) ? when : -1.0;
    const QVariant d = q.value(digits);
    e->RightDigit = static_cast<std::uint16_t>(d.isNull() ? 3 : d.toInt());
    entries.Add(std::move(e));
  }
  if (q.lastError().isValid()) {
    if (error) *error = q.lastError().text().toStdString();
    return false;
  }
  return true;
}

}  // namespace kvq
