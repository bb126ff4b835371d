#include "data/DBCacheItem.h"

#include <algorithm>

#include "data/SqlDateTime.h"

namespace kvq {

TDBViewDataCacheItem::TDBViewDataCacheItem(std::string station, std::string sensor, std::string label)
    : Station(std::move(station)), Sensor(std::move(sensor)), Label(std::move(label)) {}

bool TDBViewDataCacheItem::FindTime(DateTimeValue time, int& index) const {
  // Times are equal when they fall on the same millisecond, the resolution
  // at which the database keeps them; two day counts of one time computed in
  // different ways may differ in their last bit.
  const std::int64_t wanted = DateTimeToMilliseconds(time);
  int low = 0;
  int high = Count() - 1;
  while (low <= high) {
    const int middle = (low + high) / 2;
    const std::int64_t t = DateTimeToMilliseconds(Times[static_cast<std::size_t>(middle)]);
    if (t == wanted) {
      index = middle;
      return true;
    }
    if (t > wanted)
      high = middle - 1;
    else
      low = middle + 1;
  }
  index = low;
  return false;
}

void TDBViewDataCacheItem::Append(DateTimeValue time, double value) {
  if (Times.size() == Times.capacity()) {
    const std::size_t grown = std::max<std::size_t>(200, Times.capacity() + Times.capacity() / 2);
    Times.reserve(grown);
    Values.reserve(grown);
  }
  Times.push_back(time);
  Values.push_back(value);
}

void TDBViewDataCacheItem::Put(DateTimeValue time, double value) {
  int index = 0;
  if (FindTime(time, index)) {
    Values[static_cast<std::size_t>(index)] = value;
    return;
  }
  Times.insert(Times.begin() + index, MillisecondsToDateTime(DateTimeToMilliseconds(time)));
  Values.insert(Values.begin() + index, value);
}

bool TDBViewDataCacheItem::Remove(DateTimeValue time) {
  int index = 0;
  if (!FindTime(time, index)) return false;
  Times.erase(Times.begin() + index);
  Values.erase(Values.begin() + index);
  return true;
}

void TDBViewDataCacheItem::Compact() {
  Times.shrink_to_fit();
  Values.shrink_to_fit();
}

}  // namespace kvq
