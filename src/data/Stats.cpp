#include "data/Stats.h"

#include <cmath>

namespace kvq {

TStatistics::TStatistics() : LowLimit(-32768.0), HighLimit(32767.0) { Reset(); }

void TStatistics::Reset() {
  Count = 0;
  Sum = 0;
  SumOfSquares = 0;
  BadCount = 0;
  MinTime = 0;
  MaxTime = 0;
  MinValue = NoValue;
  MaxValue = NoValue;
}

double TStatistics::Average() const { return Count > 0 ? Sum / Count : Sum; }

double TStatistics::StdDev() const {
  if (Count <= 1) return 0.0;
  // The absolute value guards against a tiny negative difference from rounding.
  return std::sqrt(std::fabs((Count * SumOfSquares - Sum * Sum) / (Count * (Count - 1))));
}

}  // namespace kvq
