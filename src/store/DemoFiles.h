// The demo folder: three realistic data files that the program opens on a
// first run (river gauge, reservoir, weather station).
#pragma once

#include <string>

#include "foundation/Types.h"

namespace kvq {

// Writes MILLBROOK.DAT (15-minute stage and rain), LAKEVIEW.DAT (hourly
// elevation and water temperature) and HILLTOP.DAT (10-minute air temperature,
// humidity, wind speed and direction, pressure, rain) into `folder`, each from
// 400 days before `now` up to `now`, replacing older demo files. The values
// follow daily and seasonal cycles with storms and a few missing stretches;
// the same `now` gives the same files. False with `error` set on failure.
bool WriteDemoFiles(const std::string& folder, TimeTag now, std::string& error);

}  // namespace kvq
