#include "store/GenServer.h"

#include "foundation/Directive.h"

namespace kvq {

TGenServer::TGenServer(const TDataStoreGroupSetup& settings) : groupSettings_(settings) {}

TGenServer::~TGenServer() = default;

void TGenServer::Report(MessageKind kind, const std::string& text) const {
  if (handler_) handler_(kind, text);
}

bool TGenServer::Initialize(std::string_view, std::string& errorText) {
  errorText.clear();
  return true;
}

bool TGenServer::StoreGate(std::string_view dataKind, std::string_view station, std::string& timeText,
                           std::string_view sensor) {
  if (station.empty() || sensor.empty()) return false;
  static constexpr std::string_view kRealtime[] = {"$GOESRANDOM", "$INTLRANDOM", "$REALTIME",
                                                   "$CURRENT",    "RTURT",       "$ALARM"};
  static constexpr std::string_view kTimetag[] = {"$GOESTIMED", "$INTLTIMED", "$ARGOS", "$TIMETAG", "RTUTT"};
  bool realtime = false, timetag = false;
  for (auto k : kRealtime) realtime = realtime || SameText(dataKind, k);
  for (auto k : kTimetag) timetag = timetag || SameText(dataKind, k);
  const std::string key = std::string(station) + "." + std::string(sensor);
  const bool wanted = (FieldIndex("*", RealtimeStoreList) > 0 && realtime) ||
                      (FieldIndex("*", TimetagStoreList) > 0 && timetag) || FieldIndex(key, RealtimeStoreList) > 0 ||
                      FieldIndex(key, TimetagStoreList) > 0;
  if (!wanted) return false;
  if (!GetBoolSetting("Sensor", station, sensor, "Enable", false)) return false;

  const std::string round = GetSetting("Sensor", station, sensor, "RoundOffTime", "00:00:00");
  if (round != "00:00:00") {
    TimeTag r = 0, t = 0;
    if (ScanStr(round, "%t", r) && r > 0 && ScanStr(timeText, "%j", t)) {
      const std::int64_t shifted = static_cast<std::int64_t>(t) + r / 2;
      timeText = FormatStr("%j", static_cast<TimeTag>(shifted - shifted % r));
    }
  }
  const std::string every = GetSetting("Sensor", station, sensor, "DataStoreInterval", "00:00:00");
  if (every != "00:00:00") {
    TimeTag step = 0, t = 0;
    if (ScanStr(every, "%t", step) && step > 0 && ScanStr(timeText, "%j", t)) return t % step == 0;
  }
  return true;
}

int TGenServer::AddFile(std::string_view, std::string_view, bool) { return 1; }
bool TGenServer::RemoveFile(std::string_view, bool) { return true; }
bool TGenServer::IsKnown(std::string_view) { return true; }
bool TGenServer::ReadPoint(std::string_view, std::string_view, std::string_view, std::string&) { return true; }
bool TGenServer::StoreValue(std::string_view, std::string_view, std::string_view, std::string_view,
                            std::string_view) {
  return true;
}
bool TGenServer::StoreQuality(std::string_view) { return true; }
bool TGenServer::LogRtuQuality(std::string_view) { return true; }
bool TGenServer::ListFiles(std::vector<std::string>& list) {
  list.clear();
  return true;
}
bool TGenServer::ListSensors(std::string_view, std::vector<std::string>& list) {
  list.clear();
  return true;
}
bool TGenServer::ReadRange(std::string_view, std::string_view, TRangeRequest&) { return true; }
bool TGenServer::InsertText(std::string_view, std::string_view, TRangeRequest&) { return true; }
bool TGenServer::SplitFile(std::string_view, std::string_view) { return true; }
bool TGenServer::AdjustFile(std::string_view, std::string_view) { return true; }
std::string TGenServer::DescribeSensors(std::string_view, std::vector<std::string>& list) {
  list.clear();
  return {};
}
bool TGenServer::DescribeFile(std::string_view, bool, std::string&) { return true; }
bool TGenServer::ChangeFile(std::string_view, std::string_view) { return true; }

int TGenServer::SensorDigits(std::string_view station, std::string_view sensor) {
  const std::string text = GetSetting("Sensor", station, sensor, "RightDigits", "");
  std::int32_t digits = 0;
  int pos = 1;
  if (!text.empty() && ScanStrAt(text, pos, "%i", digits) && pos == static_cast<int>(text.size()) + 1) return digits;
  return 2;
}

bool TGenServer::StationEnabled(std::string_view station) {
  return SameText(GetSetting("STATION", station, "", "Enabled", ""), "YES");
}

bool TGenServer::SensorEnabled(std::string_view station, std::string_view sensor) {
  return SameText(GetSetting("Sensor", station, sensor, "Enabled", ""), "YES");
}

std::string TGenServer::FileOfSensor(std::string_view, std::string_view) { return {}; }
bool TGenServer::StoreRealtime(std::string_view, std::string_view, std::string&) { return true; }
bool TGenServer::StoreTimetag(std::string_view, std::string_view, std::string&) { return true; }
bool TGenServer::StoreWildcard(std::string_view, std::string_view, std::string&) { return true; }
bool TGenServer::ArchiveAll(std::string&) { return true; }

bool TGenServer::OtherOperation(int, std::string_view, std::string& output) {
  output.clear();
  return true;
}

}  // namespace kvq
