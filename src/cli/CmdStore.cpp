// kvq cmd, kvq put, kvq demo-files: the data-file store from the command line,
// through the same command client the program uses.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "cli/CliCommon.h"
#include "foundation/Directive.h"
#include "foundation/TimeBase.h"
#include "store/DemoFiles.h"
#include "store/FileSrvr.h"
#include "store/GenClient.h"

namespace kvq::cli {

namespace {

namespace fs = std::filesystem;

bool TakeDir(Args& args, std::string& dir) {
  bool missing = false;
  if (TakeOption(args, "-d", dir, missing) || !missing) {
    std::error_code ec;
    if (!dir.empty() && !fs::is_directory(dir, ec)) {
      UsageError("-d " + dir + ": no such folder");
      return false;
    }
    return true;
  }
  UsageError("-d needs a folder");
  return false;
}

std::string Hex(std::string_view bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

// The same command from another start time: VERB,A,start,rest.
std::string WithStart(const std::string& command, const std::string& start) {
  std::string verb, a, oldStart;
  int pos = 1;
  ScanStrAt(command, pos, "%P%P%P", verb, a, oldStart);
  const std::string rest = command.substr(std::min<std::size_t>(static_cast<std::size_t>(pos - 1), command.size()));
  return verb + "," + a + "," + start + "," + rest;
}

}  // namespace

int CmdCmd(Args args) {
  std::string dir, modeText, rawFile;
  bool missing = false;
  if (!TakeNowOption(args) || !TakeDir(args, dir)) return kExitUsage;
  if (!TakeOption(args, "-m", modeText, missing) && missing) return UsageError("-m needs a mode (0 or 1)");
  if (!TakeOption(args, "--raw-file", rawFile, missing) && missing) return UsageError("--raw-file needs a file");
  const bool follow = TakeFlag(args, "--follow");
  int mode = 1;
  if (!modeText.empty() && !ScanStr(modeText, "%i", mode)) return UsageError("-m " + modeText + " is not a mode");
  if (args.empty())
    return UsageError("usage: kvq cmd [-d DIR] [-m MODE] [--now TIME] [--raw-file FILE] [--follow] COMMAND...");

  std::FILE* raw = nullptr;
  if (!rawFile.empty() && !(raw = std::fopen(rawFile.c_str(), "ab"))) {
    std::fprintf(stderr, "kvq: cannot write %s: %s\n", rawFile.c_str(), std::strerror(errno));
    return kExitFailed;
  }
  auto server = MakeFolderServer(dir);
  TGenClient client(server.get());
  bool allOk = true;
  for (std::string command : args) {
    for (int round = 0;; ++round) {
      std::string reply;
      const bool ok = client.Execute(command, reply, mode);
      int pos = 1;
      const int verb = NextFieldIndex(command, pos, TGenClient::kVerbs);
      // A raw range that ends exactly at the file's last record still names a
      // continuation; the read that follows it finds nothing and ends the range.
      if (!ok && round > 0 && verb == 2) break;
      allOk = allOk && ok;
      const bool isRaw = verb == 2 && ok;
      if (IsNotAvailable(reply)) {
        std::printf("N/A\n");
      } else if (isRaw && raw) {
        std::fwrite(reply.data() + std::min<std::size_t>(4, reply.size()), 1, reply.size() > 4 ? reply.size() - 4 : 0, raw);
      } else {
        std::printf("%s\n", isRaw ? Hex(reply).c_str() : reply.c_str());
      }
      if (!follow || !ok) break;
      // a cut range goes on from its continuation time
      std::string next;
      if (isRaw && reply.size() >= 4) {
        TimeTag cont;
        std::memcpy(&cont, reply.data(), 4);
        std::string v, a;
        TimeTag from = 0, to = 0;
        ScanStr(command, "%P%P%J%J", v, a, from, to);
        if (cont != 0 && cont <= to) next = FormatStr("%j", cont);
      } else if (verb == 4 || verb == 6 || verb == 8) {  // BLOCK+, TAG+, TAG#
        const std::string first = reply.substr(0, reply.find("\r\n"));
        if (first != "00/00/0000 00:00:00") next = first;
      }
      if (next.empty()) break;
      const std::string following = WithStart(command, next);
      if (following == command) break;  // no progress: stop rather than loop
      command = following;
    }
  }
  std::fflush(stdout);
  if (raw) std::fclose(raw);
  return allOk ? kExitOk : kExitFailed;
}

int CmdPut(Args args) {
  std::string dir;
  if (!TakeNowOption(args) || !TakeDir(args, dir)) return kExitUsage;
  if (args.size() != 2) return UsageError("usage: kvq put [-d DIR] [--now TIME] \"POINT,STATION.SENSOR,TIME\" VALUE");
  auto server = MakeFolderServer(dir);
  TGenClient client(server.get());
  return client.Store(args[0], args[1], 1) ? kExitOk : kExitFailed;
}

int CmdDemoFiles(Args args) {
  if (!TakeNowOption(args)) return kExitUsage;
  if (args.size() != 1) return UsageError("usage: kvq demo-files DIR [--now TIME]");
  std::string error;
  if (!WriteDemoFiles(args[0], NowTimeTag(), error)) {
    std::fprintf(stderr, "kvq: %s\n", error.c_str());
    return kExitFailed;
  }
  std::printf("Wrote MILLBROOK.DAT, LAKEVIEW.DAT and HILLTOP.DAT into %s\n", args[0].c_str());
  return kExitOk;
}

}  // namespace kvq::cli
