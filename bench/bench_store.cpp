// The data-file store under load, against `cat` on the same warm file:
//  - RAW read of a 1-year, 1-minute, 32-sensor file (67 MB) through Execute,
//    continuing from each reply's continuation time as the data manager does;
//  - appending single values in time order through Store (POINT);
//  - TAG text read of the same file (MB/s of text produced).
// The ratio to `cat` is printed last.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "foundation/Directive.h"
#include "foundation/TimeBase.h"
#include "store/FileSrvr.h"
#include "store/GenClient.h"

using namespace kvq;
using Clock = kvqbench::Clock;

namespace {

using kvqbench::Best;
using kvqbench::Seconds;

std::string MakeFile(const std::string& dir, const std::string& name, int sensors, int interval, int days) {
  std::string d = "\"" + name + "\",01/01/2009,00:00:00," + FormatStr("%t", interval) + ",No";
  for (int i = 0; i < sensors; ++i) d += ",STA" + std::to_string(i / 8) + ".S" + std::to_string(i % 8) + ",2";
  const std::string path = dir + "/" + name + ".DAT";
  TDataFile f(path, dir + "/" + name);
  if (!f.CreateFile(d)) std::exit(1);
  const long records = static_cast<long>(days) * 86400 / interval;
  std::vector<std::uint32_t> batch;
  for (long r = 0; r < records; ++r) {
    for (int s = 0; s < sensors; ++s) {
      const float v = static_cast<float>(s) + static_cast<float>(r % 1440) / 100.0f;
      std::uint32_t b;
      std::memcpy(&b, &v, 4);
      batch.push_back(b);
    }
    if (batch.size() >= 1 << 20) {
      f.AppendRecords(batch);
      batch.clear();
    }
  }
  f.AppendRecords(batch);
  f.Close();
  return path;
}

}  // namespace

int main(int argc, char** argv) {
  // "raw": only the RAW read, once (for profiling)
  const bool rawOnly = argc > 1 && std::string(argv[1]) == "raw";
  const std::string dir = std::filesystem::temp_directory_path().string() + "/kvq-bench-store-" + std::to_string(::getpid());
  std::filesystem::create_directories(dir);
  const std::string path = MakeFile(dir, "BIG", 32, 60, 365);
  const double megabytes = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
  std::printf("file: %s, %.1f MB (525600 records of 32 sensors)\n", path.c_str(), megabytes);

  TFileServer server(DefaultGroupSetup("1"));
  server.Settings().FileList = dir + "/BIG";
  std::string error;
  if (!server.Initialize("bench", error)) std::fprintf(stderr, "%s\n", error.c_str());
  TGenClient client(&server);
  const std::string cat = "cat '" + path + "' > /dev/null";
  if (std::system(cat.c_str()) != 0) return 1;  // warm the file

  std::size_t bytes = 0;
  int commands = 0;
  const TimeTag start = EncodeTimeTag(2009, 1, 1, 0, 0, 0), end = start + 365 * 86400 - 60;
  const double raw = Best(rawOnly ? 1 : 5, [&] {
    bytes = 0;
    commands = 0;
    std::string reply, command;
    TimeTag from = start;
    while (true) {
      command = "RAW," + dir + "/BIG,";
      FormatAppend(command, "%j,%j", from, end);
      // a continuation past the file's last record ends the range, as in the data manager
      if (!client.Execute(command, reply, 1)) {
        if (commands == 0) std::exit(2);
        break;
      }
      ++commands;
      bytes += reply.size() - 4;
      TimeTag cont;
      std::memcpy(&cont, reply.data(), 4);
      if (cont == 0) break;
      from = cont;
    }
  });
  if (rawOnly) {
    std::printf("RAW read: %d commands in %.1f ms\n", commands, raw * 1e3);
    std::filesystem::remove_all(dir);
    return 0;
  }
  const double catTime = Best(5, [&] {
    if (std::system(cat.c_str()) != 0) std::exit(3);
  });
  std::printf("RAW read: %d commands, %.1f MB in %.1f ms (%.0f MB/s)\n", commands, bytes / 1e6, raw * 1e3,
              bytes / 1e6 / raw);
  std::printf("cat:      %.1f ms\n", catTime * 1e3);

  // appending single values in time order through Store
  MakeFile(dir, "APPEND", 8, 60, 1);
  server.Settings().FileList = dir + "/APPEND";
  server.Initialize("bench", error);
  const int values = 400000;
  std::vector<std::string> commandsText;
  commandsText.reserve(values);
  const TimeTag appendStart = EncodeTimeTag(2009, 1, 2, 0, 0, 0);
  for (int i = 0; i < values; ++i)
    commandsText.push_back(FormatStr("POINT,STA0.S%w,%j", i % 8, appendStart + (i / 8) * 60));
  const auto a = Clock::now();
  for (int i = 0; i < values; ++i)
    if (!client.Store(commandsText[static_cast<std::size_t>(i)], "12.5", 1)) return 4;
  const double append = Seconds(a, Clock::now());
  std::printf("Store POINT append: %d values in %.0f ms = %.0f values/s (goal >= 100000)\n", values, append * 1e3,
              values / append);

  // TAG text of the big file, 60000-byte replies continued from their last line
  server.Settings().FileList = dir + "/BIG";
  server.Initialize("bench", error);
  std::size_t text = 0;
  const double tag = Best(2, [&] {
    text = 0;
    std::string reply;
    TimeTag from = start;
    while (from <= end) {
      if (!client.Execute(FormatStr("TAG,%p,%j,%j", dir + "/BIG", from, end), reply, 1)) std::exit(5);
      text += reply.size();
      const std::size_t last = reply.rfind("\r\n", reply.size() - 3);
      TimeTag t = 0;
      if (last == std::string::npos || !ScanStr(reply.substr(last + 2, 19), "%j", t)) break;
      from = t + 60;
    }
  });
  std::printf("TAG text read: %.1f MB of text in %.0f ms = %.0f MB/s of text\n", text / 1e6, tag * 1e3, text / 1e6 / tag);

  std::filesystem::remove_all(dir);
  std::printf("RAW read / cat time ratio: %.2f (goal <= 3)\n", raw / catTime);
  return 0;
}
