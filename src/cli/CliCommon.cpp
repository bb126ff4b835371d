#include "cli/CliCommon.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "foundation/Directive.h"
#include "foundation/TimeBase.h"
#include "store/FileSrvr.h"

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

std::unique_ptr<TFileServer> MakeFolderServer(const std::string& dir, bool quiet) {
  auto server = std::make_unique<TFileServer>(GetGroupSetup("1"));
  server->SetMessageHandler([quiet](MessageKind kind, const std::string& text) {
    if (quiet && kind == MessageKind::Info) return;
    std::fprintf(stderr, "%s%s\n", kind == MessageKind::Warning ? "Warning: " : "", text.c_str());
  });
  if (!dir.empty()) {
    namespace fs = std::filesystem;
    server->Settings().DataFolder = dir;
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir, ec)) {
      const std::string name = e.path().filename().string();
      if (e.is_regular_file(ec) && name.size() > 4 && SameText(name.substr(name.size() - 4), ".DAT"))
        names.push_back((fs::path(dir) / name.substr(0, name.size() - 4)).string());
    }
    std::sort(names.begin(), names.end());
    std::string list;
    for (const auto& n : names) FormatAppend(list, "%P", n);
    server->Settings().FileList = list;
  }
  std::string error;
  if (!server->Initialize("kvq", error)) std::fprintf(stderr, "%s\n", error.c_str());
  return server;
}

int CmdTime(Args args) {
  if (!TakeNowOption(args)) return kExitUsage;
  if (args.size() != 1) return UsageError("usage: kvq time EXPR [--now \"MM/DD/YYYY HH:MM:SS\"]");
  const TimeTag t = EvaluateTimeExpression(args[0], 0);
  std::printf("%s\n", FormatStr("%j", t).c_str());
  return kExitOk;
}

}  // namespace kvq::cli
