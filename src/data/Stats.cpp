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

void TStatistics::Add(TimeTag time, double value) {
  if (value < LowLimit || value > HighLimit) BadCount += 1;
  Count += 1;
  Sum += value;
  SumOfSquares += value * value;
  // Strict comparisons: an equal extreme later on keeps the earlier time.
  if (MaxValue == NoValue || value > MaxValue) {
    MaxValue = value;
    MaxTime = time;
  }
  if (MinValue == NoValue || value < MinValue) {
    MinValue = value;
    MinTime = time;
  }
}

double TStatistics::Average() const { return Count > 0 ? Sum / Count : Sum; }

double TStatistics::StdDev() const {
  if (Count <= 1) return 0.0;
  // The absolute value guards against a tiny negative difference from rounding.
  return std::sqrt(std::fabs((Count * SumOfSquares - Sum * Sum) / (Count * (Count - 1))));
}

}  // namespace kvq
