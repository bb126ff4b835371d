#include "store/DemoFiles.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <cstring>
#include <filesystem>
#include <random>
#include <vector>

#include "foundation/Directive.h"
#include "foundation/TimeBase.h"
#include "store/Dayfile.h"

namespace kvq {

namespace {

constexpr double kPi = 3.14159265358979323846;

std::uint32_t Bits(double v) {
  const float f = static_cast<float>(v);
  std::uint32_t b;
  std::memcpy(&b, &f, 4);
  return b;
}

// Day of the year as a fraction of the year, 0 on 1 January.
double SeasonOf(TimeTag t) {
  const DateTimeParts p = DecodeTimeTag(t);
  const int doy = EncodeDayNumber(p.year, p.month, p.day) - EncodeDayNumber(p.year, 1, 1);
  return (doy + (p.hours * 3600 + p.minutes * 60) / 86400.0) / 365.25;
}

double HourOf(TimeTag t) { return (t % 86400) / 3600.0; }

// Rain storms over the whole period, one rate per minute-of-period lookup:
// a list of (start, end, peak mm per hour).
struct Storm {
  TimeTag start, end;
  double peak;
};

std::vector<Storm> MakeStorms(TimeTag from, TimeTag to, std::mt19937& rng) {
  std::vector<Storm> storms;
  std::exponential_distribution<double> gap(1.0 / (5.5 * 86400));
  std::uniform_real_distribution<double> hours(2, 14), peak(1.5, 18);
  for (double t = from + gap(rng); t < to; t += gap(rng)) {
    const double length = hours(rng) * 3600;
    // summer storms are shorter and heavier
    const double summer = 0.5 + 0.5 * std::sin(2 * kPi * (SeasonOf(static_cast<TimeTag>(t)) - 0.3));
    storms.push_back({static_cast<TimeTag>(t), static_cast<TimeTag>(t + length * (1.2 - 0.5 * summer)),
                      peak(rng) * (0.7 + 0.8 * summer)});
  }
  return storms;
}

// Rain rate in mm per hour at time t: a bell over each storm.
double RainRate(const std::vector<Storm>& storms, TimeTag t) {
  double rate = 0;
  for (const Storm& s : storms) {
    if (t < s.start || t >= s.end) continue;
    const double x = static_cast<double>(t - s.start) / (s.end - s.start);
    rate += s.peak * std::sin(kPi * x) * std::sin(kPi * x);
  }
  return rate;
}

// Stretches in which a sensor recorded nothing.
struct Gap {
  TimeTag start, end;
};

std::vector<Gap> MakeGaps(TimeTag from, TimeTag to, int count, std::mt19937& rng) {
  std::uniform_real_distribution<double> at(0.05, 0.95), hours(3, 70);
  std::vector<Gap> gaps;
  for (int i = 0; i < count; ++i) {
    const TimeTag s = from + static_cast<TimeTag>((to - from) * at(rng));
    gaps.push_back({s, s + static_cast<TimeTag>(hours(rng) * 3600)});
  }
  return gaps;
}

bool InGap(const std::vector<Gap>& gaps, TimeTag t) {
  for (const Gap& g : gaps)
    if (t >= g.start && t < g.end) return true;
  return false;
}

// One demo file: its description and a function giving the values of a record.
bool WriteFile(const std::string& path, const std::string& description, TimeTag from, TimeTag to, int interval,
               const std::function<void(TimeTag, std::vector<double>&)>& values, std::string& error) {
  std::error_code ec;
  std::filesystem::remove(path, ec);
  TDataFile file(path, path.substr(0, path.size() - 4));
  if (!file.CreateFile(description, true)) {
    error = "Error 102: Unable to create " + path;
    return false;
  }
  const int n = file.SensorCount;
  std::vector<std::uint32_t> batch;
  std::vector<double> v(static_cast<std::size_t>(n));
  for (TimeTag t = file.StartTime(); t <= to; t += interval) {
    values(t, v);
    for (double x : v) batch.push_back(std::isnan(x) ? kMissingBits : Bits(x));
    if (batch.size() >= 65536) {
      if (!file.AppendRecords(batch)) break;
      batch.clear();
    }
  }
  if (!file.AppendRecords(batch) || !file.FlushPending(true) || !file.Close()) {
    error = "Error 607: Unable to write data for file " + path;
    return false;
  }
  (void)from;
  return true;
}

}  // namespace

bool WriteDemoFiles(const std::string& folder, TimeTag now, std::string& error) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  const TimeTag from = (now - 400 * 86400) - (now - 400 * 86400) % 86400;
  const std::string start = FormatStr("%d", from / 86400);
  std::mt19937 rng(20090307u);
  const std::vector<Storm> storms = MakeStorms(from, now, rng);
  const double nan = std::nan("");
  std::normal_distribution<double> noise(0, 1);

  // Millbrook river gauge: the stage answers the rain through a linear reservoir.
  {
    const auto stageGaps = MakeGaps(from, now, 3, rng);
    const auto rainGaps = MakeGaps(from, now, 2, rng);
    double storage = 0;
    auto values = [&](TimeTag t, std::vector<double>& v) {
      const double rain = RainRate(storms, t) * 0.25;  // mm in 15 minutes
      storage = storage * std::exp(-900.0 / (30 * 3600)) + rain;
      const double base = 0.85 + 0.25 * std::sin(2 * kPi * (SeasonOf(t) + 0.1));
      v[0] = InGap(stageGaps, t) ? nan : base + 0.09 * std::pow(storage, 0.8) + 0.003 * noise(rng);
      v[1] = InGap(rainGaps, t) ? nan : std::round(rain * 5) / 5;  // a 0.2 mm tipping bucket
    };
    if (!WriteFile(folder + "/MILLBROOK.DAT",
                   "\"Millbrook River Gauge\"," + start + ",00:00:00,00:15:00,No,MILLBROOK.STAGE,2,MILLBROOK.RAIN,1",
                   from, now, 900, values, error))
      return false;
  }
  // Lakeview reservoir: a slow seasonal level with inflow after storms.
  {
    const auto gaps = MakeGaps(from, now, 2, rng);
    double inflow = 0;
    auto values = [&](TimeTag t, std::vector<double>& v) {
      inflow = inflow * std::exp(-3600.0 / (5 * 86400)) + RainRate(storms, t) * 0.004;
      const double season = SeasonOf(t);
      v[0] = InGap(gaps, t) ? nan : 312.0 + 1.6 * std::sin(2 * kPi * (season + 0.05)) + inflow + 0.005 * noise(rng);
      v[1] = InGap(gaps, t) ? nan
                            : 12.5 - 9.0 * std::cos(2 * kPi * (season - 0.08)) +
                                  0.6 * std::sin(2 * kPi * (HourOf(t) - 9) / 24) + 0.05 * noise(rng);
    };
    if (!WriteFile(folder + "/LAKEVIEW.DAT",
                   "\"Lakeview Reservoir\"," + start + ",00:00:00,01:00:00,No,LAKEVIEW.ELEV,2,LAKEVIEW.WTEMP,1", from,
                   now, 3600, values, error))
      return false;
  }
  // Hilltop weather station.
  {
    const auto gaps = MakeGaps(from, now, 3, rng);
    double direction = 225, pressureWave = 0;
    std::uniform_real_distribution<double> turn(-12, 12);
    auto values = [&](TimeTag t, std::vector<double>& v) {
      const double season = SeasonOf(t), hour = HourOf(t);
      const double rain = RainRate(storms, t);
      const double daily = std::sin(2 * kPi * (hour - 9) / 24);
      const double air = 10.5 - 12.0 * std::cos(2 * kPi * (season - 0.05)) + 5.5 * daily - 0.4 * rain + 0.3 * noise(rng);
      pressureWave = 7.5 * std::sin(2 * kPi * t / (5.3 * 86400)) + 3 * std::sin(2 * kPi * t / (2.1 * 86400));
      direction = std::fmod(direction + turn(rng) + (rain > 0 ? 5 : 0) + 360, 360);
      const bool gap = InGap(gaps, t);
      v[0] = gap ? nan : air;
      v[1] = gap ? nan : std::clamp(72 - 18 * daily + 4 * rain + 3 * noise(rng), 18.0, 100.0);
      v[2] = gap ? nan : std::max(0.0, 2.8 + 1.5 * daily + 0.9 * rain + 1.2 * noise(rng));
      v[3] = gap ? nan : std::round(direction);
      v[4] = gap ? nan : 1013.0 + pressureWave - 1.8 * rain + 0.2 * noise(rng);
      v[5] = gap ? nan : std::round(rain / 6 * 5) / 5;  // mm in 10 minutes, 0.2 mm bucket
    };
    if (!WriteFile(folder + "/HILLTOP.DAT",
                   "\"Hilltop Weather Station\"," + start +
                       ",00:00:00,00:10:00,No,HILLTOP.AIRTEMP,1,HILLTOP.RH,0,HILLTOP.WSPD,1,HILLTOP.WDIR,0,"
                       "HILLTOP.PRESS,1,HILLTOP.RAIN,1",
                   from, now, 600, values, error))
      return false;
  }
  return true;
}

}  // namespace kvq
