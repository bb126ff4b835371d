#include "DbFixture.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include "PgTestServer.h"
#include "data/AliasCatalogue.h"
#include "data/DBCache.h"
#include "data/DBConnect.h"
#include "data/NamedConnection.h"
#include "data/Schema.h"
#include "data/SqlDateTime.h"

namespace kvq::test {

void DbFixture::SetUp() {
  ASSERT_TRUE(dir_.isValid());
  SetAliasesFilePath(dir_.filePath("aliases.ini").toStdString());
  TAliasInfo alias;
  alias.Name = "TESTDB";
  TDBConnection& c = DBConnection();
  c.Alias = "TESTDB";
  if (IsPostgres()) {
    TPgTestServer& pg = TPgTestServer::Shared();
    std::string error;
    ASSERT_TRUE(pg.Start(&error)) << error;
    alias.Driver = "QPSQL";
    alias.Database = pg.Database();
    alias.Host = pg.Host();
    alias.Port = pg.Port();
    c.UserName = pg.User();
    c.Password = pg.Password();
  } else {
    alias.Driver = "QSQLITE";
    alias.Database = "test.sqlite";  // relative to the aliases file
    c.UserName = "Velmora";
    c.Password = "radizuza";
  }
  std::string error;
  ASSERT_TRUE(SaveAlias(alias, &error)) << error;
  if (!IsPostgres()) {
    TNamedConnection create("kvq-test-create");
    ASSERT_TRUE(create.Open("TESTDB", "", "", true, &error)) << error;
  }
  ASSERT_TRUE(c.Connect());
  if (IsPostgres()) {
    Exec("SET client_min_messages TO WARNING");
    Exec("DROP SCHEMA IF EXISTS public CASCADE");
    Exec("CREATE SCHEMA public");
  }
  ASSERT_TRUE(CreateSchema(Db(), &error)) << error;
}

void DbFixture::TearDown() {
  ViewDataCache().Clear();
  TDBConnection& c = DBConnection();
  c.Disconnect();
  c.Alias.clear();
  c.UserName.clear();
  c.Password.clear();
  SetAliasesFilePath("");
}

QSqlDatabase DbFixture::Db() const { return DBConnection().Database(); }

void DbFixture::Exec(const std::string& sql, const QVariantList& values) {
  QSqlQuery q(Db());
  if (values.isEmpty()) {
    // Statements such as DDL cannot be prepared on every server.
    ASSERT_TRUE(q.exec(QString::fromStdString(sql))) << sql << ": " << q.lastError().text().toStdString();
    return;
  }
  ASSERT_TRUE(q.prepare(QString::fromStdString(sql))) << sql << ": " << q.lastError().text().toStdString();
  for (int i = 0; i < values.size(); ++i) q.bindValue(i, values[i]);
  ASSERT_TRUE(q.exec()) << sql << ": " << q.lastError().text().toStdString();
}

std::vector<std::string> DbFixture::Rows(const std::string& sql, const QVariantList& values) {
  std::vector<std::string> rows;
  QSqlQuery q(Db());
  q.setForwardOnly(true);
  EXPECT_TRUE(q.prepare(QString::fromStdString(sql))) << q.lastError().text().toStdString();
  for (int i = 0; i < values.size(); ++i) q.bindValue(i, values[i]);
  EXPECT_TRUE(q.exec()) << sql << ": " << q.lastError().text().toStdString();
  while (q.next()) {
    std::string row;
    for (int i = 0; i < q.record().count(); ++i) {
      if (i) row += "|";
      const QVariant v = q.value(i);
      DateTimeValue t = 0;
      if (v.isNull())
        row += "NULL";
      else if (v.metaType().id() == QMetaType::QDateTime && FieldDateTime(v, t))
        row += DateTimeText(t);  // PostgreSQL timestamps in the SQLite text layout
      else
        row += v.toString().toStdString();
    }
    rows.push_back(row);
  }
  return rows;
}

void DbFixture::AddData(const std::string& station, const std::string& sensor, DateTimeValue time,
                        std::optional<double> value, double orig) {
  Exec("INSERT INTO KV_DATA1 (STATION_ID, SENSORNAME, TIME_TAG, SOURCE, ORIG_VALUE, ED_VALUE) VALUES (?, ?, ?, ?, ?, ?)",
       {QString::fromStdString(station), QString::fromStdString(sensor), DateTimeParam(Db(), time), QStringLiteral("T"),
        orig, value ? QVariant(*value) : QVariant(QMetaType::fromType<double>())});
}

void DbFixture::AddPostProcessed(const std::string& station, const std::string& sensor, const std::string& label,
                                 DateTimeValue time, std::optional<double> value) {
  Exec("INSERT INTO KV_PPDATA1 (STATION_ID, SENSORNAME, DATA_LABEL, TIME_TAG, PP_VALUE) VALUES (?, ?, ?, ?, ?)",
       {QString::fromStdString(station), QString::fromStdString(sensor), QString::fromStdString(label),
        DateTimeParam(Db(), time), value ? QVariant(*value) : QVariant(QMetaType::fromType<double>())});
}

void DbFixture::AddSensor(const std::string& station, const std::string& sensor, std::optional<double> ref1,
                          std::optional<double> ref2) {
  const QVariant null(QMetaType::fromType<double>());
  Exec("INSERT INTO KV_SITESENSORS (STE_STATION_ID, SENSORNAME, ENABLED, REFERENCE_1, REFERENCE_2) VALUES (?, ?, 'Y', ?, ?)",
       {QString::fromStdString(station), QString::fromStdString(sensor), ref1 ? QVariant(*ref1) : null,
        ref2 ? QVariant(*ref2) : null});
}

std::string DbFixture::Text(DateTimeValue t) { return DateTimeText(t); }

}  // namespace kvq::test
