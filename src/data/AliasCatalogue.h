// The alias catalogue: the database aliases the program can connect to. They
// come from the aliases file ($XDG_CONFIG_HOME/KVQuillon/aliases.ini, one
// section per alias with Driver=QSQLITE|QPSQL|QODBC, Database=, Host=, Port=,
// Options=) and from the data source names that unixODBC knows (the user's
// and the system's odbc.ini). User names and passwords never live here.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kvq {

struct TAliasInfo {
  std::string Name;
  std::string Driver;    // "QSQLITE", "QPSQL" or "QODBC"
  std::string Database;  // SQLite file (relative to the aliases file), database name, or ODBC DSN
  std::string Host;      // server host; empty for the driver's default
  int Port = 0;          // 0 for the driver's default
  std::string Options;   // driver connect options, "name=value;name=value"
  bool FromOdbc = false;  // a DSN of unixODBC rather than an aliases file section
};

// Points the catalogue at another aliases file; an empty path restores the
// default. Not thread-safe: set it at start (kvq --aliases, tests).
void SetAliasesFilePath(const std::string& path);

// The aliases file in use: the one set above, else
// $XDG_CONFIG_HOME/KVQuillon/aliases.ini (XDG_CONFIG_HOME defaulting to
// ~/.config).
std::string AliasesFilePath();

// Every alias: the aliases file's sections in file order, then the ODBC DSNs
// whose names the file does not already use (compared without regard to case).
// A missing file or odbc.ini lists nothing.
std::vector<TAliasInfo> ListAliases();

// The alias called `name` (letter case ignored). False when there is none.
bool FindAlias(std::string_view name, TAliasInfo& alias);

// Writes `alias` as its section of the aliases file (replacing a section of
// the same name), creating the folder when needed. False with `error` set when
// the file cannot be written; the previous file then stays.
bool SaveAlias(const TAliasInfo& alias, std::string* error);

}  // namespace kvq
