// A throw-away PostgreSQL server for tests and benchmarks: initdb into a new
// temporary folder, started on a free loopback port with password (SCRAM)
// authentication, removed again at the end. The server refuses to run as
// root, so as root it runs as the `postgres` system user.
#pragma once

#include <string>

namespace kvq::test {

class TPgTestServer {
 public:
  TPgTestServer() = default;
  ~TPgTestServer();  // Destroy()
  TPgTestServer(const TPgTestServer&) = delete;
  TPgTestServer& operator=(const TPgTestServer&) = delete;

  // The server shared by one test run, created and started on first use.
  static TPgTestServer& Shared();

  // Creates the cluster (first call) and starts the server; creates the
  // database Database(). False with `error` set when PostgreSQL is missing or
  // does not start.
  bool Start(std::string* error);
  // Stops the server (fast shutdown); the cluster stays for a later Start().
  bool Stop();
  // Stops the server and removes the folder.
  void Destroy();

  bool Running() const { return running_; }
  int Port() const { return port_; }
  std::string Host() const { return "127.0.0.1"; }
  std::string User() const { return "kvq"; }
  std::string Password() const { return "s3cret-Pw"; }
  std::string Database() const { return "kvqtest"; }
  // Folder of the PostgreSQL programs (psql lives there too).
  const std::string& BinDir() const { return bin_; }

 private:
  bool Run(const std::string& program, const std::string& args, std::string* output) const;

  std::string bin_;
  std::string folder_;
  int port_ = 0;
  bool initialised_ = false;
  bool running_ = false;
};

}  // namespace kvq::test
