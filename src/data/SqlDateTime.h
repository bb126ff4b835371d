// Date-times in the station database. The program's date-times are day counts
// (DateTimeValue, day 0 = 1899-12-30) of local or UTC wall-clock time; the
// database keeps them without a zone. SQLite has no date-time type, so there
// they are stored as text in one fixed layout that sorts like the times
// ("2024-03-01 06:15:00.000"); PostgreSQL keeps them in `timestamp` columns
// and takes the same text for a parameter. Bind and read every date-time
// through these functions so that comparisons in SQL stay correct.
#pragma once

#include <QtCore/qglobal.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/TimeBase.h"

QT_FORWARD_DECLARE_CLASS(QSqlDatabase)
QT_FORWARD_DECLARE_CLASS(QVariant)
QT_FORWARD_DECLARE_CLASS(QStringView)

namespace kvq {

enum class TSqlDialect : std::uint8_t { SQLite, PostgreSQL, Odbc, Other };

// The kind of database behind an open connection, from its driver name.
TSqlDialect DialectOf(const QSqlDatabase& db);

// Whole milliseconds of a day count, rounded to the nearest.
std::int64_t DateTimeToMilliseconds(DateTimeValue value);
DateTimeValue MillisecondsToDateTime(std::int64_t ms);

// "yyyy-MM-dd HH:mm:ss.zzz" of a day count (rounded to the millisecond).
std::string DateTimeText(DateTimeValue value);

// Reads "yyyy-MM-dd", optionally followed by " " or "T" and "HH:mm",
// ":ss" and a fraction of up to 9 digits (rounded to the millisecond).
// False for anything else; `value` is then unchanged.
bool ParseDateTimeText(std::string_view text, DateTimeValue& value);
bool ParseDateTimeText(QStringView text, DateTimeValue& value);

// The parameter value for a date-time on `db`: the text layout above for
// SQLite and PostgreSQL, a zone-less QDateTime for other drivers.
QVariant DateTimeParam(const QSqlDatabase& db, DateTimeValue value);

// Reads a date-time field as any driver delivers it (text in the layouts of
// ParseDateTimeText, QDateTime taken as wall-clock time, QDate, QTime as a
// time of day 0, a number as a day count). False for null or unreadable
// values; `value` is then unchanged.
bool FieldDateTime(const QVariant& field, DateTimeValue& value);

}  // namespace kvq
