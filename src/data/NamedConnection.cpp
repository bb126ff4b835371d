#include "data/NamedConnection.h"

#include <QSqlError>
#include <QSqlQuery>
#include <filesystem>

#include "data/AliasCatalogue.h"

namespace kvq {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Seconds a server connection may take before it counts as failed, so that
// an unreachable host does not hang the program.
constexpr const char* kConnectTimeout = "connect_timeout=10";

}  // namespace

TNamedConnection::TNamedConnection(std::string name) : name_(std::move(name)) {}

TNamedConnection::~TNamedConnection() { Close(); }

bool TNamedConnection::Open(const std::string& alias, const std::string& user, const std::string& password,
                            bool createMissing, std::string* error) {
  Close();
  auto fail = [&](const std::string& text) {
    if (error) *error = text;
    Close();
    return false;
  };
  TAliasInfo info;
  if (!FindAlias(alias, info)) return fail("Unknown database alias \"" + alias + "\".");
  if (info.Driver != "QSQLITE" && info.Driver != "QPSQL" && info.Driver != "QODBC")
    return fail("Alias \"" + alias + "\" names the unknown driver \"" + info.Driver + "\".");
  if (!QSqlDatabase::isDriverAvailable(Q(info.Driver)))
    return fail("The database driver " + info.Driver + " is not installed.");

  std::string database = info.Database;
  if (info.Driver == "QSQLITE") {
    if (database.empty()) return fail("Alias \"" + alias + "\" names no database file.");
    std::filesystem::path file(database);
    if (file.is_relative()) file = std::filesystem::path(AliasesFilePath()).parent_path() / file;
    database = file.string();
    std::error_code ec;
    if (!createMissing && !std::filesystem::exists(file, ec))
      return fail("The database file " + database + " does not exist.");
  }

  QSqlDatabase db = QSqlDatabase::addDatabase(Q(info.Driver), Q(name_));
  added_ = true;
  db.setDatabaseName(Q(database));
  if (!info.Host.empty()) db.setHostName(Q(info.Host));
  if (info.Port > 0) db.setPort(info.Port);
  db.setUserName(Q(user));
  db.setPassword(Q(password));
  std::string options = info.Options;
  if (info.Driver == "QPSQL" && options.find("connect_timeout") == std::string::npos)
    options = options.empty() ? kConnectTimeout : options + ";" + kConnectTimeout;
  db.setConnectOptions(Q(options));
  if (!db.open()) {
    std::string text = db.lastError().text().toStdString();
    if (text.empty()) text = "The database could not be opened.";
    db = QSqlDatabase();
    return fail(text);
  }
  if (info.Driver == "QSQLITE") {
    // SQLite opens any file and only finds out at the first query that it is
    // no database; find out now.
    QSqlQuery probe(db);
    if (!probe.exec(QStringLiteral("PRAGMA schema_version"))) {
      const std::string text = database + ": " + probe.lastError().text().toStdString();
      probe = QSqlQuery();
      db = QSqlDatabase();
      return fail(text);
    }
  }
  return true;
}

bool TNamedConnection::IsOpen() const {
  if (!added_) return false;
  return QSqlDatabase::database(Q(name_), false).isOpen();
}

QSqlDatabase TNamedConnection::Database() const {
  if (!added_) return QSqlDatabase();
  return QSqlDatabase::database(Q(name_), false);
}

void TNamedConnection::Close() {
  if (!added_) return;
  {
    QSqlDatabase db = QSqlDatabase::database(Q(name_), false);
    if (db.isValid()) db.close();
  }
  QSqlDatabase::removeDatabase(Q(name_));
  added_ = false;
}

}  // namespace kvq
