// The main window on a station database of 2,000 stations x 20 sensors
// (40,000 entries): OpenDataSource, and the tree rebuilt in every grouping
// (statement, entries, sort, nodes, the tree view drawn), against sqlite3
// running the tree statement alone to /dev/null in the same run. Goal: every
// grouping within 3x of sqlite3. Also the start-up to a shown main window on
// that source (reported, no goal). The ratio is printed last.
#include <QApplication>
#include <QComboBox>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>
#include <algorithm>
#include <chrono>

#include "BenchTiming.h"
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "app/EntryLoader.h"
#include "app/Main.h"
#include "data/AliasCatalogue.h"
#include "data/AppPaths.h"
#include "data/DBConnect.h"
#include "data/DataDef.h"
#include "data/Schema.h"
#include "foundation/GroupSetup.h"

using namespace kvq;
using Clock = kvqbench::Clock;

namespace {

constexpr int kStations = 2000;
constexpr int kSensorsPerStation = 20;
constexpr int kRuns = 3;

using kvqbench::Seconds;

template <class F>
double Best(F f) {
  return kvqbench::Best(kRuns, f);
}

[[noreturn]] void Fail(const std::string& text) {
  std::fprintf(stderr, "bench_mainwindow: %s\n", text.c_str());
  std::exit(1);
}

void Exec(QSqlQuery& q) {
  if (!q.exec()) Fail(q.lastQuery().toStdString() + ": " + q.lastError().text().toStdString());
}

// A network of stations spread over basins, agencies, districts, cities,
// counties, states and countries, each with 20 enabled sensors.
void MakeDatabase(const QString& path) {
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench"));
    db.setDatabaseName(path);
    if (!db.open()) Fail(db.lastError().text().toStdString());
    std::string error;
    if (!CreateSchema(db, &error)) Fail(error);
    db.transaction();
    QSqlQuery site(db), sensor(db);
    site.prepare(QStringLiteral(
        "INSERT INTO KV_SITES (STATION_ID, ENABLED, LAST_UPDATE, AGENCY, COUNTRY, STATE, COUNTY, DISTRICT, CITY, BASIN, "
        "PRIMARY_CHANNEL, RANDOM_CHANNEL, REPORTING_INTERVAL, REPORTING_TIME) "
        "VALUES (?, 'Y', '2024-03-06 23:45:00.000', ?, ?, ?, ?, ?, ?, ?, ?, ?, 0.25, '2024-01-01 00:05:00.000')"));
    sensor.prepare(
        QStringLiteral("INSERT INTO KV_SITESENSORS (STE_STATION_ID, SENSORNAME, ENABLED, RIGHT_DIGIT) VALUES (?, ?, 'Y', 2)"));
    for (int s = 0; s < kStations; ++s) {
      const QString id = QStringLiteral("ST%1").arg(s, 5, 10, QLatin1Char('0'));
      site.addBindValue(id);
      site.addBindValue(QStringLiteral("Agency %1").arg(s % 12));
      site.addBindValue(QStringLiteral("Country %1").arg(s % 3));
      site.addBindValue(QStringLiteral("State %1").arg(s % 17));
      site.addBindValue(QStringLiteral("County %1").arg(s % 140));
      site.addBindValue(QStringLiteral("District %1").arg(s % 25));
      site.addBindValue(QStringLiteral("City %1").arg(s % 400));
      site.addBindValue(QStringLiteral("Basin %1").arg(s % 60));
      site.addBindValue(s % 250);
      site.addBindValue((s * 7) % 333);
      Exec(site);
      for (int n = 0; n < kSensorsPerStation; ++n) {
        sensor.addBindValue(id);
        sensor.addBindValue(QStringLiteral("SENSOR%1").arg(n, 2, 10, QLatin1Char('0')));
        Exec(sensor);
      }
    }
    db.commit();
  }
  QSqlDatabase::removeDatabase(QStringLiteral("bench"));
}

// Processes events until the GUI has nothing more to do (the tree drawn).
void Settle() {
  QApplication::processEvents(QEventLoop::AllEvents);
  QApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  MarkGuiThread();
  QTemporaryDir dir;
  const QString database = dir.filePath(QStringLiteral("bench.sqlite"));
  MakeDatabase(database);

  SetAliasesFilePath(dir.filePath(QStringLiteral("aliases.ini")).toStdString());
  TAliasInfo alias;
  alias.Name = "BENCH";
  alias.Driver = "QSQLITE";
  alias.Database = database.toStdString();
  std::string error;
  if (!SaveAlias(alias, &error)) Fail(error);
  const std::string settings = dir.filePath(QStringLiteral("KVQuillon.KFG")).toStdString();
  std::ofstream(settings) << "[DataSourceSettings]\nDataSourceType=4\nDataSourceDSN=BENCH\n";
  SetMainSettingsPath(settings);

  // the peer: the tree statement alone, run by the database's own client
  const QString statement = QString::fromStdString(TreeStatement(false, false));
  const double peer = Best([&] {
    QProcess sqlite;
    sqlite.setStandardOutputFile(QProcess::nullDevice());
    sqlite.start(QStringLiteral("sqlite3"), {database, statement});
    if (!sqlite.waitForFinished(120000) || sqlite.exitCode() != 0) Fail("sqlite3 failed");
  });

  // start-up: window made, settings read, source opened, tree built, shown
  const double startup = Best([] {
    TfrmQuillonMain window;
    window.show();
    Settle();
    if (window.Entries().Count() != kStations * kSensorsPerStation) Fail("the tree did not load every entry");
  });

  TfrmQuillonMain window;
  window.show();
  Settle();
  auto* combo = window.findChild<QComboBox*>(QStringLiteral("cbxView"));
  const double open = Best([&] {
    window.OpenDataSource();
    Settle();
  });
  std::printf("%-28s %10s %8s\n", "", "seconds", "ratio");
  std::printf("%-28s %10.4f %8s\n", "sqlite3, tree statement", peer, "1.00");
  std::printf("%-28s %10.4f %8.2f\n", "OpenDataSource", open, open / peer);
  double worst = open / peer;
  for (int item = 0; item < combo->count(); ++item) {
    combo->setCurrentIndex(item);
    const double t = Best([&] {
      window.RebuildTree();
      Settle();
    });
    std::printf("%-28s %10.4f %8.2f\n", combo->itemText(item).toStdString().c_str(), t, t / peer);
    worst = std::max(worst, t / peer);
  }
  std::printf("start-up to a shown window with %d entries: %.3f s\n", kStations * kSensorsPerStation, startup);
  std::printf("tree rebuild against sqlite3 (worst of OpenDataSource and the groupings, goal <= 3): %.2fx\n", worst);
  return 0;
}
