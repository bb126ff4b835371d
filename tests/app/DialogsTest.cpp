// The small windows of the program: folder dialog, alias chooser, options,
// about box, exit confirmation, busy box, and finding the manual.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeView>
#include <fstream>

#include "DialogTestSupport.h"
#include "Version.h"
#include "app/About.h"
#include "app/AppOptions.h"
#include "app/BrowseDir.h"
#include "app/DataSource.h"
#include "app/DialogRunner.h"
#include "app/ExitConfirm.h"
#include "app/Help.h"
#include "app/Splash.h"
#include "foundation/Messages.h"

using namespace kvq;
using namespace kvq::test;

namespace {

// ---- Folder dialog -------------------------------------------------------

TEST(BrowseDir, BlankNameBecomesTheFolderNameTypedNameStaysUntrimmed) {
  QTemporaryDir dir;
  const QString folder = dir.filePath("Mill Brook");
  ASSERT_TRUE(QDir().mkpath(folder));
  TRecordingSink sink;
  {
    TfrmBrowseDir browse;
    EXPECT_EQ(browse.windowTitle(), "Browse for Data Source Folder");
    EXPECT_EQ(browse.findChild<QLabel*>("lblName")->text(), "Name:");
    EXPECT_FALSE(browse.Folder().isEmpty());  // starts on the home folder
    ASSERT_TRUE(browse.SetFolder(folder));
    EXPECT_EQ(browse.Folder(), folder);
    browse.findChild<QLineEdit*>("edtName")->setText("   ");
    Click(browse, "btnOK");
    EXPECT_EQ(browse.result(), QDialog::Accepted);
    EXPECT_EQ(browse.Name(), "Mill Brook");
  }
  {
    TfrmBrowseDir browse;
    ASSERT_TRUE(browse.SetFolder(folder + "/"));
    browse.findChild<QLineEdit*>("edtName")->setText(" River ");
    Click(browse, "btnOK");
    EXPECT_EQ(browse.Name(), " River ");
    EXPECT_EQ(browse.Folder(), folder);
  }
  EXPECT_TRUE(sink.entries.empty());
}

TEST(BrowseDir, OkNeedsAFolderThatExists) {
  QTemporaryDir dir;
  const QString folder = dir.filePath("gone");
  ASSERT_TRUE(QDir().mkpath(folder));
  TRecordingSink sink;
  TfrmBrowseDir browse;
  EXPECT_FALSE(browse.SetFolder(dir.filePath("never-there")));
  ASSERT_TRUE(browse.SetFolder(folder));
  ASSERT_TRUE(QDir(folder).removeRecursively());
  browse.findChild<QLineEdit*>("edtName")->setText("Name");
  browse.setResult(-1);
  Click(browse, "btnOK");
  EXPECT_EQ(browse.result(), -1);  // still open
  EXPECT_EQ(sink.Texts(MessageKind::Error),
            std::vector<std::string>{"Please enter a data source name and select a folder."});
}

TEST(BrowseDir, HiddenFoldersAppearWhenAskedOrNeeded) {
  QTemporaryDir dir;
  const QString hidden = dir.filePath(".local/share/demo");
  ASSERT_TRUE(QDir().mkpath(hidden));
  TfrmBrowseDir browse;
  auto* chk = browse.findChild<QCheckBox*>("chkHidden");
  EXPECT_FALSE(chk->isChecked());
  ASSERT_TRUE(browse.SetFolder(hidden));
  EXPECT_TRUE(chk->isChecked());
  EXPECT_EQ(browse.Folder(), hidden);
}

// ---- Alias chooser -------------------------------------------------------

class AliasChooser : public ::testing::Test {
 protected:
  TScratch scratch_;
  TRecordingSink sink_;
};

TEST_F(AliasChooser, ListsTheAliasesWithTheDefaultLogin) {
  TfrmDataSource chooser;
  EXPECT_EQ(chooser.windowTitle(), "Select Data Source");
  auto* aliases = chooser.findChild<QComboBox*>("cboDBAlias");
  ASSERT_EQ(aliases->count(), 2);
  EXPECT_EQ(aliases->itemText(0), "GOOD");
  EXPECT_EQ(aliases->itemText(1), "MISSING");
  EXPECT_EQ(aliases->currentIndex(), -1);
  EXPECT_FALSE(aliases->isEditable());
  EXPECT_EQ(chooser.findChild<QLineEdit*>("edtDBUserName")->text(), "Velmora");
  auto* password = chooser.findChild<QLineEdit*>("edtDBPassword");
  EXPECT_EQ(password->text(), "radizuza");
  EXPECT_EQ(password->echoMode(), QLineEdit::Password);
  EXPECT_EQ(chooser.findChild<QLabel*>("lblDBAlias")->text(), "&Database Alias:");
  EXPECT_EQ(chooser.findChild<QLabel*>("lblDBUserName")->text(), "&User Name:");
  EXPECT_EQ(chooser.findChild<QLabel*>("lblDBPassword")->text(), "&Password:");
  // Nothing chosen yet: three empty texts.
  const TAliasChoice none = chooser.Result();
  EXPECT_EQ(none.Alias + none.UserName + none.Password, "");
  EXPECT_TRUE(sink_.entries.empty());
}

TEST_F(AliasChooser, OkTestsTheConnection) {
  struct Case {
    const char* alias;  // "" picks nothing
    const char* message;
    const char* expectAlias;
  };
  const Case cases[] = {
      {"", "Error 1405: Database not selected.", ""},
      {"MISSING", "Error 1200: Unable to connect to database.", ""},
      {"GOOD", nullptr, "GOOD"},
  };
  for (const Case& c : cases) {
    sink_.entries.clear();
    TfrmDataSource chooser;
    auto* aliases = chooser.findChild<QComboBox*>("cboDBAlias");
    aliases->setCurrentIndex(aliases->findText(c.alias));
    chooser.findChild<QLineEdit*>("edtDBUserName")->setText("hydro");
    Click(chooser, "btnOK");
    // OK closes with OK in every case.
    EXPECT_EQ(chooser.result(), QDialog::Accepted) << c.alias;
    if (c.message) {
      EXPECT_EQ(sink_.Texts(MessageKind::Error), std::vector<std::string>{c.message});
    } else {
      EXPECT_TRUE(sink_.entries.empty());
    }
    const TAliasChoice r = chooser.Result();
    EXPECT_EQ(r.Alias, c.expectAlias);
    EXPECT_EQ(r.UserName, *c.expectAlias ? "hydro" : "");
    EXPECT_EQ(r.Password, *c.expectAlias ? "radizuza" : "");
  }
  // Cancel: no test, no message, nothing chosen.
  sink_.entries.clear();
  TfrmDataSource chooser;
  Click(chooser, "btnCancel");
  EXPECT_EQ(chooser.result(), QDialog::Rejected);
  EXPECT_TRUE(sink_.entries.empty());
}

TEST_F(AliasChooser, NoAliasesFileListsNothing) {
  SetAliasesFilePath(scratch_.Path("none.ini"));
  TfrmDataSource chooser;
  EXPECT_EQ(chooser.findChild<QComboBox*>("cboDBAlias")->count(), 0);
  Click(chooser, "btnOK");
  EXPECT_EQ(sink_.Texts(MessageKind::Error), std::vector<std::string>{"Error 1405: Database not selected."});
}

// ---- Options -------------------------------------------------------------

int CheckedItem(QDialog& dialog, const char* group) {
  const auto items =
      dialog.findChild<QGroupBox*>(group)->findChildren<QRadioButton*>(QString(), Qt::FindDirectChildrenOnly);
  for (int i = 0; i < items.size(); ++i)
    if (items[i]->isChecked()) return i;
  return -1;
}

void CheckItem(QDialog& dialog, const char* group, int index) {
  dialog.findChild<QGroupBox*>(group)
      ->findChildren<QRadioButton*>(QString(), Qt::FindDirectChildrenOnly)[index]
      ->setChecked(true);
}

TEST(AppOptions, DefaultsOfTheStruct) {
  const TAppOptions o;
  EXPECT_FALSE(o.UseGMTData);
  EXPECT_TRUE(o.SyncTabs);
  EXPECT_FALSE(o.ShowDisableSensors);
  EXPECT_EQ(o.TimeBoundary, 0);
  EXPECT_FALSE(o.UseDefaultTimeFormat);
}

TEST(AppOptions, CaptionsOfTheDialog) {
  TfrmAppOptions dialog;
  EXPECT_EQ(dialog.windowTitle(), "Options");
  EXPECT_EQ(dialog.findChild<QGroupBox*>("rdgDataTime")->title(), "Time Conversion In DB");
  EXPECT_EQ(dialog.findChild<QGroupBox*>("rdgDataTime")->toolTip(),
            "Display date/times as local from GMT (data stored as GMT).");
  EXPECT_EQ(dialog.findChild<QGroupBox*>("rgrpTimeBound")->title(), "Time Boundaries");
  EXPECT_EQ(dialog.findChild<QGroupBox*>("rdgTimeFormat")->title(), "Time Format");
  EXPECT_EQ(dialog.findChild<QCheckBox*>("chkSync")->text(), "Sync Graph and List");
  EXPECT_EQ(dialog.findChild<QCheckBox*>("chkShowDisabled")->text(), "Show Disabled Station/Sensors");
  const char* bounds[] = {"Start >= and <= End", "Start >= and < End", "Start > and <= End"};
  const auto items = dialog.findChild<QGroupBox*>("rgrpTimeBound")->findChildren<QRadioButton*>();
  ASSERT_EQ(items.size(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(items[i]->text(), bounds[i]);
  const auto formats = dialog.findChild<QGroupBox*>("rdgTimeFormat")->findChildren<QRadioButton*>();
  ASSERT_EQ(formats.size(), 2);
  EXPECT_EQ(formats[0]->text(), "Default (mm/dd/yyyy hh:mm:ss)");
  EXPECT_EQ(formats[1]->text(), "Windows Settings");
  EXPECT_TRUE(dialog.findChild<QPushButton*>("btnOK")->isDefault());
}

TEST(AppOptions, RoundTripThroughTheControls) {
  // Each case: the options in, what the controls show, the options after OK.
  const TAppOptions cases[] = {
      TAppOptions{},
      TAppOptions{true, false, true, 2, true},
      TAppOptions{false, true, false, 1, false},
  };
  for (const TAppOptions& in : cases) {
    TAppOptions edited = in;
    TScopedDialogRunner runner([&](QDialog& dialog) {
      dialog.show();
      EXPECT_EQ(CheckedItem(dialog, "rdgDataTime"), in.UseGMTData ? 1 : 0);
      EXPECT_EQ(dialog.findChild<QCheckBox*>("chkSync")->isChecked(), in.SyncTabs);
      EXPECT_EQ(dialog.findChild<QCheckBox*>("chkShowDisabled")->isChecked(), in.ShowDisableSensors);
      EXPECT_EQ(CheckedItem(dialog, "rgrpTimeBound"), in.TimeBoundary);
      EXPECT_EQ(CheckedItem(dialog, "rdgTimeFormat"), in.UseDefaultTimeFormat ? 0 : 1);
      Click(dialog, "btnOK");
      return dialog.result();
    });
    ASSERT_TRUE(EditAppOptions(edited));
    EXPECT_TRUE(edited == in);
  }
}

TEST(AppOptions, OkTakesTheControlsCancelChangesNothing) {
  TAppOptions options;
  {
    TScopedDialogRunner change([](QDialog& dialog) {
      dialog.show();
      CheckItem(dialog, "rdgDataTime", 1);
      dialog.findChild<QCheckBox*>("chkSync")->setChecked(false);
      dialog.findChild<QCheckBox*>("chkShowDisabled")->setChecked(true);
      CheckItem(dialog, "rgrpTimeBound", 2);
      CheckItem(dialog, "rdgTimeFormat", 0);
      Click(dialog, "btnOK");
      return dialog.result();
    });
    ASSERT_TRUE(EditAppOptions(options));
  }
  EXPECT_TRUE(options == (TAppOptions{true, false, true, 2, true}));
  {
    TScopedDialogRunner cancel([](QDialog& dialog) {
      dialog.show();
      CheckItem(dialog, "rdgDataTime", 0);
      Click(dialog, "btnCancel");
      return dialog.result();
    });
    EXPECT_FALSE(EditAppOptions(options));
  }
  EXPECT_TRUE(options == (TAppOptions{true, false, true, 2, true}));
}

// ---- About box -----------------------------------------------------------

TEST(About, VersionLine) {
  EXPECT_EQ(AboutVersionLine("1.2.3", "1.2.3"), "Version 1.2.3 (Build )");
  EXPECT_EQ(AboutVersionLine("1.2.3", "1.2.3.45"), "Version 1.2.3 (Build 45)");
  EXPECT_EQ(AboutVersionLine("2.0", "2.0.0.7.1"), "Version 2.0 (Build 7)");
  EXPECT_EQ(AboutVersionLine("", ""), "Version  (Build )");
}

TEST(About, ShowsTheProjectVersion) {
  TfmAbout about;
  EXPECT_EQ(about.windowTitle(), "About KV Quillon");
  auto* name = about.findChild<QLabel*>("lblProductName");
  EXPECT_EQ(name->text(), "KV Quillon");
  EXPECT_TRUE(name->font().bold());
  EXPECT_EQ(name->font().pointSize(), 14);
  EXPECT_EQ(about.findChild<QLabel*>("lblPartNo")->text(), "Dalmere Part No: XXXX-XXXX");
  EXPECT_EQ(about.findChild<QLabel*>("lblVersion")->text(), AboutVersionLine(KVQ_VERSION, KVQ_VERSION));
  EXPECT_FALSE(about.findChild<QLabel*>("imgProgramIcon")->pixmap().isNull());
  about.SetVersion("1.0.0", "1.0.0.12");
  EXPECT_EQ(about.findChild<QLabel*>("lblVersion")->text(), "Version 1.0.0 (Build 12)");
  Click(about, "btnOK");
  EXPECT_EQ(about.result(), QDialog::Accepted);
}

// ---- Exit confirmation ---------------------------------------------------

TEST(ExitConfirm, WindowAndItsThreeResults) {
  const std::pair<const char*, int> cases[] = {{"btnOK", kExitOK}, {"btnCancel", kExitCancel}};
  for (auto [button, result] : cases) {
    TfrmExitConfirm confirm;
    EXPECT_EQ(confirm.windowTitle(), "Exit...");
    EXPECT_TRUE(confirm.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(confirm.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(confirm.findChild<QLabel*>("lblConfirm")->text(),
              "Are you sure you want to close this application?");
    EXPECT_EQ(confirm.findChild<QPushButton*>("btnOK")->text(), "&OK");
    EXPECT_TRUE(confirm.findChild<QPushButton*>("btnOK")->isDefault());
    EXPECT_EQ(confirm.findChild<QPushButton*>("btnCancel")->text(), "&Cancel");
    EXPECT_EQ(confirm.findChild<QTimer*>("tmrTimeout")->interval(), 180000);
    confirm.show();
    EXPECT_EQ(confirm.ExitResult(), kExitNone);
    Click(confirm, button);
    EXPECT_EQ(confirm.ExitResult(), result);
    EXPECT_FALSE(confirm.isVisible());
  }
  TfrmExitConfirm confirm(20);
  confirm.show();
  QElapsedTimer clock;
  clock.start();
  while (confirm.ExitResult() == kExitNone && clock.elapsed() < 5000) QApplication::processEvents();
  EXPECT_EQ(confirm.ExitResult(), kExitTimeout);
  EXPECT_FALSE(confirm.isVisible());
}

// Presses a button of the open confirmation from inside ConfirmExit's loop.
void PressWhenOpen(const char* button) {
  QTimer::singleShot(0, [button] {
    TfrmExitConfirm* open = TfrmExitConfirm::Current();
    ASSERT_NE(open, nullptr);
    EXPECT_TRUE(open->isVisible());
    Click(*open, button);
  });
}

TEST(ExitConfirm, ConfirmExitAnswersYesOnlyForOk) {
  PressWhenOpen("btnOK");
  EXPECT_TRUE(ConfirmExit());
  EXPECT_EQ(TfrmExitConfirm::Current(), nullptr);  // destroyed again
  PressWhenOpen("btnCancel");
  EXPECT_FALSE(ConfirmExit());
  QElapsedTimer clock;
  clock.start();
  EXPECT_FALSE(ConfirmExit(30));  // the time-out keeps the program running
  EXPECT_LT(clock.elapsed(), 5000);
  EXPECT_EQ(TfrmExitConfirm::Current(), nullptr);
}

TEST(ExitConfirm, SecondRequestWhileOpenIsRefusedAtOnce) {
  bool second = true;
  QTimer::singleShot(0, [&] {
    second = ConfirmExit();  // answered at once, no second window
    Click(*TfrmExitConfirm::Current(), "btnOK");
  });
  EXPECT_TRUE(ConfirmExit());
  EXPECT_FALSE(second);
  // The guard is gone with the window: the next request asks again.
  PressWhenOpen("btnOK");
  EXPECT_TRUE(ConfirmExit());
}

TEST(ExitConfirm, DefaultTimeOutCanBeShortened) {
  EXPECT_EQ(ExitConfirmTimeout(), kExitConfirmTimeoutMs);
  SetExitConfirmTimeout(20);
  EXPECT_FALSE(ConfirmExit());
  SetExitConfirmTimeout(kExitConfirmTimeoutMs);
}

// ---- Busy box ------------------------------------------------------------

TEST(Splash, ShowAnimateClose) {
  ASSERT_EQ(TSplashForm::Current(), nullptr);
  QPointer<TSplashForm> splash = ShowBusyBox("Access the database now.\r\nPlease wait...");
  ASSERT_FALSE(splash.isNull());
  EXPECT_EQ(TSplashForm::Current(), splash.data());
  EXPECT_EQ(splash->size(), QSize(256, 53));
  EXPECT_TRUE(splash->isVisible());
  EXPECT_TRUE(splash->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(splash->windowFlags() & Qt::WindowStaysOnTopHint);
  auto* label = splash->findChild<QLabel*>("SplashLabel");
  EXPECT_TRUE(label->font().bold());
  EXPECT_EQ(splash->Text(), "Access the database now.\nPlease wait...");
  EXPECT_EQ(splash->findChild<QTimer*>("tmrAnimate")->interval(), 400);
  EXPECT_TRUE(splash->findChild<QTimer*>("tmrAnimate")->isActive());
  ASSERT_GT(splash->FrameCount(), 1);
  EXPECT_EQ(splash->FrameIndex(), 0);
  for (int i = 1; i < splash->FrameCount(); ++i) {
    splash->tmrAnimateTimer();
    EXPECT_EQ(splash->FrameIndex(), i);
  }
  splash->tmrAnimateTimer();
  EXPECT_EQ(splash->FrameIndex(), 0);  // index 0 again after the last

  // A second show reuses the open box.
  EXPECT_EQ(ShowBusyBox("Other"), splash.data());
  CloseBusyBox();
  EXPECT_EQ(TSplashForm::Current(), nullptr);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(splash.isNull());  // freed on close

  {
    TBusyBox busy("Working");
    EXPECT_NE(TSplashForm::Current(), nullptr);
  }
  EXPECT_EQ(TSplashForm::Current(), nullptr);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// ---- Help ----------------------------------------------------------------

TEST(Help, FirstCandidateWithAnIndexWins) {
  QTemporaryDir a, b, c;
  std::ofstream((b.path() + "/index.html").toStdString()) << "<html></html>";
  std::ofstream((c.path() + "/index.html").toStdString()) << "<html></html>";
  EXPECT_EQ(FindManualFolder({a.path(), b.path(), c.path()}), b.path());
  EXPECT_EQ(FindManualFolder({a.path()}), "");
  const QStringList candidates = ManualCandidates();
  ASSERT_GE(candidates.size(), 3);
  EXPECT_TRUE(candidates.first().endsWith("share/kvquillon/docs"));
  const QString sourceTree = QFileInfo(QString(__FILE__)).absolutePath() + "/../../docs";
  EXPECT_EQ(candidates.last(), QDir::cleanPath(sourceTree));
  EXPECT_TRUE(candidates.contains(QCoreApplication::applicationDirPath() + "/docs"));
  EXPECT_LT(candidates.indexOf(QCoreApplication::applicationDirPath() + "/docs"), candidates.size() - 1);
}

TEST(Help, OpensIndexContentsAndTopics) {
  std::vector<QUrl> opened;
  const TUrlOpener previous = SetUrlOpener([&](const QUrl& url) {
    opened.push_back(url);
    return true;
  });
  TRecordingSink sink;
  ASSERT_FALSE(ManualFolder().isEmpty());
  EXPECT_TRUE(OpenHelpIndex());
  EXPECT_TRUE(OpenHelpContents());
  EXPECT_TRUE(OpenHelpTopic("explorer"));
  EXPECT_TRUE(OpenHelpTopic("views.html#graph"));
  ASSERT_EQ(opened.size(), 4u);
  EXPECT_TRUE(opened[0].isLocalFile());
  EXPECT_EQ(QFileInfo(opened[0].toLocalFile()).fileName(), "index.html");
  EXPECT_EQ(opened[1].fragment(), "contents");
  EXPECT_EQ(QFileInfo(opened[2].toLocalFile()).fileName(), "data-sources.html");
  EXPECT_EQ(opened[2].fragment(), "explorer");
  EXPECT_EQ(opened[3].fragment(), "graph");
  for (const QUrl& url : opened) EXPECT_TRUE(QFileInfo(url.toLocalFile()).isFile()) << url.toString().toStdString();
  EXPECT_EQ(HelpTopicPage("no such topic"), "index.html");
  // Every topic name leads to a page of the manual with that anchor.
  for (const QString& topic : HelpTopicNames()) {
    const QString page = HelpTopicPage(topic);
    const QString file = ManualFolder() + "/" + page.section('#', 0, 0);
    QFile html(file);
    ASSERT_TRUE(html.open(QIODevice::ReadOnly)) << file.toStdString();
    const QString anchor = page.section('#', 1);
    if (!anchor.isEmpty()) {
      EXPECT_TRUE(html.readAll().contains(("id=\"" + anchor + "\"").toUtf8())) << page.toStdString();
    }
  }
  EXPECT_TRUE(sink.entries.empty());

  SetUrlOpener([](const QUrl&) { return false; });
  EXPECT_FALSE(OpenHelpIndex());
  ASSERT_EQ(sink.Texts(MessageKind::Error).size(), 1u);
  EXPECT_EQ(sink.Texts(MessageKind::Error)[0].rfind("Unable to open the KV Quillon manual", 0), 0u);
  SetUrlOpener(previous);
}

}  // namespace
