// Run by the ctest entries that set TZ (see tests/CMakeLists.txt); skipped in
// any other zone, since the expectations belong to the zone.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QTimeZone>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "DbFixture.h"
#include "data/DBCache.h"
#include "data/DataDef.h"
#include "data/SqlDateTime.h"

namespace kvq::test {
namespace {

struct Zone {
  const char* tz;
  double gmtOffset;  // days
  bool daylightSaving;  // in summer 2024
};

const Zone kZones[] = {
    {"America/Regina", 0.25, false},  // UTC-6 all year
    {"America/Chicago", 0.25, true},  // UTC-6, UTC-5 in summer
};

const Zone* CurrentZone() {
  const char* tz = std::getenv("TZ");
  if (!tz) return nullptr;
  for (const Zone& z : kZones)
    if (std::strcmp(tz, z.tz) == 0) return &z;
  return nullptr;
}

TEST(TimeZone, GmtOffsetIsTheStandardBiasInDays) {
  const Zone* zone = CurrentZone();
  if (!zone) GTEST_SKIP() << "TZ is not one of the zones this test knows";
  const QDateTime summer(QDate(2024, 7, 1), QTime(12, 0), Qt::UTC);
  EXPECT_EQ(QTimeZone::systemTimeZone().isDaylightTime(summer), zone->daylightSaving);
  // Daylight saving is left out, summer or winter.
  EXPECT_DOUBLE_EQ(TDBViewDataCache::GmtOffset(), zone->gmtOffset);
}

class TimeZoneDbTest : public DbFixture {
 protected:
  void SetUp() override {
    if (!CurrentZone()) GTEST_SKIP() << "TZ is not one of the zones this test knows";
    DbFixture::SetUp();
  }
};

std::unique_ptr<TDataFileStationSensor> Request(DateTimeValue start, DateTimeValue end, bool useGMT) {
  auto r = std::make_unique<TDataFileStationSensor>();
  r->Start = DateTimeToTimeTag(start);
  r->End = DateTimeToTimeTag(end);
  r->UseGMT = useGMT;
  auto* group = r->AddItem(std::make_unique<TDataFileStationSensorItem>());
  group->Stations = {"ST1"};
  group->Sensors = {"STAGE"};
  return r;
}

TEST_P(TimeZoneDbTest, UseGMTDataQueriesAndShowsShiftedTimes) {
  // A winter day and a summer day: the standard offset applies to both.
  for (int month : {1, 7}) {
    Exec("DELETE FROM KV_DATA1");
    for (int h : {3, 6, 9, 12}) AddData("ST1", "STAGE", At(2024, month, 15, h, 0), h);
    AddData("ST1", "STAGE", At(2024, month, 15, 12, 15), 99);
    const auto r = Request(At(2024, month, 15, 0, 0), At(2024, month, 15, 6, 0), true);
    ViewDataCache().LoadSensorData(*r);
    const TDBViewDataCacheItem& item = ViewDataCache().Items(0);
    ASSERT_EQ(item.Count(), 3) << "month " << month;
    // Stored at 06:00, 09:00 and 12:00 UTC: shown at 00:00, 03:00, 06:00.
    EXPECT_EQ(Text(item.Times[0]), Text(At(2024, month, 15, 0, 0)));
    EXPECT_EQ(Text(item.Times[2]), Text(At(2024, month, 15, 6, 0)));
    EXPECT_EQ(item.Values[0], 6);

    // Without the option the same range is read as stored.
    ViewDataCache().LoadSensorData(*Request(At(2024, month, 15, 0, 0), At(2024, month, 15, 6, 0), false));
    EXPECT_EQ(ViewDataCache().Items(0).Values, (std::vector<double>{3, 6}));
  }
}

TEST_P(TimeZoneDbTest, StoredTimesComeBackAsTheyAreAcrossDaylightSavingChanges) {
  // 02:30 on 10 March 2024 does not exist in US Central time, 01:30 on
  // 3 November exists twice; stored UTC values may well hold them.
  const DateTimeValue gap = At(2024, 3, 10, 2, 30);
  const DateTimeValue twice = At(2024, 11, 3, 1, 30);
  AddData("ST1", "STAGE", gap, 1.0);
  AddData("ST1", "STAGE", twice, 2.0);
  ViewDataCache().LoadSensorData(*Request(At(2024, 1, 1, 0, 0), At(2024, 12, 31, 0, 0), false));
  const TDBViewDataCacheItem& item = ViewDataCache().Items(0);
  ASSERT_EQ(item.Count(), 2);
  EXPECT_EQ(Text(item.Times[0]), "2024-03-10 02:30:00.000");
  EXPECT_EQ(Text(item.Times[1]), "2024-11-03 01:30:00.000");
  ASSERT_TRUE(ViewDataCache().SetSensorValue("ST1", "STAGE", false, 3.0, gap));
  EXPECT_EQ(Rows("SELECT ED_VALUE FROM KV_DATA1 ORDER BY TIME_TAG"), (std::vector<std::string>{"3", "2"}));
}

TEST_P(TimeZoneDbTest, WritesWithUseGMTDataGoToTheUtcTime) {
  ViewDataCache().LoadSensorData(*Request(At(2024, 7, 15, 0, 0), At(2024, 7, 15, 6, 0), true));
  ASSERT_TRUE(ViewDataCache().SetSensorValue("ST1", "STAGE", true, 4.5, At(2024, 7, 15, 0, 30)));
  EXPECT_EQ(Rows("SELECT TIME_TAG, ED_VALUE FROM KV_DATA1"),
            std::vector<std::string>{"2024-07-15 06:30:00.000|4.5"});
  EXPECT_EQ(Text(ViewDataCache().Items(0).Times[0]), Text(At(2024, 7, 15, 0, 30)));
  ASSERT_TRUE(ViewDataCache().DeleteSensorValue("ST1", "STAGE", true, At(2024, 7, 15, 0, 30)));
  EXPECT_TRUE(Rows("SELECT TIME_TAG FROM KV_DATA1").empty());
  EXPECT_EQ(ViewDataCache().Items(0).Count(), 0);
}

INSTANTIATE_TEST_SUITE_P(Backends, TimeZoneDbTest, ::testing::Values("SQLite", "PostgreSQL"), BackendName);

}  // namespace
}  // namespace kvq::test
