#include "data/SiteTiming.h"

#include <QVariant>

#include <cmath>

#include "data/SqlDateTime.h"
#include "foundation/TimeBase.h"

namespace kvq {

std::int32_t ReportingIntervalSeconds(const QVariant& hours) {
  bool ok = false;
  const double h = hours.isNull() ? 0 : hours.toDouble(&ok);
  if (!ok || !std::isfinite(h)) return 900;
  const double seconds = std::round(h * 3600);
  if (seconds > 2147483647.0 || seconds < -2147483648.0) return 900;
  return static_cast<std::int32_t>(seconds);
}

std::int32_t ReportingOffsetSeconds(const QVariant& reportingTime, std::int32_t interval) {
  DateTimeValue when = 0;
  if (reportingTime.isNull() || !FieldDateTime(reportingTime, when)) return 0;
  const TimeTag t = DateTimeToTimeTag(when);
  return interval != 0 ? t % interval : t;
}

}  // namespace kvq
