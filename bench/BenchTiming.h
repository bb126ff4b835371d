// Wall-clock timing shared by the benchmark programs.
#pragma once

#include <algorithm>
#include <chrono>

namespace kvqbench {

using Clock = std::chrono::steady_clock;

inline double Seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

// The shortest of `runs` runs of f, in seconds.
template <class F>
double Best(int runs, F f) {
  double best = 1e30;
  for (int i = 0; i < runs; ++i) {
    const auto a = Clock::now();
    f();
    best = std::min(best, Seconds(a, Clock::now()));
  }
  return best;
}

}  // namespace kvqbench
