#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cmath>

#include "DbFixture.h"
#include "data/DBConnect.h"
#include "data/DataMgr.h"
#include "foundation/Directive.h"
#include "foundation/Messages.h"
#include "store/FileSrvr.h"
#include "store/GenClient.h"
#include "store/ReplyCache.h"

using namespace kvq;

namespace {

TimeTag At(int h, int mi, int d = 7) { return EncodeTimeTag(2009, 3, d, h, mi, 0); }

// What OnValue reported.
struct Event {
  int index;
  TimeTag time;
  double value;
  bool missing;
  double count;  // interval mode: the sensor's count during the call
  bool operator==(const Event&) const = default;
};

// A 15-minute file RIVER1 (STAGE, RAIN) from 03/07/2009 00:00 to 23:45 with
// STAGE = hours + minutes/100 and RAIN = 0.5 every hour, missing otherwise.
class DataMgrTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    server_ = std::make_unique<TFileServer>(DefaultGroupSetup("1"));
    server_->Settings().DataFolder = dir_.path().toStdString();
    server_->SetMessageHandler([this](MessageKind, const std::string& t) {
      if (t.rfind("Reading - ", 0) == 0) ++rawCommands_;
    });
    TGenClient client(server_.get());
    std::string reply;
    client.Execute("CREATE,RIVER1,\"RIVER1\",03/07/2009,00:00:00,00:15:00,No,RIVER1.STAGE,2,RIVER1.RAIN,1", reply, 1);
    for (int i = 0; i < 96; ++i) {
      const TimeTag t = At(0, 0) + i * 900;
      client.Store(FormatStr("POINT,RIVER1.STAGE,%j", t), FormatStr("%1.2r", i / 4 + (i % 4) * 0.15), 1);
      if (i % 4 == 0) client.Store(FormatStr("POINT,RIVER1.RAIN,%j", t), "0.5", 1);
    }
    name_ = dir_.path().toStdString() + "/RIVER1";
  }

  // A data manager over RIVER1 asking for `sensors`, events recorded.
  std::unique_ptr<TDataMgr> Open(const std::vector<std::string>& sensors) {
    auto dm = std::make_unique<TDataMgr>();
    dm->SourceType = 0;
    dm->AddDataFile(name_);
    for (const auto& s : sensors) dm->AddRequested(s);
    EXPECT_TRUE(dm->OpenBinarySource(*server_));
    dm->PrepareRequest();
    dm->OnValue = [this](TDataMgr& m, int index, TimeTag t, double v, bool missing, bool&) {
      const TSensor* s = m.RequestedSensor(index);
      events_.push_back({index, t, v, missing, s ? s->Statistics.Count : -1});
    };
    return dm;
  }

  QTemporaryDir dir_;
  std::unique_ptr<TFileServer> server_;
  std::string name_;
  std::vector<Event> events_;
  int rawCommands_ = 0;
};

TEST_F(DataMgrTest, DescriptionsAndRange) {
  auto dm = Open({"RIVER1.RAIN", "RIVER9.X"});
  ASSERT_EQ(dm->DataFiles().size(), 1u);
  const auto& f = *dm->DataFiles()[0];
  EXPECT_EQ(f.GroupName, "RIVER1");
  EXPECT_EQ(f.FirstTime, At(0, 0));
  EXPECT_EQ(f.EndTime, At(23, 45));
  EXPECT_EQ(f.Interval, 900);
  ASSERT_EQ(f.Sensors.size(), 2u);
  EXPECT_EQ(f.Sensors[1].first, "RIVER1.RAIN");
  EXPECT_EQ(f.Sensors[1].second->Digits, 1);
  EXPECT_NE(dm->RequestedSensor(0), nullptr);
  EXPECT_EQ(dm->RequestedSensor(1), nullptr);
  EXPECT_EQ(dm->RangeStart, At(0, 0));
  EXPECT_EQ(dm->RangeEnd, At(23, 45));
  EXPECT_EQ(dm->MinInterval, 900);
}

// One record before and after the range, clipped to the file; two sensors of
// one file come in one pass, in column order per record.
TEST_F(DataMgrTest, PlainRetrievalExtendsByOneRecordEachSide) {
  auto dm = Open({"RIVER1.RAIN", "RIVER1.STAGE"});
  dm->Retrieve(At(10, 7), At(10, 52), false, 0, 0);
  std::vector<Event> expected;
  for (TimeTag t = At(9, 45); t <= At(11, 0); t += 900) {
    const int i = (t - At(0, 0)) / 900;
    expected.push_back({1, t, static_cast<double>(static_cast<float>(i / 4 + (i % 4) * 0.15)), false, 0});
    expected.push_back({0, t, i % 4 == 0 ? 0.5 : 0.0, i % 4 != 0, 0});
  }
  for (auto& e : events_)
    if (e.missing) e.value = 0;
  for (auto& e : events_) e.count = 0;
  EXPECT_EQ(events_, expected);
  events_.clear();
  dm->Retrieve(At(0, 0), At(0, 20), false, 0, 0);
  EXPECT_EQ(events_.front().time, At(0, 0));  // not before the first record
  events_.clear();
  dm->Retrieve(At(23, 40), At(23, 59), false, 0, 0);
  EXPECT_EQ(events_.back().time, At(23, 45));  // not past the last
}

TEST_F(DataMgrTest, IntervalModeClosesEveryInterval) {
  auto dm = Open({"RIVER1.STAGE"});
  dm->Retrieve(At(10, 0), At(12, 0), true, 0, 3600);
  std::vector<TimeTag> labels;
  std::vector<double> counts;
  for (const auto& e : events_) labels.push_back(e.time), counts.push_back(e.count);
  EXPECT_EQ(labels, (std::vector<TimeTag>{At(9, 45), At(10, 0), At(11, 0), At(12, 0)}));
  EXPECT_EQ(counts, (std::vector<double>{1, 4, 4, 2}));
  // sampling at a longer interval without interval mode delivers the boundary records only
  events_.clear();
  dm->Retrieve(At(10, 0), At(12, 0), false, 0, 3600);
  labels.clear();
  for (const auto& e : events_) labels.push_back(e.time);
  EXPECT_EQ(labels, (std::vector<TimeTag>{At(10, 0), At(11, 0), At(12, 0)}));
}

TEST_F(DataMgrTest, SecondRetrievalComesFromTheCache) {
  auto dm = Open({"RIVER1.STAGE"});
  dm->Retrieve(At(0, 0), At(23, 45), false, 0, 0);
  const int first = rawCommands_;
  const auto firstEvents = events_;
  EXPECT_GT(first, 0);
  events_.clear();
  dm->Retrieve(At(0, 0), At(23, 45), false, 0, 0);
  EXPECT_EQ(rawCommands_, first);
  EXPECT_EQ(events_, firstEvents);
  EXPECT_EQ(dm->ReadPoint("RIVER1.STAGE", At(10, 15)), "10.15");
  EXPECT_EQ(rawCommands_, first);
}

TEST_F(DataMgrTest, WritePointUpdatesFileAndCache) {
  auto dm = Open({"RIVER1.STAGE"});
  dm->Retrieve(At(0, 0), At(23, 45), false, 0, 0);
  EXPECT_TRUE(dm->WritePoint("RIVER1.STAGE", At(10, 15), "--"));
  EXPECT_EQ(dm->ReadPoint("RIVER1.STAGE", At(10, 15)), "");
  EXPECT_TRUE(dm->WritePoint("RIVER1.STAGE", At(10, 30), "7.25"));
  EXPECT_EQ(dm->ReadPoint("RIVER1.STAGE", At(10, 30)), "7.25");
  EXPECT_FALSE(dm->WritePoint("RIVER1.STAGE", At(10, 45), "abc"));
  EXPECT_EQ(dm->ReadPoint("RIVER1.STAGE", At(10, 45)), "10.45");
  EXPECT_FALSE(dm->WritePoint("RIVER1.RAIN", At(10, 45), "1"));  // not requested
  // the file holds the changes too
  TGenClient other(server_.get());
  std::string reply;
  other.Execute("POINT,RIVER1.STAGE,03/07/2009 10:30:00", reply, 0);
  EXPECT_EQ(reply, "7.25");
  other.Execute("POINT,RIVER1.STAGE,03/07/2009 10:15:00", reply, 0);
  EXPECT_EQ(reply, "");
}

TEST_F(DataMgrTest, TrimCacheEvictsRawRepliesAboveTheLimit) {
  auto dm = Open({"RIVER1.STAGE"});
  dm->Retrieve(At(0, 0), At(23, 45), false, 0, 0);
  ASSERT_GT(CachedRawBytes(), 0);
  dm->CacheByteLimit = CachedRawBytes();  // reached
  const int before = CachedRawItems();
  dm->TrimCache();
  EXPECT_LT(CachedRawItems(), before);
  EXPECT_LT(CachedRawBytes(), dm->CacheByteLimit * 9 / 10 + 1000);
}

TEST_F(DataMgrTest, BoundariesAndEvents) {
  TDataMgr dm;
  EXPECT_EQ(dm.NextBoundary(At(10, 7), 3600, 0), At(11, 0));
  EXPECT_EQ(dm.NextBoundary(At(10, 0), 3600, 0), At(10, 0));
  EXPECT_EQ(dm.NextBoundary(At(10, 0), 3600, 600), At(10, 10));
  EXPECT_EQ(dm.PrevBoundary(At(10, 7), 3600, 0), At(10, 0));
  EXPECT_EQ(dm.NextBoundary(100, 0, 0), 99);
  EXPECT_EQ(dm.PrevBoundary(100, 0, 0), 101);
  dm.OnNextBoundary = [](TDataMgr&, TimeTag, std::int32_t, std::int32_t, TimeTag& r) { r = 42; };
  EXPECT_EQ(dm.NextBoundary(At(10, 7), 3600, 0), 42);
}

// The database path: values preloaded once per sensor, missing steps reported.
class DataMgrDbTest : public kvq::test::DbFixture {};

TEST_P(DataMgrDbTest, PreloadAndRetrieve) {
  for (int i = 0; i < 8; ++i) {
    if (i == 3) continue;  // no row
    AddData("S1", "LEVEL", At(2009, 3, 7, 10, i * 15), i == 5 ? std::nullopt : std::optional<double>(i * 1.5));
  }
  TSensor sensor;
  sensor.Interval = 900;
  sensor.FirstTime = ::At(10, 0);
  sensor.LastTime = ::At(12, 0);
  TDataMgr dm;
  dm.SourceType = 1;
  dm.AddRequested("S1.LEVEL", &sensor);
  dm.PrepareRequest();
  EXPECT_TRUE(sensor.Loaded);
  EXPECT_EQ(sensor.FirstTime, ::At(10, 0));
  EXPECT_EQ(sensor.Values.size(), 9u);  // 10:00 .. 12:00
  std::vector<Event> events;
  dm.OnValue = [&](TDataMgr&, int index, TimeTag t, double v, bool missing, bool&) {
    events.push_back({index, t, missing ? 0 : v, missing, sensor.Statistics.Count});
  };
  dm.Retrieve(::At(10, 0), ::At(12, 0), false, 0, 0);
  ASSERT_EQ(events.size(), 9u);
  EXPECT_EQ(events[1], (Event{0, ::At(10, 15), 1.5, false, 0}));
  EXPECT_TRUE(events[3].missing);
  EXPECT_TRUE(events[5].missing);   // a null value
  EXPECT_TRUE(events[8].missing);   // past the last row
  EXPECT_EQ(events[8].time, ::At(12, 0));
  events.clear();
  dm.Retrieve(::At(10, 0), ::At(12, 0), true, 0, 3600);
  std::vector<TimeTag> labels;
  for (const auto& e : events) labels.push_back(e.time);
  // the last closing is always reported, also when it holds nothing
  EXPECT_EQ(labels, (std::vector<TimeTag>{::At(10, 0), ::At(11, 0), ::At(12, 0)}));
  EXPECT_EQ(events[0].count, 3);  // 10:00, 10:15, 10:30: 10:45 has no row
  EXPECT_EQ(events[1].count, 3);  // 11:00, 11:30, 11:45: 11:15 is null
  EXPECT_EQ(events[2].count, 0);
  EXPECT_TRUE(events[2].missing);
}

INSTANTIATE_TEST_SUITE_P(Backends, DataMgrDbTest, ::testing::Values("SQLite", "PostgreSQL"), kvq::test::BackendName);

}  // namespace
