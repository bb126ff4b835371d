#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "data/DataDef.h"

namespace kvq {
namespace {

std::unique_ptr<TStationSensorItem> Entry(const std::string& station, const std::string& sensor,
                                          const std::string& file = {}, const std::string& label = {}) {
  auto e = std::make_unique<TStationSensorItem>();
  e->StationID = station;
  e->SensorName = sensor;
  e->DataFile = file;
  e->SensorLabel = label;
  return e;
}

std::vector<std::string> Order(const TStationSensorCache& cache) {
  std::vector<std::string> out;
  for (int i = 0; i < cache.Count(); ++i) {
    const TStationSensorItem& e = *cache.Items(i);
    out.push_back(e.DataFile + "|" + e.StationID + "." + e.SensorName + (e.SensorLabel.empty() ? "" : "/" + e.SensorLabel));
  }
  return out;
}

TEST(StationSensorItem, FreshEntryHoldsSensorDefaults) {
  TStationSensorItem e;
  EXPECT_EQ(e.Digits, 2);
  EXPECT_EQ(e.File, nullptr);
  EXPECT_FALSE(e.Selected);
  EXPECT_EQ(e.LastUpdate, 0.0);
  EXPECT_TRUE(e.StationID.empty());
  EXPECT_EQ(e.Statistics.LowLimit, -32768.0);
}

TEST(StationSensorItem, AssignCopiesIdentityButNotLocation) {
  TStationSensorItem a;
  a.DataFile = "RIVER1.DAT";
  a.FilePath = "/data/RIVER1.DAT";
  a.StationID = "ST1";
  a.SensorName = "STAGE";
  a.SensorLabel = "DAILY";
  a.StartTime = "01/01/2024 00:00:00";
  a.EndTime = "01/02/2024 00:00:00";
  a.LastUpdate = 45000.5;
  a.UserValue1 = 7;
  a.UserValue2 = 9;
  a.LowLimit = -1;
  a.HighLimit = 99;
  a.RightDigit = 3;
  a.Interval = 900;
  a.Offset = 300;
  a.Basin = "Kessel";
  a.Country = "Velmora";
  a.PrimaryChannel = 12;
  a.TreeLevels[0].Label = "Kessel";
  a.Digits = 5;  // a data manager field: not part of an entry copy

  TStationSensorItem b;
  b.Assign(a);
  EXPECT_TRUE(b.SameEntry(a));
  EXPECT_EQ(b.StartTime, a.StartTime);
  EXPECT_EQ(b.EndTime, a.EndTime);
  EXPECT_EQ(b.LastUpdate, 45000.5);
  EXPECT_EQ(b.UserValue1, 7);
  EXPECT_EQ(b.UserValue2, 9);
  EXPECT_EQ(b.LowLimit, -1);
  EXPECT_EQ(b.HighLimit, 99);
  EXPECT_EQ(b.RightDigit, 3);
  EXPECT_EQ(b.Interval, 900);
  EXPECT_EQ(b.Offset, 300);
  EXPECT_TRUE(b.Basin.empty());
  EXPECT_TRUE(b.Country.empty());
  EXPECT_EQ(b.PrimaryChannel, 0);
  EXPECT_TRUE(b.TreeLevels[0].Label.empty());
  EXPECT_EQ(b.Digits, 2);
}

TEST(StationSensorItem, SameEntryCountsLetterCaseAndEveryKey) {
  auto a = Entry("ST1", "Stage", "F.DAT", "L");
  EXPECT_TRUE(a->SameEntry(*Entry("ST1", "Stage", "F.DAT", "L")));
  EXPECT_FALSE(a->SameEntry(*Entry("ST1", "STAGE", "F.DAT", "L")));
  EXPECT_FALSE(a->SameEntry(*Entry("ST1", "Stage", "G.DAT", "L")));
  EXPECT_FALSE(a->SameEntry(*Entry("ST1", "Stage", "F.DAT", "M")));
  auto b = Entry("ST1", "Stage", "F.DAT", "L");
  b->FilePath = "/other/F.DAT";
  EXPECT_FALSE(a->SameEntry(*b));
}

TEST(StationSensorCache, SortModesOrderByTheirKeys) {
  struct Case {
    int mode;
    std::vector<std::string> expected;
  };
  const std::vector<Case> cases = {
      {0, {"A.DAT|s2.x", "a.dat|S2.Y", "B.DAT|S1.X"}},
      {1, {"B.DAT|S1.X", "A.DAT|s2.x", "a.dat|S2.Y"}},
      {2, {"B.DAT|S1.X", "A.DAT|s2.x", "a.dat|S2.Y"}},
      {3, {"B.DAT|S1.X", "A.DAT|s2.x", "a.dat|S2.Y"}},
      {4, {"B.DAT|S1.X", "A.DAT|s2.x", "a.dat|S2.Y"}},
  };
  for (const Case& c : cases) {
    TStationSensorCache cache;
    cache.Add(Entry("S1", "X", "B.DAT"));
    cache.Add(Entry("S2", "Y", "a.dat"));
    cache.Add(Entry("s2", "x", "A.DAT"));
    cache.SortBy(c.mode);
    EXPECT_EQ(Order(cache), c.expected) << "mode " << c.mode;
  }
}

TEST(StationSensorCache, LocationModesSortByAttributeThenStationAndSensor) {
  // Modes 5..11 read Basin, Agency, District, City, County, State, Country.
  for (int mode = 5; mode <= 11; ++mode) {
    TStationSensorCache cache;
    const char* values[] = {"beta", "Alpha", "alpha"};
    const char* stations[] = {"S0", "S9", "S1"};
    for (int i = 0; i < 3; ++i) {
      auto e = Entry(stations[i], "X");
      std::string* field[] = {&e->Basin, &e->Agency, &e->District, &e->City, &e->County, &e->State, &e->Country};
      *field[mode - 5] = values[i];
      cache.Add(std::move(e));
    }
    cache.SortBy(mode);
    EXPECT_EQ(Order(cache), (std::vector<std::string>{"|S1.X", "|S9.X", "|S0.X"})) << "mode " << mode;
  }
}

TEST(StationSensorCache, ChannelsCompareAsNumbers) {
  for (int mode : {12, 13}) {
    TStationSensorCache cache;
    for (int ch : {10, 9, 100}) {
      auto e = Entry("S" + std::to_string(ch), "X");
      (mode == 12 ? e->PrimaryChannel : e->RandomChannel) = ch;
      cache.Add(std::move(e));
    }
    cache.SortBy(mode);
    EXPECT_EQ(Order(cache), (std::vector<std::string>{"|S9.X", "|S10.X", "|S100.X"})) << "mode " << mode;
  }
}

TEST(StationSensorCache, PostProcessedModesUseTheLabel) {
  struct Case {
    int mode;
    std::vector<std::string> expected;
  };
  const std::vector<Case> cases = {
      {20, {"|A.Q/max", "|A.Q/MEAN", "|B.P/avg"}},
      {21, {"|B.P/avg", "|A.Q/max", "|A.Q/MEAN"}},
      {22, {"|B.P/avg", "|A.Q/max", "|A.Q/MEAN"}},
  };
  for (const Case& c : cases) {
    TStationSensorCache cache;
    cache.Add(Entry("A", "Q", "", "MEAN"));
    cache.Add(Entry("B", "P", "", "avg"));
    cache.Add(Entry("A", "Q", "", "max"));
    cache.SortBy(c.mode);
    EXPECT_EQ(Order(cache), c.expected) << "mode " << c.mode;
  }
}

TEST(StationSensorCache, CaseVariantsAreDistinctEntriesButSortTogether) {
  TStationSensorCache cache;
  cache.Add(Entry("S1", "Stage"));
  cache.Add(Entry("S2", "A"));
  cache.Add(Entry("S1", "STAGE"));
  cache.SortBy(3);
  EXPECT_EQ(cache.Items(0)->StationID, "S1");
  EXPECT_EQ(cache.Items(1)->StationID, "S1");
  EXPECT_FALSE(cache.Items(0)->SameEntry(*cache.Items(1)));
  EXPECT_EQ(CompareStationSensorItems(*cache.Items(0), *cache.Items(1), 3), 0);
}

TEST(StationSensorCache, UnknownModeComparesEqualAndDeleteChecksItsIndex) {
  auto a = Entry("A", "X");
  auto b = Entry("B", "Y");
  EXPECT_EQ(CompareStationSensorItems(*a, *b, 99), 0);
  TStationSensorCache cache;
  cache.Add(std::move(a));
  cache.Add(std::move(b));
  cache.SortBy(99);  // order undefined, but nothing is lost
  EXPECT_EQ(cache.Count(), 2);
  cache.Delete(5);
  cache.Delete(-1);
  EXPECT_EQ(cache.Count(), 2);
  cache.Delete(0);
  EXPECT_EQ(cache.Count(), 1);
  cache.Clear();
  EXPECT_EQ(cache.Count(), 0);
}

TEST(DataFileStationSensor, RequestOwnsItsGroupsAndEntryCopies) {
  TDataFileStationSensor request;
  EXPECT_FALSE(request.UseGMT);
  EXPECT_EQ(request.TimeBoundary, 0);
  EXPECT_TRUE(request.DefaultTimeFormat);
  // Without a path there is no store data file.
  auto* db = request.AddItem(std::make_unique<TDataFileStationSensorItem>());
  EXPECT_EQ(db->DataFile, nullptr);
  db->Stations = {"A", "B"};
  db->Sensors = {"X", "Y"};
  db->Entries.push_back(Entry("A", "X"));
  request.AddItem(std::make_unique<TDataFileStationSensorItem>());
  EXPECT_EQ(request.ItemCount(), 2);
  request.DeleteItem(7);
  EXPECT_EQ(request.ItemCount(), 2);
  request.DeleteItem(1);
  EXPECT_EQ(request.ItemCount(), 1);
  EXPECT_EQ(request.Items(0)->Stations.size(), 2u);
  request.Clear();
  EXPECT_EQ(request.ItemCount(), 0);
}

}  // namespace
}  // namespace kvq
