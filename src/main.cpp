// kvquillon, the desktop program: one main window on the GUI thread.
//
//   kvquillon [--settings FILE] [SENSORS.SFG]
//
// --settings names the main settings file (default
// $XDG_CONFIG_HOME/KVQuillon/KVQuillon.KFG); a first argument ending in
// ".SFG" (any case) is read as a sensor settings file once the last session
// is restored.
#include <QApplication>
#include <QLocale>
#include <QStringList>

#include <cstdio>

#include "app/LocaleSeparators.h"
#include "app/Main.h"
#include "app/MessageBoxSink.h"
#include "data/AppPaths.h"
#include "data/DBConnect.h"
#include "foundation/GroupSetup.h"

namespace {

// Takes "--settings FILE" out of `args`; false when FILE is missing.
bool TakeSettingsOption(QStringList& args) {
  const qsizetype at = args.indexOf(QStringLiteral("--settings"));
  if (at < 0) return true;
  if (at + 1 >= args.size()) return false;
  kvq::SetMainSettingsPath(args.at(at + 1).toStdString());
  args.remove(at, 2);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("KV Quillon"));
  kvq::MarkGuiThread();
  kvq::ApplyRegionalSeparators(QLocale::system());

  QStringList args = QApplication::arguments();
  args.removeFirst();
  if (!TakeSettingsOption(args)) {
    std::fprintf(stderr, "usage: kvquillon [--settings FILE] [SENSORS.SFG]\n");
    return 2;
  }

  int result = 0;
  {
    kvq::TMessageBoxSink messages;
    kvq::TfrmQuillonMain window(args.value(0));
    messages.SetMainWindow(&window);
    window.show();
    result = QApplication::exec();
  }
  // the database session goes before Qt's SQL drivers leave with the application
  kvq::DBConnection().Disconnect();
  return result;
}
