// The demo station database: an SQLite file with a few dozen stations of two
// countries, their sensors, decoding schemes and logging records, a year of
// 15-minute values shaped like rain, river stages, flows and weather, and
// daily post-processed series. Values are made from a fixed seed, so two
// databases made at the same clock time are identical.
#pragma once

#include <string>

namespace kvq {

struct TDemoDatabaseOptions {
  // Days of values (1 to 3660), ending at the current time (NowTimeTag)
  // rounded down to the quarter hour.
  int Days = 365;
  unsigned Seed = 19850101;
};

// What was written, for a report.
struct TDemoDatabaseSummary {
  int Stations = 0;
  int Sensors = 0;
  long long DataRows = 0;
  long long PostProcessedRows = 0;
};

// Creates the demo database at `path`, replacing a file that is there. Needs
// a QCoreApplication (for Qt's SQL drivers). False with `error` set on
// failure; a half-made file is then removed.
bool CreateDemoDatabase(const std::string& path, const TDemoDatabaseOptions& options, std::string* error,
                        TDemoDatabaseSummary* summary = nullptr);

}  // namespace kvq
