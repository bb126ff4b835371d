// The view data cache: the database values of the retrieved sensors for the
// retrieved period, read once per retrieval and shared by the graph and the
// database list, with the write operations that change database and cache
// together. One instance for the whole program (ViewDataCache()).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "data/DBCacheItem.h"
#include "foundation/TimeBase.h"
#include "foundation/Types.h"

namespace kvq {

class TDataFileStationSensor;

class TDBViewDataCache {
 public:
  TDBViewDataCache() = default;
  TDBViewDataCache(const TDBViewDataCache&) = delete;
  TDBViewDataCache& operator=(const TDBViewDataCache&) = delete;

  // The entry for station and sensor (letter case ignored), searching from
  // the newest entry back; a new empty entry is appended when there is none.
  // The entry lives until Clear().
  TDBViewDataCacheItem& ItemFor(const std::string& station, const std::string& sensor);
  // The same with the data label compared as well.
  TDBViewDataCacheItem& ItemFor(const std::string& station, const std::string& sensor, const std::string& label);

  int Count() const { return static_cast<int>(items_.size()); }
  // The entry at `index` (must be below Count()).
  TDBViewDataCacheItem& Items(int index) const { return *items_.at(static_cast<std::size_t>(index)); }

  // Destroys every entry; RangeStart and RangeEnd become 0.
  void Clear();

  // Fills the cache from KV_DATA1 (ED_VALUE) for `request`, with the sensors'
  // references from KV_SITESENSORS. Connects first (Error connecting database.
  // when that fails). Raises EDatabaseError with the database's message on
  // any failure; the entries filled so far stay.
  void LoadSensorData(const TDataFileStationSensor& request);
  // The same from KV_PPDATA1 (PP_VALUE), one entry per data label.
  void LoadPostProcessedData(const TDataFileStationSensor& request);

  // Writes `value` at local time `time` into KV_DATA1 (a new row with SOURCE
  // " " and ORIG_VALUE = ED_VALUE = value, or ED_VALUE of the existing row)
  // and into the cache. False without a message on failure; the cache is then
  // unchanged.
  bool SetSensorValue(const std::string& station, const std::string& sensor, bool useGMT, double value,
                      DateTimeValue time);
  // Deletes every KV_DATA1 row of the sensor within 0.1 second of `time`, and
  // the point from the cache. A failure shows its message and returns false.
  bool DeleteSensorValue(const std::string& station, const std::string& sensor, bool useGMT, DateTimeValue time);
  // Changes PP_VALUE of an existing KV_PPDATA1 row and the cache; false (and
  // nothing written) when there is no such row or on failure.
  bool SetPostProcessedValue(const std::string& station, const std::string& sensor, bool useGMT, double value,
                             DateTimeValue time, const std::string& label);
  // Deletes KV_PPDATA1 rows within 0.1 second of `time` and the cached
  // point; false without a message on failure.
  bool DeletePostProcessedValue(const std::string& station, const std::string& sensor, bool useGMT,
                                DateTimeValue time, const std::string& label);

  // The local zone's standard offset from UTC in days (UTC minus local
  // standard time; daylight saving left out): 0.25 for UTC-6.
  static double GmtOffset();

  TimeTag RangeStart = 0;  // start of the loaded request
  TimeTag RangeEnd = 0;    // end of the loaded request

 private:
  void Load(const TDataFileStationSensor& request, bool postProcessed);

  std::vector<std::unique_ptr<TDBViewDataCacheItem>> items_;
};

// The process-wide cache.
TDBViewDataCache& ViewDataCache();

}  // namespace kvq
