// A fresh station database for each test, on SQLite or on the test run's
// PostgreSQL server (the test parameter), reached through the alias TESTDB of
// a temporary aliases file and the program's connection.
#pragma once

#include <gtest/gtest.h>

#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QVariant>
#include <optional>
#include <string>
#include <vector>

#include "foundation/TimeBase.h"

namespace kvq::test {

class DbFixture : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override;
  void TearDown() override;

  bool IsPostgres() const { return GetParam() == "PostgreSQL"; }
  QSqlDatabase Db() const;

  // Runs one statement on the program's connection; a failure fails the test.
  void Exec(const std::string& sql, const QVariantList& values = {});
  // The rows of a query, each as its columns' texts joined by "|" (null: "NULL").
  std::vector<std::string> Rows(const std::string& sql, const QVariantList& values = {});

  // One KV_DATA1 row; no ED_VALUE when `value` is empty.
  void AddData(const std::string& station, const std::string& sensor, DateTimeValue time,
               std::optional<double> value, double orig = 0.0);
  void AddPostProcessed(const std::string& station, const std::string& sensor, const std::string& label,
                        DateTimeValue time, std::optional<double> value);
  // The KV_SITESENSORS row with its references (null when empty).
  void AddSensor(const std::string& station, const std::string& sensor, std::optional<double> ref1,
                 std::optional<double> ref2);

  // Day count of a local date-time.
  static DateTimeValue At(int y, int mo, int d, int h, int mi, int s = 0) {
    return TimeTagToDateTime(EncodeTimeTag(y, mo, d, h, mi, s));
  }
  // The text layout of a day count, to compare with stored times.
  static std::string Text(DateTimeValue t);

  QTemporaryDir dir_;
};

// Names the test parameter in test names.
inline std::string BackendName(const ::testing::TestParamInfo<std::string>& info) { return info.param; }

}  // namespace kvq::test
