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
  // Counted in 64 bits and taken modulo downwards: a reporting time stored as
  // a time of day alone (on 1899-12-30) lies far before the time base and
  // still gives its offset within the interval.
  const double seconds = std::nearbyint((when - kEpochDate) * 86400.0);
  if (!std::isfinite(seconds) || std::fabs(seconds) > 9.0e15) return 0;
  const auto t = static_cast<std::int64_t>(seconds);
  if (interval == 0) return DateTimeToTimeTag(when);
  const std::int64_t m = t % interval;
  return static_cast<std::int32_t>(m < 0 ? m + std::abs(static_cast<std::int64_t>(interval)) : m);
}

}  // namespace kvq
