#include <gtest/gtest.h>

#include <QSqlError>
#include <QSqlQuery>

#include "DbFixture.h"
#include "PgTestServer.h"
#include "data/AliasCatalogue.h"
#include "data/DBCache.h"
#include "data/DBConnect.h"
#include "data/DataDef.h"
#include "data/DatabaseError.h"
#include "foundation/Messages.h"

namespace kvq::test {
namespace {

using DBConnectTest = DbFixture;

// Whether the temporary table made on the current connection is still there:
// it goes when the connection is opened anew.
bool SameConnection() {
  QSqlQuery q(DBConnection().Database());
  return q.exec(QStringLiteral("SELECT COUNT(*) FROM KVQ_PROBE"));
}

void MakeProbe() {
  QSqlQuery q(DBConnection().Database());
  ASSERT_TRUE(q.exec(QStringLiteral("CREATE TEMPORARY TABLE KVQ_PROBE (X INTEGER)"))) << q.lastError().text().toStdString();
}

TEST_P(DBConnectTest, KeepsTheConnectionUntilAliasOrUserChanges) {
  TRecordingSink sink;
  TDBConnection& c = DBConnection();
  MakeProbe();
  ASSERT_TRUE(c.Connect());
  EXPECT_TRUE(SameConnection());
  // A new password alone keeps the open connection.
  c.Password = "something else";
  ASSERT_TRUE(c.Connect());
  EXPECT_TRUE(SameConnection());
  EXPECT_EQ(c.LastAlias(), "TESTDB");

  // Another alias for the same database opens anew.
  TAliasInfo second;
  ASSERT_TRUE(FindAlias("TESTDB", second));
  second.Name = "TESTDB2";
  std::string error;
  ASSERT_TRUE(SaveAlias(second, &error)) << error;
  c.Alias = "TESTDB2";
  if (IsPostgres()) c.Password = TPgTestServer::Shared().Password();
  ASSERT_TRUE(c.Connect());
  EXPECT_FALSE(SameConnection());
  EXPECT_EQ(c.LastAlias(), "TESTDB2");
  EXPECT_TRUE(sink.entries.empty());
}

TEST_P(DBConnectTest, BlankAliasClosesWithoutAMessage) {
  TRecordingSink sink;
  TDBConnection& c = DBConnection();
  c.Alias = "  \t";
  EXPECT_FALSE(c.Connect());
  EXPECT_FALSE(c.IsConnected());
  EXPECT_FALSE(c.Database().isValid());
  EXPECT_TRUE(sink.entries.empty());
}

TEST_P(DBConnectTest, FailedOpenReports1411AndALaterConnectWorks) {
  TRecordingSink sink;
  TDBConnection& c = DBConnection();
  c.Alias = "NOSUCHALIAS";
  EXPECT_FALSE(c.Connect());
  EXPECT_FALSE(c.IsConnected());
  ASSERT_EQ(sink.Texts(MessageKind::Error).size(), 1u);
  EXPECT_EQ(sink.Texts(MessageKind::Error)[0], "Error 1411: Database error - Unknown database alias \"NOSUCHALIAS\".");
  c.Alias = "TESTDB";
  EXPECT_TRUE(c.Connect());
  EXPECT_TRUE(c.IsConnected());
}

TEST_P(DBConnectTest, WrongPasswordIsRefused) {
  if (!IsPostgres()) GTEST_SKIP() << "SQLite files have no passwords";
  TRecordingSink sink;
  TDBConnection& c = DBConnection();
  c.Disconnect();
  c.Password = "wrong";
  EXPECT_FALSE(c.Connect());
  const auto errors = sink.Texts(MessageKind::Error);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].rfind("Error 1411: Database error - ", 0), 0u) << errors[0];
  EXPECT_NE(errors[0].find("password authentication failed"), std::string::npos) << errors[0];
  c.Password = TPgTestServer::Shared().Password();
  EXPECT_TRUE(c.Connect());
}

TEST_P(DBConnectTest, ServerStoppedMidSessionThenBackAgain) {
  if (!IsPostgres()) GTEST_SKIP() << "an SQLite file has no server";
  TPgTestServer& pg = TPgTestServer::Shared();
  TRecordingSink sink;
  TDBConnection& c = DBConnection();
  AddData("ST1", "STAGE", At(2024, 3, 1, 10, 0), 1.5);
  ASSERT_TRUE(c.Connect());
  ASSERT_TRUE(pg.Stop());

  // A query on the dead connection fails; Connect notices and cannot reopen.
  QSqlQuery q(c.Database());
  EXPECT_FALSE(q.exec(QStringLiteral("SELECT 1")));
  q.clear();
  EXPECT_FALSE(c.Connect());
  EXPECT_FALSE(c.IsConnected());
  TDataFileStationSensor request;
  request.Start = EncodeTimeTag(2024, 3, 1, 0, 0, 0);
  request.End = EncodeTimeTag(2024, 3, 2, 0, 0, 0);
  auto* group = request.AddItem(std::make_unique<TDataFileStationSensorItem>());
  group->Stations = {"ST1"};
  group->Sensors = {"STAGE"};
  try {
    ViewDataCache().LoadSensorData(request);
    ADD_FAILURE() << "the load went through without a server";
  } catch (const EDatabaseError& e) {
    EXPECT_STREQ(e.what(), "Error connecting database.");
  }
  const auto errors = sink.Texts(MessageKind::Error);
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0].rfind("Error 1411: Database error - ", 0), 0u);

  std::string error;
  ASSERT_TRUE(pg.Start(&error)) << error;
  EXPECT_TRUE(c.Connect());
  ViewDataCache().LoadSensorData(request);
  ASSERT_EQ(ViewDataCache().Count(), 1);
  EXPECT_EQ(ViewDataCache().Items(0).Count(), 1);
}

TEST_P(DBConnectTest, OpenConnectionWhoseServerRestartedIsReopened) {
  if (!IsPostgres()) GTEST_SKIP() << "an SQLite file has no server";
  TPgTestServer& pg = TPgTestServer::Shared();
  TRecordingSink sink;
  ASSERT_TRUE(DBConnection().Connect());
  ASSERT_TRUE(pg.Stop());
  std::string error;
  ASSERT_TRUE(pg.Start(&error)) << error;
  // No query has failed yet; Connect still finds out and opens anew.
  EXPECT_TRUE(DBConnection().Connect());
  QSqlQuery q(DBConnection().Database());
  EXPECT_TRUE(q.exec(QStringLiteral("SELECT COUNT(*) FROM KV_DATA1")));
  EXPECT_TRUE(sink.entries.empty());
}

INSTANTIATE_TEST_SUITE_P(Backends, DBConnectTest, ::testing::Values("SQLite", "PostgreSQL"), BackendName);

}  // namespace
}  // namespace kvq::test
