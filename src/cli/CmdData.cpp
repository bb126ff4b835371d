// kvq values, kvq stats and kvq demo: sensor values and interval statistics
// through the data manager, from a data-file folder or a station database,
// and the demo sources.
#include <QCoreApplication>
#include <QSqlQuery>
#include <QVariant>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "cli/CliCommon.h"
#include "data/AliasCatalogue.h"
#include "data/AppPaths.h"
#include "data/DBConnect.h"
#include "data/DataMgr.h"
#include "data/DataSource.h"
#include "data/DemoDatabase.h"
#include "data/SiteTiming.h"
#include "foundation/Directive.h"
#include "foundation/SettingsFile.h"
#include "foundation/TimeBase.h"
#include "store/DemoFiles.h"
#include "store/FileSrvr.h"

namespace kvq::cli {

namespace {

namespace fs = std::filesystem;

// The options both read commands share.
struct ReadOptions {
  std::string folder, alias, user;
  TimeTag from = 0, to = 0;
  std::int32_t interval = 0, offset = 0;
  std::vector<std::string> sensors;
};

int ParseReadOptions(Args args, const char* usage, bool needInterval, ReadOptions& o) {
  bool missing = false;
  std::string from, to, interval, offset;
  if (!TakeNowOption(args) || !TakeAliasesOption(args)) return kExitUsage;
  TakeOption(args, "-d", o.folder, missing);
  TakeOption(args, "--alias", o.alias, missing);
  TakeOption(args, "--user", o.user, missing);
  TakeOption(args, "--from", from, missing);
  TakeOption(args, "--to", to, missing);
  TakeOption(args, "--interval", interval, missing);
  TakeOption(args, "--offset", offset, missing);
  if (missing) return UsageError(std::string("an option lacks its value\n") + usage);
  for (const auto& a : args)
    if (a.rfind("-", 0) == 0) return UsageError("unknown option " + a + "\n" + usage);
  if (o.folder.empty() == o.alias.empty()) return UsageError(std::string("give either -d DIR or --alias A\n") + usage);
  if (from.empty() || to.empty()) return UsageError(std::string("--from and --to are needed\n") + usage);
  if (args.empty()) return UsageError(std::string("name at least one STATION.SENSOR\n") + usage);
  o.from = EvaluateTimeExpression(from, 0);
  o.to = EvaluateTimeExpression(to, 0);
  if (o.from > o.to) return UsageError("Error 1410: The starting time must be earlier than the ending time.");
  if (!interval.empty() && (!ScanStr(interval, "%i", o.interval) || o.interval < 0))
    return UsageError("--interval " + interval + " is not a number of seconds");
  if (!offset.empty() && !ScanStr(offset, "%i", o.offset)) return UsageError("--offset " + offset + " is not a number of seconds");
  if (needInterval && o.interval <= 0) return UsageError(std::string("--interval SECONDS is needed\n") + usage);
  o.sensors = args;
  return kExitOk;
}

// A data manager set up over the folder or the database, with the sensors
// requested. Sensors that no file or table holds are reported on stderr.
class Reader {
 public:
  bool Open(const ReadOptions& o) {
    if (!o.folder.empty()) {
      std::error_code ec;
      if (!fs::is_directory(o.folder, ec)) {
        std::fprintf(stderr, "kvq: -d %s: no such folder\n", o.folder.c_str());
        return false;
      }
      server_ = MakeFolderServer(o.folder, true);
      dm_.SourceType = 0;
      for (const auto& name : CommaFields(server_->Settings().FileList)) dm_.AddDataFile(name);
      for (const auto& s : o.sensors) dm_.AddRequested(s);
      if (!dm_.OpenBinarySource(*server_, "kvq")) std::fprintf(stderr, "kvq: not every data file could be opened\n");
      dm_.PrepareRequest();
      for (int i = 0; i < dm_.RequestedCount(); ++i)
        if (!dm_.RequestedSensor(i)) std::fprintf(stderr, "kvq: no data file holds %s\n", dm_.RequestedName(i).c_str());
      return true;
    }
    TDBConnection& db = DBConnection();
    db.Alias = o.alias;
    db.UserName = o.user;
    const char* password = std::getenv("KVQ_PASSWORD");
    db.Password = password ? password : "";
    if (!db.Connect()) return false;
    dm_.SourceType = 1;
    for (const auto& name : o.sensors) {
      auto sensor = std::make_unique<TSensor>();
      std::string station, sensorName;
      ScanStr(name, "%s.%s", station, sensorName);
      if (!ReadTiming(station, sensorName, *sensor)) {
        std::fprintf(stderr, "kvq: the database holds no sensor %s\n", name.c_str());
        continue;
      }
      sensor->FirstTime = o.from;
      sensor->LastTime = o.to;
      dm_.AddRequested(name, sensor.get());
      sensors_.push_back(std::move(sensor));
    }
    dm_.PrepareRequest();
    return true;
  }

  TDataMgr& Manager() { return dm_; }

 private:
  // Interval, offset and decimals of a database sensor from its station and
  // sensor rows; false when there is no such sensor.
  static bool ReadTiming(const std::string& station, const std::string& sensorName, TSensor& sensor) {
    QSqlQuery q(DBConnection().Database());
    q.prepare(QStringLiteral(
        "SELECT KV_SITES.REPORTING_INTERVAL, KV_SITES.REPORTING_TIME, KV_SITESENSORS.RIGHT_DIGIT FROM KV_SITES, "
        "KV_SITESENSORS WHERE (KV_SITES.STATION_ID = KV_SITESENSORS.STE_STATION_ID) AND "
        "(KV_SITES.STATION_ID = :STATION_ID) AND (KV_SITESENSORS.SENSORNAME = :SENSORNAME)"));
    q.bindValue(QStringLiteral(":STATION_ID"), QString::fromStdString(station));
    q.bindValue(QStringLiteral(":SENSORNAME"), QString::fromStdString(sensorName));
    if (!q.exec() || !q.next()) return false;
    sensor.Interval = ReportingIntervalSeconds(q.value(0));
    sensor.Offset = ReportingOffsetSeconds(q.value(1), sensor.Interval);
    sensor.Digits = q.value(2).isNull() ? 2 : static_cast<std::uint16_t>(q.value(2).toInt());
    return true;
  }

  std::unique_ptr<TFileServer> server_;
  TDataMgr dm_;
  std::vector<std::unique_ptr<TSensor>> sensors_;
};

std::string Number(double v, int digits) { return FormatStr("%1.*r", digits, v); }

const char kValuesUsage[] =
    "usage: kvq values (-d DIR | --alias A [--user U]) --from TIME --to TIME [--interval SECONDS] "
    "[--offset SECONDS] STATION.SENSOR...";
const char kStatsUsage[] =
    "usage: kvq stats (-d DIR | --alias A [--user U]) --from TIME --to TIME --interval SECONDS "
    "[--offset SECONDS] STATION.SENSOR...";

}  // namespace

int CmdValues(Args args) {
  ReadOptions o;
  if (const int rc = ParseReadOptions(args, kValuesUsage, false, o)) return rc;
  const auto app = MakeQtCore();
  Reader reader;
  if (!reader.Open(o)) return kExitFailed;
  TDataMgr& dm = reader.Manager();
  dm.OnValue = [&](TDataMgr& m, int index, TimeTag t, double v, bool missing, bool&) {
    if (t < o.from || t > o.to) return;  // the records around the range
    const TSensor* s = m.RequestedSensor(index);
    std::printf("%s,%s,%s\n", FormatStr("%j", t).c_str(), m.RequestedName(index).c_str(),
                missing ? "" : Number(v, s ? s->Digits : 2).c_str());
  };
  dm.Retrieve(o.from, o.to, false, o.offset, o.interval);
  return kExitOk;
}

int CmdStats(Args args) {
  ReadOptions o;
  if (const int rc = ParseReadOptions(args, kStatsUsage, true, o)) return rc;
  const auto app = MakeQtCore();
  Reader reader;
  if (!reader.Open(o)) return kExitFailed;
  TDataMgr& dm = reader.Manager();
  dm.OnValue = [&](TDataMgr& m, int index, TimeTag t, double, bool empty, bool&) {
    if (t < o.from || t > o.to) return;  // the partial interval before the range
    const TSensor* s = m.RequestedSensor(index);
    const int d = s ? s->Digits : 2;
    const TStatistics& st = s->Statistics;
    std::string line = FormatStr("%j,%p,%1.0r", t, m.RequestedName(index), st.Count);
    if (empty) {
      line += ",,,,,,,,0";
    } else {
      line += "," + Number(st.MinValue, d) + "," + FormatStr("%j", st.MinTime) + "," + Number(st.MaxValue, d) + "," +
              FormatStr("%j", st.MaxTime) + "," + FormatStr("%1.12r", st.Average()) + "," +
              FormatStr("%1.12r", st.StdDev()) + "," + Number(st.Delta(), d) + "," + FormatStr("%1.12r", st.Sum);
    }
    line += FormatStr(",%1.0r,%1.0r", st.Good(), st.BadCount);
    std::printf("%s\n", line.c_str());
  };
  dm.Retrieve(o.from, o.to, true, o.offset, o.interval);
  return kExitOk;
}

int CmdDemo(Args args) {
  std::string settingsPath;
  bool missing = false;
  if (!TakeNowOption(args) || !TakeAliasesOption(args)) return kExitUsage;
  if (TakeOption(args, "--settings", settingsPath, missing)) SetMainSettingsPath(settingsPath);
  if (missing || args.size() != 1) return UsageError("usage: kvq demo DIR [--settings FILE] [--aliases FILE] [--now TIME]");
  std::error_code ec;
  fs::create_directories(args[0], ec);
  const std::string folder = fs::absolute(args[0], ec).lexically_normal().string();
  std::string error;
  if (!WriteDemoFiles(folder, NowTimeTag(), error)) {
    std::fprintf(stderr, "kvq: %s\n", error.c_str());
    return kExitFailed;
  }
  const auto app = MakeQtCore();
  const std::string database = folder + "/demo.sqlite";
  TDemoDatabaseSummary summary;
  if (!CreateDemoDatabase(database, TDemoDatabaseOptions{}, &error, &summary)) {
    std::fprintf(stderr, "kvq: %s\n", error.c_str());
    return kExitFailed;
  }
  TAliasInfo alias;
  alias.Name = "DEMO";
  alias.Driver = "QSQLITE";
  alias.Database = database;
  if (!SaveAlias(alias, &error)) {
    std::fprintf(stderr, "kvq: %s\n", error.c_str());
    return kExitFailed;
  }
  // Both sources are listed in the main settings file (once), and the folder
  // becomes the current source when none is chosen yet.
  TSettingsFile settings(MainSettingsPath());
  bool haveFolder = false, haveDatabase = false;
  for (const auto& s : ReadStoredDataSources(settings)) {
    haveFolder = haveFolder || (s.Type == kSourceOmbrix2 && s.Folder == folder);
    haveDatabase = haveDatabase || (IsDatabaseSource(s.Type) && SameText(s.DSN, "DEMO"));
  }
  TDataSourceInfo files;
  files.Type = kSourceOmbrix2;
  files.Name = "Demo data files";
  files.Folder = folder;
  if (!haveFolder) AddStoredDataSource(settings, files);
  if (!haveDatabase) {
    TDataSourceInfo db;
    db.Type = kSourceDatabase;
    db.DSN = "DEMO";
    AddStoredDataSource(settings, db);
  }
  TDataSourceInfo current;
  current.LoadCurrent(settings);
  if (current.Type == kSourceNone) {
    for (const auto& s : ReadStoredDataSources(settings))
      if (s.Type == kSourceOmbrix2 && s.Folder == folder) files = s;
    if (!files.SaveCurrent(settings, &error)) {
      std::fprintf(stderr, "kvq: %s\n", error.c_str());
      return kExitFailed;
    }
  } else if (!settings.Flush(&error)) {
    std::fprintf(stderr, "kvq: %s\n", error.c_str());
    return kExitFailed;
  }
  std::printf("Demo data files in %s (MILLBROOK, LAKEVIEW, HILLTOP)\n", folder.c_str());
  std::printf("Demo database %s (alias DEMO): %d stations, %d sensors, %lld values, %lld post-processed values\n",
              database.c_str(), summary.Stations, summary.Sensors, summary.DataRows, summary.PostProcessedRows);
  std::printf("Both are listed in %s\n", MainSettingsPath().c_str());
  return kExitOk;
}

}  // namespace kvq::cli
