// The station/sensor vocabulary shared by the main window and the views: one
// sensor of the open data source (TStationSensorItem), all of them in a chosen
// order (TStationSensorCache), and a retrieval request (TDataFileStationSensor)
// made of one TDataFileStationSensorItem per data file or for the database.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "data/Sensor.h"
#include "foundation/TimeBase.h"
#include "foundation/Types.h"

namespace kvq {

class TDataFile;  // the store's binary data file

// What a tree node stands for; chooses its icon.
enum class TNodeKind : std::uint8_t {
  None,
  DataFile,
  Station,
  Sensor,
  SensorLabel,
  Basin,
  Agency,
  District,
  City,
  County,
  State,
  Country,
  PrimaryChannel,
  RandomChannel,
};

// One label of the three tree levels an entry is filed under.
struct TTreeLevel {
  std::string Label;
  TNodeKind Kind = TNodeKind::None;
};

// One sensor of the open data source: a row of the tree and of the retrieval
// list. The reporting interval and offset of a database sensor live in the
// TSensor part (Interval, Offset).
class TStationSensorItem : public TSensor {
 public:
  // A TSensor with its defaults; every added text empty and number 0.
  TStationSensorItem() = default;

  // Copies the identifying texts, LastUpdate, StartTime, EndTime, the two
  // user values, the limits, RightDigit and the reporting offset and interval.
  // Location attributes, channels and tree levels are not copied.
  void Assign(const TStationSensorItem& other);

  // True when DataFile, FilePath, StationID, SensorName and SensorLabel are
  // all equal, letter case counting.
  bool SameEntry(const TStationSensorItem& other) const;

  std::string DataFile;     // data-file sources: file name without folder
  std::string FilePath;     // data-file sources: full path of the file
  std::string StationID;
  std::string SensorName;
  std::string SensorLabel;  // post-processed data: the data label
  std::string StartTime;    // data-file sources: first record time as text
  std::string EndTime;      // data-file sources: last record time as text
  DateTimeValue LastUpdate = 0;  // database: last update; -1.0 when never
  std::string Basin, Agency, District, City, County, State, Country;
  std::int32_t PrimaryChannel = 0;
  std::int32_t RandomChannel = 0;
  // Two values free for the owner (a view may keep a colour or a marker
  // there); carried along by Assign.
  std::int32_t UserValue1 = 0;
  double LowLimit = 0;
  double HighLimit = 0;
  std::int32_t UserValue2 = 0;
  std::uint16_t RightDigit = 0;  // number of decimals
  std::array<TTreeLevel, 3> TreeLevels;
};

// Three-way comparison of two entries under a sort mode of
// TStationSensorCache::SortBy: negative, 0 or positive.
int CompareStationSensorItems(const TStationSensorItem& a, const TStationSensorItem& b, int mode);

// The entries of the open source in the order of the last SortBy. Owns them.
class TStationSensorCache {
 public:
  TStationSensorCache() = default;
  ~TStationSensorCache();
  TStationSensorCache(const TStationSensorCache&) = delete;
  TStationSensorCache& operator=(const TStationSensorCache&) = delete;

  // Appends `entry` and takes it over; returns it.
  TStationSensorItem* Add(std::unique_ptr<TStationSensorItem> entry);
  int Count() const { return static_cast<int>(items_.size()); }
  // The entry at `index` (0-based, must be below Count()); owned by the cache.
  TStationSensorItem* Items(int index) const { return items_.at(static_cast<std::size_t>(index)).get(); }

  // Sorts with the comparison of `mode`:
  //   0 DataFile, StationID, SensorName     1 StationID, SensorName, DataFile
  //   2 SensorName, StationID, DataFile     3 StationID, SensorName
  //   4 SensorName, StationID               5..11 Basin, Agency, District, City,
  //   County, State, Country, then StationID, SensorName   12 PrimaryChannel
  //   13 RandomChannel (then StationID, SensorName)   20 StationID, SensorName,
  //   SensorLabel   21 SensorName, StationID, SensorLabel   22 SensorLabel,
  //   StationID, SensorName. Texts ignore letter case; any other mode leaves
  //   the order undefined. Not stable.
  void SortBy(int mode);

  // Removes and frees the entry at `index`; nothing when out of range.
  void Delete(int index);
  // Frees every entry, last to first.
  void Clear();

 private:
  std::vector<std::unique_ptr<TStationSensorItem>> items_;
};

// One data file (or the database) within a retrieval request.
class TDataFileStationSensorItem {
 public:
  // Empty lists. With a non-empty path a store data file object is made for
  // (dataFilePath, dataFileName); it is not opened here.
  explicit TDataFileStationSensorItem(const std::string& dataFilePath = {},
                                      const std::string& dataFileName = {});
  ~TDataFileStationSensorItem();
  TDataFileStationSensorItem(const TDataFileStationSensorItem&) = delete;
  TDataFileStationSensorItem& operator=(const TDataFileStationSensorItem&) = delete;

  // Parallel lists, one element per requested sensor.
  std::vector<std::string> Stations;
  std::vector<std::string> Sensors;
  std::vector<std::string> Labels;  // database: the data label, else empty
  // Copies of the retrieval-list entries; owned, freed with the item.
  std::vector<std::unique_ptr<TStationSensorItem>> Entries;
  // Data-file requests: the store's file made from the path; null otherwise.
  std::unique_ptr<TDataFile> DataFile;
  std::string DataFilePath;
  std::string DataFileName;
  // Database requests: those of the current data source.
  std::string DSN;
  std::string User;
  std::string Password;
};

// A retrieval request: the groups of requested sensors and the range.
class TDataFileStationSensor {
 public:
  TDataFileStationSensor() = default;
  ~TDataFileStationSensor();
  TDataFileStationSensor(const TDataFileStationSensor&) = delete;
  TDataFileStationSensor& operator=(const TDataFileStationSensor&) = delete;

  // Appends `item` and takes it over; returns it.
  TDataFileStationSensorItem* AddItem(std::unique_ptr<TDataFileStationSensorItem> item);
  int ItemCount() const { return static_cast<int>(items_.size()); }
  // The group at `index` (must be below ItemCount()); owned by the request.
  TDataFileStationSensorItem* Items(int index) const { return items_.at(static_cast<std::size_t>(index)).get(); }
  // Frees and removes the group at `index`; nothing when out of range.
  void DeleteItem(int index);
  // Frees every group, last to first.
  void Clear();

  int Count = 0;              // requested sensors, counted by the filler
  TimeTag Start = 0;          // start of the range
  TimeTag End = 0;            // end of the range
  std::uint8_t SourceType = 0;
  bool PostProcessed = false;  // database: post-processed data selected
  bool UseGMT = false;         // database: values are stored in UTC
  // Database: 0 "Start >= and <= End", 1 "Start >= and < End",
  // 2 "Start > and <= End".
  int TimeBoundary = 0;
  bool DefaultTimeFormat = true;

 private:
  std::vector<std::unique_ptr<TDataFileStationSensorItem>> items_;
};

}  // namespace kvq
