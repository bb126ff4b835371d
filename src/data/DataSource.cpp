#include "data/DataSource.h"

#include "data/Encrypt.h"
#include "foundation/SettingsFile.h"

namespace kvq {

namespace {

const char kSourceSection[] = "DataSourceSettings";
const char kFilterSection[] = "FilterSettings";
const char kSequenceKey[] = "DataSourceSequence";

}  // namespace

std::string DataSourceTypeName(int type) {
  static const char* const kNames[] = {"None", "Ombrix2", "ASCII Log", "Excel", "Database", "HDB", "INSQL"};
  return type >= 0 && type <= 6 ? kNames[type] : "";
}

std::string DataSourceListSection(int type) {
  static const char* const kSections[] = {"",
                                          "DataSourceOmbrix2Settings",
                                          "DataSourceLogSettings",
                                          "DataSourceExcelSettings",
                                          "DataSourceDatabaseSettings",
                                          "DataSourceHDBSettings",
                                          "DataSourceINSQLSettings"};
  return type >= 1 && type <= 6 ? kSections[type] : "";
}

std::string DataSourceKey(int number) { return "DataSourceID" + std::to_string(number); }

std::string TDataSourceInfo::DisplayName() const { return DataSourceTypeName(Type); }

std::string TDataSourceInfo::Caption() const {
  if (Type >= kSourceOmbrix2 && Type <= kSourceExcel) return Name;
  if (IsDatabaseSource(Type)) return DSN;
  return {};
}

void TDataSourceInfo::LoadCurrent(const TSettingsFile& settings) {
  Kind = settings.ReadInteger(kSourceSection, "DataSourceNodeType", 0);
  Type = static_cast<std::uint8_t>(settings.ReadInteger(kSourceSection, "DataSourceType", 0) & 0xFF);
  Number = settings.ReadInteger(kSourceSection, "DataSourceID", 0);
  Name = settings.ReadString(kSourceSection, "DataSourceName", "");
  Folder = settings.ReadString(kSourceSection, "DataSourceFolder", "");
  DSN = settings.ReadString(kSourceSection, "DataSourceDSN", "");
  User = settings.ReadString(kSourceSection, "DataSourceUser", "");
  Password = UnscramblePassword(settings.ReadString(kSourceSection, "DataSourcePass", ""));
  FilterEnabled = settings.ReadBool(kFilterSection, "FilterEnabled", false);
  FilterFile = settings.ReadString(kFilterSection, "FilterFile", "");
}

bool TDataSourceInfo::SaveCurrent(TSettingsFile& settings, std::string* error) const {
  settings.WriteInteger(kSourceSection, "DataSourceNodeType", Kind);
  settings.WriteInteger(kSourceSection, "DataSourceType", Type);
  settings.WriteInteger(kSourceSection, "DataSourceID", Number);
  settings.WriteString(kSourceSection, "DataSourceName", Name);
  settings.WriteString(kSourceSection, "DataSourceFolder", Folder);
  settings.WriteString(kSourceSection, "DataSourceDSN", DSN);
  settings.WriteString(kSourceSection, "DataSourceUser", User);
  settings.WriteString(kSourceSection, "DataSourcePass", ScramblePassword(Password));
  settings.WriteBool(kFilterSection, "FilterEnabled", FilterEnabled);
  settings.WriteString(kFilterSection, "FilterFile", FilterFile);
  return settings.Flush(error);
}

std::vector<TDataSourceInfo> ReadStoredDataSources(const TSettingsFile& settings) {
  std::vector<TDataSourceInfo> list;
  for (int type = kSourceOmbrix2; type <= kSourceINSQL; ++type) {
    const std::string listSection = DataSourceListSection(type);
    for (const std::string& key : settings.Keys(listSection)) {
      const int number = settings.ReadInteger(listSection, key, -1);
      if (number == -1) continue;
      const std::string section = DataSourceKey(number);
      TDataSourceInfo info;
      info.Kind = 0;
      info.Type = static_cast<std::uint8_t>(type);
      info.Number = number;
      info.Name = settings.ReadString(section, "DataSourceName", "");
      info.Folder = settings.ReadString(section, "DataSourceFolder", "");
      info.DSN = settings.ReadString(section, "DataSourceDSN", "");
      info.User = settings.ReadString(section, "DataSourceUser", "");
      if (!info.DSN.empty()) info.Password = UnscramblePassword(settings.ReadString(section, "DataSourcePass", ""));
      list.push_back(std::move(info));
    }
  }
  return list;
}

int AddStoredDataSource(TSettingsFile& settings, TDataSourceInfo& source) {
  const std::string listSection = DataSourceListSection(source.Type);
  if (listSection.empty()) return 0;
  const int number = settings.ReadInteger(kSourceSection, kSequenceKey, 1);
  settings.WriteInteger(kSourceSection, kSequenceKey, number + 1);
  const std::string section = DataSourceKey(number);
  settings.WriteInteger(listSection, section, number);
  if (IsDatabaseSource(source.Type)) {
    settings.WriteString(section, "DataSourceDSN", source.DSN);
    settings.WriteString(section, "DataSourceUser", source.User);
    settings.WriteString(section, "DataSourcePass", ScramblePassword(source.Password));
  } else {
    settings.WriteString(section, "DataSourceName", source.Name);
    settings.WriteString(section, "DataSourceFolder", source.Folder);
  }
  source.Kind = 0;
  source.Number = number;
  return number;
}

void DeleteStoredDataSource(TSettingsFile& settings, const TDataSourceInfo& source) {
  const std::string listSection = DataSourceListSection(source.Type);
  const std::string section = DataSourceKey(source.Number);
  if (!listSection.empty()) settings.DeleteKey(listSection, section);
  settings.EraseSection(section);
}

}  // namespace kvq
