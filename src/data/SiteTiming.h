// The reporting interval and offset of a database sensor, from its station's
// REPORTING_INTERVAL (hours) and REPORTING_TIME columns.
#pragma once

#include <QtCore/qglobal.h>

#include <cstdint>

QT_FORWARD_DECLARE_CLASS(QVariant)

namespace kvq {

// REPORTING_INTERVAL hours as whole seconds (rounded); 900 when null.
std::int32_t ReportingIntervalSeconds(const QVariant& hours);

// The time tag of REPORTING_TIME taken modulo the interval (when it is not
// 0), never negative; 0 when null or unreadable.
std::int32_t ReportingOffsetSeconds(const QVariant& reportingTime, std::int32_t interval);

}  // namespace kvq
