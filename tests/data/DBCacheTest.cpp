#include <gtest/gtest.h>

#include <QSqlQuery>
#include <memory>
#include <string>
#include <vector>

#include "DbFixture.h"
#include "data/DBCache.h"
#include "data/DBConnect.h"
#include "data/DataDef.h"
#include "data/DatabaseError.h"
#include "data/SqlDateTime.h"
#include "foundation/Messages.h"

namespace kvq::test {
namespace {

using DBCacheTest = DbFixture;

// A request for one group of (station, sensor[, label]) over [start, end].
std::unique_ptr<TDataFileStationSensor> Request(DateTimeValue start, DateTimeValue end,
                                                const std::vector<std::vector<std::string>>& sensors,
                                                int boundary = 0) {
  auto r = std::make_unique<TDataFileStationSensor>();
  r->Start = DateTimeToTimeTag(start);
  r->End = DateTimeToTimeTag(end);
  r->TimeBoundary = boundary;
  auto* group = r->AddItem(std::make_unique<TDataFileStationSensorItem>());
  for (const auto& s : sensors) {
    group->Stations.push_back(s[0]);
    group->Sensors.push_back(s[1]);
    group->Labels.push_back(s.size() > 2 ? s[2] : "");
  }
  r->Count = static_cast<int>(sensors.size());
  return r;
}

std::vector<std::string> Points(const TDBViewDataCacheItem& item) {
  std::vector<std::string> out;
  for (int i = 0; i < item.Count(); ++i)
    out.push_back(DateTimeText(item.Times[static_cast<std::size_t>(i)]).substr(11, 8) + "=" +
                  std::to_string(item.Values[static_cast<std::size_t>(i)]).substr(0, 4));
  return out;
}

TEST_P(DBCacheTest, TimeBoundaryCodesChooseTheEnds) {
  for (int m : {0, 15, 30, 45}) AddData("ST1", "STAGE", At(2024, 3, 1, 10, m), 1.0 + m / 100.0);
  AddData("ST1", "STAGE", At(2024, 3, 1, 9, 45), 0.5);   // before the range
  AddData("ST1", "STAGE", At(2024, 3, 1, 11, 15), 9.0);  // after it
  AddData("ST2", "STAGE", At(2024, 3, 1, 10, 15), 7.0);  // another station
  struct Case {
    int boundary;
    std::vector<std::string> points;
  };
  const Case cases[] = {
      {0, {"10:00:00=1.00", "10:15:00=1.15", "10:30:00=1.30", "10:45:00=1.45"}},
      {1, {"10:00:00=1.00", "10:15:00=1.15", "10:30:00=1.30"}},
      {2, {"10:15:00=1.15", "10:30:00=1.30", "10:45:00=1.45"}},
      {7, {"10:00:00=1.00", "10:15:00=1.15", "10:30:00=1.30", "10:45:00=1.45"}},  // unknown: as 0
  };
  for (const Case& c : cases) {
    auto r = Request(At(2024, 3, 1, 10, 0), At(2024, 3, 1, 10, 45), {{"ST1", "STAGE"}}, c.boundary);
    ViewDataCache().LoadSensorData(*r);
    ASSERT_EQ(ViewDataCache().Count(), 1);
    EXPECT_EQ(Points(ViewDataCache().Items(0)), c.points) << "boundary " << c.boundary;
    EXPECT_EQ(ViewDataCache().RangeStart, r->Start);
    EXPECT_EQ(ViewDataCache().RangeEnd, r->End);
  }
}

TEST_P(DBCacheTest, NullValuesAreLeftOutAndReferencesRead) {
  AddData("ST1", "STAGE", At(2024, 3, 1, 10, 0), 1.0);
  AddData("ST1", "STAGE", At(2024, 3, 1, 10, 15), std::nullopt, 55.0);
  AddData("ST1", "STAGE", At(2024, 3, 1, 10, 30), 1.3);
  AddData("ST1", "FLOW", At(2024, 3, 1, 10, 0), 12.5);
  AddData("ST2", "RAIN", At(2024, 3, 1, 10, 0), 0.2);
  AddSensor("ST1", "STAGE", 2.5, std::nullopt);
  AddSensor("ST2", "RAIN", std::nullopt, std::nullopt);
  // FLOW has no KV_SITESENSORS row.
  auto r = Request(At(2024, 3, 1, 0, 0), At(2024, 3, 2, 0, 0), {{"ST1", "STAGE"}, {"ST1", "FLOW"}, {"ST2", "RAIN"}});
  ViewDataCache().LoadSensorData(*r);
  ASSERT_EQ(ViewDataCache().Count(), 3);
  const TDBViewDataCacheItem& stage = ViewDataCache().Items(0);
  EXPECT_EQ(Points(stage), (std::vector<std::string>{"10:00:00=1.00", "10:30:00=1.30"}));
  EXPECT_EQ(stage.Reference1, 2.5);
  EXPECT_EQ(stage.Reference2, 0.0);
  EXPECT_EQ(stage.Column, -1);
  EXPECT_EQ(stage.Decimals, 3);
  const TDBViewDataCacheItem& flow = ViewDataCache().Items(1);
  EXPECT_EQ(flow.Sensor, "FLOW");
  EXPECT_EQ(flow.Reference1, 0.0);
  EXPECT_EQ(ViewDataCache().Items(2).Reference1, 0.0);
  // A second load starts from an empty cache.
  auto r2 = Request(At(2024, 3, 1, 0, 0), At(2024, 3, 2, 0, 0), {{"ST2", "RAIN"}});
  ViewDataCache().LoadSensorData(*r2);
  ASSERT_EQ(ViewDataCache().Count(), 1);
  EXPECT_EQ(ViewDataCache().Items(0).Sensor, "RAIN");
}

TEST_P(DBCacheTest, SettingAValueInsertsOrUpdates) {
  TRecordingSink sink;
  AddData("ST1", "STAGE", At(2024, 3, 1, 10, 0), 1.0, 1.0);
  AddData("ST1", "STAGE", At(2024, 3, 1, 10, 30), 1.3, 1.25);
  auto r = Request(At(2024, 3, 1, 0, 0), At(2024, 3, 2, 0, 0), {{"ST1", "STAGE"}});
  TDBViewDataCache& cache = ViewDataCache();
  cache.LoadSensorData(*r);

  // No row at 10:15: a new row and a new point in its place.
  ASSERT_TRUE(cache.SetSensorValue("ST1", "STAGE", false, 1.15, At(2024, 3, 1, 10, 15)));
  // A row at 10:30: only ED_VALUE changes.
  ASSERT_TRUE(cache.SetSensorValue("ST1", "STAGE", false, 2.5, At(2024, 3, 1, 10, 30)));
  EXPECT_EQ(Rows("SELECT TIME_TAG, SOURCE, ORIG_VALUE, ED_VALUE FROM KV_DATA1 ORDER BY TIME_TAG"),
            (std::vector<std::string>{"2024-03-01 10:00:00.000|T|1|1", "2024-03-01 10:15:00.000| |1.15|1.15",
                                      "2024-03-01 10:30:00.000|T|1.25|2.5"}));
  EXPECT_EQ(Points(cache.Items(0)), (std::vector<std::string>{"10:00:00=1.00", "10:15:00=1.15", "10:30:00=2.50"}));
  EXPECT_EQ(cache.Count(), 1);
  // The new row takes the table's defaults for the flags.
  EXPECT_EQ(Rows("SELECT FLAG1, HIGH_FLAG FROM KV_DATA1 WHERE ORIG_VALUE = 1.15"), (std::vector<std::string>{"NULL|0"}));
  EXPECT_TRUE(sink.entries.empty());
}

TEST_P(DBCacheTest, DeletingRemovesRowsWithinATenthOfASecond) {
  const DateTimeValue t = At(2024, 3, 1, 12, 0);
  const double ms = 1.0 / 86400000.0;
  AddData("ST1", "STAGE", t - 150 * ms, 1.0);  // outside
  AddData("ST1", "STAGE", t - 50 * ms, 2.0);   // inside
  AddData("ST1", "STAGE", t, 3.0);
  AddData("ST1", "STAGE", t + 100 * ms, 4.0);  // on the edge: inside
  AddData("ST1", "STAGE", t + 200 * ms, 5.0);  // outside
  AddData("ST1", "FLOW", t, 6.0);              // another sensor
  auto r = Request(At(2024, 3, 1, 0, 0), At(2024, 3, 2, 0, 0), {{"ST1", "STAGE"}});
  ViewDataCache().LoadSensorData(*r);
  ASSERT_EQ(ViewDataCache().Items(0).Count(), 5);
  TRecordingSink sink;
  ASSERT_TRUE(ViewDataCache().DeleteSensorValue("ST1", "STAGE", false, t));
  EXPECT_EQ(Rows("SELECT SENSORNAME, ED_VALUE FROM KV_DATA1 ORDER BY SENSORNAME, TIME_TAG"),
            (std::vector<std::string>{"FLOW|6", "STAGE|1", "STAGE|5"}));
  // The cache drops the point at exactly t.
  const TDBViewDataCacheItem& item = ViewDataCache().Items(0);
  ASSERT_EQ(item.Count(), 4);
  int index = 0;
  EXPECT_FALSE(item.FindTime(t, index));
  EXPECT_TRUE(sink.entries.empty());
}

TEST_P(DBCacheTest, PostProcessedValuesByLabel) {
  const DateTimeValue day = At(2024, 3, 1, 0, 0);
  AddPostProcessed("ST1", "STAGE", "DAILY_MEAN", day, 1.1);
  AddPostProcessed("ST1", "STAGE", "DAILY_MEAN", day + 1, std::nullopt);
  AddPostProcessed("ST1", "STAGE", "DAILY_MEAN", day + 2, 1.3);
  AddPostProcessed("ST1", "STAGE", "DAILY_MAX", day, 2.0);
  TDBViewDataCache& cache = ViewDataCache();
  auto r = Request(day, day + 3, {{"ST1", "STAGE", "DAILY_MEAN"}, {"ST1", "STAGE", "DAILY_MAX"}});
  cache.LoadPostProcessedData(*r);
  ASSERT_EQ(cache.Count(), 2);
  EXPECT_EQ(cache.Items(0).Label, "DAILY_MEAN");
  EXPECT_EQ(cache.Items(0).Count(), 2);
  EXPECT_EQ(cache.Items(1).Count(), 1);
  EXPECT_EQ(&cache.ItemFor("st1", "STAGE", "daily_max"), &cache.Items(1));

  TRecordingSink sink;
  // Never inserted by an edit.
  EXPECT_FALSE(cache.SetPostProcessedValue("ST1", "STAGE", false, 9.0, day + 5, "DAILY_MEAN"));
  EXPECT_EQ(Rows("SELECT COUNT(*) FROM KV_PPDATA1"), std::vector<std::string>{"4"});
  ASSERT_TRUE(cache.SetPostProcessedValue("ST1", "STAGE", false, 9.0, day + 2, "DAILY_MEAN"));
  // The row whose value was null gets one and shows up in the cache.
  ASSERT_TRUE(cache.SetPostProcessedValue("ST1", "STAGE", false, 7.0, day + 1, "DAILY_MEAN"));
  EXPECT_EQ(Rows("SELECT PP_VALUE FROM KV_PPDATA1 WHERE DATA_LABEL = 'DAILY_MEAN' ORDER BY TIME_TAG"),
            (std::vector<std::string>{"1.1", "7", "9"}));
  EXPECT_EQ(cache.Items(0).Values, (std::vector<double>{1.1, 7.0, 9.0}));

  ASSERT_TRUE(cache.DeletePostProcessedValue("ST1", "STAGE", false, day, "DAILY_MEAN"));
  EXPECT_EQ(Rows("SELECT DATA_LABEL FROM KV_PPDATA1 ORDER BY DATA_LABEL, TIME_TAG"),
            (std::vector<std::string>{"DAILY_MAX", "DAILY_MEAN", "DAILY_MEAN"}));
  EXPECT_EQ(cache.Items(0).Count(), 2);
  EXPECT_TRUE(sink.entries.empty());
}

TEST_P(DBCacheTest, MissingTableFailsTheLoadAndKeepsWhatWasFilled) {
  AddData("ST1", "STAGE", At(2024, 3, 1, 10, 0), 1.0);
  AddData("ST1", "STAGE", At(2024, 3, 1, 10, 15), 1.1);
  Exec("DROP TABLE KV_SITESENSORS");
  auto r = Request(At(2024, 3, 1, 0, 0), At(2024, 3, 2, 0, 0), {{"ST1", "STAGE"}, {"ST1", "FLOW"}});
  EXPECT_THROW(ViewDataCache().LoadSensorData(*r), EDatabaseError);
  ASSERT_GE(ViewDataCache().Count(), 1);
  EXPECT_EQ(ViewDataCache().Items(0).Count(), 2);

  // Without KV_DATA1 every write fails; only the delete speaks.
  Exec("DROP TABLE KV_DATA1");
  TRecordingSink sink;
  TDBViewDataCache& cache = ViewDataCache();
  EXPECT_FALSE(cache.SetSensorValue("ST1", "STAGE", false, 5.0, At(2024, 3, 1, 10, 30)));
  EXPECT_TRUE(sink.entries.empty());
  EXPECT_FALSE(cache.DeleteSensorValue("ST1", "STAGE", false, At(2024, 3, 1, 10, 0)));
  ASSERT_EQ(sink.Texts(MessageKind::Error).size(), 1u);
  // The database's own message, naming the table (PostgreSQL folds it to lower case).
  const std::string message = sink.Texts(MessageKind::Error)[0];
  EXPECT_TRUE(message.find("KV_DATA1") != std::string::npos || message.find("kv_data1") != std::string::npos)
      << message;
  EXPECT_EQ(cache.Items(0).Count(), 2);  // the cache is unchanged
  Exec("DROP TABLE KV_PPDATA1");
  EXPECT_FALSE(cache.SetPostProcessedValue("ST1", "STAGE", false, 1.0, At(2024, 3, 1, 0, 0), "L"));
  EXPECT_FALSE(cache.DeletePostProcessedValue("ST1", "STAGE", false, At(2024, 3, 1, 0, 0), "L"));
  EXPECT_EQ(sink.Texts(MessageKind::Error).size(), 1u);
}

TEST_P(DBCacheTest, QueryFailingHalfWayKeepsThePointsReadSoFar) {
  for (int m : {0, 15, 30}) AddData("ST1", "FLOW", At(2024, 3, 1, 10, m), 5.0);
  for (int m : {0, 15}) AddData("ST1", "STAGE", At(2024, 3, 1, 10, m), 1.0);
  if (IsPostgres()) {
    // The third STAGE row breaks while the rows stream: an expensive function
    // of the select list is evaluated after the sort, row by row.
    AddData("ST1", "STAGE", At(2024, 3, 1, 10, 30), 1.0);
    Exec("ALTER TABLE KV_DATA1 RENAME TO KV_DATA1_BASE");
    Exec("CREATE FUNCTION KVQ_CHECKED(V DOUBLE PRECISION, T TIMESTAMP) RETURNS DOUBLE PRECISION STABLE "
         "COST 10000 LANGUAGE plpgsql AS $$ BEGIN IF T = '2024-03-01 10:30:00' AND V = 1.0 THEN "
         "RAISE EXCEPTION 'sensor record damaged'; END IF; RETURN V; END $$");
    Exec("CREATE VIEW KV_DATA1 AS SELECT STATION_ID, SENSORNAME, TIME_TAG, KVQ_CHECKED(ED_VALUE, TIME_TAG) AS "
         "ED_VALUE FROM KV_DATA1_BASE");
  } else {
    // A time that cannot be read, sorted after the good rows.
    Exec("INSERT INTO KV_DATA1 (STATION_ID, SENSORNAME, TIME_TAG, ED_VALUE) VALUES ('ST1', 'STAGE', "
         "'2024-03-01 10:30:xx', 1.0)");
  }
  auto r = Request(At(2024, 3, 1, 0, 0), At(2024, 3, 2, 0, 0), {{"ST1", "FLOW"}, {"ST1", "STAGE"}, {"ST1", "RAIN"}});
  try {
    ViewDataCache().LoadSensorData(*r);
    ADD_FAILURE() << "the broken row went unnoticed";
  } catch (const EDatabaseError& e) {
    const std::string what = e.what();
    EXPECT_NE(what.find(IsPostgres() ? "sensor record damaged" : "Unreadable TIME_TAG"), std::string::npos) << what;
  }
  ASSERT_EQ(ViewDataCache().Count(), 2);  // RAIN was never reached
  EXPECT_EQ(ViewDataCache().Items(0).Count(), 3);
  // PostgreSQL runs a prepared statement to its end before it sends a row,
  // so there the failing query delivers nothing; SQLite streams.
  EXPECT_EQ(ViewDataCache().Items(1).Count(), IsPostgres() ? 0 : 2);
  // The connection is still good for the next load.
  auto again = Request(At(2024, 3, 1, 0, 0), At(2024, 3, 2, 0, 0), {{"ST1", "FLOW"}});
  ViewDataCache().LoadSensorData(*again);
  EXPECT_EQ(ViewDataCache().Items(0).Count(), 3);
}

TEST_P(DBCacheTest, WritesWithoutAConnectionFail) {
  DBConnection().Disconnect();
  TRecordingSink sink;
  TDBViewDataCache& cache = ViewDataCache();
  EXPECT_FALSE(cache.SetSensorValue("ST1", "STAGE", false, 1.0, At(2024, 3, 1, 0, 0)));
  EXPECT_FALSE(cache.SetPostProcessedValue("ST1", "STAGE", false, 1.0, At(2024, 3, 1, 0, 0), "L"));
  EXPECT_FALSE(cache.DeletePostProcessedValue("ST1", "STAGE", false, At(2024, 3, 1, 0, 0), "L"));
  EXPECT_TRUE(sink.entries.empty());
  EXPECT_FALSE(cache.DeleteSensorValue("ST1", "STAGE", false, At(2024, 3, 1, 0, 0)));
  EXPECT_EQ(sink.Texts(MessageKind::Error).size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Backends, DBCacheTest, ::testing::Values("SQLite", "PostgreSQL"), BackendName);

// ---- the cache's own bookkeeping --------------------------------------------------

TEST(DBCacheItems, ItemForIgnoresCaseAndFindsTheNewestFirst) {
  TDBViewDataCache cache;
  TDBViewDataCacheItem& a = cache.ItemFor("ABC", "X");
  EXPECT_EQ(&cache.ItemFor("abc", "x"), &a);
  TDBViewDataCacheItem& labelled = cache.ItemFor("ABC", "X", "MEAN");
  EXPECT_NE(&labelled, &a);
  EXPECT_EQ(&cache.ItemFor("abc", "x", "mean"), &labelled);
  // Searching from the newest back: the labelled entry also matches (station, sensor).
  EXPECT_EQ(&cache.ItemFor("ABC", "X"), &labelled);
  EXPECT_EQ(cache.Count(), 2);
  cache.RangeStart = 5;
  cache.Clear();
  EXPECT_EQ(cache.Count(), 0);
  EXPECT_EQ(cache.RangeStart, 0);
}

TEST(DBCacheItems, BinarySearchFindsOrPlaces) {
  TDBViewDataCacheItem item("S", "X");
  for (double t : {1.0, 3.0, 5.0, 7.0}) item.Append(t, t * 10);
  struct Case {
    double time;
    bool found;
    int index;
  };
  const Case cases[] = {{1, true, 0}, {7, true, 3}, {5, true, 2}, {0, false, 0}, {4, false, 2}, {8, false, 4}};
  for (const Case& c : cases) {
    int index = -1;
    EXPECT_EQ(item.FindTime(c.time, index), c.found) << c.time;
    EXPECT_EQ(index, c.index) << c.time;
  }
  TDBViewDataCacheItem empty("S", "X");
  int index = -1;
  EXPECT_FALSE(empty.FindTime(2.0, index));
  EXPECT_EQ(index, 0);
  item.Put(4.0, 40);
  item.Put(7.0, 71);
  EXPECT_EQ(item.Times, (std::vector<double>{1, 3, 4, 5, 7}));
  EXPECT_EQ(item.Values, (std::vector<double>{10, 30, 40, 50, 71}));
  EXPECT_TRUE(item.Remove(1.0));
  EXPECT_FALSE(item.Remove(2.0));
  EXPECT_EQ(item.Count(), 4);
}

TEST(DBCacheItems, AppendingKeepsWithin24BytesPerPoint) {
  TDBViewDataCacheItem item("S", "X");
  for (int n = 1; n <= 200000; ++n) {
    item.Append(n, n);
    if (n % 997 == 0 || n == 200000) {
      const double bytes = static_cast<double>(item.Times.capacity() + item.Values.capacity()) * sizeof(double);
      ASSERT_LE(bytes / n, 24.0 + 3200.0 / n) << n;  // 200 points of room at the start
    }
  }
  item.Compact();
  EXPECT_EQ(item.Times.capacity(), item.Times.size());
}

}  // namespace
}  // namespace kvq::test
