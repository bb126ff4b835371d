#include <gtest/gtest.h>

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>
#include <filesystem>
#include <string>

#include "data/DemoDatabase.h"
#include "data/SqlDateTime.h"
#include "foundation/TimeBase.h"

namespace kvq {
namespace {

class DemoDatabaseTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    SetClockSource([] { return EncodeTimeTag(2024, 5, 20, 13, 7, 0); });
    dir_ = new QTemporaryDir;
    path_ = dir_->filePath("demo.sqlite").toStdString();
    TDemoDatabaseOptions options;
    options.Days = 3;
    ok_ = CreateDemoDatabase(path_, options, &error_, &summary_);
    SetClockSource({});
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("demo-test"));
    db.setDatabaseName(QString::fromStdString(path_));
    db.open();
  }
  static void TearDownTestSuite() {
    QSqlDatabase::database(QStringLiteral("demo-test"), false).close();
    QSqlDatabase::removeDatabase(QStringLiteral("demo-test"));
    delete dir_;
  }
  void SetUp() override { ASSERT_TRUE(ok_) << error_; }

  static QVariant One(const char* sql) {
    QSqlQuery q(QSqlDatabase::database(QStringLiteral("demo-test"), false));
    if (!q.exec(QString::fromLatin1(sql)) || !q.next()) {
      ADD_FAILURE() << sql;
      return {};
    }
    return q.value(0);
  }

  static inline QTemporaryDir* dir_ = nullptr;
  static inline std::string path_;
  static inline bool ok_ = false;
  static inline std::string error_;
  static inline TDemoDatabaseSummary summary_;
};

TEST_F(DemoDatabaseTest, NetworkOfTwoCountries) {
  EXPECT_GE(summary_.Stations, 24);
  EXPECT_EQ(One("SELECT COUNT(*) FROM KV_SITES").toInt(), summary_.Stations);
  EXPECT_EQ(One("SELECT COUNT(DISTINCT COUNTRY) FROM KV_SITES").toInt(), 2);
  EXPECT_GE(One("SELECT COUNT(DISTINCT BASIN) FROM KV_SITES").toInt(), 4);
  EXPECT_GE(One("SELECT COUNT(DISTINCT AGENCY) FROM KV_SITES").toInt(), 3);
  EXPECT_GE(One("SELECT COUNT(DISTINCT STATE) FROM KV_SITES").toInt(), 4);
  EXPECT_GE(One("SELECT COUNT(DISTINCT COUNTY) FROM KV_SITES").toInt(), 6);
  EXPECT_GE(One("SELECT COUNT(DISTINCT CITY) FROM KV_SITES").toInt(), 6);
  EXPECT_GE(One("SELECT COUNT(DISTINCT DISTRICT) FROM KV_SITES").toInt(), 3);
  EXPECT_GE(One("SELECT COUNT(DISTINCT PRIMARY_CHANNEL) FROM KV_SITES").toInt(), 3);
  EXPECT_GE(One("SELECT COUNT(*) FROM KV_SITES WHERE ENABLED = 'N'").toInt(), 1);
  EXPECT_GE(One("SELECT COUNT(*) FROM KV_SITESENSORS WHERE ENABLED = 'N'").toInt(), 1);
  EXPECT_GE(One("SELECT COUNT(*) FROM KV_SITESENSORS WHERE REFERENCE_1 IS NOT NULL").toInt(), 1);
  EXPECT_GE(One("SELECT COUNT(*) FROM KV_RECORDIDS").toInt(), summary_.Stations);
  EXPECT_EQ(One("SELECT MAX(N) FROM (SELECT COUNT(*) AS N FROM KV_SITESENSORSDECODE GROUP BY TOPIC, STATION, SENSOR)")
                .toInt(),
            3);
}

TEST_F(DemoDatabaseTest, QuarterHourValuesUpToNow) {
  EXPECT_EQ(One("SELECT COUNT(*) FROM KV_DATA1").toLongLong(), summary_.DataRows);
  // Three days of quarter hours, ending at the last quarter hour before now.
  EXPECT_EQ(One("SELECT COUNT(*) FROM KV_DATA1 WHERE STATION_ID = 'KSL020' AND SENSORNAME = 'STAGE'").toInt(), 3 * 96);
  EXPECT_EQ(One("SELECT MAX(TIME_TAG) FROM KV_DATA1").toString().toStdString(), "2024-05-20 13:00:00.000");
  EXPECT_EQ(One("SELECT MIN(TIME_TAG) FROM KV_DATA1 WHERE STATION_ID = 'KSL020'").toString().toStdString(),
            "2024-05-17 13:15:00.000");
  EXPECT_EQ(One("SELECT LAST_UPDATE FROM KV_SITES WHERE STATION_ID = 'KSL020'").toString().toStdString(),
            "2024-05-20 13:00:00.000");
  // Every station's last update is its newest value.
  EXPECT_EQ(One("SELECT COUNT(*) FROM KV_SITES S WHERE LAST_UPDATE <> (SELECT MAX(TIME_TAG) FROM KV_DATA1 D WHERE "
                "D.STATION_ID = S.STATION_ID)")
                .toInt(),
            0);
  // Every stored time is in the one text layout.
  EXPECT_EQ(One("SELECT COUNT(*) FROM KV_DATA1 WHERE TIME_TAG NOT LIKE '____-__-__ __:__:__.___'").toInt(), 0);
  // Rejected values: an original value without an edited one.
  EXPECT_GT(One("SELECT COUNT(*) FROM KV_DATA1 WHERE ED_VALUE IS NULL AND ORIG_VALUE IS NOT NULL").toInt(), 0);
  // Stages and flows fit the rating: a higher stage never has a lower flow.
  EXPECT_EQ(One("SELECT COUNT(*) FROM KV_DATA1 S, KV_DATA1 F WHERE S.STATION_ID = 'KSL030' AND S.SENSORNAME = "
                "'STAGE' AND F.STATION_ID = S.STATION_ID AND F.SENSORNAME = 'FLOW' AND F.TIME_TAG = S.TIME_TAG AND "
                "S.ED_VALUE IS NOT NULL AND F.ORIG_VALUE < 0")
                .toInt(),
            0);
}

TEST_F(DemoDatabaseTest, DailySeriesAreListed) {
  EXPECT_EQ(One("SELECT COUNT(*) FROM KV_PPDATA1").toLongLong(), summary_.PostProcessedRows);
  EXPECT_GT(summary_.PostProcessedRows, 0);
  EXPECT_EQ(One("SELECT COUNT(*) FROM KV_PPDATA1 P WHERE NOT EXISTS (SELECT 1 FROM KV_PPLIST L WHERE L.STATION_ID = "
                "P.STATION_ID AND L.SENSORNAME = P.SENSORNAME AND L.DATA_LABEL = P.DATA_LABEL)")
                .toInt(),
            0);
  EXPECT_GE(One("SELECT COUNT(DISTINCT DATA_LABEL) FROM KV_PPLIST").toInt(), 3);
}

TEST_F(DemoDatabaseTest, ReplacesAnOldFileAndReportsAnUnwritablePlace) {
  std::string error;
  TDemoDatabaseOptions options;
  options.Days = 1;
  const std::string other = dir_->filePath("again.sqlite").toStdString();
  ASSERT_TRUE(CreateDemoDatabase(other, options, &error)) << error;
  ASSERT_TRUE(CreateDemoDatabase(other, options, &error)) << error;
  EXPECT_FALSE(CreateDemoDatabase("/nonexistent/folder/demo.sqlite", options, &error));
  EXPECT_NE(error.find("/nonexistent/folder/demo.sqlite"), std::string::npos) << error;
  EXPECT_FALSE(std::filesystem::exists("/nonexistent/folder/demo.sqlite"));
  // A folder in the way is reported, not removed.
  const std::string folder = dir_->filePath("a-folder").toStdString();
  std::filesystem::create_directory(folder);
  EXPECT_FALSE(CreateDemoDatabase(folder, options, &error));
  EXPECT_TRUE(std::filesystem::is_directory(folder));
}

}  // namespace
}  // namespace kvq
