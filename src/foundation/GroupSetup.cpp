#include "foundation/GroupSetup.h"

#include <charconv>
#include <thread>

#include "foundation/Directive.h"
#include "foundation/TimeBase.h"

namespace kvq {

namespace {

std::thread::id& GuiThread() {
  static std::thread::id id = std::this_thread::get_id();
  return id;
}

SetupServiceLocator& Locator() {
  static SetupServiceLocator locator;
  return locator;
}

// The running service, or null on the GUI thread and when none runs.
std::shared_ptr<TSetupService> FindService() {
  if (IsGuiThread() || !Locator()) return nullptr;
  try {
    return Locator()();
  } catch (...) {
    return nullptr;
  }
}

template <class T>
bool AsInt(const SetupValue& v, T& out) {
  if (const auto* i = std::get_if<std::int64_t>(&v)) {
    out = static_cast<T>(*i);
    return true;
  }
  return false;
}
bool AsText(const SetupValue& v, std::string& out) {
  if (const auto* s = std::get_if<std::string>(&v)) {
    out = *s;
    return true;
  }
  return false;
}
bool AsBool(const SetupValue& v, bool& out) {
  if (const auto* b = std::get_if<bool>(&v)) {
    out = *b;
    return true;
  }
  return false;
}

// Converts a service answer field by field; false when any field has the wrong type.
bool Convert(const std::vector<SetupValue>& v, TDataStoreGroupSetup& g) {
  if (v.size() != 19) return false;
  return AsInt(v[0], g.GroupNumber) && AsText(v[1], g.GroupName) && AsBool(v[2], g.Reserved3) &&
         AsText(v[3], g.DataFolder) && AsText(v[4], g.FileList) && AsInt(v[5], g.DataStoreKind) &&
         AsText(v[6], g.Reserved7) && AsText(v[7], g.Reserved8) && AsText(v[8], g.Reserved9) &&
         AsInt(v[9], g.ArchiveDays) && AsText(v[10], g.TimetagStoreList) && AsText(v[11], g.RealtimeStoreList) &&
         AsText(v[12], g.LogFolder) && AsText(v[13], g.LogFileTemplate) && AsInt(v[14], g.Reserved15) &&
         AsText(v[15], g.Reserved16) && AsBool(v[16], g.Reserved17) && AsBool(v[17], g.Reserved18) &&
         AsInt(v[18], g.MadeAt);
}

}  // namespace

TDataStoreGroupSetup DefaultGroupSetup(std::string_view name) {
  TDataStoreGroupSetup g;
  std::int32_t number = 0;
  auto r = std::from_chars(name.data(), name.data() + name.size(), number);
  g.GroupNumber = (r.ec == std::errc() && r.ptr == name.data() + name.size()) ? static_cast<std::int16_t>(number) : 0;
  g.GroupName = std::string(name);
  g.TimetagStoreList = "*";
  g.RealtimeStoreList = "*";
  g.LogFolder = "LOG\\";
  g.LogFileTemplate = "yyyymmdd.log";
  g.MadeAt = NowTimeTag();
  return g;
}

TDataStoreGroupSetup GetGroupSetup(std::string_view name) {
  if (auto service = FindService()) {
    try {
      if (auto answer = service->GroupSettings(std::string(name))) {
        TDataStoreGroupSetup g;
        if (Convert(*answer, g)) return g;
      }
    } catch (...) {
    }
  }
  return DefaultGroupSetup(name);
}

std::string SettingKey(std::string_view a, std::string_view b, std::string_view c, std::string_view d) {
  std::string key(a);
  if (!b.empty()) (key += ':') += b;
  if (!c.empty()) (key += ':') += c;
  if (!d.empty()) {
    if (!key.empty()) key += ',';
    key += d;
  }
  return key;
}

std::string GetSetting(std::string_view a, std::string_view b, std::string_view c, std::string_view d,
                       std::string_view fallback) {
  if (auto service = FindService()) {
    try {
      std::string answer = service->Setting(SettingKey(a, b, c, d));
      if (answer != "ERROR") return answer;
    } catch (...) {
    }
  }
  return std::string(fallback);
}

bool GetBoolSetting(std::string_view a, std::string_view b, std::string_view c, std::string_view d, bool fallback) {
  const std::string answer = GetSetting(a, b, c, d, "");
  if (answer.empty()) return fallback;
  bool value = false;
  return ScanStr(answer, "%b", value) ? value : fallback;
}

void SetSetupServiceLocator(SetupServiceLocator locator) { Locator() = std::move(locator); }

void MarkGuiThread() { GuiThread() = std::this_thread::get_id(); }

bool IsGuiThread() { return std::this_thread::get_id() == GuiThread(); }

}  // namespace kvq
