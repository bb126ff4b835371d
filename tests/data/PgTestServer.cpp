#include "PgTestServer.h"

#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QStringList>
#include <arpa/inet.h>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kvq::test {

namespace {

// The newest Debian PostgreSQL programs, else those on PATH.
std::string FindBinDir() {
  std::string best;
  int bestVersion = -1;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator("/usr/lib/postgresql", ec)) {
    const std::string version = entry.path().filename().string();
    const int v = std::atoi(version.c_str());
    if (v > bestVersion && std::filesystem::exists(entry.path() / "bin" / "initdb")) {
      bestVersion = v;
      best = (entry.path() / "bin").string();
    }
  }
  if (!best.empty()) return best;
  const QString initdb = QStandardPaths::findExecutable(QStringLiteral("initdb"));
  return initdb.isEmpty() ? std::string() : QFileInfo(initdb).absolutePath().toStdString();
}

int FreeLoopbackPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return 0;
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  socklen_t len = sizeof addr;
  int port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
    port = ntohs(addr.sin_port);
  ::close(fd);
  return port;
}

}  // namespace

TPgTestServer::~TPgTestServer() { Destroy(); }

TPgTestServer& TPgTestServer::Shared() {
  static TPgTestServer server;
  return server;
}

bool TPgTestServer::Run(const std::string& program, const std::string& args, std::string* output) const {
  // As root, run as the postgres user; initdb and the server refuse root.
  QStringList argv;
  QString exe;
  const QString command = QString::fromStdString(bin_ + "/" + program);
  const QStringList programArgs = QProcess::splitCommand(QString::fromStdString(args));
  if (::geteuid() == 0) {
    exe = QStringLiteral("runuser");
    argv << QStringLiteral("-u") << QStringLiteral("postgres") << QStringLiteral("--") << command << programArgs;
  } else {
    exe = command;
    argv = programArgs;
  }
  QProcess p;
  p.setWorkingDirectory(QString::fromStdString(folder_));
  p.setProcessChannelMode(QProcess::MergedChannels);
  p.start(exe, argv);
  const bool ok = p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
  if (output) *output = p.readAll().toStdString();
  return ok;
}

bool TPgTestServer::Start(std::string* error) {
  auto fail = [&](const std::string& text) {
    if (error) *error = text;
    return false;
  };
  if (running_) return true;
  std::string out;
  if (!initialised_) {
    bin_ = FindBinDir();
    if (bin_.empty()) return fail("PostgreSQL (initdb) is not installed; scripts/install-deps installs it.");
    char tmpl[] = "/tmp/kvq-pg-XXXXXX";
    if (!::mkdtemp(tmpl)) return fail("Cannot make a temporary folder for PostgreSQL.");
    folder_ = tmpl;
    {
      std::ofstream pw(folder_ + "/pwfile");
      pw << Password() << "\n";
    }
    if (::geteuid() == 0) {
      const passwd* pg = ::getpwnam("postgres");
      if (!pg) return fail("As root the test server runs as the user postgres, which does not exist.");
      if (::chown(folder_.c_str(), pg->pw_uid, pg->pw_gid) != 0 ||
          ::chown((folder_ + "/pwfile").c_str(), pg->pw_uid, pg->pw_gid) != 0)
        return fail("Cannot hand the temporary folder to the user postgres.");
    }
    if (!Run("initdb", "-D " + folder_ + "/data -U " + User() + " --pwfile=" + folder_ +
                           "/pwfile -A scram-sha-256 -E UTF8 --locale=C --no-sync",
             &out))
      return fail("initdb failed: " + out);
    port_ = FreeLoopbackPort();
    if (port_ == 0) return fail("No free loopback port.");
    initialised_ = true;
    // Should the test run die without cleaning up, this watcher stops the
    // server and removes the folder once the test process is gone.
    const std::string prefix = ::geteuid() == 0 ? "runuser -u postgres -- " : "";
    const std::string watch = "exec >/dev/null 2>&1 </dev/null; while kill -0 " + std::to_string(::getpid()) +
                              "; do sleep 1; done; " + prefix + bin_ + "/pg_ctl -D " + folder_ +
                              "/data -m immediate stop; rm -rf " + folder_;
    QProcess::startDetached(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QString::fromStdString(watch)});
  }
  const std::string options = "-p " + std::to_string(port_) + " -k " + folder_ +
                              " -c listen_addresses=127.0.0.1 -c fsync=off -c full_page_writes=off"
                              " -c synchronous_commit=off";
  if (!Run("pg_ctl", "-D " + folder_ + "/data -l " + folder_ + "/server.log -w -t 60 -o \"" + options + "\" start",
           &out))
    return fail("The PostgreSQL server did not start: " + out);
  running_ = true;

  // The test database, once.
  const QString name = QStringLiteral("kvq-pg-admin");
  bool ok = true;
  std::string text;
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    db.setHostName(QString::fromStdString(Host()));
    db.setPort(port_);
    db.setDatabaseName(QStringLiteral("postgres"));
    db.setUserName(QString::fromStdString(User()));
    db.setPassword(QString::fromStdString(Password()));
    if (!db.open()) {
      ok = false;
      text = db.lastError().text().toStdString();
    } else {
      QSqlQuery q(db);
      q.exec(QStringLiteral("SELECT 1 FROM pg_database WHERE datname = '%1'").arg(QString::fromStdString(Database())));
      if (!q.next() && !q.exec(QStringLiteral("CREATE DATABASE %1").arg(QString::fromStdString(Database())))) {
        ok = false;
        text = q.lastError().text().toStdString();
      }
    }
    db.close();
  }
  QSqlDatabase::removeDatabase(name);
  if (!ok) return fail("Cannot create the test database: " + text);
  return true;
}

bool TPgTestServer::Stop() {
  if (!running_) return true;
  running_ = false;
  return Run("pg_ctl", "-D " + folder_ + "/data -m fast -w stop", nullptr);
}

void TPgTestServer::Destroy() {
  if (folder_.empty()) return;
  Stop();
  std::error_code ec;
  std::filesystem::remove_all(folder_, ec);
  folder_.clear();
  initialised_ = false;
}

}  // namespace kvq::test
