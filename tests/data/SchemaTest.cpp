#include <gtest/gtest.h>

#include <QSqlError>
#include <QSqlQuery>
#include <string>
#include <utility>
#include <vector>

#include "DbFixture.h"
#include "data/Schema.h"
#include "data/SqlDateTime.h"

namespace kvq {
namespace {

TEST(SqlScript, SplitsOutsideQuotesAndComments) {
  const std::string script =
      "-- heading; with a semicolon\n"
      "CREATE TABLE A (X TEXT DEFAULT 'a;b', \"Y;\" INTEGER);\n"
      "\n"
      "-- only a comment;\n"
      ";\n"
      "CREATE FUNCTION F() RETURNS void LANGUAGE sql AS $$ DELETE FROM A; DELETE FROM B; $$;\n"
      "CREATE FUNCTION G() RETURNS void AS $body$ SELECT ';'; $body$ LANGUAGE sql;\n"
      "INSERT INTO A VALUES ('it''s; fine', 1)";
  const std::vector<std::string> expected = {
      "CREATE TABLE A (X TEXT DEFAULT 'a;b', \"Y;\" INTEGER)",
      "CREATE FUNCTION F() RETURNS void LANGUAGE sql AS $$ DELETE FROM A; DELETE FROM B; $$",
      "CREATE FUNCTION G() RETURNS void AS $body$ SELECT ';'; $body$ LANGUAGE sql",
      "INSERT INTO A VALUES ('it''s; fine', 1)",
  };
  EXPECT_EQ(SplitSqlScript(script), expected);
}

TEST(SqlScript, BuiltInScriptsHoldEveryTable) {
  const char* tables[] = {"KV_SITES", "KV_SITESENSORS", "KV_SITESENSORSDECODE", "KV_RECORDIDS",
                          "KV_DATA1", "KV_PPDATA1",     "KV_PPLIST"};
  for (TSqlDialect d : {TSqlDialect::SQLite, TSqlDialect::PostgreSQL}) {
    const std::vector<std::string> statements = SplitSqlScript(SchemaScript(d));
    for (const char* table : tables) {
      bool found = false;
      for (const std::string& s : statements)
        found = found || s.rfind(std::string("CREATE TABLE IF NOT EXISTS ") + table + " (", 0) == 0;
      EXPECT_TRUE(found) << table;
    }
  }
  EXPECT_TRUE(SchemaScript(TSqlDialect::Odbc).empty());
}

}  // namespace
}  // namespace kvq

// ---- the tables as the program's statements use them --------------------------------

namespace kvq::test {
namespace {

using SchemaDbTest = DbFixture;

// Runs `sql` with named values; the number of rows it returns (or -1 when it
// fails, with the failure recorded).
int RunSql(const QSqlDatabase& db, const std::string& sql, const std::vector<std::pair<const char*, QVariant>>& values = {}) {
  QSqlQuery q(db);
  q.setForwardOnly(true);
  if (!q.prepare(QString::fromStdString(sql))) {
    ADD_FAILURE() << sql << "\n" << q.lastError().text().toStdString();
    return -1;
  }
  for (const auto& [name, value] : values) q.bindValue(QString::fromLatin1(name), value);
  if (!q.exec()) {
    ADD_FAILURE() << sql << "\n" << q.lastError().text().toStdString();
    return -1;
  }
  int rows = 0;
  while (q.next()) ++rows;
  return rows;
}

TEST_P(SchemaDbTest, CreatingTwiceChangesNothing) {
  AddData("ST1", "STAGE", At(2024, 3, 1, 0, 0), 1.0);
  std::string error;
  ASSERT_TRUE(CreateSchema(Db(), &error)) << error;
  EXPECT_EQ(Rows("SELECT COUNT(*) FROM KV_DATA1"), std::vector<std::string>{"1"});
}

TEST_P(SchemaDbTest, KeysRefuseDuplicates) {
  AddData("ST1", "STAGE", At(2024, 3, 1, 0, 0), 1.0);
  QSqlQuery q(Db());
  q.prepare(QStringLiteral("INSERT INTO KV_DATA1 (STATION_ID, SENSORNAME, TIME_TAG) VALUES (?, ?, ?)"));
  q.bindValue(0, QStringLiteral("ST1"));
  q.bindValue(1, QStringLiteral("STAGE"));
  q.bindValue(2, DateTimeParam(Db(), At(2024, 3, 1, 0, 0)));
  EXPECT_FALSE(q.exec());
}

TEST_P(SchemaDbTest, StatementsOfTheProgramRun) {
  const QSqlDatabase db = Db();
  const QVariant t1 = DateTimeParam(db, At(2024, 3, 1, 6, 0));
  const QVariant t2 = DateTimeParam(db, At(2024, 3, 2, 6, 0));
  Exec("INSERT INTO KV_SITES (STATION_ID, ENABLED, REPORTING_INTERVAL, REPORTING_TIME, BASIN, LAST_UPDATE) "
       "VALUES ('ST1', 'Y', 1.0, ?, 'Kessel', ?)",
       {DateTimeParam(db, At(2000, 1, 1, 0, 15)), t1});
  Exec("INSERT INTO KV_SITES (STATION_ID, ENABLED) VALUES ('ST2', 'N')");
  AddSensor("ST1", "STAGE", 1.0, 2.0);
  AddSensor("ST2", "RAIN", std::nullopt, std::nullopt);
  Exec("INSERT INTO KV_PPLIST (STATION_ID, SENSORNAME, DATA_LABEL) VALUES ('ST1', 'STAGE', 'DAILY_MEAN')");
  Exec("INSERT INTO KV_RECORDIDS (STE_STATION_ID, RECORD_ID, SENSORS) VALUES ('ST1', 'A', 'STAGE,BATT')");
  for (int seq = 0; seq < 3; ++seq)
    Exec("INSERT INTO KV_SITESENSORSDECODE (TOPIC, STATION, SENSOR, SEQNUM, DELTA_TIME) VALUES ('GOESTimed', 'ST1', "
         "'STAGE', ?, -900)",
         {seq});

  const std::string tree =
      "SELECT DISTINCT KV_SITES.STATION_ID, KV_SITESENSORS.SENSORNAME, KV_SITES.REPORTING_TIME, "
      "KV_SITES.REPORTING_INTERVAL, KV_SITES.BASIN, KV_SITES.AGENCY, KV_SITES.DISTRICT, KV_SITES.CITY, "
      "KV_SITES.COUNTRY, KV_SITES.STATE, KV_SITES.COUNTY, KV_SITES.PRIMARY_CHANNEL, KV_SITES.RANDOM_CHANNEL, "
      "KV_SITES.LAST_UPDATE, KV_SITESENSORS.RIGHT_DIGIT FROM KV_SITES, KV_SITESENSORS WHERE (KV_SITES.STATION_ID = "
      "KV_SITESENSORS.STE_STATION_ID)";
  EXPECT_EQ(RunSql(db, tree + "  AND (KV_SITES.ENABLED = 'Y') AND (KV_SITESENSORS.ENABLED = 'Y')"), 1);
  EXPECT_EQ(RunSql(db, tree), 2);
  EXPECT_EQ(RunSql(db,
                "SELECT DISTINCT KV_SITES.STATION_ID, KV_SITESENSORS.SENSORNAME, KV_SITES.REPORTING_TIME, "
                "KV_SITES.REPORTING_INTERVAL, KV_SITES.BASIN, KV_SITES.AGENCY, KV_SITES.DISTRICT, KV_SITES.CITY, "
                "KV_SITES.COUNTRY, KV_SITES.STATE, KV_SITES.COUNTY, KV_SITES.PRIMARY_CHANNEL, "
                "KV_SITES.RANDOM_CHANNEL, DATA_LABEL, KV_SITES.LAST_UPDATE, KV_SITESENSORS.RIGHT_DIGIT FROM "
                "KV_SITES, KV_SITESENSORS, KV_PPLIST WHERE (KV_SITES.STATION_ID = KV_SITESENSORS.STE_STATION_ID) AND "
                "(KV_SITES.STATION_ID = KV_PPLIST.STATION_ID) AND (KV_SITESENSORS.SENSORNAME = KV_PPLIST.SENSORNAME)"),
            1);
  EXPECT_EQ(RunSql(db, "SELECT LAST_UPDATE FROM KV_SITES WHERE (KV_SITES.STATION_ID = :StationID) ",
                {{":StationID", QStringLiteral("ST1")}}),
            1);
  EXPECT_EQ(RunSql(db, "Select * from KV_SITES where STATION_ID = :StationID", {{":StationID", QStringLiteral("ST1")}}), 1);
  EXPECT_EQ(RunSql(db, "Select * from KV_RECORDIDS where STE_STATION_ID = :StationID",
                {{":StationID", QStringLiteral("ST1")}}),
            1);
  EXPECT_EQ(RunSql(db, "SELECT * FROM KV_SITESENSORS WHERE STE_STATION_ID = :StationID AND SENSORNAME = :SensorID",
                {{":StationID", QStringLiteral("ST1")}, {":SensorID", QStringLiteral("STAGE")}}),
            1);
  EXPECT_EQ(RunSql(db,
                "SELECT * FROM KV_SITESENSORSDECODE WHERE STATION = :StationID AND SENSOR = :SensorID AND TOPIC = "
                ":Topic AND SEQNUM = :SeqNum ",
                {{":StationID", QStringLiteral("ST1")},
                 {":SensorID", QStringLiteral("STAGE")},
                 {":Topic", QStringLiteral("GOESTimed")},
                 {":SeqNum", 2}}),
            1);

  // The import's forward-only last update: an earlier time changes nothing.
  const std::string lastUpdate =
      "UPDATE KV_SITES SET LAST_UPDATE = :Timetag WHERE STATION_ID = :Station AND (LAST_UPDATE < :Timetag OR "
      "LAST_UPDATE IS NULL)";
  RunSql(db, lastUpdate, {{":Timetag", DateTimeParam(db, At(2024, 2, 1, 0, 0))}, {":Station", QStringLiteral("ST1")}});
  RunSql(db, lastUpdate, {{":Timetag", t2}, {":Station", QStringLiteral("ST2")}});
  EXPECT_EQ(Rows("SELECT STATION_ID, LAST_UPDATE FROM KV_SITES ORDER BY STATION_ID"),
            (std::vector<std::string>{"ST1|2024-03-01 06:00:00.000", "ST2|2024-03-02 06:00:00.000"}));
}

TEST_P(SchemaDbTest, ImportFunctionsInsertOrUpdateAndMoveForward) {
  if (!IsPostgres()) GTEST_SKIP() << "stored functions exist on PostgreSQL";
  const QSqlDatabase db = Db();
  Exec("INSERT INTO KV_SITES (STATION_ID) VALUES ('ST1')");
  const std::string insert =
      "SELECT KV_INSERT_OR_UPDATE_DATA_ONLY(:IN_STATION_ID, :IN_SENSORNAME, :IN_TIME_TAG, :IN_SOURCE, "
      ":IN_ORIG_VALUE, :IN_ED_VALUE)";
  auto value = [&](double orig, double ed) {
    RunSql(db, insert,
        {{":IN_STATION_ID", QStringLiteral("ST1")},
         {":IN_SENSORNAME", QStringLiteral("STAGE")},
         {":IN_TIME_TAG", DateTimeParam(db, At(2024, 3, 1, 6, 0))},
         {":IN_SOURCE", QStringLiteral("?")},
         {":IN_ORIG_VALUE", orig},
         {":IN_ED_VALUE", ed}});
  };
  value(1.0, 1.0);
  value(2.0, 2.5);  // the second import of the same time keeps ORIG_VALUE
  EXPECT_EQ(Rows("SELECT SOURCE, ORIG_VALUE, ED_VALUE FROM KV_DATA1"), std::vector<std::string>{"?|1|2.5"});
  const std::string last = "SELECT KV_UPDATE_LAST_UPDATE(:IN_LAST_UPDATE, :IN_STATION_ID)";
  for (DateTimeValue t : {At(2024, 3, 1, 6, 0), At(2024, 2, 1, 0, 0)})
    RunSql(db, last, {{":IN_LAST_UPDATE", DateTimeParam(db, t)}, {":IN_STATION_ID", QStringLiteral("ST1")}});
  EXPECT_EQ(Rows("SELECT LAST_UPDATE FROM KV_SITES"), std::vector<std::string>{"2024-03-01 06:00:00.000"});
}

INSTANTIATE_TEST_SUITE_P(Backends, SchemaDbTest, ::testing::Values("SQLite", "PostgreSQL"), BackendName);

}  // namespace
}  // namespace kvq::test
