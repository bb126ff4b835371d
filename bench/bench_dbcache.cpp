// The view data cache loading 1,000,000 KV_DATA1 rows of one sensor, on
// SQLite and on PostgreSQL, against each database's own client producing the
// same query's rows in the same run (sqlite3 to /dev/null, psql \copy to
// /dev/null). Goals: at most 2x the client's time; at most 24 bytes of cache
// per point. The ratios are printed last.
#include <malloc.h>

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <chrono>

#include "BenchTiming.h"
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "PgTestServer.h"
#include "data/AliasCatalogue.h"
#include "data/DBCache.h"
#include "data/DBConnect.h"
#include "data/DataDef.h"
#include "data/Schema.h"
#include "data/SqlDateTime.h"
#include "foundation/TimeBase.h"

using namespace kvq;
using Clock = kvqbench::Clock;

namespace {

constexpr int kRows = 1000000;
constexpr int kRuns = 3;

using kvqbench::Seconds;

template <class F>
double Best(F f) {
  return kvqbench::Best(kRuns, f);
}

[[noreturn]] void Fail(const std::string& text) {
  std::fprintf(stderr, "bench_dbcache: %s\n", text.c_str());
  std::exit(1);
}

void Exec(const QSqlDatabase& db, const QString& sql) {
  QSqlQuery q(db);
  if (!q.exec(sql)) Fail(sql.toStdString() + ": " + q.lastError().text().toStdString());
}

// The rows: one sensor every 15 minutes from 1990 on (about 28.5 years),
// and a neighbour sensor the query must skip. Functions, not constants: the
// time base may not be initialised yet while static objects are made.
DateTimeValue First() { return TimeTagToDateTime(EncodeTimeTag(1990, 1, 1, 0, 0, 0)); }
DateTimeValue Last() { return First() + (kRows - 1) / 96.0; }

std::string Query() {
  return "SELECT * FROM KV_DATA1 WHERE (STATION_ID='ST1') AND (SENSORNAME='STAGE') AND ('" + DateTimeText(First()) +
         "' <= TIME_TAG) AND (TIME_TAG <='" + DateTimeText(Last()) + "') ORDER BY TIME_TAG ";
}

struct Result {
  double ours = 0;
  double peer = 0;
  double bytesPerPoint = 0;
  int points = 0;
};

// Loads the sensor through the cache; time, points and heap bytes per point.
Result LoadThroughCache(const std::string& alias, const std::string& user, const std::string& password) {
  TDBConnection& c = DBConnection();
  c.Alias = alias;
  c.UserName = user;
  c.Password = password;
  if (!c.Connect()) Fail("cannot connect to " + alias);
  TDataFileStationSensor request;
  request.Start = DateTimeToTimeTag(First());
  request.End = DateTimeToTimeTag(Last());
  auto* group = request.AddItem(std::make_unique<TDataFileStationSensorItem>());
  group->Stations = {"ST1"};
  group->Sensors = {"STAGE"};
  Result r;
  TDBViewDataCache& cache = ViewDataCache();
  r.ours = Best([&] {
    cache.Clear();
    cache.LoadSensorData(request);
  });
  cache.Clear();
  const std::size_t before = mallinfo2().uordblks;
  cache.LoadSensorData(request);
  const std::size_t after = mallinfo2().uordblks;
  r.points = cache.Items(0).Count();
  if (r.points != kRows) Fail("loaded " + std::to_string(r.points) + " points instead of " + std::to_string(kRows));
  r.bytesPerPoint = static_cast<double>(after - before) / r.points;
  cache.Clear();
  c.Disconnect();
  return r;
}

double RunClient(const QString& program, const QStringList& args, const QProcessEnvironment& env) {
  return Best([&] {
    QProcess p;
    p.setProcessEnvironment(env);
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start(program, args);
    if (!p.waitForFinished(600000) || p.exitCode() != 0)
      Fail(program.toStdString() + " failed: " + p.readAllStandardError().toStdString());
  });
}

Result SQLite(const QTemporaryDir& dir) {
  const std::string path = dir.filePath("bench.sqlite").toStdString();
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-make"));
    db.setDatabaseName(QString::fromStdString(path));
    if (!db.open()) Fail("cannot create " + path);
    std::string error;
    if (!CreateSchema(db, &error)) Fail(error);
    for (const char* sensor : {"FLOW", "STAGE"}) {
      Exec(db, QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                              "INSERT INTO KV_DATA1 (STATION_ID, SENSORNAME, TIME_TAG, SOURCE, ORIG_VALUE, ED_VALUE) "
                              "SELECT 'ST1', '%2', strftime('%Y-%m-%d %H:%M:%f', '1990-01-01', '+' || (i * 900) || "
                              "' seconds'), 'S', (i % 1000) / 100.0, (i % 1000) / 100.0 FROM n")
                   .arg(kRows - 1)
                   .arg(QString::fromLatin1(sensor)));
    }
    db.close();
  }
  QSqlDatabase::removeDatabase(QStringLiteral("bench-make"));
  TAliasInfo alias;
  alias.Name = "BENCH_SQLITE";
  alias.Driver = "QSQLITE";
  alias.Database = path;
  std::string error;
  if (!SaveAlias(alias, &error)) Fail(error);
  Result r = LoadThroughCache("BENCH_SQLITE", "", "");
  r.peer = RunClient(QStringLiteral("sqlite3"), {QString::fromStdString(path), QString::fromStdString(Query())},
                     QProcessEnvironment::systemEnvironment());
  return r;
}

Result PostgreSQL() {
  test::TPgTestServer& pg = test::TPgTestServer::Shared();
  std::string error;
  if (!pg.Start(&error)) Fail(error);
  TAliasInfo alias;
  alias.Name = "BENCH_PG";
  alias.Driver = "QPSQL";
  alias.Database = pg.Database();
  alias.Host = pg.Host();
  alias.Port = pg.Port();
  if (!SaveAlias(alias, &error)) Fail(error);
  {
    TDBConnection& c = DBConnection();
    c.Alias = "BENCH_PG";
    c.UserName = pg.User();
    c.Password = pg.Password();
    if (!c.Connect()) Fail("cannot connect to the benchmark server");
    {
      const QSqlDatabase db = c.Database();
      if (!CreateSchema(db, &error)) Fail(error);
      for (const char* sensor : {"FLOW", "STAGE"}) {
        Exec(db, QStringLiteral("INSERT INTO KV_DATA1 (STATION_ID, SENSORNAME, TIME_TAG, SOURCE, ORIG_VALUE, "
                                "ED_VALUE) SELECT 'ST1', '%2', TIMESTAMP '1990-01-01' + i * INTERVAL '15 minutes', "
                                "'S', (i % 1000) / 100.0, (i % 1000) / 100.0 FROM generate_series(0, %1) AS i")
                     .arg(kRows - 1)
                     .arg(QString::fromLatin1(sensor)));
      }
      Exec(db, QStringLiteral("VACUUM ANALYZE KV_DATA1"));
    }
    c.Disconnect();
  }
  Result r = LoadThroughCache("BENCH_PG", pg.User(), pg.Password());
  QString psql = QStandardPaths::findExecutable(QStringLiteral("psql"));
  if (psql.isEmpty()) psql = QString::fromStdString(pg.BinDir() + "/psql");
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("PGPASSWORD"), QString::fromStdString(pg.Password()));
  r.peer = RunClient(psql,
                     {QStringLiteral("-h"), QString::fromStdString(pg.Host()), QStringLiteral("-p"),
                      QString::number(pg.Port()), QStringLiteral("-U"), QString::fromStdString(pg.User()),
                      QStringLiteral("-d"), QString::fromStdString(pg.Database()), QStringLiteral("-X"),
                      QStringLiteral("-q"), QStringLiteral("-c"),
                      QStringLiteral("\\copy (%1) to /dev/null").arg(QString::fromStdString(Query()))},
                     env);
  pg.Destroy();
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTemporaryDir dir;
  if (!dir.isValid()) Fail("no temporary folder");
  SetAliasesFilePath(dir.filePath("aliases.ini").toStdString());
  std::printf("LoadSensorData of %d KV_DATA1 rows of one sensor (best of %d)\n", kRows, kRuns);
  const Result lite = SQLite(dir);
  std::printf("  SQLite      cache %.3f s   sqlite3 %.3f s   %.1f bytes/point\n", lite.ours, lite.peer,
              lite.bytesPerPoint);
  const Result pg = PostgreSQL();
  std::printf("  PostgreSQL  cache %.3f s   psql \\copy %.3f s   %.1f bytes/point\n", pg.ours, pg.peer,
              pg.bytesPerPoint);
  std::printf("ratio SQLite cache/sqlite3:       %.2f (goal <= 2)\n", lite.ours / lite.peer);
  std::printf("ratio PostgreSQL cache/psql:      %.2f (goal <= 2)\n", pg.ours / pg.peer);
  std::printf("cache bytes per point:            %.1f / %.1f (goal <= 24)\n", lite.bytesPerPoint, pg.bytesPerPoint);
  return 0;
}
