// Command strings, one per line, against a small fresh folder of data files.
#include <unistd.h>

#include <filesystem>
#include <string>

#include "FuzzQuiet.h"
#include "foundation/Directive.h"
#include "foundation/TimeBase.h"
#include "store/FileSrvr.h"
#include "store/GenClient.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzSetupOnce();
  static const std::string dir = "/tmp/kvq-fuzz-execute-" + std::to_string(::getpid());
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
  std::filesystem::create_directories(dir, ec);
  static const std::filesystem::path home = std::filesystem::current_path();
  if (::chdir(dir.c_str()) != 0) return 0;  // relative names land in the folder too
  {
    kvq::TFileServer server(kvq::DefaultGroupSetup("1"));
    server.Settings().DataFolder = dir;
    kvq::TGenClient client(&server);
    std::string reply;
    client.Execute("CREATE,RIVER1,\"RIVER1\",03/07/2009,00:00:00,00:15:00,No,RIVER1.STAGE,2,RIVER1.RAIN,1", reply, 1);
    client.Execute("CREATE,WX,\"WX\",03/06/2009,00:05:00,00:10:00,Yes,WX.T,1,RIVER1.STAGE,2", reply, 1);
    for (int i = 0; i < 20; ++i)
      client.Store(kvq::FormatStr("POINT,RIVER1.STAGE,%j", kvq::EncodeTimeTag(2009, 3, 7, 0, i * 15, 0)),
                   std::to_string(i), 1);
    client.SetCaching(true);
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::size_t pos = 0;
    while (pos <= text.size()) {
      std::size_t end = text.find('\n', pos);
      if (end == std::string::npos) end = text.size();
      const std::string command = text.substr(pos, end - pos);
      pos = end + 1;
      // commands stay inside the folder: no absolute names, no way up
      if (command.find(",/") != std::string::npos || command.find("..") != std::string::npos) continue;
      client.Execute(command, reply, 1);
      client.Store(command, "1.5", 1);
    }
  }
  if (::chdir(home.c_str()) != 0) return 0;
  std::filesystem::remove_all(dir, ec);
  return 0;
}
