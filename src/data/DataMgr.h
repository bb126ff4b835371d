// TDataMgr delivers the values of the requested sensors over a time range,
// one value at a time through OnValue, from a folder of data files (through
// the command client and its reply cache) or from the station database (one
// statement per sensor). In interval mode it feeds each sensor's TStatistics
// and reports every finished interval instead. It also reads and writes
// single values for editing.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "data/Sensor.h"
#include "foundation/Types.h"

namespace kvq {

class TFileServer;
class TGenClient;
class TRawCacheItem;

namespace datamgr {

// One binary data file as the data manager sees it, from its INFO and
// FORMAT replies.
class TDataFile {
 public:
  std::string Name;          // the name used in commands (full path without extension)
  std::string GroupName;     // the file's Name
  DayNumber StartDay = 0;
  TimeTag FirstTime = 0;     // time tag of the first record
  TimeTag EndTime = 0;       // time tag of the last record
  std::int32_t TimeOffset = 0;  // taken modulo Interval
  std::int32_t Interval = 0;
  bool EndOfInterval = false;
  // Sensors in column order: full name and the sensor (owned).
  std::vector<std::pair<std::string, std::unique_ptr<TSensor>>> Sensors;

  // The grid value of the record holding time tag t, and the time tag of a
  // grid value (the grid of the data file format).
  TimeTag GridOf(TimeTag t) const;
  TimeTag TagOfGrid(TimeTag g) const;
  // Bytes of one record.
  std::size_t RecordSize() const { return Sensors.size() * 4; }
};

}  // namespace datamgr

class TDataMgr {
 public:
  // (sender, request index, time, value, missing, stop). In interval mode a
  // call closes an interval: the value is 0, `missing` says the interval held
  // no value, and the sensor's Statistics hold the results during the call.
  using ValueEvent = std::function<void(TDataMgr&, int, TimeTag, double, bool, bool&)>;
  // (sender, time, interval, offset, result): may replace a computed boundary.
  using BoundaryEvent = std::function<void(TDataMgr&, TimeTag, std::int32_t, std::int32_t, TimeTag&)>;

  // Cache byte limit 1000000, empty lists, source type -1, a new client.
  TDataMgr();
  ~TDataMgr();
  TDataMgr(const TDataMgr&) = delete;
  TDataMgr& operator=(const TDataMgr&) = delete;

  // Frees the data files, clears both lists, restores the cache byte limit,
  // source type 0.
  void Reset();

  // ---- the lists the owner fills ----
  // A data file by its full path without extension (kept sorted, once each).
  void AddDataFile(const std::string& name);
  // A requested STATION.SENSOR; database sensors come with their object
  // (not owned; it must outlive the retrieval).
  void AddRequested(const std::string& name, TSensor* sensor = nullptr);
  int RequestedCount() const { return static_cast<int>(requested_.size()); }
  const std::string& RequestedName(int index) const { return requested_[static_cast<std::size_t>(index)].Name; }
  // The sensor of a requested name, null when no file holds it.
  TSensor* RequestedSensor(int index) const { return requested_[static_cast<std::size_t>(index)].Sensor; }
  const std::vector<std::unique_ptr<datamgr::TDataFile>>& DataFiles() const { return files_; }

  // -1 none, 0 binary data files, 1 database.
  int SourceType = -1;

  // Binary sources: gives the data files to `server` as its file list,
  // points the client at it and reads every file's description (INFO and
  // FORMAT, caching on). False when the server does not open all files.
  bool OpenBinarySource(TFileServer& server, const std::string& programName = "KV Quillon");

  // Links the requested names to sensors and computes the range and the
  // interval range; database sensors are preloaded.
  void PrepareRequest();

  // Delivers values (or, in interval mode, finished intervals) from `start`
  // to `end` through OnValue. `interval` 0 means each file's own interval.
  void Retrieve(TimeTag start, TimeTag end, bool intervalMode, std::int32_t offset, std::int32_t interval);

  // The value text of a requested sensor at `time`; empty when missing.
  std::string ReadPoint(const std::string& name, TimeTag time);
  // Stores a value text ("" or "--..." stores a missing value); false when
  // the text is not a number or the store fails.
  bool WritePoint(const std::string& name, TimeTag time, const std::string& valueText);

  // The first boundary offset + k x interval at or after t (t - 1 for an
  // interval of 0), and the last one at or before t (t + 1 for 0); the
  // boundary events may replace them.
  TimeTag NextBoundary(TimeTag t, std::int32_t interval, std::int32_t offset);
  TimeTag PrevBoundary(TimeTag t, std::int32_t interval, std::int32_t offset);

  // A raw reply for [s, e] of a data file: from a cached reply covering s,
  // else by a RAW command (cached as a raw item). False when it fails.
  bool ReadRaw(const datamgr::TDataFile& file, TimeTag s, TimeTag e, std::string& raw);
  // The cached raw reply of `file` whose records hold t, or null.
  TRawCacheItem* FindCachedRaw(const datamgr::TDataFile& file, TimeTag t);
  // Drops random raw replies once they hold CacheByteLimit bytes or more.
  void TrimCache();

  // Database sensors: loads the rows of the sensor's value range.
  bool PreloadDbSensor(TSensor& sensor, const std::string& name);
  // A raw reply of one value per step from s on; `first` gets the time of
  // the first value.
  bool ReadDbRaw(TSensor& sensor, const std::string& name, TimeTag s, TimeTag e, std::string& raw, TimeTag& first);

  TGenClient& Client() { return *client_; }

  std::int64_t CacheByteLimit = 1000000;
  TimeTag RangeStart = 0;  // first time of the requested sensors
  TimeTag RangeEnd = 0;    // end time of the requested sensors
  std::int32_t MinInterval = 0;
  std::int32_t MaxInterval = 0;

  ValueEvent OnValue;
  BoundaryEvent OnNextBoundary;
  BoundaryEvent OnPrevBoundary;

 private:
  struct TRequested {
    std::string Name;
    TSensor* Sensor = nullptr;
  };
  datamgr::TDataFile* FileOf(const TSensor* sensor) const;
  TSensor* FindRequested(const std::string& name) const;
  void RetrieveFile(datamgr::TDataFile& file, TimeTag s, TimeTag e, bool intervalMode, std::int32_t offset,
                    std::int32_t interval);
  void RetrieveDbSensor(TSensor& sensor, const std::string& name, TimeTag s, TimeTag e, bool intervalMode,
                        std::int32_t offset, std::int32_t interval);
  bool Report(TSensor& sensor, TimeTag time, double value, bool missing);

  std::unique_ptr<TGenClient> client_;
  std::vector<TRequested> requested_;
  std::vector<std::unique_ptr<datamgr::TDataFile>> files_;
  bool stop_ = false;
};

}  // namespace kvq
