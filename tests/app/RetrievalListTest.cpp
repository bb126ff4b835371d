#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateEdit>
#include <QTimeEdit>
#include <QTreeWidget>

#include "app/QtTime.h"
#include "app/RequestBuilder.h"
#include "app/RetrievalList.h"
#include "app/TimeRange.h"
#include "foundation/Messages.h"

using namespace kvq;

namespace {

TStationSensorItem Item(const std::string& station, const std::string& sensor, const std::string& file = "",
                        const std::string& path = "", const std::string& end = "") {
  TStationSensorItem e;
  e.StationID = station;
  e.SensorName = sensor;
  e.DataFile = file;
  e.FilePath = path;
  e.EndTime = end;
  e.Basin = "kept out of copies";
  return e;
}

std::vector<std::string> Column(const QTreeWidget& w, int c) {
  std::vector<std::string> v;
  for (int r = 0; r < w.topLevelItemCount(); ++r) v.push_back(w.topLevelItem(r)->text(c).toStdString());
  return v;
}

TEST(RetrievalList, DuplicatesCopiesAndColumns) {
  QTreeWidget w;
  TRetrievalList list(&w);
  list.SetMode(1, false);
  EXPECT_EQ(w.columnCount(), 5);
  EXPECT_EQ(w.headerItem()->text(4), "DataFile");
  EXPECT_TRUE(list.Add(Item("RIVER1", "STAGE", "A.DAT", "/d/A.DAT", "03/08/2009 00:00:00")));
  EXPECT_FALSE(list.Add(Item("RIVER1", "STAGE", "A.DAT", "/d/A.DAT")));
  EXPECT_TRUE(list.Add(Item("RIVER1", "STAGE", "B.DAT", "/d/B.DAT")));  // another data file
  EXPECT_TRUE(list.Add(Item("RIVER1", "stage", "A.DAT", "/d/A.DAT")));  // case counts
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(Column(w, 3)[0], "03/08/2009 00:00:00");
  EXPECT_EQ(list.Entry(0).Basin, "");  // the copy leaves location fields out

  list.SetMode(4, false);
  EXPECT_EQ(w.columnCount(), 3);
  EXPECT_EQ(w.headerItem()->text(2), "LastUpdate");
  EXPECT_TRUE(list.ShowsLastUpdate());
  EXPECT_EQ(Column(w, 2)[0], "Never");
  list.SetMode(5, true);
  EXPECT_EQ(w.headerItem()->text(2), "SensorLabel");
  EXPECT_FALSE(list.ShowsLastUpdate());
  EXPECT_EQ(LastUpdateText(-1.0).toStdString(), "Never");
  EXPECT_EQ(LastUpdateText(0.0).toStdString(), "Never");
}

TEST(RetrievalList, SortingFlipsDirectionAndColumnThreeIsNumeric) {
  QTreeWidget w;
  TRetrievalList list(&w);
  list.SetMode(1, false);
  list.Add(Item("B", "X", "F2", "/p2", "03/08/2009 00:00:00"));
  list.Add(Item("C", "Y", "F1", "/p1", "01/01/2009 00:00:00"));
  list.Add(Item("A", "Z", "F3", "/p3", "12/31/2009 00:00:00"));
  list.SortByColumn(0);
  EXPECT_EQ(Column(w, 0), (std::vector<std::string>{"A", "B", "C"}));
  list.SortByColumn(0);
  EXPECT_EQ(Column(w, 0), (std::vector<std::string>{"C", "B", "A"}));
  // end times are not numbers: all rows compare equal and keep their order
  list.SortByColumn(3);
  EXPECT_EQ(Column(w, 0), (std::vector<std::string>{"C", "B", "A"}));
  list.SortByColumn(4);
  EXPECT_EQ(Column(w, 4), (std::vector<std::string>{"F1", "F2", "F3"}));
}

TEST(RetrievalList, KeysRestoreAndRebuild) {
  TStationSensorCache entries;
  for (auto [s, n, f] : {std::tuple{"S1", "STAGE", ""}, {"S2", "RAIN", ""}, {"S3", "FLOW", ""}}) {
    auto e = std::make_unique<TStationSensorItem>(Item(s, n, f));
    entries.Add(std::move(e));
  }
  QTreeWidget w;
  TRetrievalList list(&w);
  list.SetMode(4, false);
  list.AddKeys({" s1 ,stage,", "S9,X,", "S2,RAIN,", "S3,FLOW,extra"}, entries);
  EXPECT_EQ(Column(w, 0), (std::vector<std::string>{"S1", "S2"}));
  EXPECT_EQ(list.Keys(), (std::vector<std::string>{"S1,STAGE,", "S2,RAIN,"}));
  entries.Delete(1);  // S2.RAIN is gone from the source
  list.Rebuild(entries);
  EXPECT_EQ(Column(w, 0), (std::vector<std::string>{"S1"}));
}

class TimeRangeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetClockSource([] { return EncodeTimeTag(2009, 3, 7, 14, 35, 20); });
    range_ = std::make_unique<TTimeRange>(&since_, &startDate_, &startTime_, &until_, &endDate_, &endTime_);
  }
  void TearDown() override { SetClockSource(nullptr); }
  QComboBox since_, until_;
  QDateEdit startDate_, endDate_;
  QTimeEdit startTime_, endTime_;
  std::unique_ptr<TTimeRange> range_;
};

TEST_F(TimeRangeTest, RelativeItemsAndValidation) {
  EXPECT_EQ(TTimeRange::Items().size(), 21);
  EXPECT_EQ(TTimeRange::Items()[TTimeRange::kToday], "Today");
  EXPECT_EQ(TTimeRange::Items()[TTimeRange::kNow], "Now");
  range_->SetItem(true, TTimeRange::kToday);
  range_->SetItem(false, TTimeRange::kNow);
  EXPECT_EQ(DateTimeToTimeTag(range_->Value(true)), EncodeTimeTag(2009, 3, 7, 0, 0, 0));
  EXPECT_EQ(DateTimeToTimeTag(range_->Value(false)), EncodeTimeTag(2009, 3, 7, 14, 35, 20));
  EXPECT_FALSE(startDate_.isEnabled());
  range_->SetItem(true, 15);  // "This Hour": the start of the current hour
  EXPECT_EQ(DateTimeToTimeTag(range_->Value(true)), EncodeTimeTag(2009, 3, 7, 14, 0, 0));
  // as entered: the date stays, the time goes to midnight, the pickers open
  range_->SetItem(true, TTimeRange::kAsEntered);
  EXPECT_TRUE(startDate_.isEnabled());
  EXPECT_TRUE(startTime_.isEnabled());
  EXPECT_EQ(DateTimeToTimeTag(range_->Value(true)), EncodeTimeTag(2009, 3, 7, 0, 0, 0));
  DateTimeValue s, e;
  EXPECT_TRUE(range_->Evaluate(s, e));
  // Now to Now is the same second
  TRecordingSink sink;
  range_->SetItem(true, TTimeRange::kNow);
  EXPECT_FALSE(range_->Evaluate(s, e));
  EXPECT_EQ(sink.Texts(MessageKind::Error),
            std::vector<std::string>{"Error 1410: The starting time must be earlier than the ending time."});
}

TEST(RequestBuilder, DataFileItemsInFirstSeenOrder) {
  QTreeWidget w;
  TRetrievalList list(&w);
  list.SetMode(1, false);
  list.Add(Item("R", "STAGE", "B.DAT", "/nowhere/B.DAT"));
  list.Add(Item("R", "STAGE", "A.DAT", "/nowhere/A.DAT"));
  list.Add(Item("R", "RAIN", "B.DAT", "/nowhere/B.DAT"));
  TRecordingSink sink;  // the missing files report when opened once
  auto graph = BuildDataFileRequest(list, 100, 200, false);
  ASSERT_EQ(graph->ItemCount(), 2);
  EXPECT_EQ(graph->Items(0)->DataFilePath, "/nowhere/B.DAT");
  EXPECT_EQ(graph->Items(0)->Sensors, (std::vector<std::string>{"STAGE", "RAIN"}));
  EXPECT_EQ(graph->Count, 3);
  EXPECT_TRUE(graph->Items(0)->Entries.empty());
  EXPECT_EQ(graph->SourceType, 1);
  auto listRequest = BuildDataFileRequest(list, 100, 200, true);
  EXPECT_EQ(listRequest->Count, 0);
  ASSERT_EQ(listRequest->Items(0)->Entries.size(), 2u);
  EXPECT_EQ(listRequest->Items(0)->Entries[1]->HighLimit, 100.0);
  EXPECT_FALSE(listRequest->UseGMT);
  EXPECT_TRUE(listRequest->DefaultTimeFormat);
}

TEST(RequestBuilder, DatabaseRequestCarriesSourceAndOptions) {
  QTreeWidget w;
  TRetrievalList list(&w);
  list.SetMode(4, true);
  TStationSensorItem a = Item("S1", "STAGE");
  a.SensorLabel = "DAILY";
  list.Add(a);
  list.Add(Item("S2", "RAIN"));
  TDataSourceInfo source;
  source.Type = 5;
  source.DSN = "DEMO";
  source.User = "u";
  source.Password = "p";
  source.PostProcessed = true;
  auto r = BuildDatabaseRequest(list, 10, 20, source, {true, 2, false});
  ASSERT_EQ(r->ItemCount(), 1);
  EXPECT_EQ(r->Count, 2);
  EXPECT_EQ(r->Items(0)->Labels, (std::vector<std::string>{"DAILY", ""}));
  EXPECT_EQ(r->Items(0)->DSN, "DEMO");
  EXPECT_EQ(r->Items(0)->Entries.size(), 2u);
  EXPECT_EQ(r->SourceType, 5);
  EXPECT_TRUE(r->PostProcessed);
  EXPECT_TRUE(r->UseGMT);
  EXPECT_EQ(r->TimeBoundary, 2);
  EXPECT_FALSE(r->DefaultTimeFormat);
  EXPECT_EQ(r->Items(0)->DataFile, nullptr);
}

TEST(QtTime, RoundTripsAndLocaleTexts) {
  const DateTimeValue v = TimeTagToDateTime(EncodeTimeTag(2009, 3, 7, 14, 5, 9));
  EXPECT_EQ(ToQDateTime(v), QDateTime(QDate(2009, 3, 7), QTime(14, 5, 9)));
  EXPECT_EQ(DateTimeToTimeTag(FromQDateTime(ToQDateTime(v))), EncodeTimeTag(2009, 3, 7, 14, 5, 9));
  DateTimeValue back = 0;
  ASSERT_TRUE(ParseLocaleDateTime(LocaleDateTimeText(v), back));
  EXPECT_EQ(DateTimeToTimeTag(back), EncodeTimeTag(2009, 3, 7, 14, 5, 9));
  const DateTimeValue midnight = TimeTagToDateTime(EncodeTimeTag(2009, 3, 7, 0, 0, 0));
  EXPECT_FALSE(LocaleDateTimeText(midnight).contains(':'));
  ASSERT_TRUE(ParseLocaleDateTime(LocaleDateTimeText(midnight), back));
  EXPECT_EQ(back, midnight);
  EXPECT_FALSE(ParseLocaleDateTime("garbage", back));
}

}  // namespace
