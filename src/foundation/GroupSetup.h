// Group settings of the data-file store and single settings by key.
//
// On an installation of the product family these values may come from a
// running setup service. No such service exists on this platform: every
// lookup takes its default. The one place where a service could plug in is
// SetSetupServiceLocator(); it is consulted only off the GUI thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "foundation/Types.h"

namespace kvq {

// The settings of one data-store group, 19 fields in this order.
struct TDataStoreGroupSetup {
  std::int16_t GroupNumber = 0;    // 1: the group name read as an integer
  std::string GroupName;           // 2
  bool Reserved3 = false;          // 3: passed on unchanged
  std::string DataFolder;          // 4: put in front of data-file names without a folder
  std::string FileList;            // 5: comma-separated names of the data files to open
  std::uint8_t DataStoreKind = 0;  // 6: 1, 2, 3, 5 or 9
  std::string Reserved7;           // 7
  std::string Reserved8;           // 8
  std::string Reserved9;           // 9
  std::int32_t ArchiveDays = 0;    // 10: days kept before records move out; 0 never
  std::string TimetagStoreList;    // 11: "*" or a comma list of STATION.SENSOR
  std::string RealtimeStoreList;   // 12: the same for realtime data
  std::string LogFolder;           // 13: relative to the current folder
  std::string LogFileTemplate;     // 14: quality log name template
  std::uint8_t Reserved15 = 0;     // 15
  std::string Reserved16;          // 16
  bool Reserved17 = false;         // 17
  bool Reserved18 = false;         // 18
  TimeTag MadeAt = 0;              // 19: when the record was made
};

// The built-in defaults for group `name`.
TDataStoreGroupSetup DefaultGroupSetup(std::string_view name);

// The group's settings from the setup service, else DefaultGroupSetup.
TDataStoreGroupSetup GetGroupSetup(std::string_view name);

// The key A[:B][:C][,D] (D alone when A, B and C are empty).
std::string SettingKey(std::string_view a, std::string_view b, std::string_view c, std::string_view d);

// The service's answer for the key, or `fallback`.
std::string GetSetting(std::string_view a, std::string_view b, std::string_view c, std::string_view d,
                       std::string_view fallback);

// The service's answer read with "%b", or `fallback` when absent or unreadable.
bool GetBoolSetting(std::string_view a, std::string_view b, std::string_view c, std::string_view d,
                    bool fallback);

// ---- the setup service seam ----------------------------------------------------

// One value of a group answer: integer, text or boolean.
using SetupValue = std::variant<std::int64_t, std::string, bool>;

class TSetupService {
 public:
  virtual ~TSetupService() = default;
  // The group's 19 values in field order, or nothing.
  virtual std::optional<std::vector<SetupValue>> GroupSettings(const std::string& group) = 0;
  // The setting's text; "ERROR" means the key has no value.
  virtual std::string Setting(const std::string& key) = 0;
};

// Looks up the running service; returns null when there is none. The default
// locator always returns null. Install a locator at start only.
using SetupServiceLocator = std::function<std::shared_ptr<TSetupService>()>;
void SetSetupServiceLocator(SetupServiceLocator locator);

// Records the calling thread as the GUI thread; on it no service is consulted.
// Call once at start (the desktop program and kvq do).
void MarkGuiThread();
bool IsGuiThread();

}  // namespace kvq
