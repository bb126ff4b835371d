#include "data/AliasCatalogue.h"

#include <cstdlib>
#include <filesystem>

#include "foundation/Directive.h"
#include "foundation/SettingsFile.h"

namespace kvq {

namespace {

std::string& AliasesPathOverride() {
  static std::string path;
  return path;
}

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* v = std::getenv(name);
  return v && *v ? std::string(v) : fallback;
}

std::string HomeDir() { return EnvOr("HOME", "."); }

// The unixODBC files holding data source names: the user's, then the system's.
std::vector<std::string> OdbcIniFiles() {
  std::vector<std::string> files;
  files.push_back(EnvOr("ODBCINI", HomeDir() + "/.odbc.ini"));
  files.push_back(EnvOr("ODBCSYSINI", "/etc") + "/odbc.ini");
  return files;
}

bool Listed(const std::vector<TAliasInfo>& list, std::string_view name) {
  for (const TAliasInfo& a : list)
    if (SameText(a.Name, name)) return true;
  return false;
}

}  // namespace

void SetAliasesFilePath(const std::string& path) { AliasesPathOverride() = path; }

std::string AliasesFilePath() {
  if (!AliasesPathOverride().empty()) return AliasesPathOverride();
  std::string config = EnvOr("XDG_CONFIG_HOME", "");
  // The XDG rules ignore a relative XDG_CONFIG_HOME.
  if (config.empty() || config[0] != '/') config = HomeDir() + "/.config";
  return config + "/KVQuillon/aliases.ini";
}

std::vector<TAliasInfo> ListAliases() {
  std::vector<TAliasInfo> list;
  TSettingsFile file(AliasesFilePath());
  for (const std::string& section : file.Sections()) {
    if (Listed(list, section)) continue;
    TAliasInfo a;
    a.Name = section;
    a.Driver = UpperCase(file.ReadString(section, "Driver", ""));
    a.Database = file.ReadString(section, "Database", "");
    a.Host = file.ReadString(section, "Host", "");
    a.Port = file.ReadInteger(section, "Port", 0);
    a.Options = file.ReadString(section, "Options", "");
    list.push_back(std::move(a));
  }
  for (const std::string& path : OdbcIniFiles()) {
    TSettingsFile ini(path);
    for (const std::string& section : ini.Sections()) {
      // Sections of unixODBC itself, not data sources.
      if (SameText(section, "ODBC Data Sources") || SameText(section, "ODBC")) continue;
      if (Listed(list, section)) continue;
      TAliasInfo a;
      a.Name = section;
      a.Driver = "QODBC";
      a.Database = section;
      a.FromOdbc = true;
      list.push_back(std::move(a));
    }
  }
  return list;
}

bool FindAlias(std::string_view name, TAliasInfo& alias) {
  for (TAliasInfo& a : ListAliases()) {
    if (SameText(a.Name, name)) {
      alias = std::move(a);
      return true;
    }
  }
  return false;
}

bool SaveAlias(const TAliasInfo& alias, std::string* error) {
  const std::string path = AliasesFilePath();
  std::error_code ec;
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  if (!folder.empty()) std::filesystem::create_directories(folder, ec);
  if (ec) {
    if (error) *error = "Cannot create the folder " + folder.string() + ": " + ec.message();
    return false;
  }
  TSettingsFile file(path);
  file.EraseSection(alias.Name);
  file.WriteString(alias.Name, "Driver", alias.Driver);
  file.WriteString(alias.Name, "Database", alias.Database);
  if (!alias.Host.empty()) file.WriteString(alias.Name, "Host", alias.Host);
  if (alias.Port != 0) file.WriteInteger(alias.Name, "Port", alias.Port);
  if (!alias.Options.empty()) file.WriteString(alias.Name, "Options", alias.Options);
  return file.Flush(error);
}

}  // namespace kvq
