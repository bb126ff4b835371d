// Day counts (DateTimeValue: day 0 = 1899-12-30, the time of day as the
// fraction) to and from Qt's wall-clock dates and times, zone-less.
#pragma once

#include <QDateTime>

#include "foundation/TimeBase.h"

namespace kvq {

QDateTime ToQDateTime(DateTimeValue value);
DateTimeValue FromQDateTime(const QDateTime& dt);
DateTimeValue FromQDate(const QDate& date);  // the date at 00:00

// A date-time in the locale's short date and long time format, the time
// left out at exactly midnight (settings files, the LastUpdate column).
QString LocaleDateTimeText(DateTimeValue value);
// Reads such a text back (also a date alone); false when it is unreadable.
bool ParseLocaleDateTime(const QString& text, DateTimeValue& value);

}  // namespace kvq
