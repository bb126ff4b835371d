// One sensor as the data manager sees it: a column of a binary data file, or
// a database sensor with its preloaded values. The base of TStationSensorItem.
#pragma once

#include <cstdint>
#include <vector>

#include "data/Stats.h"
#include "foundation/Types.h"

namespace kvq::datamgr {
class TDataFile;
}

namespace kvq {

class TSensor {
 public:
  // Request index and column 0, digits 2, every flag false, no values.
  TSensor() = default;
  virtual ~TSensor();
  TSensor(const TSensor&) = default;
  TSensor& operator=(const TSensor&) = default;

  // The data manager's description of the file holding this sensor (binary
  // sources); not owned, lives as long as the data manager's file list.
  datamgr::TDataFile* File = nullptr;
  TStatistics Statistics;       // accumulator of the current interval
  std::uint16_t RequestIndex = 0;  // position in the requested list
  std::uint16_t Column = 0;        // 0-based position in the file's sensor list
  std::uint16_t Digits = 2;        // decimals written by ReadPoint
  bool Processed = false;          // handled in the current retrieval
  bool HasData = false;            // a value was visited in the current retrieval
  bool Selected = false;           // the sensor is in the requested list
  std::int32_t Interval = 0;       // record (reporting) interval in seconds
  std::int32_t Offset = 0;         // reporting offset in seconds, within the interval
  bool Loaded = false;             // Values hold the sensor's database rows
  // One value per interval step from FirstTime; the missing-value pattern
  // where no row exists.
  std::vector<float> Values;
  TimeTag FirstTime = 0;  // first time tag covered by Values
  TimeTag LastTime = 0;   // last time tag covered by Values
};

}  // namespace kvq
