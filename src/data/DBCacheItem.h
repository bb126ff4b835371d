// One entry of the view data cache: the values of one sensor (or of one
// post-processed series) over the retrieved period.
#pragma once

#include <string>
#include <vector>

#include "data/Stats.h"
#include "foundation/TimeBase.h"

namespace kvq {

class TDBViewDataCacheItem {
 public:
  TDBViewDataCacheItem(std::string station, std::string sensor, std::string label = {});

  // Binary search of `Times` for `time`, to the millisecond. True with its
  // position in `index`; false with the position where it belongs.
  bool FindTime(DateTimeValue time, int& index) const;

  // Appends a point at the end. Capacity grows by half, so the two lists
  // never hold more than 24 bytes per point.
  void Append(DateTimeValue time, double value);

  // Inserts or replaces the point at `time`, keeping `Times` ascending.
  void Put(DateTimeValue time, double value);

  // Removes the point at exactly `time`; false when there is none.
  bool Remove(DateTimeValue time);

  // Gives back the capacity beyond the points held.
  void Compact();

  int Count() const { return static_cast<int>(Times.size()); }

  std::string Station;
  std::string Sensor;
  std::string Label;  // data label (post-processed data only)
  double Reference1 = 0.0;  // REFERENCE_1 of the sensor; 0 when null or absent
  double Reference2 = 0.0;
  int Column = -1;   // grid column in the list view
  int Position = 0;  // walking position of the list view
  int Decimals = 3;  // decimals shown by the list view
  std::vector<DateTimeValue> Times;  // ascending, local time
  std::vector<double> Values;        // parallel to Times
  TStatistics Stats;                 // used by the list view
};

}  // namespace kvq
