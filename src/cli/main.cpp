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
    "  cmd [-d DIR] [-m MODE] [--now TIME] [--raw-file FILE] [--follow] COMMAND...\n"
    "      Runs data-file store commands in order in one client and prints each\n"
    "      reply on its own line. With -d the data folder is DIR and every \".DAT\"\n"
    "      file there is open; without it, name files by their full paths.\n"
    "      MODE 1 (the default) also allows RAW. A missing reply prints N/A; a RAW\n"
    "      reply prints as lower-case hex of its bytes (continuation time tag,\n"
    "      then 32-bit float records), or its records are appended to FILE.\n"
    "      --follow repeats a RAW, BLOCK+, TAG+ or TAG# command from its\n"
    "      continuation time until the whole range is delivered.\n"
    "      Verbs: POINT,STATION.SENSOR,TIME   RAW,FILE,START,END\n"
    "             BLOCK|BLOCK+|TAG|TAG+|TAG-|TAG#,FILE,START,END[,STEP[,SENSOR...]]\n"
    "             SENSOR|FORMAT|INFO|CINFO|DELETE|DEACTIVATE|ACTIVATE,FILE   FILES\n"
    "             CREATE|CHANGE,FILE,\"NAME\",START,OFFSET,INTERVAL,YES|NO,SENSOR,DIGITS,...\n"
    "             SPLIT|ADJUST,FILE,TIME   DIGITS|EXIST,STATION.SENSOR\n"
    "      Store messages go to stderr. Exit 0 when every command succeeded.\n"
    "\n"
    "  put [-d DIR] [--now TIME] \"POINT,STATION.SENSOR,TIME\" VALUE\n"
    "      Stores one value (a VALUE that is not a number stores a missing value).\n"
    "\n"
    "  demo-files DIR [--now TIME]\n"
    "      Writes the demo data files: a river gauge (MILLBROOK), a reservoir\n"
    "      (LAKEVIEW) and a weather station (HILLTOP), 400 days up to now.\n"
    "\n"
    "  db aliases [--aliases FILE]\n"
    "      Lists the database aliases, one a line: name, driver, database, host,\n"
    "      port (\"-\" for the default) and where it comes from (\"aliases\": the\n"
    "      aliases file $XDG_CONFIG_HOME/KVQuillon/aliases.ini or --aliases FILE;\n"
    "      \"odbc\": a DSN of unixODBC), separated by tabs.\n"
    "\n"
    "  db init ALIAS [--user NAME] [--aliases FILE]\n"
    "      Creates the station tables (KV_SITES, KV_SITESENSORS, KV_DATA1 ...) that\n"
    "      are missing in the database of ALIAS; an SQLite file is made when it is\n"
    "      not there. The password comes from the environment variable KVQ_PASSWORD.\n"
    "\n"
    "  values (-d DIR | --alias A [--user U]) --from TIME --to TIME\n"
    "         [--interval SECONDS] [--offset SECONDS] STATION.SENSOR...\n"
    "      The values of the sensors from --from to --to, one CSV line each:\n"
    "        time (\"MM/DD/YYYY HH:MM:SS\"), STATION.SENSOR, value\n"
    "      (the value is empty where it is missing). Without --interval every\n"
    "      stored value comes; with it only those on the boundaries --offset +\n"
    "      k x SECONDS. Lines come sensor by sensor for a database, record by\n"
    "      record (all sensors of a file together) for a data-file folder.\n"
    "      TIME is a time expression as for \"kvq time\". A database password\n"
    "      comes from the environment variable KVQ_PASSWORD.\n"
    "\n"
    "  stats (-d DIR | --alias A [--user U]) --from TIME --to TIME\n"
    "        --interval SECONDS [--offset SECONDS] STATION.SENSOR...\n"
    "      Statistics of each interval (boundaries --offset + k x SECONDS) that\n"
    "      starts from --from to --to, one CSV line per interval and sensor:\n"
    "        time (start of the interval), STATION.SENSOR, count, min,\n"
    "        time of min, max, time of max, avg, std (sample), delta (max - min),\n"
    "        sum, good, bad\n"
    "      good and bad count the values inside and outside the sensor's\n"
    "      limits; an interval without values shows only its count, good and\n"
    "      bad. For a data-file folder the interval that starts at --to also\n"
    "      holds the record that follows it.\n"
    "\n"
    "  demo DIR [--settings FILE] [--aliases FILE] [--now TIME]\n"
    "      Writes the demo data files into DIR and the demo station database\n"
    "      DIR/demo.sqlite (alias DEMO), and lists both sources in the main\n"
    "      settings file ($XDG_CONFIG_HOME/KVQuillon/KVQuillon.KFG or --settings\n"
    "      FILE), so that the program's data source explorer shows them.\n"
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
  if (command == "cmd") return kvq::cli::CmdCmd(args);
  if (command == "put") return kvq::cli::CmdPut(args);
  if (command == "demo-files") return kvq::cli::CmdDemoFiles(args);
  if (command == "db") return kvq::cli::CmdDb(args);
  if (command == "values") return kvq::cli::CmdValues(args);
  if (command == "stats") return kvq::cli::CmdStats(args);
  if (command == "demo") return kvq::cli::CmdDemo(args);
  return kvq::cli::UsageError("unknown command \"" + command + "\" (kvq --help lists them)");
}
