#include <gtest/gtest.h>

#include <QSqlQuery>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

#include "app/EntryLoader.h"
#include "data/AliasCatalogue.h"
#include "data/DBConnect.h"
#include "data/Schema.h"
#include "foundation/Messages.h"
#include "store/DemoFiles.h"
#include "store/FileSrvr.h"

using namespace kvq;

namespace {

TEST(EntryLoader, FolderOfDataFiles) {
  QTemporaryDir dir;
  const std::string folder = dir.path().toStdString();
  std::string error;
  ASSERT_TRUE(WriteDemoFiles(folder, EncodeTimeTag(2009, 3, 7, 12, 0, 0), error)) << error;
  std::ofstream(folder + "/notes.txt") << "not a data file";
  std::ofstream(folder + "/BROKEN.dat") << "not a data file either";
  TRecordingSink sink;
  TFileServer server(DefaultGroupSetup("1"));
  for (const std::string& f : {folder, folder + "/"}) {
    TStationSensorCache entries;
    LoadFolderEntries(f, server, entries);
    ASSERT_EQ(entries.Count(), 10) << f;  // 2 + 2 + 6 sensors; the broken file adds nothing
    for (int i = 0; i < entries.Count(); ++i) {
      const TStationSensorItem* e = entries.Items(i);
      EXPECT_EQ(e->FilePath, folder + "/" + e->DataFile);
      if (e->DataFile == "LAKEVIEW.DAT") {
        EXPECT_EQ(e->StationID, "LAKEVIEW");
        EXPECT_EQ(e->StartTime, "02/01/2008 00:00:00");
      }
    }
  }
  EXPECT_TRUE(sink.Contains("Error 604: Unable to read header from file " + folder + "/BROKEN.dat"));
  QTemporaryDir empty;
  TStationSensorCache none;
  LoadFolderEntries(empty.path().toStdString(), server, none);
  EXPECT_EQ(none.Count(), 0);
  LoadFolderEntries("/no/such/folder", server, none);
  EXPECT_EQ(none.Count(), 0);
}

class DatabaseLoad : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    SetAliasesFilePath(dir_.path().toStdString() + "/aliases.ini");
    TAliasInfo alias;
    alias.Name = "LOADTEST";
    alias.Driver = "QSQLITE";
    alias.Database = dir_.path().toStdString() + "/t.sqlite";
    std::ofstream(alias.Database);  // an empty file is a new SQLite database
    std::string error;
    ASSERT_TRUE(SaveAlias(alias, &error)) << error;
    TDBConnection& db = DBConnection();
    db.Alias = "LOADTEST";
    db.UserName = "";
    db.Password = "";
    ASSERT_TRUE(db.Connect());
    ASSERT_TRUE(CreateSchema(db.Database(), &error)) << error;
    QSqlQuery q(db.Database());
    for (const char* sql : {
             "INSERT INTO KV_SITES (STATION_ID, ENABLED, BASIN, PRIMARY_CHANNEL, REPORTING_INTERVAL, REPORTING_TIME, "
             "LAST_UPDATE) VALUES ('S1', 'Y', 'North', 10, 0.25, '1899-12-30 00:05:00.000', '2009-03-07 10:00:00.000')",
             "INSERT INTO KV_SITES (STATION_ID, ENABLED, PRIMARY_CHANNEL) VALUES ('S2', 'N', 9)",
             "INSERT INTO KV_SITESENSORS (STE_STATION_ID, SENSORNAME, ENABLED, RIGHT_DIGIT) VALUES ('S1', 'STAGE', 'Y', 2)",
             "INSERT INTO KV_SITESENSORS (STE_STATION_ID, SENSORNAME, ENABLED) VALUES ('S1', 'RAIN', 'N')",
             "INSERT INTO KV_SITESENSORS (STE_STATION_ID, SENSORNAME, ENABLED) VALUES ('S2', 'FLOW', 'Y')",
             "INSERT INTO KV_PPLIST (STATION_ID, SENSORNAME, DATA_LABEL) VALUES ('S1', 'STAGE', 'DAILY')",
         })
      ASSERT_TRUE(q.exec(QString::fromLatin1(sql))) << sql;
  }
  void TearDown() override {
    DBConnection().Disconnect();
    SetAliasesFilePath("");
  }
  QTemporaryDir dir_;
};

TEST_F(DatabaseLoad, StatementsFieldsAndFailures) {
  TStationSensorCache enabled;
  std::string error;
  ASSERT_TRUE(LoadDatabaseEntries(false, false, "", enabled, &error)) << error;
  ASSERT_EQ(enabled.Count(), 1);
  const TStationSensorItem* e = enabled.Items(0);
  EXPECT_EQ(e->StationID, "S1");
  EXPECT_EQ(e->Basin, "North");
  EXPECT_EQ(e->PrimaryChannel, 10);
  EXPECT_EQ(e->Interval, 900);
  EXPECT_EQ(e->Offset, 300);
  EXPECT_EQ(e->RightDigit, 2);
  EXPECT_EQ(DateTimeToTimeTag(e->LastUpdate), EncodeTimeTag(2009, 3, 7, 10, 0, 0));

  TStationSensorCache all;
  ASSERT_TRUE(LoadDatabaseEntries(false, true, "", all, &error)) << error;
  EXPECT_EQ(all.Count(), 3);
  for (int i = 0; i < all.Count(); ++i)
    if (all.Items(i)->StationID == "S2") {
      EXPECT_EQ(all.Items(i)->LastUpdate, -1.0);
      EXPECT_EQ(all.Items(i)->RightDigit, 3);
      EXPECT_EQ(all.Items(i)->Interval, 900);
      EXPECT_EQ(all.Items(i)->Basin, "");
    }
  TStationSensorCache filtered;
  ASSERT_TRUE(LoadDatabaseEntries(false, true, "(KV_SITES.BASIN = 'North')", filtered, &error));
  EXPECT_EQ(filtered.Count(), 2);

  TStationSensorCache pp;
  ASSERT_TRUE(LoadDatabaseEntries(true, false, "", pp, &error)) << error;
  ASSERT_EQ(pp.Count(), 1);
  EXPECT_EQ(pp.Items(0)->SensorLabel, "DAILY");

  TStationSensorCache broken;
  EXPECT_FALSE(LoadDatabaseEntries(false, false, "NOT A CONDITION (", broken, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(TreeStatement(false, true).substr(TreeStatement(false, true).size() - 15), "STE_STATION_ID)");
}

}  // namespace
