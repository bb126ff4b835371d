// The program's one database connection. The caller copies alias, user name
// and password of the open data source into it and calls Connect(); every
// query of the program then runs on Database(). The connection stays open
// across retrievals as long as alias and user name stay the same.
#pragma once

#include <QSqlDatabase>
#include <memory>
#include <string>

namespace kvq {

class TNamedConnection;

class TDBConnection {
 public:
  // Qt connection names of the program's session and of the alias chooser's
  // test connection.
  static constexpr const char* kSessionName = "KVQuillonSession";
  static constexpr const char* kLoginSessionName = "KVQuillonLoginSession";

  TDBConnection();
  ~TDBConnection();
  TDBConnection(const TDBConnection&) = delete;
  TDBConnection& operator=(const TDBConnection&) = delete;

  // Set by the caller before Connect().
  std::string Alias;
  std::string UserName;
  std::string Password;

  // Opens the connection when needed; true when it is open. A blank alias
  // closes any open connection and returns false without a message. A new
  // alias or user name closes and reopens; a new password alone does not. An
  // open connection whose server has gone away is reopened. A failure shows
  // "Error 1411: Database error - " + the reason, leaves nothing open and
  // returns false; a later call tries again.
  bool Connect();

  // Closes the connection if open; errors are ignored.
  void Disconnect();

  // Whether the connection is open (as far as the program knows).
  bool IsConnected() const { return connected_; }

  // Alias and user name of the connection now open (or last opened).
  const std::string& LastAlias() const { return lastAlias_; }
  const std::string& LastUserName() const { return lastUserName_; }

  // The open connection; an invalid QSqlDatabase when not connected. Valid
  // until Disconnect() or the next Connect() that reopens.
  QSqlDatabase Database() const;

  // The alias chooser's test: opens `alias` on a connection of its own and
  // closes it again. False with the reason in `error` when it cannot open.
  static bool TestConnection(const std::string& alias, const std::string& user, const std::string& password,
                             std::string* error);

 private:
  // True when the open connection still answers.
  bool Alive() const;

  std::unique_ptr<TNamedConnection> session_;
  bool connected_ = false;
  std::string lastAlias_;
  std::string lastUserName_;
};

// The process-wide connection, created on first use.
TDBConnection& DBConnection();

}  // namespace kvq
