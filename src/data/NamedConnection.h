// One Qt SQL connection opened from an alias of the catalogue, closed and
// removed from Qt's connection list when the object goes.
#pragma once

#include <QSqlDatabase>
#include <string>

namespace kvq {

class TNamedConnection {
 public:
  // Nothing is opened yet. `name` is the Qt connection name; it must be
  // unique among the connections alive at the same time.
  explicit TNamedConnection(std::string name);
  // Close().
  ~TNamedConnection();
  TNamedConnection(const TNamedConnection&) = delete;
  TNamedConnection& operator=(const TNamedConnection&) = delete;

  // Opens the alias with the user name and password (the driver's user name
  // and password). An SQLite file that does not exist fails unless
  // `createMissing` is set. False with `error` set when the alias is unknown,
  // its driver is missing or the database refuses; nothing then stays open.
  bool Open(const std::string& alias, const std::string& user, const std::string& password,
            bool createMissing, std::string* error);

  // Whether Open succeeded and the driver still holds its connection.
  bool IsOpen() const;

  // The open connection (an invalid one when closed). Queries made on it
  // must be gone before Close().
  QSqlDatabase Database() const;

  const std::string& Name() const { return name_; }

  // Closes and removes the connection; errors are ignored.
  void Close();

 private:
  std::string name_;
  bool added_ = false;
};

}  // namespace kvq
