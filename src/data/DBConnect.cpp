#include "data/DBConnect.h"

#include <QCoreApplication>
#include <QSqlQuery>

#include "data/NamedConnection.h"
#include "data/SqlDateTime.h"
#include "foundation/Directive.h"
#include "foundation/Messages.h"

namespace kvq {

namespace {

bool Blank(const std::string& s) { return s.find_first_not_of(" \t\r\n") == std::string::npos; }

}  // namespace

TDBConnection::TDBConnection() = default;

TDBConnection::~TDBConnection() { Disconnect(); }

bool TDBConnection::Connect() {
  if (Blank(Alias)) {
    Disconnect();
    return false;
  }
  if (Alias != lastAlias_ || UserName != lastUserName_) {
    lastAlias_ = Alias;
    lastUserName_ = UserName;
    if (connected_) Disconnect();
  }
  // A server that went away (or was restarted) leaves a dead connection
  // behind; open a fresh one instead of failing every query from now on.
  if (connected_ && !Alive()) Disconnect();
  if (connected_) return true;

  session_ = std::make_unique<TNamedConnection>(kSessionName);
  std::string error;
  if (!session_->Open(Alias, UserName, Password, false, &error)) {
    ShowError(FormatStr("Error 1411: Database error - %p", error));
    session_.reset();
    connected_ = false;
    return false;
  }
  connected_ = true;
  static bool closeAtExit = false;
  if (!closeAtExit && QCoreApplication::instance()) {
    closeAtExit = true;
    qAddPostRoutine([] { DBConnection().Disconnect(); });
  }
  return true;
}

void TDBConnection::Disconnect() {
  session_.reset();
  connected_ = false;
}

QSqlDatabase TDBConnection::Database() const {
  if (!connected_ || !session_) return QSqlDatabase();
  return session_->Database();
}

bool TDBConnection::Alive() const {
  if (!session_ || !session_->IsOpen()) return false;
  QSqlDatabase db = session_->Database();
  // A PostgreSQL server can go away under an open connection and Qt only
  // notices at the next failing query, so ask it. An SQLite file cannot go
  // away; ODBC sources answer no query common to all of them.
  if (DialectOf(db) != TSqlDialect::PostgreSQL) return true;
  QSqlQuery probe(db);
  return probe.exec(QStringLiteral("SELECT 1"));
}

bool TDBConnection::TestConnection(const std::string& alias, const std::string& user, const std::string& password,
                                   std::string* error) {
  TNamedConnection test(kLoginSessionName);
  return test.Open(alias, user, password, false, error);
}

TDBConnection& DBConnection() {
  // Never destroyed: Qt's own connection list may already be gone when
  // static objects die. The connection is closed when the application object
  // goes (below), or explicitly with Disconnect() at exit.
  static TDBConnection* connection = new TDBConnection;
  return *connection;
}

}  // namespace kvq
