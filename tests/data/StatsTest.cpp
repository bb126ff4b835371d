#include <gtest/gtest.h>

#include <vector>

#include "data/Stats.h"

namespace kvq {
namespace {

struct StatsCase {
  const char* name;
  std::vector<double> values;  // added at times 100, 200, ...
  double count, average, stddev, delta, sum, bad;
  double min, max;
  TimeTag minTime, maxTime;
};

class StatsTable : public ::testing::TestWithParam<StatsCase> {};

TEST_P(StatsTable, Results) {
  const StatsCase& c = GetParam();
  TStatistics s;
  TimeTag t = 100;
  for (double v : c.values) {
    s.Add(t, v);
    t += 100;
  }
  EXPECT_DOUBLE_EQ(s.Count, c.count);
  EXPECT_NEAR(s.Average(), c.average, 1e-12);
  EXPECT_NEAR(s.StdDev(), c.stddev, 1e-4);
  EXPECT_DOUBLE_EQ(s.Delta(), c.delta);
  EXPECT_DOUBLE_EQ(s.Sum, c.sum);
  EXPECT_DOUBLE_EQ(s.BadCount, c.bad);
  EXPECT_DOUBLE_EQ(s.Good(), c.count - c.bad);
  EXPECT_DOUBLE_EQ(s.MinValue, c.min);
  EXPECT_DOUBLE_EQ(s.MaxValue, c.max);
  EXPECT_EQ(s.MinTime, c.minTime);
  EXPECT_EQ(s.MaxTime, c.maxTime);
}

const double kNo = TStatistics::NoValue;

INSTANTIATE_TEST_SUITE_P(
    Cases, StatsTable,
    ::testing::Values(
        StatsCase{"Empty", {}, 0, 0, 0, 0, 0, 0, kNo, kNo, 0, 0},
        StatsCase{"OneValue", {7.5}, 1, 7.5, 0, 0, 7.5, 0, 7.5, 7.5, 100, 100},
        StatsCase{"OneToFour", {1, 2, 3, 4}, 4, 2.5, 1.2910, 3, 10, 0, 1, 4, 100, 400},
        // Equal extremes keep the earlier time.
        StatsCase{"TiesKeepEarlierTime", {5, 1, 5, 1}, 4, 3, 2.3094, 4, 12, 0, 1, 5, 200, 100},
        // Values outside the limits are bad but still counted everywhere.
        StatsCase{"OutsideLimits", {40000, -40000, 10}, 3, 10.0 / 3, 40000.0004, 80000, 10, 2, -40000, 40000, 200, 100},
        // A value exactly on a limit is good.
        StatsCase{"OnTheLimits", {32767, -32768}, 2, -0.5, 46340.2429, 65535, -1, 0, -32768, 32767, 200, 100},
        // All negative: the first value must replace NoValue for the maximum too.
        StatsCase{"AllNegative", {-3, -2, -9}, 3, -14.0 / 3, 3.7859, 7, -14, 0, -9, -2, 300, 200}),
    [](const ::testing::TestParamInfo<StatsCase>& info) { return std::string(info.param.name); });

TEST(Stats, ResetKeepsLimitsAndClearsResults) {
  TStatistics s;
  s.LowLimit = 0;
  s.HighLimit = 10;
  s.Add(5, 20);
  EXPECT_DOUBLE_EQ(s.BadCount, 1);
  s.Reset();
  EXPECT_DOUBLE_EQ(s.LowLimit, 0);
  EXPECT_DOUBLE_EQ(s.HighLimit, 10);
  EXPECT_DOUBLE_EQ(s.Count, 0);
  EXPECT_DOUBLE_EQ(s.BadCount, 0);
  EXPECT_DOUBLE_EQ(s.MaxValue, TStatistics::NoValue);
  EXPECT_EQ(s.MaxTime, 0);
  s.Add(6, -1);  // below the owner's limit
  EXPECT_DOUBLE_EQ(s.BadCount, 1);
}

TEST(Stats, StdDevNeverNegativeFromRounding) {
  // Many equal values: the difference of the sums rounds to a tiny negative.
  TStatistics s;
  for (int i = 0; i < 1000; ++i) s.Add(i, 0.1);
  EXPECT_GE(s.StdDev(), 0.0);
  EXPECT_LT(s.StdDev(), 1e-6);
}

}  // namespace
}  // namespace kvq
