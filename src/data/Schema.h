// The station database's tables: creating them in an open connection. The
// scripts (schema/sqlite.sql, schema/postgresql.sql) are built into the
// program, so an installed program needs no source tree.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "data/SqlDateTime.h"

namespace kvq {

// The script for a kind of database; empty for kinds without one.
std::string_view SchemaScript(TSqlDialect dialect);

// Splits an SQL script into its statements at the semicolons that lie outside
// quotes ('…', "…", $tag$…$tag$) and comments (-- to the end of the line).
// Statements that hold nothing but blanks and comments are dropped.
std::vector<std::string> SplitSqlScript(std::string_view script);

// Creates every table (and, on PostgreSQL, the import functions) that is
// missing in the open connection `db`, in one transaction; tables that exist
// stay as they are. An ODBC data source is probed for SQLite or PostgreSQL
// behind it. False with `error` set on failure; nothing is then changed.
bool CreateSchema(const QSqlDatabase& db, std::string* error);

}  // namespace kvq
