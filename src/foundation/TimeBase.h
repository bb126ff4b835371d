// The time base: time tags (seconds) and day numbers (days) counted from
// 1984-12-31 00:00:00 local civil time, calendar arithmetic on them and the
// time-expression language ("TODAY", "NOW-1:00", "12/31/2008 06:00:00+0/1/0").
// There is no time zone or daylight saving at this level.
#pragma once

#include <functional>
#include <string_view>

#include "foundation/Types.h"

namespace kvq {

struct DateParts {
  int year = 0, month = 0, day = 0;
};

struct DateTimeParts {
  int year = 0, month = 0, day = 0;
  int hours = 0, minutes = 0, seconds = 0;
  friend bool operator==(const DateTimeParts&, const DateTimeParts&) = default;
};

// Whether year is a leap year of the Gregorian calendar.
bool IsLeapYear(int year);

// Day number of a date. Months above 13 carry into the year (month 13 is
// January of the next year); months below 0 borrow from it. The day is added
// linearly: day 0 is the last day of the previous month, day 32 of January is
// 1 February. 0 for year, month and day all 0, and for years before 1985.
// The result is kept to 16 bits.
DayNumber EncodeDayNumber(int year, int month, int day);

// The date that lies `day` days after 1984-12-31 (0 decodes to 1984-12-31).
DateParts DecodeDayNumber(DayNumber day);

// hours = s div 3600 (not reduced modulo 24), minutes, seconds.
void SplitSeconds(int seconds, int& hours, int& minutes, int& secs);

// EncodeDayNumber(...) * 86400 + h*3600 + m*60 + s in 32-bit wrap-around arithmetic.
TimeTag EncodeTimeTag(int year, int month, int day, int hours, int minutes, int seconds);

// Splits a tag; midnight belongs to the new day.
DateTimeParts DecodeTimeTag(TimeTag tag);

// Monday 1 ... Sunday 7.
int IsoDayOfWeek(int year, int month, int day);

// Moves a date-time by calendar amounts: months (and years) first, with the
// month brought back into 1..12, then days linearly, then h/m/s in seconds.
// 31 January plus one month is 3 March (2 March in a leap year).
TimeTag AddCalendarOffset(int year, int month, int day, int hours, int minutes, int seconds,
                          int dYears, int dMonths, int dDays, int dHours, int dMinutes,
                          int dSeconds);

// Evaluates a time expression: blanks, base, [sign, offset]. The base is an
// absolute date-time ("03/07/2009 14:05:00", "06:00") or a keyword ("NOW",
// "TODAY", "LAST 2 HOURS" ...); the reference (0 = now) is read by keywords only.
// An empty base (an empty text, or one that begins with its sign such as
// "+1:00") stands for the reference itself, like "NOW". Never fails.
TimeTag EvaluateTimeExpression(std::string_view text, TimeTag reference);

// ---- clock -----------------------------------------------------------------

// The local clock as a time tag (fractions of a second dropped). Reads the
// installed clock source; the default reads the system's local time.
TimeTag NowTimeTag();

// Replaces the clock source (tests, `kvq --now`). An empty function restores
// the system clock. Returns nothing; not thread-safe: set it at start.
void SetClockSource(std::function<TimeTag()> source);

// ---- calendar date-time values ---------------------------------------------
// The GUI and database layers use a day count with the time of day as the
// fraction: day 0 is 1899-12-30, so the time base's epoch 1984-12-31 is day
// 31047. The data layer maps this count to QDateTime.

using DateTimeValue = double;
inline constexpr DateTimeValue kEpochDate = 31047.0;

// kEpochDate + tag / 86400.
DateTimeValue TimeTagToDateTime(TimeTag tag);

// (value - kEpochDate) * 86400 rounded to the nearest second, halves to even;
// saturated to the range of a time tag.
TimeTag DateTimeToTimeTag(DateTimeValue value);

}  // namespace kvq
