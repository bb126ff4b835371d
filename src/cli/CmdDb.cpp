// kvq db: the station database from the command line. Passwords come from
// the environment (KVQ_PASSWORD), never from the command line, where other
// users of the machine can read them.
#include <QCoreApplication>
#include <QSqlDatabase>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "cli/CliCommon.h"
#include "data/AliasCatalogue.h"
#include "data/NamedConnection.h"
#include "data/Schema.h"

namespace kvq::cli {

namespace {

int ListAliasesCommand(Args args) {
  if (!TakeAliasesOption(args)) return kExitUsage;
  if (!args.empty()) return UsageError("usage: kvq db aliases [--aliases FILE]");
  for (const TAliasInfo& a : ListAliases()) {
    std::printf("%s\t%s\t%s\t%s\t%s\t%s\n", a.Name.c_str(), a.Driver.c_str(), a.Database.c_str(),
                a.Host.empty() ? "-" : a.Host.c_str(), a.Port > 0 ? std::to_string(a.Port).c_str() : "-",
                a.FromOdbc ? "odbc" : "aliases");
  }
  return kExitOk;
}

int InitCommand(Args args) {
  if (!TakeAliasesOption(args)) return kExitUsage;
  std::string user;
  bool missing = false;
  TakeOption(args, "--user", user, missing);
  if (missing) return UsageError("--user needs a name");
  if (args.size() != 1) return UsageError("usage: kvq db init ALIAS [--user NAME] [--aliases FILE]");
  const std::string alias = args[0];
  const char* password = std::getenv("KVQ_PASSWORD");
  const auto app = MakeQtCore();
  TNamedConnection connection("kvq-db-init");
  std::string error;
  // An SQLite alias whose file is not there yet gets a new file.
  if (!connection.Open(alias, user, password ? password : "", true, &error)) {
    std::fprintf(stderr, "kvq: cannot open the database alias %s: %s\n", alias.c_str(), error.c_str());
    return kExitFailed;
  }
  if (!CreateSchema(connection.Database(), &error)) {
    std::fprintf(stderr, "kvq: %s\n", error.c_str());
    return kExitFailed;
  }
  std::printf("The station tables are in place in %s.\n", alias.c_str());
  return kExitOk;
}

}  // namespace

int CmdDb(Args args) {
  if (args.empty()) return UsageError("usage: kvq db aliases | kvq db init ALIAS (kvq --help)");
  const std::string sub = args[0];
  args.erase(args.begin());
  if (sub == "aliases") return ListAliasesCommand(args);
  if (sub == "init") return InitCommand(args);
  return UsageError("unknown db command \"" + sub + "\" (kvq --help lists them)");
}

}  // namespace kvq::cli
