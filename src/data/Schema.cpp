#include "data/Schema.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <cctype>

#include "SchemaText.h"

namespace kvq {

namespace {

// The dialect behind an ODBC data source, found by asking it.
TSqlDialect ProbeDialect(const QSqlDatabase& db) {
  {
    QSqlQuery q(db);
    if (q.exec(QStringLiteral("SELECT sqlite_version()"))) return TSqlDialect::SQLite;
  }
  QSqlQuery q(db);
  if (q.exec(QStringLiteral("SELECT version()")) && q.next() &&
      q.value(0).toString().contains(QLatin1String("PostgreSQL")))
    return TSqlDialect::PostgreSQL;
  return TSqlDialect::Other;
}

bool Blank(std::string_view s) {
  // Blank once comments are taken out.
  std::size_t i = 0;
  while (i < s.size()) {
    if (s[i] == '-' && i + 1 < s.size() && s[i + 1] == '-') {
      while (i < s.size() && s[i] != '\n') ++i;
    } else if (s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\n') {
      ++i;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

std::string_view SchemaScript(TSqlDialect dialect) {
  switch (dialect) {
    case TSqlDialect::SQLite: return generated::kSqliteSchema;
    case TSqlDialect::PostgreSQL: return generated::kPostgresqlSchema;
    default: return {};
  }
}

std::vector<std::string> SplitSqlScript(std::string_view script) {
  std::vector<std::string> out;
  std::size_t start = 0, i = 0;
  auto flush = [&](std::size_t end) {
    std::string_view stmt = script.substr(start, end - start);
    if (Blank(stmt)) return;
    // Leading comment lines belong to the file, not to the statement.
    std::size_t first = stmt.find_first_not_of(" \t\r\n");
    while (stmt.substr(first, 2) == "--") {
      first = stmt.find('\n', first);
      first = stmt.find_first_not_of(" \t\r\n", first);
    }
    const std::size_t last = stmt.find_last_not_of(" \t\r\n");
    out.emplace_back(stmt.substr(first, last - first + 1));
  };
  while (i < script.size()) {
    const char c = script[i];
    if (c == '-' && i + 1 < script.size() && script[i + 1] == '-') {
      while (i < script.size() && script[i] != '\n') ++i;
    } else if (c == '\'' || c == '"') {
      // A doubled quote inside is part of the text; the loop sees it as the
      // end and an immediate new start, which comes to the same.
      const std::size_t close = script.find(c, i + 1);
      i = close == std::string_view::npos ? script.size() : close + 1;
    } else if (c == '$') {
      // $tag$ ... $tag$ (tag empty or a name)
      std::size_t j = i + 1;
      while (j < script.size() && (std::isalnum(static_cast<unsigned char>(script[j])) || script[j] == '_')) ++j;
      if (j < script.size() && script[j] == '$') {
        const std::string_view tag = script.substr(i, j - i + 1);
        const std::size_t close = script.find(tag, j + 1);
        i = close == std::string_view::npos ? script.size() : close + tag.size();
      } else {
        i = j;
      }
    } else if (c == ';') {
      flush(i);
      start = ++i;
    } else {
      ++i;
    }
  }
  flush(script.size());
  return out;
}

bool CreateSchema(const QSqlDatabase& connection, std::string* error) {
  QSqlDatabase db = connection;
  auto fail = [&](const std::string& text) {
    if (error) *error = text;
    return false;
  };
  if (!db.isOpen()) return fail("The database is not open.");
  TSqlDialect dialect = DialectOf(db);
  if (dialect == TSqlDialect::Odbc || dialect == TSqlDialect::Other) dialect = ProbeDialect(db);
  const std::string_view script = SchemaScript(dialect);
  if (script.empty())
    return fail("Cannot create the tables: the kind of database behind this alias is not known "
                "(SQLite and PostgreSQL are).");
  if (!db.transaction()) return fail("Cannot start a transaction: " + db.lastError().text().toStdString());
  for (const std::string& statement : SplitSqlScript(script)) {
    QSqlQuery q(db);
    if (!q.exec(QString::fromStdString(statement))) {
      const std::string text = q.lastError().text().toStdString();
      q.finish();
      db.rollback();
      const std::string head = statement.substr(0, statement.find('\n'));
      return fail("Creating the tables failed at \"" + head + "\": " + text);
    }
  }
  if (!db.commit()) {
    const std::string text = db.lastError().text().toStdString();
    db.rollback();
    return fail("Creating the tables failed: " + text);
  }
  return true;
}

}  // namespace kvq
