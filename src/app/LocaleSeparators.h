// The regional date and time separators, read from a locale's short formats
// and handed to the directive language once at start.
#pragma once

#include <QString>

class QLocale;

namespace kvq {

// The text between the first two fields of the locale's short date format
// ("/" for en_US, "." for de_DE) and between hours and minutes of its short
// time format (":"); "/" and ":" when a format has none.
QString LocaleDateSeparator(const QLocale& locale);
QString LocaleTimeSeparator(const QLocale& locale);

// SetRegionalSeparators with the two separators of `locale`.
void ApplyRegionalSeparators(const QLocale& locale);

}  // namespace kvq
