// The header and sensor table reader, then reads, on arbitrary file contents.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "FuzzQuiet.h"
#include "store/Dayfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzSetupOnce();
  static const std::string path = "/tmp/kvq-fuzz-datafile-" + std::to_string(::getpid()) + ".DAT";
  if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  {
    kvq::TDataFile file(path, path.substr(0, path.size() - 4));
    if (file.Open()) {
      const kvq::TimeTag start = file.StartTime(), end = file.EndTime();
      for (kvq::TimeTag t : {start, end - 1, start + (end - start) / 2, end + 86400}) {
        kvq::TRecordBuffer b;
        b.Grid = file.GridOf(t);
        b.Complete = true;
        file.ReadRecord(b);
      }
      std::string out;
      file.ReadRawBlock(start, end, out);
      file.InsertValue(1, start + file.Interval, 0x3F800000u);
      file.InsertValue(file.SensorCount, end, 0x3F800000u);
    }
  }
  ::unlink(path.c_str());
  return 0;
}
