// Interval statistics through the data manager over a 1-year, 1-minute data
// file with 8 sensors at 1-hour intervals, against pandas (numpy.fromfile +
// resample('1h').agg(min, max, mean, std, sum, count)) on the same values in
// the same run. The figures of both are checked against each other; the
// speed ratio is printed last.
#include <QCoreApplication>

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "data/DataMgr.h"
#include "foundation/Directive.h"
#include "foundation/TimeBase.h"
#include "store/FileSrvr.h"

using namespace kvq;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kSensors = 8;
constexpr int kRecords = 365 * 1440;

struct Hour {
  double count = 0, min = NAN, max = NAN, mean = NAN, std = NAN, sum = 0;
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const std::string dir = std::filesystem::temp_directory_path().string() + "/kvq-bench-dm-" + std::to_string(::getpid());
  std::filesystem::create_directories(dir);
  const TimeTag start = EncodeTimeTag(2009, 1, 1, 0, 0, 0);

  // the file and the same values as a float32 matrix for numpy
  std::string description = "\"YEAR\",01/01/2009,00:00:00,00:01:00,No";
  for (int s = 0; s < kSensors; ++s) description += ",STA.S" + std::to_string(s) + ",3";
  TDataFile file(dir + "/YEAR.DAT", dir + "/YEAR");
  if (!file.CreateFile(description)) return 1;
  std::vector<std::uint32_t> values(static_cast<std::size_t>(kRecords) * kSensors);
  std::uint32_t seed = 12345;
  for (int r = 0; r < kRecords; ++r)
    for (int s = 0; s < kSensors; ++s) {
      seed = seed * 1664525u + 1013904223u;
      float v = static_cast<float>(10 * s + 5 * std::sin(r / 240.0 + s) + (seed >> 8) / 16777216.0);
      if ((r / 60) % 997 == s) v = NAN;  // a few hours without any value
      if (seed % 500 == 0) v = NAN;      // and scattered missing values
      std::uint32_t bits;
      std::memcpy(&bits, &v, 4);
      values[static_cast<std::size_t>(r) * kSensors + s] = std::isnan(v) ? 0xFFFFFFFFu : bits;
    }
  if (!file.AppendRecords(values) || !file.Close()) return 1;
  const std::string matrix = dir + "/values.f32";
  std::ofstream(matrix, std::ios::binary).write(reinterpret_cast<const char*>(values.data()), static_cast<std::streamsize>(values.size() * 4));
  std::printf("file: %.1f MB, %d records of %d sensors\n", std::filesystem::file_size(dir + "/YEAR.DAT") / 1e6, kRecords, kSensors);

  // the data manager, as the interval list uses it
  TFileServer server(DefaultGroupSetup("1"));
  std::vector<Hour> ours(static_cast<std::size_t>(kRecords / 60) * kSensors);
  double best = 1e30;
  for (int run = 0; run < 3; ++run) {
    TDataMgr dm;
    dm.SourceType = 0;
    dm.AddDataFile(dir + "/YEAR");
    for (int s = 0; s < kSensors; ++s) dm.AddRequested("STA.S" + std::to_string(s));
    const auto a = Clock::now();
    dm.OpenBinarySource(server);
    dm.PrepareRequest();
    dm.OnValue = [&](TDataMgr& m, int index, TimeTag t, double, bool empty, bool&) {
      const std::int64_t hour = (t - start) / 3600;
      if (hour < 0 || hour >= kRecords / 60) return;
      const TStatistics& st = m.RequestedSensor(index)->Statistics;
      Hour& h = ours[static_cast<std::size_t>(hour) * kSensors + index];
      h.count = st.Count;
      h.sum = st.Sum;
      if (!empty) h.min = st.MinValue, h.max = st.MaxValue, h.mean = st.Average();
      h.std = st.Count > 1 ? st.StdDev() : NAN;
    };
    dm.Retrieve(start, start + (kRecords - 1) * 60, true, 0, 3600);
    best = std::min(best, std::chrono::duration<double>(Clock::now() - a).count());
  }
  std::printf("data manager: %.1f ms for %d hourly intervals x %d sensors\n", best * 1e3, kRecords / 60, kSensors);

  if (argc > 1 && std::string(argv[1]) == "dm") return 0;  // the data manager alone (for profiling)

  // pandas on the same values
  const std::string npy = dir + "/pandas.npy";
  const std::string script = std::string(KVQ_BENCH_DIR) + "/pandas_stats.py";
  const std::string command = "/usr/bin/python3 '" + script + "' '" + matrix + "' " + std::to_string(kSensors) + " " +
                              std::to_string(1230768000) + " '" + npy + "' > '" + dir + "/pandas.out'";
  double pandasBest = 1e30;
  for (int run = 0; run < 3; ++run) {
    if (std::system(command.c_str()) != 0) {
      std::printf("pandas did not run (is python3-pandas installed?)\n");
      return 1;
    }
    std::ifstream out(dir + "/pandas.out");
    double seconds = 0;
    out >> seconds;
    pandasBest = std::min(pandasBest, seconds);
  }
  std::printf("pandas:       %.1f ms\n", pandasBest * 1e3);

  // the same figures?
  std::ifstream in(npy, std::ios::binary);
  char head[10];
  in.read(head, 10);
  const std::uint16_t headerLength = static_cast<std::uint8_t>(head[8]) | (static_cast<std::uint8_t>(head[9]) << 8);
  in.seekg(10 + headerLength);
  std::vector<double> theirs(ours.size() * 6);
  in.read(reinterpret_cast<char*>(theirs.data()), static_cast<std::streamsize>(theirs.size() * 8));
  int mismatches = 0;
  auto same = [](double a, double b) {
    if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
    return std::fabs(a - b) <= 1e-6 * std::max(1.0, std::fabs(b));
  };
  for (std::size_t i = 0; i < ours.size(); ++i) {
    const double* p = &theirs[i * 6];
    const Hour& h = ours[i];
    if (!same(h.count, p[0]) || !same(h.min, p[1]) || !same(h.max, p[2]) || !same(h.mean, p[3]) ||
        !same(h.std, p[4]) || !same(h.sum, p[5])) {
      if (mismatches++ < 5)
        std::printf("differs at hour %zu sensor %zu: ours %g %g %g %g %g %g, pandas %g %g %g %g %g %g\n",
                    i / kSensors, i % kSensors, h.count, h.min, h.max, h.mean, h.std, h.sum, p[0], p[1], p[2], p[3], p[4], p[5]);
    }
  }
  std::printf("figures compared: %zu intervals x 6, %d differ\n", ours.size(), mismatches);
  std::filesystem::remove_all(dir);
  std::printf("pandas / data manager time ratio: %.1f (goal >= 5)\n", pandasBest / best);
  return mismatches == 0 ? 0 : 1;
}
