#include <gtest/gtest.h>

#include <QDateTime>
#include <QTimeZone>
#include <QVariant>
#include <string>

#include "data/SqlDateTime.h"
#include "foundation/TimeBase.h"

namespace kvq {
namespace {

TEST(SqlDateTime, TextLayoutOfDayCounts) {
  struct Case {
    DateTimeValue value;
    const char* text;
  };
  const Case cases[] = {
      {kEpochDate, "1984-12-31 00:00:00.000"},
      {0.0, "1899-12-30 00:00:00.000"},
      {kEpochDate + 0.25, "1984-12-31 06:00:00.000"},
      {TimeTagToDateTime(EncodeTimeTag(2024, 2, 29, 23, 59, 59)), "2024-02-29 23:59:59.000"},
      // Rounded to the nearest millisecond.
      {TimeTagToDateTime(EncodeTimeTag(2024, 1, 1, 12, 0, 0)) - 1.1574074074074074e-06, "2024-01-01 11:59:59.900"},
      {TimeTagToDateTime(EncodeTimeTag(2024, 1, 1, 12, 0, 0)) + 1.1574074074074074e-06, "2024-01-01 12:00:00.100"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DateTimeText(c.value), c.text);
    DateTimeValue back = -1;
    ASSERT_TRUE(ParseDateTimeText(c.text, back)) << c.text;
    EXPECT_EQ(DateTimeText(back), c.text);
  }
}

TEST(SqlDateTime, TextSortsLikeTheTimes) {
  DateTimeValue t = TimeTagToDateTime(EncodeTimeTag(1999, 12, 31, 23, 0, 0));
  std::string previous = DateTimeText(t);
  for (int i = 0; i < 3000; ++i) {
    t += 0.0137;  // about 20 minutes, crossing days, months and the year
    const std::string text = DateTimeText(t);
    EXPECT_LT(previous, text);
    previous = text;
  }
}

TEST(SqlDateTime, ParsesOtherLayoutsAndRejectsJunk) {
  const DateTimeValue six = TimeTagToDateTime(EncodeTimeTag(2024, 3, 1, 6, 15, 0));
  struct Case {
    const char* text;
    bool ok;
    DateTimeValue value;
  };
  const Case cases[] = {
      {"2024-03-01 06:15:00.000", true, six},
      {"2024-03-01 06:15:00", true, six},
      {"2024-03-01T06:15:00", true, six},
      {"2024-03-01 06:15", true, six},
      {"2024-03-01 06:15:00.000000", true, six},
      {"2024-03-01", true, TimeTagToDateTime(EncodeTimeTag(2024, 3, 1, 0, 0, 0))},
      {"2024-02-30 00:00:00", false, 0},
      {"2024-13-01", false, 0},
      {"2024-03-01 24:00:00", false, 0},
      {"2024-03-01 06:15:00.", false, 0},
      {"2024-03-01 06:15:00Z", false, 0},
      {"03/01/2024 06:15:00", false, 0},
      {"", false, 0},
  };
  for (const Case& c : cases) {
    DateTimeValue v = -7;
    EXPECT_EQ(ParseDateTimeText(c.text, v), c.ok) << c.text;
    if (c.ok)
      EXPECT_EQ(DateTimeToMilliseconds(v), DateTimeToMilliseconds(c.value)) << c.text;
    else
      EXPECT_EQ(v, -7) << c.text;
  }
}

TEST(SqlDateTime, FieldsOfEveryDriverKind) {
  const DateTimeValue want = TimeTagToDateTime(EncodeTimeTag(2024, 3, 10, 2, 30, 0));
  DateTimeValue v = 0;
  // A QDateTime is taken as wall-clock time, whatever zone it carries; 02:30
  // on 10 March 2024 does not exist in US Central time, yet the stored value
  // must come back as it was.
  const QDateTime utc(QDate(2024, 3, 10), QTime(2, 30), Qt::UTC);
  ASSERT_TRUE(FieldDateTime(QVariant(utc), v));
  EXPECT_EQ(DateTimeToMilliseconds(v), DateTimeToMilliseconds(want));
  ASSERT_TRUE(FieldDateTime(QVariant(QStringLiteral("2024-03-10 02:30:00.000")), v));
  EXPECT_EQ(DateTimeToMilliseconds(v), DateTimeToMilliseconds(want));
  ASSERT_TRUE(FieldDateTime(QVariant(QDate(2024, 3, 10)), v));
  EXPECT_EQ(DateTimeText(v), "2024-03-10 00:00:00.000");
  ASSERT_TRUE(FieldDateTime(QVariant(QTime(6, 0)), v));
  EXPECT_DOUBLE_EQ(v, 0.25);
  ASSERT_TRUE(FieldDateTime(QVariant(45000.5), v));
  EXPECT_DOUBLE_EQ(v, 45000.5);
  v = 3;
  EXPECT_FALSE(FieldDateTime(QVariant(QMetaType::fromType<QDateTime>()), v));  // null
  EXPECT_FALSE(FieldDateTime(QVariant(QStringLiteral("yesterday")), v));
  EXPECT_FALSE(FieldDateTime(QVariant(), v));
  EXPECT_EQ(v, 3);
}

}  // namespace
}  // namespace kvq
