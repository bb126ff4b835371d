#include "data/SqlDateTime.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>
#include <cmath>
#include <cstdio>

namespace kvq {

namespace {

constexpr std::int64_t kMsPerDay = 86400000;
// Day 0 of the day count (1899-12-30) in days from 1970-01-01.
constexpr std::int64_t kDayZeroFromUnix = -25569;

// Days from 1970-01-01 of a civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, std::int64_t& y, unsigned& m, unsigned& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  y = static_cast<std::int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y += m <= 2;
}

bool IsLeap(std::int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

unsigned DaysInMonth(std::int64_t y, unsigned m) {
  static const unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

inline char16_t Code(char c) { return static_cast<char16_t>(static_cast<unsigned char>(c)); }
inline char16_t Code(QChar c) { return c.unicode(); }

// Reads exactly `n` digits at `pos`.
template <class Text>
bool Digits(const Text& s, std::size_t& pos, int n, int& out) {
  if (pos + static_cast<std::size_t>(n) > static_cast<std::size_t>(s.size())) return false;
  int v = 0;
  for (int i = 0; i < n; ++i) {
    const char16_t c = Code(s[pos + static_cast<std::size_t>(i)]);
    if (c < u'0' || c > u'9') return false;
    v = v * 10 + (c - u'0');
  }
  pos += static_cast<std::size_t>(n);
  out = v;
  return true;
}

DateTimeValue FromParts(std::int64_t y, unsigned m, unsigned d, std::int64_t msOfDay) {
  const std::int64_t day = DaysFromCivil(y, m, d) - kDayZeroFromUnix;
  return MillisecondsToDateTime(day * kMsPerDay + msOfDay);
}

}  // namespace

TSqlDialect DialectOf(const QSqlDatabase& db) {
  const QString driver = db.driverName();
  if (driver == QLatin1String("QSQLITE")) return TSqlDialect::SQLite;
  if (driver == QLatin1String("QPSQL")) return TSqlDialect::PostgreSQL;
  if (driver == QLatin1String("QODBC")) return TSqlDialect::Odbc;
  return TSqlDialect::Other;
}

std::int64_t DateTimeToMilliseconds(DateTimeValue value) {
  return static_cast<std::int64_t>(std::llround(value * static_cast<double>(kMsPerDay)));
}

DateTimeValue MillisecondsToDateTime(std::int64_t ms) {
  // Whole days and the fraction separately keep the sum exact to the
  // millisecond for any date the program meets.
  const std::int64_t day = ms >= 0 ? ms / kMsPerDay : -((-ms + kMsPerDay - 1) / kMsPerDay);
  const std::int64_t rest = ms - day * kMsPerDay;
  return static_cast<double>(day) + static_cast<double>(rest) / static_cast<double>(kMsPerDay);
}

std::string DateTimeText(DateTimeValue value) {
  const std::int64_t ms = DateTimeToMilliseconds(value);
  const std::int64_t day = ms >= 0 ? ms / kMsPerDay : -((-ms + kMsPerDay - 1) / kMsPerDay);
  std::int64_t rest = ms - day * kMsPerDay;
  std::int64_t y = 0;
  unsigned m = 0, d = 0;
  CivilFromDays(day + kDayZeroFromUnix, y, m, d);
  const int hh = static_cast<int>(rest / 3600000);
  rest %= 3600000;
  const int mi = static_cast<int>(rest / 60000);
  rest %= 60000;
  const int ss = static_cast<int>(rest / 1000);
  const int zzz = static_cast<int>(rest % 1000);
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04lld-%02u-%02u %02d:%02d:%02d.%03d", static_cast<long long>(y), m, d, hh, mi,
                ss, zzz);
  return buf;
}

namespace {

template <class Text>
bool ParseText(const Text& text, DateTimeValue& value) {
  const std::size_t size = static_cast<std::size_t>(text.size());
  auto at = [&](std::size_t i) { return Code(text[i]); };
  std::size_t pos = 0;
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
  if (!Digits(text, pos, 4, y) || pos >= size || at(pos++) != u'-' || !Digits(text, pos, 2, mo) ||
      pos >= size || at(pos++) != u'-' || !Digits(text, pos, 2, d))
    return false;
  if (mo < 1 || mo > 12 || d < 1 || static_cast<unsigned>(d) > DaysInMonth(y, static_cast<unsigned>(mo))) return false;
  std::int64_t ms = 0;
  if (pos < size) {
    if (at(pos) != u' ' && at(pos) != u'T') return false;
    ++pos;
    if (!Digits(text, pos, 2, h) || pos >= size || at(pos++) != u':' || !Digits(text, pos, 2, mi)) return false;
    if (pos < size && at(pos) == u':') {
      ++pos;
      if (!Digits(text, pos, 2, s)) return false;
    }
    if (h > 23 || mi > 59 || s > 59) return false;
    // Fraction: up to 9 digits, rounded to the millisecond.
    std::int64_t nanos = 0;
    if (pos < size && at(pos) == u'.') {
      ++pos;
      int digits = 0;
      std::int64_t scale = 100000000;
      while (pos < size && at(pos) >= u'0' && at(pos) <= u'9' && digits < 9) {
        nanos += (at(pos) - u'0') * scale;
        scale /= 10;
        ++pos;
        ++digits;
      }
      if (digits == 0) return false;
    }
    if (pos != size) return false;
    ms = (static_cast<std::int64_t>(h) * 3600 + mi * 60 + s) * 1000 + (nanos + 500000) / 1000000;
  }
  value = FromParts(y, static_cast<unsigned>(mo), static_cast<unsigned>(d), ms);
  return true;
}

}  // namespace

bool ParseDateTimeText(std::string_view text, DateTimeValue& value) { return ParseText(text, value); }

bool ParseDateTimeText(QStringView text, DateTimeValue& value) { return ParseText(text, value); }

QVariant DateTimeParam(const QSqlDatabase& db, DateTimeValue value) {
  switch (DialectOf(db)) {
    case TSqlDialect::SQLite:
    case TSqlDialect::PostgreSQL:
      return QVariant(QString::fromLatin1(DateTimeText(value)));
    default: {
      // A zone-less value: UTC as a carrier keeps Qt from moving times that
      // fall into a daylight-saving gap of the local zone.
      const std::int64_t ms = DateTimeToMilliseconds(value);
      const std::int64_t unixMs = ms + kDayZeroFromUnix * kMsPerDay;
      return QVariant(QDateTime::fromMSecsSinceEpoch(unixMs, Qt::UTC));
    }
  }
}

bool FieldDateTime(const QVariant& field, DateTimeValue& value) {
  if (field.isNull() || !field.isValid()) return false;
  switch (field.metaType().id()) {
    case QMetaType::QDateTime: {
      // The wall clock as delivered, whatever zone the driver attached. A
      // stored time that falls into a daylight-saving gap of the local zone
      // makes a QDateTime that counts as invalid, yet keeps its date and time.
      const QDateTime dt = field.toDateTime();
      const QDate date = dt.date();
      const QTime time = dt.time();
      if (!date.isValid() || !time.isValid()) return false;
      value = FromParts(date.year(), static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                        time.msecsSinceStartOfDay());
      return true;
    }
    case QMetaType::QDate: {
      const QDate date = field.toDate();
      if (!date.isValid()) return false;
      value = FromParts(date.year(), static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()), 0);
      return true;
    }
    case QMetaType::QTime: {
      const QTime time = field.toTime();
      if (!time.isValid()) return false;
      value = MillisecondsToDateTime(time.msecsSinceStartOfDay());
      return true;
    }
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
      value = field.toDouble();
      return std::isfinite(value);
    default: {
      if (field.metaType().id() == QMetaType::QString) return ParseText(QStringView(*static_cast<const QString*>(field.constData())), value);
      const QString text = field.toString();
      return ParseText(QStringView(text), value);
    }
  }
}

}  // namespace kvq
