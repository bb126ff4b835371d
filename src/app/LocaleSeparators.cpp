#include "app/LocaleSeparators.h"

#include <QLocale>

#include "foundation/Directive.h"

namespace kvq {

namespace {

// The first run of characters that are no format letters and no quotes,
// after the first field.
QString Separator(const QString& format, const QString& fallback) {
  qsizetype i = 0;
  while (i < format.size() && format[i].isLetter()) ++i;
  qsizetype j = i;
  while (j < format.size() && !format[j].isLetter() && format[j] != QLatin1Char('\'')) ++j;
  const QString separator = format.mid(i, j - i).trimmed();
  return separator.isEmpty() ? fallback : separator;
}

}  // namespace

QString LocaleDateSeparator(const QLocale& locale) {
  return Separator(locale.dateFormat(QLocale::ShortFormat), QStringLiteral("/"));
}

QString LocaleTimeSeparator(const QLocale& locale) {
  return Separator(locale.timeFormat(QLocale::ShortFormat), QStringLiteral(":"));
}

void ApplyRegionalSeparators(const QLocale& locale) {
  SetRegionalSeparators(LocaleDateSeparator(locale).toStdString(), LocaleTimeSeparator(locale).toStdString());
}

}  // namespace kvq
