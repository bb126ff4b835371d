#include "cli/CliCommon.h"

#include <algorithm>
#include <cstdio>

#include "foundation/Directive.h"
#include "foundation/TimeBase.h"

namespace kvq::cli {

int UsageError(const std::string& text) {
  std::fprintf(stderr, "kvq: %s\n", text.c_str());
  return kExitUsage;
}

bool TakeOption(Args& args, const std::string& name, std::string& value, bool& missing) {
  auto it = std::find(args.begin(), args.end(), name);
  if (it == args.end()) return false;
  if (it + 1 == args.end()) {
    missing = true;
    args.erase(it);
    return false;
  }
  value = *(it + 1);
  args.erase(it, it + 2);
  return true;
}

bool TakeFlag(Args& args, const std::string& name) {
  auto it = std::find(args.begin(), args.end(), name);
  if (it == args.end()) return false;
  args.erase(it);
  return true;
}

bool TakeNowOption(Args& args) {
  std::string text;
  bool missing = false;
  if (!TakeOption(args, "--now", text, missing)) {
    if (missing) {
      UsageError("--now needs a time \"MM/DD/YYYY HH:MM:SS\"");
      return false;
    }
    return true;
  }
  TimeTag now = 0;
  int position = 1;
  if (!ScanStrAt(text, position, "%j", now) || position != static_cast<int>(text.size()) + 1 || now <= 0) {
    UsageError("--now \"" + text + "\" is not a time \"MM/DD/YYYY HH:MM:SS\"");
    return false;
  }
  SetClockSource([now] { return now; });
  return true;
}

int CmdTime(Args args) {
  if (!TakeNowOption(args)) return kExitUsage;
  if (args.size() != 1) return UsageError("usage: kvq time EXPR [--now \"MM/DD/YYYY HH:MM:SS\"]");
  const TimeTag t = EvaluateTimeExpression(args[0], 0);
  std::printf("%s\n", FormatStr("%j", t).c_str());
  return kExitOk;
}

}  // namespace kvq::cli
