// Interval statistics of one sensor: minimum and maximum with their times,
// average, sample standard deviation, range, sum and the counts of all, good
// and bad values. Filled in one pass; no value is kept.
#pragma once

#include "foundation/Types.h"

namespace kvq {

class TStatistics {
 public:
  // "No value seen yet" for MinValue and MaxValue.
  static constexpr double NoValue = -1.0e308;

  // Limits -32768 and 32767, then Reset().
  TStatistics();

  // Clears the counts, sums, times and extremes. The limits stay.
  void Reset();

  // Adds one value at `time`. A value outside [LowLimit, HighLimit] is
  // counted bad and still enters the counts, sums and extremes. Ties of the
  // extremes keep the earlier time.
  void Add(TimeTag time, double value) {
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

  // Sum / Count, or Sum when nothing was added.
  double Average() const;
  // Sample standard deviation (divisor n - 1); 0 below two values.
  double StdDev() const;
  // MaxValue - MinValue.
  double Delta() const { return MaxValue - MinValue; }
  // Count - BadCount.
  double Good() const { return Count - BadCount; }

  double LowLimit;   // a value below it is bad; set by the owner, kept by Reset
  double HighLimit;  // a value above it is bad
  double Count = 0;  // values added, bad ones included
  double Sum = 0;
  double SumOfSquares = 0;
  TimeTag MaxTime = 0;  // time of the largest value
  TimeTag MinTime = 0;  // time of the smallest value
  double MinValue = NoValue;
  double MaxValue = NoValue;
  double BadCount = 0;  // values outside the limits
};

}  // namespace kvq
