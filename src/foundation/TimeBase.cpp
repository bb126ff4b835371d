#include "foundation/TimeBase.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <limits>
#include <string>

#include "foundation/Directive.h"

namespace kvq {

namespace {

// Days before the first of the month in a common year; index 0 counts like
// January, index 13 is the first day of the following year.
constexpr int kCumulativeDays[14] = {0, 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365};

constexpr std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

// Days from 0001-01-01 to 1 January of `year` in the proleptic Gregorian calendar.
constexpr std::int64_t DaysBeforeYear(std::int64_t year) {
  const std::int64_t y = year - 1;
  return y * 365 + FloorDiv(y, 4) - FloorDiv(y, 100) + FloorDiv(y, 400);
}

// A constant, not a value computed at start: static objects elsewhere may
// encode dates while the program starts.
constexpr std::int64_t kDaysBefore1985 = DaysBeforeYear(1985);

bool Leap(std::int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

// Days since 1984-12-31 of a date, without the 16-bit cut and the 1985 floor;
// month 0..13 as in the cumulative table, others carried into the year.
std::int64_t LinearDays(std::int64_t year, std::int64_t month, std::int64_t day) {
  if (month > 13) {
    const std::int64_t k = (month - 2) / 12;
    year += k;
    month -= 12 * k;
  } else if (month < 0) {
    const std::int64_t k = (-month + 11) / 12;
    year -= k;
    month += 12 * k;
  }
  const std::int64_t c = kCumulativeDays[month] + ((month > 2 && Leap(year)) ? 1 : 0);
  return c + (DaysBeforeYear(year) - kDaysBefore1985) + day;
}

std::function<TimeTag()>& ClockSource() {
  static std::function<TimeTag()> source;
  return source;
}

TimeTag SystemNow() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return EncodeTimeTag(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                       local.tm_sec);
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A decimal integer field; empty or not a number counts as 0.
int FieldValue(std::string_view s) {
  std::size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  if (i == s.size()) return 0;
  std::int64_t v = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return 0;
    v = v * 10 + (s[i] - '0');
    if (v > std::numeric_limits<std::int32_t>::max()) return 0;
  }
  return static_cast<int>(negative ? -v : v);
}

// Reads the fields of a date-time part one after the other.
class PartReader {
 public:
  explicit PartReader(std::string_view text) : text_(text) {}
  // Skips blanks, runs to `separator` (or the end) and converts the field.
  int Field(std::string_view separator) {
    if (pos_ >= text_.size()) return 0;
    while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
    std::size_t end = text_.find(separator, pos_);
    std::string_view field;
    if (end == std::string_view::npos) {
      field = text_.substr(pos_);
      pos_ = text_.size();
    } else {
      field = text_.substr(pos_, end - pos_);
      pos_ = end + separator.size();
    }
    return FieldValue(field);
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

// A date-time part: [month/day/year ]hours:minutes:seconds.
DateTimeParts ReadDateTimePart(std::string_view text) {
  DateTimeParts p;
  PartReader r(text);
  if (text.find('/') != std::string_view::npos) {
    p.month = r.Field(DateSeparator());
    p.day = r.Field(DateSeparator());
    p.year = r.Field(" ");
  }
  p.hours = r.Field(TimeSeparator());
  p.minutes = r.Field(TimeSeparator());
  p.seconds = r.Field(" ");
  return p;
}

}  // namespace

bool IsLeapYear(int year) { return Leap(year); }

DayNumber EncodeDayNumber(int year, int month, int day) {
  std::int64_t y = year, m = month;
  if (m > 13) {
    const std::int64_t k = (m - 2) / 12;
    y += k;
    m -= 12 * k;
  }
  if (y == 0 && m == 0 && day == 0) return 0;
  if (m < 0) {
    const std::int64_t k = (-m + 11) / 12;
    y -= k;
    m += 12 * k;
  }
  if (y < 1985) return 0;
  return static_cast<DayNumber>(static_cast<std::uint64_t>(LinearDays(y, m, day)) & 0xFFFF);
}

DateParts DecodeDayNumber(DayNumber dayNumber) {
  // civil date from days since 1970-01-01 (H. Hinnant's algorithm)
  std::int64_t z = dayNumber + (kDaysBefore1985 - 1) - DaysBeforeYear(1970) + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  const int y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
  return {y, m, d};
}

void SplitSeconds(int seconds, int& hours, int& minutes, int& secs) {
  hours = seconds / 3600;
  minutes = (seconds % 3600) / 60;
  secs = seconds % 60;
}

TimeTag EncodeTimeTag(int year, int month, int day, int hours, int minutes, int seconds) {
  const std::uint32_t v = static_cast<std::uint32_t>(EncodeDayNumber(year, month, day)) * 86400u +
                          static_cast<std::uint32_t>(hours) * 3600u + static_cast<std::uint32_t>(minutes) * 60u +
                          static_cast<std::uint32_t>(seconds);
  return static_cast<TimeTag>(v);
}

DateTimeParts DecodeTimeTag(TimeTag tag) {
  const DayNumber day = static_cast<DayNumber>(static_cast<std::uint32_t>(tag / 86400) & 0xFFFF);
  const int rest = tag % 86400;
  DateParts d = DecodeDayNumber(day);
  DateTimeParts p;
  p.year = d.year;
  p.month = d.month;
  p.day = d.day;
  SplitSeconds(rest, p.hours, p.minutes, p.seconds);
  return p;
}

int IsoDayOfWeek(int year, int month, int day) {
  // 1984-12-31 was a Monday.
  const std::int64_t days = LinearDays(year, month, day);
  return static_cast<int>(((days % 7) + 7) % 7) + 1;
}

TimeTag AddCalendarOffset(int year, int month, int day, int hours, int minutes, int seconds, int dYears,
                          int dMonths, int dDays, int dHours, int dMinutes, int dSeconds) {
  const std::int64_t m = static_cast<std::int64_t>(month) + dMonths;
  const std::int64_t y = static_cast<std::int64_t>(year) + dYears + FloorDiv(m - 1, 12);
  const std::int64_t mm = m - 1 - FloorDiv(m - 1, 12) * 12 + 1;
  const std::int64_t dd = static_cast<std::int64_t>(day) + dDays;
  auto clampInt = [](std::int64_t v) {
    return static_cast<int>(std::max<std::int64_t>(std::min<std::int64_t>(v, 1 << 30), -(1 << 30)));
  };
  const TimeTag base = EncodeTimeTag(clampInt(y), static_cast<int>(mm), clampInt(dd), hours, minutes, seconds);
  const std::uint32_t v = static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(dHours) * 3600u +
                          static_cast<std::uint32_t>(dMinutes) * 60u + static_cast<std::uint32_t>(dSeconds);
  return static_cast<TimeTag>(v);
}

TimeTag EvaluateTimeExpression(std::string_view text, TimeTag reference) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  const std::string_view rest = text.substr(i);
  std::size_t sign = rest.find('+');
  if (sign == std::string_view::npos) sign = rest.find('-');
  const std::string_view base = rest.substr(0, sign);

  DateTimeParts delta;
  if (sign != std::string_view::npos) {
    delta = ReadDateTimePart(rest.substr(sign + 1));
    if (rest[sign] == '-') {
      delta.year = -delta.year;
      delta.month = -delta.month;
      delta.day = -delta.day;
      delta.hours = -delta.hours;
      delta.minutes = -delta.minutes;
      delta.seconds = -delta.seconds;
    }
  }

  DateTimeParts at;
  if (!base.empty() && base.front() >= '0' && base.front() <= '9') {
    at = ReadDateTimePart(base);
  } else {
    std::size_t end = base.size();
    while (end > 0 && IsBlank(base[end - 1])) --end;
    const std::string word = UpperCase(base.substr(0, end));
    at = DecodeTimeTag(reference != 0 ? reference : NowTimeTag());
    // An empty base stands for the reference itself, like NOW.
    if (word != "NOW" && !word.empty()) {
      at.minutes = 0;
      at.seconds = 0;
      const int dow = IsoDayOfWeek(at.year, at.month, at.day);
      if (word == "NEXT YEAR") {
        delta.year += 1, at.month = 1, at.day = 1, at.hours = 0;
      } else if (word == "NEXT MONTH") {
        delta.month += 1, at.day = 1, at.hours = 0;
      } else if (word == "NEXT WEEK") {
        delta.day += 7 - dow, at.hours = 0;
      } else if (word == "TOMORROW") {
        delta.day += 1, at.hours = 0;
      } else if (word == "NEXT HOUR") {
        delta.hours += 1;
      } else if (word == "LAST HOUR") {
        delta.hours -= 1;
      } else if (word == "LAST 2 HOURS") {
        delta.hours -= 2;
      } else if (word == "LAST 3 HOURS") {
        delta.hours -= 3;
      } else if (word == "LAST 6 HOURS") {
        delta.hours -= 6;
      } else if (word == "LAST 12 HOURS") {
        delta.hours -= 12;
      } else if (word == "TODAY") {
        at.hours = 0;
      } else if (word == "YESTERDAY") {
        delta.day -= 1, at.hours = 0;
      } else if (word == "LAST 2 DAYS") {
        delta.day -= 2, at.hours = 0;
      } else if (word == "LAST 3 DAYS") {
        delta.day -= 3, at.hours = 0;
      } else if (word == "LAST 5 DAYS") {
        delta.day -= 5, at.hours = 0;
      } else if (word == "THIS WEEK") {
        delta.day -= dow, at.hours = 0;
      } else if (word == "LAST WEEK") {
        delta.day -= dow + 7, at.hours = 0;
      } else if (word == "THIS MONTH") {
        at.day = 1, at.hours = 0;
      } else if (word == "LAST MONTH") {
        delta.month -= 1, at.day = 1, at.hours = 0;
      } else if (word == "THIS YEAR") {
        at.month = 1, at.day = 1, at.hours = 0;
      } else if (word == "LAST YEAR") {
        delta.year -= 1, at.month = 1, at.day = 1, at.hours = 0;
      }
      // any other word: the start of the reference hour
    }
  }
  return AddCalendarOffset(at.year, at.month, at.day, at.hours, at.minutes, at.seconds, delta.year, delta.month,
                           delta.day, delta.hours, delta.minutes, delta.seconds);
}

TimeTag NowTimeTag() {
  const auto& source = ClockSource();
  return source ? source() : SystemNow();
}

void SetClockSource(std::function<TimeTag()> source) { ClockSource() = std::move(source); }

DateTimeValue TimeTagToDateTime(TimeTag tag) { return kEpochDate + static_cast<double>(tag) / 86400.0; }

TimeTag DateTimeToTimeTag(DateTimeValue value) {
  const double seconds = std::nearbyint((value - kEpochDate) * 86400.0);
  if (std::isnan(seconds)) return 0;
  if (seconds >= 2147483647.0) return std::numeric_limits<TimeTag>::max();
  if (seconds <= -2147483648.0) return std::numeric_limits<TimeTag>::min();
  return static_cast<TimeTag>(seconds);
}

}  // namespace kvq
