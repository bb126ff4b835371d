// Reading the rows of a query on KV_DATA1 or KV_PPDATA1 as (time, value)
// pairs. Shared by the view data cache and the data manager, so that both
// read the tables in the same way on every driver.
#pragma once

#include <functional>
#include <string>

#include <QtCore/qglobal.h>

#include "foundation/TimeBase.h"

QT_FORWARD_DECLARE_CLASS(QSqlQuery)

namespace kvq {

// Walks the rows of the executed query `q` (forward only) and calls `row`
// with the TIME_TAG and `valueColumn` of every row whose value is not null.
// `what` names the rows in messages (e.g. "KV_DATA1 for ST1.STAGE"). Raises
// EDatabaseError when a column is missing, a time or value cannot be read, or
// the query fails on the way; the rows passed on before stay passed.
void ReadTimeValueRows(QSqlQuery& q, const char* valueColumn, const std::string& what,
                       const std::function<void(DateTimeValue time, double value)>& row);

}  // namespace kvq
