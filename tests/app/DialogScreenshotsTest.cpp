// Not a check: with KVQ_SCREENSHOT_DIR set, shows every dialog of the data
// source and start-up windows and saves a PNG of each there, for a person to
// look at (scripts/screenshot-dialogs runs it under Xvfb). Skipped otherwise.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QTreeWidget>
#include <cstdlib>

#include "DialogTestSupport.h"
#include "app/About.h"
#include "app/AppOptions.h"
#include "app/BrowseDir.h"
#include "app/DataSource.h"
#include "app/DataSourceExplorer.h"
#include "app/ExitConfirm.h"
#include "app/Splash.h"
#include "foundation/Messages.h"
#include "foundation/SettingsFile.h"

using namespace kvq;
using namespace kvq::test;

namespace {

// Lets the window settle (layouts, the file system model's background
// listing) for `ms` milliseconds.
void Settle(int ms) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

void Save(QWidget& window, const QString& folder, const QString& name) {
  window.show();
  Settle(300);
  EXPECT_TRUE(window.grab().save(folder + "/" + name + ".png")) << name.toStdString();
}

TEST(DialogScreenshots, Save) {
  const char* dir = std::getenv("KVQ_SCREENSHOT_DIR");
  if (!dir || !*dir) GTEST_SKIP() << "KVQ_SCREENSHOT_DIR not set";
  const QString folder = QString::fromLocal8Bit(dir);
  ASSERT_TRUE(QDir().mkpath(folder));
  TScratch scratch;
  TRecordingSink sink;

  TSettingsFile settings(scratch.Path("KVQuillon.KFG"));
  TDataSourceInfo files;
  files.Type = 1;
  files.Name = "Demo data files";
  files.Folder = "/home/hydro/.local/share/KVQuillon/demo";
  AddStoredDataSource(settings, files);
  TDataSourceInfo db;
  db.Type = 4;
  db.DSN = "DEMO";
  db.User = "Velmora";
  AddStoredDataSource(settings, db);
  TDataSourceInfo hdb = db;
  hdb.Type = 5;
  hdb.DSN = "HISTORIAN";
  AddStoredDataSource(settings, hdb);
  {
    TfrmDataSourceExplorer explorer(settings);
    explorer.findChild<QTreeWidget*>("tvwDataSource")->setCurrentItem(explorer.GroupNode(1)->child(1));
    explorer.UpdateActions();
    Save(explorer, folder, "explorer");
  }
  {
    TfrmBrowseDir browse;
    Settle(500);  // the folder tree lists in the background
    Save(browse, folder, "browse-dir");
  }
  {
    TfrmDataSource chooser;
    chooser.findChild<QComboBox*>("cboDBAlias")->setCurrentIndex(0);
    Save(chooser, folder, "alias-chooser");
  }
  {
    TfrmAppOptions options;
    options.SetOptions(TAppOptions{});
    Save(options, folder, "options");
  }
  {
    TfmAbout about;
    Save(about, folder, "about");
  }
  {
    TfrmExitConfirm confirm;
    Save(confirm, folder, "exit-confirm");
  }
  {
    TSplashForm* splash = ShowBusyBox("Access the database now.\r\nPlease wait...");
    splash->tmrAnimateTimer();
    splash->tmrAnimateTimer();
    Save(*splash, folder, "busy-box");
    CloseBusyBox();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

}  // namespace
