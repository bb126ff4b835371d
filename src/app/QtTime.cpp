#include "app/QtTime.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>

namespace kvq {

namespace {
const QDate kDayZero(1899, 12, 30);
}

QDateTime ToQDateTime(DateTimeValue value) {
  const double days = std::floor(value);
  const qint64 ms = std::llround((value - days) * 86400000.0);
  return QDateTime(kDayZero.addDays(static_cast<qint64>(days)), QTime(0, 0)).addMSecs(ms);
}

DateTimeValue FromQDate(const QDate& date) { return static_cast<double>(kDayZero.daysTo(date)); }

DateTimeValue FromQDateTime(const QDateTime& dt) {
  return FromQDate(dt.date()) + dt.time().msecsSinceStartOfDay() / 86400000.0;
}

namespace {

// The locale's long time format without its time zone: the stored texts are
// wall-clock times.
QString LongTimeFormat(const QLocale& locale) {
  QString f = locale.timeFormat(QLocale::LongFormat);
  f.remove(QRegularExpression(QStringLiteral("\\s*t+")));
  return f.trimmed();
}

// The locale's short date with a four-digit year, so that the text reads
// back as the same date in any century.
QString ShortDateFormat(const QLocale& locale) {
  QString f = locale.dateFormat(QLocale::ShortFormat);
  if (!f.contains(QStringLiteral("yyyy"))) f.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
  return f;
}

}  // namespace

QString LocaleDateTimeText(DateTimeValue value) {
  const QLocale locale = QLocale::system();
  const QDateTime dt = ToQDateTime(value);
  QString text = locale.toString(dt.date(), ShortDateFormat(locale));
  if (dt.time() != QTime(0, 0)) text += QLatin1Char(' ') + locale.toString(dt.time(), LongTimeFormat(locale));
  return text;
}

bool ParseLocaleDateTime(const QString& text, DateTimeValue& value) {
  const QLocale locale = QLocale::system();
  const QString t = text.trimmed();
  const QString dateFormat = ShortDateFormat(locale);
  QDateTime dt = locale.toDateTime(t, dateFormat + QLatin1Char(' ') + LongTimeFormat(locale));
  if (!dt.isValid()) {
    const QDate d = locale.toDate(t, dateFormat);
    if (!d.isValid()) return false;
    dt = QDateTime(d, QTime(0, 0));
  }
  value = FromQDateTime(dt);
  return true;
}

}  // namespace kvq
