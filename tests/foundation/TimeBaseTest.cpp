#include <gtest/gtest.h>

#include <chrono>

#include "foundation/Directive.h"
#include "foundation/TimeBase.h"

using namespace kvq;
namespace chr = std::chrono;

namespace {

TimeTag Tag(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) { return EncodeTimeTag(y, mo, d, h, mi, s); }

std::int64_t ChronoDays(int y, unsigned m, unsigned d) {
  const chr::sys_days epoch = chr::year(1984) / chr::December / chr::day(31);
  return (chr::sys_days(chr::year(y) / chr::month(m) / chr::day(d)) - epoch).count();
}

TEST(DayNumber, Encoding) {
  const struct {
    int y, m, d;
    int expected;
  } cases[] = {
      {1985, 1, 1, 1},          {1984, 12, 31, 0},         {0, 0, 0, 0},          {2009, 3, 7, 8832},
      {2008, 3, 1, 8461},       {2008, 2, 29, 8460},       {1985, 1, 32, 32},     {1985, 2, 0, 31},
      {2008, 13, 1, 8767},      {1985, 0, 5, 5},
  };
  for (const auto& c : cases) EXPECT_EQ(EncodeDayNumber(c.y, c.m, c.d), c.expected) << c.y << "-" << c.m << "-" << c.d;
  EXPECT_EQ(EncodeDayNumber(2008, 13, 1), EncodeDayNumber(2009, 1, 1));
  EXPECT_EQ(EncodeDayNumber(2008, 14, 5), EncodeDayNumber(2009, 2, 5));
  EXPECT_EQ(EncodeDayNumber(2008, 26, 5), EncodeDayNumber(2010, 2, 5));
  EXPECT_EQ(EncodeDayNumber(2009, -1, 1), EncodeDayNumber(2008, 11, 1));
  EXPECT_EQ(EncodeDayNumber(1985, -1, 1), 0);
}

TEST(TimeTagDecode, EpochAndFirstDay) {
  EXPECT_EQ(DecodeTimeTag(86400), (DateTimeParts{1985, 1, 1, 0, 0, 0}));
  EXPECT_EQ(DecodeTimeTag(0), (DateTimeParts{1984, 12, 31, 0, 0, 0}));
  EXPECT_EQ(DecodeTimeTag(2147483647), (DateTimeParts{2053, 1, 18, 3, 14, 7}));
}

TEST(SplitSecondsTest, HoursNotReduced) {
  int h, m, s;
  SplitSeconds(90061, h, m, s);
  EXPECT_EQ(h, 25);
  EXPECT_EQ(m, 1);
  EXPECT_EQ(s, 1);
}

// Every day of the tag range against the standard library's calendar.
TEST(Calendar, MatchesChronoOverWholeRange) {
  const chr::sys_days first = chr::year(1985) / chr::January / chr::day(1);
  const chr::sys_days last = chr::year(2053) / chr::January / chr::day(17);
  int checked = 0;
  for (chr::sys_days day = first; day <= last; day += chr::days(1)) {
    const chr::year_month_day ymd(day);
    const int y = static_cast<int>(ymd.year());
    const int m = static_cast<int>(static_cast<unsigned>(ymd.month()));
    const int d = static_cast<int>(static_cast<unsigned>(ymd.day()));
    const std::int64_t days = ChronoDays(y, m, d);
    const TimeTag t = Tag(y, m, d, 12, 34, 56);
    ASSERT_EQ(t, days * 86400 + 12 * 3600 + 34 * 60 + 56) << y << "-" << m << "-" << d;
    ASSERT_EQ(DecodeTimeTag(t), (DateTimeParts{y, m, d, 12, 34, 56}));
    const unsigned wd = chr::weekday(day).iso_encoding();
    ASSERT_EQ(IsoDayOfWeek(y, m, d), static_cast<int>(wd));

    // calendar offsets: months first (day kept, overflow linear), then days and seconds
    static const int kMonths[] = {-15, -13, -1, 1, 11, 12};
    for (int dm : kMonths) {
      const chr::year_month_day moved = chr::year_month_day(ymd.year() / ymd.month() / ymd.day()) + chr::months(dm);
      const chr::sys_days target = chr::sys_days(moved.year() / moved.month() / chr::day(1)) + chr::days(d - 1 + 3);
      const chr::sys_days epoch = chr::year(1984) / chr::December / chr::day(31);
      const std::int64_t expected = (target - epoch).count() * 86400 + 3600 - 60;
      if (static_cast<int>(moved.year()) < 1985 || expected > 2147483647) continue;
      ASSERT_EQ(AddCalendarOffset(y, m, d, 0, 0, 0, 0, dm, 3, 1, -1, 0), expected)
          << y << "-" << m << "-" << d << " + " << dm << " months";
    }
    ++checked;
  }
  EXPECT_EQ(checked, 24854);
}

TEST(Calendar, OffsetExamples) {
  EXPECT_EQ(AddCalendarOffset(2009, 1, 31, 0, 0, 0, 0, 1, 0, 0, 0, 0), Tag(2009, 3, 3));
  EXPECT_EQ(AddCalendarOffset(2008, 1, 31, 0, 0, 0, 0, 1, 0, 0, 0, 0), Tag(2008, 3, 2));
  EXPECT_EQ(AddCalendarOffset(2009, 3, 10, 0, 0, 0, 0, -13, 0, 0, 0, 0), Tag(2008, 2, 10));
  EXPECT_EQ(AddCalendarOffset(2009, 3, 10, 0, 0, 0, 0, -15, 0, 0, 0, 0), Tag(2007, 12, 10));
  EXPECT_EQ(AddCalendarOffset(2009, 5, 10, 0, 0, 0, 0, -4, 0, 0, 0, 0), Tag(2009, 1, 10));
  EXPECT_EQ(AddCalendarOffset(2009, 5, 10, 0, 0, 0, 0, -5, 0, 0, 0, 0), Tag(2008, 12, 10));
  EXPECT_EQ(AddCalendarOffset(2009, 12, 10, 0, 0, 0, 0, 1, 0, 0, 0, 0), Tag(2010, 1, 10));
}

class FixedClock : public ::testing::Test {
 protected:
  void SetUp() override {
    SetClockSource([] { return EncodeTimeTag(2009, 3, 7, 14, 35, 20); });
  }
  void TearDown() override { SetClockSource(nullptr); }
};

TEST_F(FixedClock, KeywordsAndOffsets) {
  const TimeTag sat = Tag(2009, 3, 7, 14, 35, 20);  // a Saturday
  const TimeTag sun = Tag(2009, 3, 8, 9, 10, 0);
  const struct {
    const char* text;
    TimeTag reference;
    TimeTag expected;
  } cases[] = {
      {"TODAY", sat, Tag(2009, 3, 7)},
      {"today  ", sat, Tag(2009, 3, 7)},
      {"NEXT HOUR", sat, Tag(2009, 3, 7, 15)},
      {"LAST HOUR", sat, Tag(2009, 3, 7, 13)},
      {"LAST 2 HOURS", sat, Tag(2009, 3, 7, 12)},
      {"LAST 3 HOURS", sat, Tag(2009, 3, 7, 11)},
      {"LAST 6 HOURS", sat, Tag(2009, 3, 7, 8)},
      {"LAST 12 HOURS", sat, Tag(2009, 3, 7, 2)},
      {"FORTNIGHT", sat, Tag(2009, 3, 7, 14)},
      {"LAST  2 HOURS", sat, Tag(2009, 3, 7, 14)},  // inner blanks count
      {"NOW", sat, sat},
      {"TOMORROW", sat, Tag(2009, 3, 8)},
      {"YESTERDAY", sat, Tag(2009, 3, 6)},
      {"LAST 2 DAYS", sat, Tag(2009, 3, 5)},
      {"LAST 3 DAYS", sat, Tag(2009, 3, 4)},
      {"LAST 5 DAYS", sat, Tag(2009, 3, 2)},
      {"THIS WEEK", sat, Tag(2009, 3, 1)},
      {"LAST WEEK", sat, Tag(2009, 2, 22)},
      {"NEXT WEEK", sat, Tag(2009, 3, 8)},
      {"NEXT WEEK", sun, Tag(2009, 3, 8)},
      {"THIS MONTH", sat, Tag(2009, 3, 1)},
      {"LAST MONTH", Tag(2009, 1, 15, 10), Tag(2008, 12, 1)},
      {"NEXT MONTH", Tag(2009, 12, 15, 10), Tag(2010, 1, 1)},
      {"THIS YEAR", sat, Tag(2009, 1, 1)},
      {"LAST YEAR", sat, Tag(2008, 1, 1)},
      {"NEXT YEAR", sat, Tag(2010, 1, 1)},
      {"NOW-1:00", sat, sat - 3600},
      {"NOW+0/1/0", sat, sat + 86400},
      {"TODAY-0/0/1", sat, Tag(2008, 3, 7)},
      {"  NOW-2", sat, sat - 7200},
      {"NOW+1:30", sat, sat + 5400},
      {"NOW-0:0:5", sat, sat - 5},
      {"12/31/2008 06:00:00+0/1/0", sat, Tag(2009, 1, 1, 6)},
      {"12/31/2008 06:00:00", 0, Tag(2008, 12, 31, 6)},
      {"03/07/2009", sat, Tag(2009, 3, 7)},
      {"06:00", sat, 6 * 3600},
      {"NOW", 0, sat},  // reference 0 means now
      {"TODAY", 0, Tag(2009, 3, 7)},
      {"", sat, sat},
      {"+1:00", sat, sat + 3600},
      {"-1:00", 0, sat - 3600},
      {"12/xx/2008", sat, EncodeTimeTag(2008, 12, 0, 0, 0, 0)},
  };
  for (const auto& c : cases) EXPECT_EQ(EvaluateTimeExpression(c.text, c.reference), c.expected) << "\"" << c.text << "\"";
}

TEST(DateTimeValue, RoundTripAndRounding) {
  EXPECT_EQ(TimeTagToDateTime(0), kEpochDate);
  EXPECT_EQ(TimeTagToDateTime(86400), kEpochDate + 1);
  EXPECT_EQ(DateTimeToTimeTag(kEpochDate + 1.5), 86400 + 43200);
  EXPECT_EQ(DateTimeToTimeTag(kEpochDate + 3.4 / 86400), 3);
  EXPECT_EQ(DateTimeToTimeTag(kEpochDate + 3.6 / 86400), 4);
  EXPECT_EQ(DateTimeToTimeTag(kEpochDate - 0.5), -43200);
  EXPECT_EQ(DateTimeToTimeTag(1e12), 2147483647);
  const TimeTag t = Tag(2009, 3, 7, 14, 35, 21);
  EXPECT_EQ(DateTimeToTimeTag(TimeTagToDateTime(t)), t);
}

}  // namespace
