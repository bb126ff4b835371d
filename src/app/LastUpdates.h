// The refresh of last-update times (the small button beside the retrieval
// list, database sources in sensor-data mode).
#pragma once

namespace kvq {

class TStationSensorCache;

// Sets LastUpdate of every entry from KV_SITES.LAST_UPDATE of its station on
// the program's connection, which the caller has connected: -1.0 when NULL
// or unreadable; an entry whose station has no row keeps its value. A failing
// query shows its message and ends the refresh (false); entries done so far
// keep their new values.
bool RefreshLastUpdates(TStationSensorCache& entries);

}  // namespace kvq
