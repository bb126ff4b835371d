// kvq: the command-line tool of KV Quillon. It uses the same libraries as the
// desktop program; every command is a thin layer over them.
#include <cstdio>
#include <cstring>
#include <string>

#include "Version.h"
#include "cli/CliCommon.h"
#include "foundation/GroupSetup.h"

namespace {

const char kHelp[] =
    "kvq " KVQ_VERSION " - the command-line tool of KV Quillon\n"
    "\n"
    "Usage: kvq COMMAND [ARGS...]\n"
    "\n"
    "Commands:\n"
    "  time EXPR [--now \"MM/DD/YYYY HH:MM:SS\"]\n"
    "      Prints the value of a time expression as \"MM/DD/YYYY HH:MM:SS\".\n"
    "      EXPR is a base and an optional offset after a sign:\n"
    "        bases:   NOW, TODAY, YESTERDAY, TOMORROW, NEXT HOUR, LAST HOUR,\n"
    "                 LAST 2|3|6|12 HOURS, LAST 2|3|5 DAYS, THIS|LAST|NEXT WEEK,\n"
    "                 THIS|LAST|NEXT MONTH, THIS|LAST|NEXT YEAR, or an absolute\n"
    "                 \"MM/DD/YYYY HH:MM:SS\" (any trailing fields may be left out)\n"
    "        offsets: \"H:M:S\" or \"M/D/Y H:M:S\", e.g. NOW-1:00, TODAY+0/1/0\n"
    "      An empty base (\"+1:00\") counts from the reference time, like NOW.\n"
    "      --now pins the clock, so that scripts get repeatable answers.\n"
    "\n"
    "  --help, help     This text.\n"
    "  --version        The version.\n"
    "\n"
    "Exit status: 0 success, 1 the operation failed, 2 the command line is wrong.\n";

}  // namespace

int main(int argc, char** argv) {
  kvq::MarkGuiThread();
  if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "help") || !std::strcmp(argv[1], "-h")) {
    std::fputs(kHelp, stdout);
    return argc < 2 ? kvq::cli::kExitUsage : kvq::cli::kExitOk;
  }
  const std::string command = argv[1];
  kvq::cli::Args args(argv + 2, argv + argc);
  if (command == "--version") {
    std::printf("kvq %s\n", KVQ_VERSION);
    return kvq::cli::kExitOk;
  }
  if (command == "time") return kvq::cli::CmdTime(args);
  return kvq::cli::UsageError("unknown command \"" + command + "\" (kvq --help lists them)");
}
