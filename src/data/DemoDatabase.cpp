#include "data/DemoDatabase.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <vector>

#include "data/Schema.h"
#include "data/SqlDateTime.h"
#include "foundation/TimeBase.h"

namespace kvq {

namespace {

constexpr int kStep = 900;          // seconds between 15-minute values
constexpr int kStepsPerDay = 96;
constexpr double kPi = 3.14159265358979323846;
constexpr int kMaxDays = 3660;      // ten years are plenty for a demo

// ---- the network ----------------------------------------------------------------

enum class Kind { River, Rain, Weather, Reservoir };

struct Place {
  const char* country;
  const char* state;
  const char* county;
};

const Place kPlaces[] = {
    {"Velmora", "North Plains", "Arden"},   {"Velmora", "North Plains", "Brask"},
    {"Velmora", "Riverlands", "Cobb"},      {"Velmora", "Riverlands", "Dunmore"},
    {"Velmora", "High Ridge", "Elkhorn"},   {"Ostland", "Aldmark", "Fallow"},
    {"Ostland", "Aldmark", "Greave"},       {"Ostland", "Fenwick", "Holt"},
};

const char* const kBasins[] = {"Kessel", "Tarn", "Marrow", "Linden", "Ost"};
const char* const kAgencies[] = {"Kessel Water Board", "Velmora Hydromet Service", "Tarn Valley Authority",
                                 "Ostland Environment Agency"};
const char* const kDistricts[] = {"North", "South", "East", "West"};

struct StationDef {
  const char* id;
  const char* longName;
  Kind kind;
  int basin;     // into kBasins
  int agency;    // into kAgencies
  int district;  // into kDistricts
  int place;     // into kPlaces
  const char* city;
  bool enabled;
  double size;   // river: catchment scale; rain: gauge factor; reservoir: pool level
};

const StationDef kStations[] = {
    {"KSL010", "Kessel River at Arden Bridge", Kind::River, 0, 0, 0, 0, "Arden", true, 1.0},
    {"KSL020", "Kessel River near Brask", Kind::River, 0, 0, 0, 1, "Brask", true, 2.2},
    {"KSL030", "Kessel River at Cobb Mills", Kind::River, 0, 1, 2, 2, "Cobb Mills", true, 3.5},
    {"KSL110", "Little Kessel Creek", Kind::River, 0, 0, 0, 0, "Arden", false, 0.4},
    {"TRN010", "Tarn River at Dunmore", Kind::River, 1, 2, 1, 3, "Dunmore", true, 1.6},
    {"TRN020", "Tarn River below Elk Falls", Kind::River, 1, 2, 1, 4, "Elk Falls", true, 2.8},
    {"MRW010", "Marrow Creek at Holt", Kind::River, 2, 3, 3, 7, "Holt", true, 0.8},
    {"MRW020", "Marrow Creek near Fallow", Kind::River, 2, 3, 3, 5, "Fallow", true, 1.3},
    {"LND010", "Linden Fork at Greave", Kind::River, 3, 3, 2, 6, "Greave", true, 1.1},
    {"OST010", "Ost River at Holt Ferry", Kind::River, 4, 3, 3, 7, "Holt Ferry", true, 4.0},
    {"KSLR01", "Arden Hill rain gauge", Kind::Rain, 0, 0, 0, 0, "Arden", true, 1.1},
    {"KSLR02", "Brask Ridge rain gauge", Kind::Rain, 0, 1, 0, 1, "Brask", true, 1.3},
    {"TRNR01", "Dunmore School rain gauge", Kind::Rain, 1, 2, 1, 3, "Dunmore", true, 0.9},
    {"TRNR02", "Elk Pass rain gauge", Kind::Rain, 1, 2, 1, 4, "Elk Falls", true, 1.5},
    {"MRWR01", "Fallow Fields rain gauge", Kind::Rain, 2, 3, 3, 5, "Fallow", true, 0.8},
    {"LNDR01", "Greave Summit rain gauge", Kind::Rain, 3, 3, 2, 6, "Greave", true, 1.2},
    {"OSTR01", "Holt Airfield rain gauge", Kind::Rain, 4, 3, 3, 7, "Holt", true, 1.0},
    {"OSTR02", "Old Holt rain gauge", Kind::Rain, 4, 3, 3, 7, "Holt", false, 1.0},
    {"KSLW01", "Arden weather station", Kind::Weather, 0, 1, 0, 0, "Arden", true, 0.0},
    {"TRNW01", "Elk Falls weather station", Kind::Weather, 1, 1, 1, 4, "Elk Falls", true, -3.0},
    {"MRWW01", "Fallow weather station", Kind::Weather, 2, 3, 3, 5, "Fallow", true, 1.0},
    {"LNDW01", "Greave weather station", Kind::Weather, 3, 3, 2, 6, "Greave", true, -1.5},
    {"OSTW01", "Holt weather station", Kind::Weather, 4, 3, 3, 7, "Holt", true, 0.5},
    {"KSLD01", "Arden Dam", Kind::Reservoir, 0, 0, 0, 0, "Arden", true, 312.0},
    {"TRND01", "Tarn Lake Dam", Kind::Reservoir, 1, 2, 1, 4, "Elk Falls", true, 508.0},
    {"OSTD01", "Holt Reservoir", Kind::Reservoir, 4, 3, 3, 7, "Holt", true, 145.0},
};

struct SensorDef {
  const char* name;
  const char* description;
  const char* units;
  const char* shefCode;
  int rightDigit;
  int interval;  // seconds between values
};

// Sensors per station kind, in logging order.
std::vector<SensorDef> SensorsOf(Kind kind) {
  switch (kind) {
    case Kind::River:
      return {{"STAGE", "River stage", "m", "HG", 2, kStep},
              {"FLOW", "Discharge", "m3/s", "QR", 1, kStep},
              {"WTEMP", "Water temperature", "degC", "TW", 1, 3600},
              {"BATT", "Battery voltage", "V", "VB", 2, 3600}};
    case Kind::Rain:
      return {{"RAIN", "Precipitation increment", "mm", "PC", 1, kStep}, {"BATT", "Battery voltage", "V", "VB", 2, 3600}};
    case Kind::Weather:
      return {{"RAIN", "Precipitation increment", "mm", "PC", 1, kStep},
              {"AIRTEMP", "Air temperature", "degC", "TA", 1, 3600},
              {"RH", "Relative humidity", "%", "XR", 0, 3600},
              {"WINDSPD", "Wind speed", "m/s", "US", 1, 3600},
              {"BATT", "Battery voltage", "V", "VB", 2, 3600}};
    case Kind::Reservoir:
      return {{"POOL", "Pool elevation", "m", "HP", 2, 3600}, {"BATT", "Battery voltage", "V", "VB", 2, 3600}};
  }
  return {};
}

// ---- shaping the values -----------------------------------------------------------

// printf-style text for the made-up identifiers.
template <class... A>
std::string Printf(const char* format, A... args) {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, args...);
  return buf;
}

double Round(double v, int digits) {
  const double scale = std::pow(10.0, digits);
  return std::round(v * scale) / scale;
}

// Fraction of the year (0 = 1 January) of a time tag.
double SeasonOf(TimeTag t) {
  const DateTimeParts p = DecodeTimeTag(t);
  const TimeTag yearStart = EncodeTimeTag(p.year, 1, 1, 0, 0, 0);
  return static_cast<double>(t - yearStart) / (365.25 * 86400.0);
}

// Rain of a basin in mm per quarter hour: storms that come more often in
// spring and autumn, each rising to a peak and falling off.
std::vector<double> BasinRain(std::mt19937& rng, TimeTag first, int steps) {
  std::vector<double> rain(static_cast<std::size_t>(steps), 0.0);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  int i = 0;
  while (i < steps) {
    const double season = SeasonOf(first + i * kStep);
    const double wetness = 1.0 + 0.6 * std::cos(4.0 * kPi * (season - 0.3));
    // Mean time between storms about four days, shorter in the wet seasons.
    const double meanGap = 4.0 * kStepsPerDay / wetness;
    i += static_cast<int>(-std::log(1.0 - unit(rng)) * meanGap) + 1;
    const int duration = 8 + static_cast<int>(unit(rng) * 80);
    const double peak = 0.3 + std::pow(unit(rng), 2.0) * 6.0 * wetness;
    for (int k = 0; k < duration && i + k < steps; ++k) {
      const double x = static_cast<double>(k) / duration;
      const double shape = x < 0.35 ? x / 0.35 : (1.0 - x) / 0.65;
      rain[static_cast<std::size_t>(i + k)] += peak * shape * (0.5 + unit(rng));
    }
    i += duration;
  }
  return rain;
}

// A gauge's reading of the basin rain: a factor, local showers and the
// 0.2 mm tips of a tipping bucket.
std::vector<double> GaugeRain(std::mt19937& rng, const std::vector<double>& basin, double factor) {
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::vector<double> out(basin.size());
  double carry = 0.0;
  for (std::size_t i = 0; i < basin.size(); ++i) {
    carry += basin[i] * factor * (0.7 + 0.6 * unit(rng));
    if (unit(rng) < 0.0015) carry += unit(rng) * 2.0;
    const double tips = std::floor(carry / 0.2);
    out[i] = Round(tips * 0.2, 1);
    carry -= tips * 0.2;
  }
  return out;
}

struct RiverSeries {
  std::vector<double> stage;
  std::vector<double> flow;
};

// Flow from rain through a quick and a slow store; the stage from the flow
// by the inverse of the rating Q = a (h - h0)^b.
RiverSeries River(std::mt19937& rng, const std::vector<double>& rain, double size, TimeTag first) {
  std::normal_distribution<double> noise(0.0, 0.002);
  const double a = 8.0 * size, h0 = 0.15, b = 1.8;
  RiverSeries s;
  s.stage.resize(rain.size());
  s.flow.resize(rain.size());
  double quick = 0.0, slow = 40.0 * size;
  for (std::size_t i = 0; i < rain.size(); ++i) {
    const double season = SeasonOf(first + static_cast<TimeTag>(i) * kStep);
    quick = quick * 0.985 + rain[i] * 2.5 * size;
    slow = slow * 0.99985 + rain[i] * 0.08 * size;
    const double base = slow * 0.004 * (1.0 + 0.3 * std::cos(2.0 * kPi * (season - 0.25)));
    const double q = std::max(0.05, base + quick * 0.015);
    const double h = Round(h0 + std::pow(q / a, 1.0 / b) + noise(rng), 2);
    s.stage[i] = h;
    s.flow[i] = Round(a * std::pow(std::max(0.0, h - h0), b), 1);
  }
  return s;
}

// ---- writing ----------------------------------------------------------------------

class TDemoWriter {
 public:
  explicit TDemoWriter(const QSqlDatabase& db) : db_(db), data_(db), pp_(db) {}

  bool Prepare(std::string& error) {
    if (!data_.prepare(QStringLiteral("INSERT INTO KV_DATA1 (STATION_ID, SENSORNAME, TIME_TAG, SOURCE, ORIG_VALUE, "
                                      "ED_VALUE) VALUES (?, ?, ?, ?, ?, ?)")) ||
        !pp_.prepare(QStringLiteral(
            "INSERT INTO KV_PPDATA1 (STATION_ID, SENSORNAME, DATA_LABEL, TIME_TAG, PP_VALUE) VALUES (?, ?, ?, ?, ?)"))) {
      error = (data_.lastError().isValid() ? data_.lastError() : pp_.lastError()).text().toStdString();
      return false;
    }
    return true;
  }

  // One KV_DATA1 row; a null edited value when `rejected`.
  bool Data(const QString& station, const QString& sensor, TimeTag t, double orig, bool rejected) {
    data_.bindValue(0, station);
    data_.bindValue(1, sensor);
    data_.bindValue(2, QString::fromLatin1(DateTimeText(TimeTagToDateTime(t))));
    data_.bindValue(3, QStringLiteral("S"));
    data_.bindValue(4, orig);
    data_.bindValue(5, rejected ? QVariant(QMetaType::fromType<double>()) : QVariant(orig));
    ++dataRows;
    return data_.exec();
  }

  bool PostProcessed(const QString& station, const QString& sensor, const QString& label, TimeTag t, double v) {
    pp_.bindValue(0, station);
    pp_.bindValue(1, sensor);
    pp_.bindValue(2, label);
    pp_.bindValue(3, QString::fromLatin1(DateTimeText(TimeTagToDateTime(t))));
    pp_.bindValue(4, v);
    ++ppRows;
    return pp_.exec();
  }

  // Runs a statement with positional values.
  bool Exec(const QString& sql, const QVariantList& values) {
    QSqlQuery q(db_);
    if (!q.prepare(sql)) return Fail(q);
    for (int i = 0; i < values.size(); ++i) q.bindValue(i, values[i]);
    if (!q.exec()) return Fail(q);
    return true;
  }

  std::string LastError() const {
    if (!lastError_.empty()) return lastError_;
    const QSqlError e = data_.lastError().isValid() ? data_.lastError() : pp_.lastError();
    return e.text().toStdString();
  }

  long long dataRows = 0;
  long long ppRows = 0;

 private:
  bool Fail(const QSqlQuery& q) {
    lastError_ = q.lastError().text().toStdString();
    return false;
  }

  QSqlDatabase db_;
  QSqlQuery data_;
  QSqlQuery pp_;
  std::string lastError_;
};

QVariant Text(const std::string& s) { return QVariant(QString::fromStdString(s)); }
QVariant Null() { return QVariant(QMetaType::fromType<QString>()); }
QVariant NullReal() { return QVariant(QMetaType::fromType<double>()); }
QVariant When(TimeTag t) { return Text(DateTimeText(TimeTagToDateTime(t))); }
// A time of day stored as a date-time on 1 January 2000.
QVariant TimeOfDay(int seconds) { return When(EncodeTimeTag(2000, 1, 1, 0, 0, 0) + seconds); }

class TDemoBuilder {
 public:
  TDemoBuilder(const QSqlDatabase& db, const TDemoDatabaseOptions& options)
      : w_(db), rng_(options.Seed), days_(std::clamp(options.Days, 1, kMaxDays)) {
    end_ = NowTimeTag() / kStep * kStep;
    first_ = end_ - days_ * 86400 + kStep;
  }

  bool Build(std::string& error, TDemoDatabaseSummary& summary) {
    if (!w_.Prepare(error)) return false;
    const int steps = days_ * kStepsPerDay;
    std::vector<std::vector<double>> basinRain;
    for (std::size_t b = 0; b < std::size(kBasins); ++b) basinRain.push_back(BasinRain(rng_, first_, steps));
    int stationNumber = 0;
    for (const StationDef& st : kStations) {
      ++stationNumber;
      if (!Station(st, stationNumber) ||
          !Sensors(st, stationNumber, basinRain[static_cast<std::size_t>(st.basin)])) {
        error = w_.LastError();
        return false;
      }
      ++summary.Stations;
    }
    // The last update of a station is the time of its newest value (none
    // for a station without values).
    if (!w_.Exec(QStringLiteral("UPDATE KV_SITES SET LAST_UPDATE = (SELECT MAX(TIME_TAG) FROM KV_DATA1 WHERE "
                                "KV_DATA1.STATION_ID = KV_SITES.STATION_ID)"),
                 {})) {
      error = w_.LastError();
      return false;
    }
    summary.Sensors = sensors_;
    summary.DataRows = w_.dataRows;
    summary.PostProcessedRows = w_.ppRows;
    return true;
  }

 private:
  bool Station(const StationDef& st, int n) {
    const Place& place = kPlaces[st.place];
    const bool satellite = Satellite(n);
    const double lat = (place.country[0] == 'V' ? 41.0 : 47.0) + 0.37 * st.place + 0.013 * n;
    const double lon = -(96.0 + 0.41 * st.basin + 0.017 * n);
    std::string comports = n % 4 == 0 ? "None" : (n % 4 == 1 ? "COM1" : "COM1,COM2");
    const QString sql = QStringLiteral(
        "INSERT INTO KV_SITES (STATION_ID, ENABLED, SITE_TYPE, UNIT_ID, SATELLITE_ID, IPADDRESS, SETUP_FILE_NAME, "
        "POLL_TYPE, CONCENTRATOR, LAST_POLL, HOURS_AHEAD, COMPORT_LIST, RADIO_PATH_LIST, ACKDELAY_LIST, "
        "RESPONSE_TIMEOUT_LIST, AUTO_PROTOCOL, QUICK_PROTOCOL, USER_NAME, PASSWORD, PHONE_NUMBER_LIST, "
        "MODEM_INIT_STRING, MODEM_HANGUP_STRING, RDI_BASE_TIME, RDI_INTERVAL, RDI_STAYON, SITE_COMMENT, SHEF_ID, "
        "USGS_ID, SITE_CODE, STATUS, PICTURE_FILE_NAME, INSTALLATION_DATE, LAST_UPDATE, SITE_LONG_NAME, "
        "WEIGHTING_FACTOR, ALTERNATE_CHAR_ID_1, ALTERNATE_CHAR_ID_2, GPNUMBER1, GPNUMBER2, GPSTRING1, GPSTRING2, "
        "COEFFICIENT1, COEFFICIENT2, COEFFICIENT3, LATITUDE, LONGITUDE, ELEVATION, AGENCY, COUNTRY, STATE, COUNTY, "
        "DISTRICT, CITY, BASIN, RESERVOIR, RIVER_MILE, PRIMARY_CHANNEL, RANDOM_CHANNEL, REPORTING_INTERVAL, "
        "REPORTING_TIME, GMT_OFFSET, TZONE_CODE) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
        "?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
        "?, ?, ?, ?, ?, ?)");
    const std::string id = st.id;
    QVariantList v;
    v << Text(id) << Text(st.enabled ? "Y" : "N") << (satellite ? 6 : 1 + n % 3) << Text(id)
      << (satellite ? Text(Printf("%08X", 0x3A41B200u + static_cast<unsigned>(n) * 37u)) : Null())
      << Text(Printf("10.12.%d.%d", st.basin + 1, 20 + n)) << Text(id + ".SET") << (n % 5)
      << Text(n % 7 == 0 ? "Y" : "N") << When(end_ - 3600 * (n % 5)) << (n % 4 == 0 ? 1.5 : 0.0) << Text(comports)
      << Text(n % 2 == 0 ? "RPT1 UNIT," + id : id) << Text("10 20") << Text("15,30") << Text("Y")
      << Text(n % 3 == 0 ? "Y" : "N") << Text(id) << Text("kv" + std::to_string(1000 + n * 7))
      << Text(Printf("555-01%02d,555-02%02d", n, n)) << Text("&F") << Text("H0")
      << TimeOfDay(600) << TimeOfDay(3600) << TimeOfDay(120) << Text(st.longName)
      << Text(id.substr(0, 5)) << Text(Printf("0%07d", 5020000 + n * 113)) << Text(Printf("S-%03d", n))
      << (st.enabled ? 1 : 2) << Text(id + ".jpg") << When(EncodeTimeTag(2001 + n % 17, 1 + n % 12, 1 + n % 27, 0, 0, 0))
      << Null() << Text(st.longName) << 1.0 << Text(id.substr(0, 3)) << Null() << 0.0 << NullReal()
      << Text(kBasins[st.basin]) << Null() << 1.0 << 0.0 << 0.0 << lat << lon
      << (st.kind == Kind::Reservoir ? st.size + 6.0 : 120.0 + 37.0 * n) << Text(kAgencies[st.agency])
      << Text(place.country) << Text(place.state) << Text(place.county) << Text(kDistricts[st.district])
      << Text(st.city) << Text(kBasins[st.basin]) << (st.kind == Kind::Reservoir ? Text(st.longName) : Null())
      << (st.kind == Kind::River ? QVariant(12.5 * st.size) : NullReal()) << (satellite ? 9 + n % 5 * 37 : 0)
      << (satellite ? 160 + n % 4 : 0) << (satellite ? 1.0 : 0.25) << TimeOfDay(satellite ? (n % 4) * 900 : 0)
      << Text(place.country[0] == 'V' ? "-06:00" : "+01:00") << Text(place.country[0] == 'V' ? "CST" : "CET");
    if (!w_.Exec(sql, v)) return false;
    // Logging records of the RTU: model-F logs carry a letter.
    std::string sensors;
    for (const SensorDef& s : SensorsOf(st.kind)) sensors += (sensors.empty() ? "" : ",") + std::string(s.name);
    const QString rec = QStringLiteral("INSERT INTO KV_RECORDIDS (STE_STATION_ID, RECORD_ID, SENSORS) VALUES (?, ?, ?)");
    if (!w_.Exec(rec, {Text(id), Text(satellite ? "A" : "0"), Text(sensors)})) return false;
    if (satellite && !w_.Exec(rec, {Text(id), Text("B"), Text("BATT,DAILY MIN,DAILY MAX")})) return false;
    return true;
  }

  // A disabled station stopped reporting a month before the end.
  TimeTag LastValue(const StationDef& st) const { return st.enabled ? end_ : end_ - 30 * 86400; }

  // Stations that report by satellite; the others are polled.
  static bool Satellite(int n) { return n % 3 != 0; }

  bool SensorRow(const StationDef& st, const SensorDef& s, bool enabled) {
    const std::string sensor = s.name;
    const bool stage = sensor == "STAGE", flow = sensor == "FLOW", pool = sensor == "POOL";
    // Limits: plausible ranges of each sensor; references for stages and pools.
    double low = 0, high = 100;
    if (stage) high = 0.15 + 3.0 * st.size;
    if (flow) high = 500.0 * st.size;
    if (sensor == "RAIN") high = 25.0;
    if (sensor == "AIRTEMP") low = -30, high = 40;
    if (sensor == "WTEMP") low = 0, high = 30;
    if (sensor == "BATT") low = 11.5, high = 14.5;
    if (sensor == "WINDSPD") high = 30;
    if (pool) low = st.size - 8.0, high = st.size + 2.0;
    const QVariant ref1 = stage ? QVariant(Round(0.8 + 0.7 * st.size, 2)) : pool ? QVariant(st.size) : NullReal();
    const QVariant ref2 = stage ? QVariant(Round(1.2 + 0.9 * st.size, 2)) : pool ? QVariant(st.size - 5.0) : NullReal();
    const QString sql = QStringLiteral(
        "INSERT INTO KV_SITESENSORS (STE_STATION_ID, SENSORNAME, TAGNAME, ENABLED, IS_TEXT, ALERT_ID, ALERT_TYPE, "
        "EQUATION, RAW, RIGHT_DIGIT, LEFT_DIGIT, ROUNDOFF_TIME, DATA_STORE_INTERVAL, PARAMETER_CODE, SHEF_PE_CODE, "
        "UNITS, STATUS, MODEL_NUMBER, MANUFACTURER, REFERENCE_1, REFERENCE_2, DESCRIPTION, HIGH_HIGH_ALARM, "
        "HIGH_ALARM, LOW_ALARM, LOW_LOW_ALARM, HIGH_HIGH_LIMIT, HIGH_LIMIT, LOW_LIMIT, LOW_LOW_LIMIT, TEXT_ALARM, "
        "ROC_ALARM, ROC_LIMIT, ROC_INTERVAL, NO_CHANGE_ALARM, NO_CHANGE_INTERVAL, DEADBAND, STD_DEV_ALARM, "
        "STD_DEV_LIMIT, STD_DEV_INTERVAL, AVG_ALARM, AVG_LIMIT, AVG_INTERVAL, COEFFICIENT1, COEFFICIENT2, "
        "COEFFICIENT3, COEFFICIENT4, COEFFICIENT5, RATING_TABLE, SHIFT, \"OFFSET\", ALT_PARAMETER_CODE_1, "
        "ALT_PARAMETER_CODE_2, GPNUMBER1, GPNUMBER2, GPSTRING1, GPSTRING2, SITE_DATATYPE_ID, WW_TAGKEY) VALUES (?, ?, "
        "?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
        "?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    const int alertId = (sensors_ * 53) % 8192;
    QVariantList v;
    v << Text(st.id) << Text(sensor) << Text(std::string(st.id) + "_" + sensor) << Text(enabled ? "Y" : "N")
      << Text("N") << Text(std::to_string(alertId)) << Text(sensor == "RAIN" ? "Normal" : "None")
      << Text(flow ? "RATING(X)" : "X") << Text(stage ? "FLOW" : "") << s.rightDigit << (flow ? 4 : 3)
      << TimeOfDay(s.interval == kStep ? 900 : 3600) << TimeOfDay(s.interval) << Text(sensor.substr(0, 4))
      << Text(s.shefCode) << Text(s.units) << (enabled ? 1 : 2) << Text(sensor == "BATT" ? "PS-12" : "HX-" + sensor)
      << Text(sensor == "RAIN" ? "Tipwell" : "Dalmere") << ref1 << ref2 << Text(s.description) << (stage ? 1 : 0)
      << (stage || pool ? 1 : 0) << (stage || pool || sensor == "BATT" ? 2 : 0) << 0 << high * 1.1 << high << low
      << low - 1.0 << 0 << (stage ? 1 : 0) << (stage ? 0.5 : 0.0) << 900 << (stage ? 1 : 0) << 1.5 << 0.01 << 0
      << 0.0 << 3600 << 0 << 0.0 << 1.0 << 1.0 << 0.0 << 0.0 << 0.0 << 0.0 << Text(flow ? std::string(st.id) + "_RT" : "")
      << 0.0 << 0.0 << Null() << Null() << 0.0 << 0.0 << Null() << Null() << Text(std::to_string(10000 + sensors_))
      << Text(std::string(st.id) + "." + sensor);
    return w_.Exec(sql, v);
  }

  bool Decoding(const StationDef& st, const SensorDef& s, int position) {
    const QString sql = QStringLiteral(
        "INSERT INTO KV_SITESENSORSDECODE (TOPIC, STATION, SENSOR, SEQNUM, ENABLED, FORMAT, AMOUNT, BOUND1, BOUND2, "
        "BLOCK_ID, IGNORE_CASE, BYTE_SIZE, BYTE_POS, NEXT, BIT_SIZE, BIT_POS, BIT_NEXT, DELTA_TIME, OFFSET_TIME, "
        "ROUNDOFF_TIME, SKIP_BLANK, SKIP_COMMA, SKIP_LF, ADD_BASE, RELATIVE_TIME, RELATIVE_POS) VALUES (?, ?, ?, ?, "
        "?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    // The first river stage reports three schemes (the newest values and two
    // older blocks); every other sensor has one.
    const bool three = std::string(st.id) == "KSL010" && std::string(s.name) == "STAGE";
    const int schemes = three ? 3 : 1;
    for (int seq = 0; seq < schemes; ++seq) {
      QVariantList v;
      v << Text("GOESTimed") << Text(st.id) << Text(s.name) << seq << Text("Y") << Text(seq == 0 ? "6BIT" : "U6BIT")
        << (seq == 0 ? 4 : 2) << 1 << 2 << Text(seq == 0 ? ":" + std::string(s.name) : "@" + std::to_string(seq))
        << Text("Y") << 3 << 1 + position * 3 + seq * 12 << 3 << 0 << 0 << 0 << -900 * (seq + 1) << TimeOfDay(60)
        << TimeOfDay(900) << 0 << 0 << 0 << Text(seq > 0 ? "Y" : "N") << Text(seq > 0 ? "Y" : "N") << Text("N");
      if (!w_.Exec(sql, v)) return false;
    }
    if (three && !w_.Exec(sql, {Text("GOESRandom"), Text(st.id), Text(s.name), 0, Text("Y"), Text("ASCII"), 1, 0, 0,
                                Text(":HG"), Text("N"), 0, 1, 0, 0, 0, 0, -900, TimeOfDay(0), TimeOfDay(900), 3, 0,
                                0, Text("N"), Text("N"), Text("N")}))
      return false;
    return true;
  }

  bool Sensors(const StationDef& st, int n, const std::vector<double>& basinRain) {
    const std::vector<SensorDef> defs = SensorsOf(st.kind);
    const QString station = QString::fromLatin1(st.id);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::normal_distribution<double> gauss(0.0, 1.0);

    std::vector<double> rain;
    if (st.kind == Kind::Rain || st.kind == Kind::Weather)
      rain = GaugeRain(rng_, basinRain, st.kind == Kind::Rain ? st.size : 1.0);
    RiverSeries river;
    if (st.kind == Kind::River) river = River(rng_, basinRain, st.size, first_);
    // Some stations have a short outage now and then.
    const TimeTag lastValue = LastValue(st);
    const TimeTag outage = first_ + static_cast<TimeTag>(unit(rng_) * days_) * 86400;
    const int outageDays = n % 5 == 0 ? 2 : 0;

    int position = 0;
    for (const SensorDef& s : defs) {
      const std::string name = s.name;
      // Water temperature is switched off at every other river gauge.
      const bool enabled = !(name == "WTEMP" && n % 2 == 1);
      if (!SensorRow(st, s, enabled)) return false;
      ++sensors_;
      if (Satellite(n) && !Decoding(st, s, position)) return false;
      ++position;
      const QString sensor = QString::fromStdString(name);
      double state = 0.0;  // AR(1) noise of weather series
      std::map<TimeTag, std::vector<double>> daily;
      for (TimeTag t = first_; t <= lastValue; t += kStep) {
        if ((t - first_) % s.interval != 0) continue;
        if (outageDays && t >= outage && t < outage + outageDays * 86400) continue;
        const std::size_t i = static_cast<std::size_t>((t - first_) / kStep);
        const double season = SeasonOf(t);
        const double hour = static_cast<double>((t % 86400 + 86400) % 86400) / 3600.0;
        const double seasonal = -std::cos(2.0 * kPi * (season - 0.04));  // -1 in winter, 1 in summer
        const double diurnal = std::cos(2.0 * kPi * (hour - 15.0) / 24.0);
        state = 0.9 * state + 0.4 * gauss(rng_);
        double v = 0.0;
        if (name == "STAGE") v = river.stage[i];
        else if (name == "FLOW") v = river.flow[i];
        else if (name == "RAIN") v = rain[i];
        else if (name == "WTEMP") v = 11.0 + 9.0 * seasonal + 0.8 * diurnal + 0.2 * state;
        else if (name == "AIRTEMP") v = 9.0 + st.size + 14.0 * seasonal + 5.0 * diurnal + state;
        else if (name == "RH") v = std::clamp(68.0 - 18.0 * diurnal + 4.0 * state + (rain[i] > 0 ? 20.0 : 0.0), 8.0, 100.0);
        else if (name == "WINDSPD") v = std::max(0.0, 3.0 + 1.5 * diurnal + 1.2 * state);
        else if (name == "BATT") v = 12.7 + (hour > 7 && hour < 18 ? 0.9 * std::sin(kPi * (hour - 7) / 11) : -0.1) + 0.02 * gauss(rng_);
        else if (name == "POOL") v = st.size - 2.5 + 1.5 * std::sin(2.0 * kPi * (season - 0.1)) + 0.01 * state;
        v = Round(v, s.rightDigit);
        // A few spikes were rejected by the operator: the edited value is null.
        bool rejected = false;
        if ((name == "STAGE" || name == "AIRTEMP" || name == "POOL") && unit(rng_) < 0.002) {
          rejected = true;
          v = name == "STAGE" ? Round(v + 5.0 + unit(rng_) * 5.0, 2) : -99.9;
        }
        if (!w_.Data(station, sensor, t, v, rejected)) return false;
        if (!rejected) daily[t - ((t % 86400) + 86400) % 86400].push_back(v);
      }
      if (!DailySeries(station, sensor, name, daily)) return false;
    }
    return true;
  }

  // Daily post-processed series, stamped at the start of each day.
  bool DailySeries(const QString& station, const QString& sensor, const std::string& name,
                   const std::map<TimeTag, std::vector<double>>& daily) {
    std::vector<const char*> labels;
    if (name == "STAGE" || name == "POOL") labels = {"DAILY_MEAN", "DAILY_MAX"};
    if (name == "FLOW") labels = {"DAILY_MEAN"};
    if (name == "RAIN") labels = {"DAILY_TOTAL"};
    if (name == "AIRTEMP") labels = {"DAILY_MIN", "DAILY_MAX"};
    for (const char* label : labels) {
      if (!w_.Exec(QStringLiteral("INSERT INTO KV_PPLIST (STATION_ID, SENSORNAME, DATA_LABEL) VALUES (?, ?, ?)"),
                   {station, sensor, QString::fromLatin1(label)}))
        return false;
      const std::string l = label;
      for (const auto& [day, values] : daily) {
        double v = 0;
        if (l == "DAILY_MAX") v = *std::max_element(values.begin(), values.end());
        else if (l == "DAILY_MIN") v = *std::min_element(values.begin(), values.end());
        else {
          for (double x : values) v += x;
          if (l == "DAILY_MEAN") v /= static_cast<double>(values.size());
        }
        if (!w_.PostProcessed(station, sensor, QString::fromLatin1(label), day, Round(v, 2))) return false;
      }
    }
    return true;
  }

  TDemoWriter w_;
  std::mt19937 rng_;
  int days_;
  TimeTag end_ = 0;
  TimeTag first_ = 0;
  int sensors_ = 0;
};

// Removes the database file and its side files; never a folder.
void RemoveDatabaseFiles(const std::string& path) {
  for (const char* suffix : {"", "-journal", "-wal", "-shm"}) {
    std::error_code ec;
    const std::string file = path + suffix;
    if (std::filesystem::is_regular_file(file, ec)) std::filesystem::remove(file, ec);
  }
}

}  // namespace

bool CreateDemoDatabase(const std::string& path, const TDemoDatabaseOptions& options, std::string* error,
                        TDemoDatabaseSummary* summary) {
  std::string failure;
  TDemoDatabaseSummary done;
  const QString connection = QStringLiteral("KVQuillonDemo");
  RemoveDatabaseFiles(path);
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    db.setDatabaseName(QString::fromStdString(path));
    if (!db.open()) {
      failure = "Cannot create " + path + ": " + db.lastError().text().toStdString();
    } else {
      {
        // A demo is made in one go: no journal is worth its time here.
        QSqlQuery pragma(db);
        pragma.exec(QStringLiteral("PRAGMA journal_mode=OFF"));
        pragma.exec(QStringLiteral("PRAGMA synchronous=OFF"));
      }
      if (!CreateSchema(db, &failure)) {
        failure = "Cannot create the tables in " + path + ": " + failure;
      } else if (!db.transaction()) {
        failure = db.lastError().text().toStdString();
      } else {
        bool ok = false;
        {
          TDemoBuilder builder(db, options);
          ok = builder.Build(failure, done);
        }
        if (ok && !db.commit()) {
          ok = false;
          failure = db.lastError().text().toStdString();
        }
        if (!ok) {
          db.rollback();
          failure = "Writing the demo database " + path + " failed: " + failure;
        }
      }
      db.close();
    }
  }
  QSqlDatabase::removeDatabase(connection);
  if (!failure.empty()) {
    RemoveDatabaseFiles(path);
    if (error) *error = failure;
    return false;
  }
  if (summary) *summary = done;
  return true;
}

}  // namespace kvq
