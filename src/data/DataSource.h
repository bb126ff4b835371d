// A data source: where stations, sensors and values come from (a folder of
// Ombrix2 data files, a database alias, or an ASCII log or Excel source that
// loads nothing), and how sources are kept in the main settings file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kvq {

class TSettingsFile;

// Data source types.
enum : std::uint8_t {
  kSourceNone = 0,
  kSourceOmbrix2 = 1,
  kSourceAsciiLog = 2,
  kSourceExcel = 3,
  kSourceDatabase = 4,
  kSourceHDB = 5,
  kSourceINSQL = 6,
};

// Whether `type` is one of the database types (4, 5, 6).
inline bool IsDatabaseSource(int type) { return type >= kSourceDatabase && type <= kSourceINSQL; }

class TDataSourceInfo {
 public:
  // The type's display name: "None", "Ombrix2", "ASCII Log", "Excel",
  // "Database", "HDB", "INSQL"; empty for an unknown type.
  std::string DisplayName() const;

  // The name for types 1 to 3, the DSN for types 4 to 6, empty otherwise.
  std::string Caption() const;

  // Copies every field.
  void CopyFrom(const TDataSourceInfo& other) { *this = other; }

  // Reads the current source from the "DataSourceSettings" and
  // "FilterSettings" sections (missing keys take their defaults) and
  // unscrambles the password. PostProcessed is not stored and stays.
  void LoadCurrent(const TSettingsFile& settings);

  // Writes the same keys (the password scrambled afresh) and flushes the
  // file. False with `error` set when the file cannot be written.
  bool SaveCurrent(TSettingsFile& settings, std::string* error = nullptr) const;

  // Explorer node role: 0 a stored source; 1, 4, 5, 6 a group node; 101,
  // 104, 105, 106 the "New..." node of that group.
  int Kind = 0;
  std::uint8_t Type = kSourceNone;
  int Number = 0;          // unique among stored sources, from the sequence
  std::string Name;        // folder sources: the user's name for it
  std::string Folder;      // folder sources: the folder path
  std::string DSN;         // database types: the alias
  std::string User;        // database types: the user name
  std::string Password;    // database types: in clear while in memory
  bool FilterEnabled = false;
  std::string FilterFile;
  bool PostProcessed = false;  // post-processed data chosen; not stored
};

// Display name of a type (see TDataSourceInfo::DisplayName).
std::string DataSourceTypeName(int type);

// The section listing the stored sources of a type ("DataSourceOmbrix2Settings",
// "DataSourceLogSettings", "DataSourceExcelSettings", "DataSourceDatabaseSettings",
// "DataSourceHDBSettings", "DataSourceINSQLSettings"); empty for other types.
std::string DataSourceListSection(int type);

// "DataSourceID" + number: the list key and the section of a stored source.
std::string DataSourceKey(int number);

// The stored sources, list section by list section in type order 1 to 6, each
// in the order of its keys; list keys whose value is not an integer are
// skipped. Passwords of sources with a DSN are unscrambled.
std::vector<TDataSourceInfo> ReadStoredDataSources(const TSettingsFile& settings);

// Stores `source` as a new source of its type: takes the next number from
// "DataSourceSequence" (default 1), lists it and writes its section (name and
// folder, or DSN, user and scrambled password). Sets source.Number and Kind 0
// and returns the number. The file is not flushed. Types 0 and above 6 store
// nothing and return 0.
int AddStoredDataSource(TSettingsFile& settings, TDataSourceInfo& source);

// Removes a stored source: its list key and its section.
void DeleteStoredDataSource(TSettingsFile& settings, const TDataSourceInfo& source);

}  // namespace kvq
