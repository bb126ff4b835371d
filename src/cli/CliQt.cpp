// The pieces of kvq that need Qt: the application object and the alias option.
#include <QCoreApplication>

#include "cli/CliCommon.h"
#include "data/AliasCatalogue.h"

namespace kvq::cli {

std::unique_ptr<QCoreApplication> MakeQtCore() {
  if (QCoreApplication::instance()) return nullptr;
  static int argc = 1;
  static char name[] = "kvq";
  static char* argv[] = {name, nullptr};
  return std::make_unique<QCoreApplication>(argc, argv);
}

bool TakeAliasesOption(Args& args) {
  std::string file;
  bool missing = false;
  if (TakeOption(args, "--aliases", file, missing)) SetAliasesFilePath(file);
  if (missing) {
    UsageError("--aliases needs a file");
    return false;
  }
  return true;
}

}  // namespace kvq::cli
