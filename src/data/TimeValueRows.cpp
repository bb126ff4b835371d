#include "data/TimeValueRows.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>
#include <QVariant>
#include <charconv>
#include <cstring>
#include <libpq-fe.h>

#include "data/DatabaseError.h"
#include "data/SqlDateTime.h"
#include "foundation/Directive.h"

namespace kvq {

namespace {

std::string ErrorText(const QSqlError& error) {
  std::string text = error.text().toStdString();
  return text.empty() ? std::string("Unknown database error.") : text;
}

int ColumnOrRaise(const QSqlQuery& q, const char* column, const std::string& what) {
  const int index = q.record().indexOf(QLatin1String(column));
  if (index < 0) throw EDatabaseError(FormatStr("There is no column %s in %s.", column, what));
  return index;
}

[[noreturn]] void RaiseUnreadable(const char* column, const std::string& text, const std::string& what) {
  throw EDatabaseError(FormatStr("Unreadable %s \"%s\" in %s.", column, text, what));
}

// The raw result of the current row when the query runs on PostgreSQL, else
// null. Qt makes a QDateTime in local time of every timestamp it hands out,
// which costs more than the whole rest of a load; the raw text is exact and
// cheap.
const PGresult* PgResult(const QSqlQuery& q) {
  const QVariant handle = q.result()->handle();
  // Qt names the type by the struct behind libpq's typedef.
  if (!handle.isValid() ||
      (qstrcmp(handle.typeName(), "PGresult*") != 0 && qstrcmp(handle.typeName(), "pg_result*") != 0))
    return nullptr;
  return *static_cast<PGresult* const*>(handle.constData());
}

}  // namespace

void ReadTimeValueRows(QSqlQuery& q, const char* valueColumn, const std::string& what,
                       const std::function<void(DateTimeValue time, double value)>& row) {
  const int timeIndex = ColumnOrRaise(q, "TIME_TAG", what);
  const int valueIndex = ColumnOrRaise(q, valueColumn, what);
  while (q.next()) {
    DateTimeValue time = 0;
    double value = 0;
    if (const PGresult* res = PgResult(q)) {
      const int r = q.isForwardOnly() ? 0 : q.at();
      if (PQgetisnull(res, r, valueIndex)) continue;
      const char* v = PQgetvalue(res, r, valueIndex);
      const char* t = PQgetvalue(res, r, timeIndex);
      const char* vEnd = v + std::strlen(v);
      const auto [ptr, ec] = std::from_chars(v, vEnd, value);
      if (ec != std::errc() || ptr != vEnd) RaiseUnreadable(valueColumn, v, what);
      if (!ParseDateTimeText(std::string_view(t), time)) RaiseUnreadable("TIME_TAG", t, what);
    } else {
      if (q.isNull(valueIndex)) continue;
      bool ok = false;
      value = q.value(valueIndex).toDouble(&ok);
      if (!ok) RaiseUnreadable(valueColumn, q.value(valueIndex).toString().toStdString(), what);
      const QVariant timeField = q.value(timeIndex);
      if (!FieldDateTime(timeField, time)) RaiseUnreadable("TIME_TAG", timeField.toString().toStdString(), what);
    }
    row(time, value);
  }
  // next() also ends on a failure (a server gone half-way through the rows).
  if (q.lastError().type() != QSqlError::NoError) throw EDatabaseError(ErrorText(q.lastError()));
}

}  // namespace kvq
