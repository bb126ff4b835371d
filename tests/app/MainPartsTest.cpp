// The main window's collaborators on their own: the view registry's
// lookups, the settings keys, the regional separators and the message boxes.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLocale>
#include <QMessageBox>
#include <QTimer>

#include "MainWindowSupport.h"
#include "app/LocaleSeparators.h"
#include "app/MainSettings.h"
#include "app/MessageBoxSink.h"
#include "app/QtTime.h"
#include "app/ViewRegistry.h"
#include "data/DBCache.h"
#include "foundation/Directive.h"
#include "foundation/Messages.h"
#include "foundation/SettingsFile.h"

using namespace kvq;
using namespace kvq::test;

namespace {

class ViewRegistryTest : public ::testing::Test {
 protected:
  ViewRegistryTest() {
    for (int slot = 0; slot < 5; ++slot) registry_.Add(new TRecordingView(slot, nullptr, &page_, log_));
  }
  static std::string Name(const TBaseQuillonForm* view) { return view ? view->ComponentName().toStdString() : "none"; }
  QWidget page_;
  TViewLog log_;
  TViewRegistry registry_;
};

TEST_F(ViewRegistryTest, LookupViewTakesTheLastMatch) {
  const std::tuple<int, int, const char*> cases[] = {
      {kPageGraph, 0, "frmGraph"},   {kPageList, 0, "frmDBView"},
      {kPageList, 1, "ViewForm"},    {kPageList, 4, "frmDBView"},
      {kPageStation, 5, "frmStationDatabaseParms"}, {kPageSensor, 6, "frmSensorDatabaseParms"},
      {kPageStation, 1, "none"},     {kPageGraph, 2, "none"},
      {kPageGraph, 8, "none"},       {9, 1, "none"},
  };
  for (auto [kind, type, name] : cases) EXPECT_EQ(Name(registry_.LookupView(kind, type)), name) << kind << "/" << type;
}

TEST_F(ViewRegistryTest, LookupViewForOpTakesTheFirstMatchThenTheFallback) {
  const std::tuple<int, int, int, bool, const char*> cases[] = {
      {kOpCopy, kPageList, 4, false, "frmDBView"},
      {kOpCopy, kPageList, 1, false, "ViewForm"},
      {kOpPrint, kPageStation, 4, false, "frmStationDatabaseParms"},
      {kOpPrint, kPageStation, 1, false, "none"},            // no printing view on that page
      {kOpCopy, kPageStation, 4, true, "frmGraph"},          // the fallback: the first view that copies
      {kOpExport, kPageList, 1, true, "frmGraph"},
      {kOpExport, kPageList, 1, false, "none"},
  };
  for (auto [op, kind, type, fallback, name] : cases)
    EXPECT_EQ(Name(registry_.LookupViewForOp(op, kind, type, fallback)), name) << op << "/" << kind << "/" << type;
}

TEST_F(ViewRegistryTest, ShowClearAndSettings) {
  const std::pair<int, std::vector<bool>> cases[] = {
      {0, {true, true, false, false, false}},
      {1, {true, false, true, false, false}},
      {2, {false, false, false, false, false}},  // ASCII log: no view at all
      {4, {true, true, false, true, true}},
  };
  for (const auto& [type, shown] : cases) {
    registry_.ShowViewsForSource(type);
    const auto views = registry_.Views();
    for (std::size_t i = 0; i < views.size(); ++i) EXPECT_EQ(!views[i]->isHidden(), shown[i]) << type << " " << i;
  }
  ViewDataCache().ItemFor("A", "B");
  registry_.ClearViews();
  EXPECT_EQ(log_.Count("frmGraph Clear") + log_.Count("frmSensorDatabaseParms Clear"), 2);
  EXPECT_EQ(ViewDataCache().Count(), 0);
  TSettingsFile settings("");
  registry_.SaveSettings(settings);
  EXPECT_EQ(settings.ReadString("TabSectionViewForm", "Marker", ""), "ViewForm");
  // a view destroyed by its page leaves the list
  delete registry_.Views()[2];
  EXPECT_EQ(registry_.Views().size(), 4u);
  EXPECT_EQ(Name(registry_.LookupView(kPageList, 1)), "none");
}

TEST(MainSettings, WindowKeysKeepTheCurrentValuesWhenMissingOrUnreadable) {
  TSettingsFile file("");
  file.Parse("[Windows]\nTop=40\nLeft=abc\nSyncTabs=0\nTimeBoundary=7\nLeftTreeViewWidth=200\n");
  TWindowSettings w;
  w.Bounds = QRect(10, 20, 811, 525);
  ReadWindowSettings(file, w);
  EXPECT_EQ(w.Bounds, QRect(10, 40, 811, 525));
  EXPECT_FALSE(w.Options.SyncTabs);
  EXPECT_EQ(w.Options.TimeBoundary, 0);
  EXPECT_FALSE(w.Options.UseGMTData);
  EXPECT_EQ(w.TreeWidth, 200);
  EXPECT_EQ(w.FilterHeight, 81);
  EXPECT_TRUE(w.FilterVisible);
  TSettingsFile out("");
  WriteWindowSettings(out, w);
  EXPECT_EQ(out.Keys("Windows"),
            std::vector<std::string>({"Top", "Left", "Height", "Width", "UseGMTData", "SyncTabs", "ShowDisableSensors",
                                      "TimeBoundary", "UseDefaultTimeFormat", "LeftTreeViewVisible",
                                      "LeftTreeViewWidth", "LeftFilterPanelVisible", "LeftFilterPanelHeight"}));
}

TEST(MainSettings, SelectionKeysAndTimeValues) {
  SetClockSource([] { return EncodeTimeTag(2024, 3, 7, 15, 20, 5); });
  TSettingsFile file("");
  // defaults: "Today" from today at midnight, "Now" to now, the Graph page
  TSelectionSettings sel = ReadSelection(file);
  EXPECT_EQ(sel.FromType, 9);
  EXPECT_EQ(sel.ToType, 16);
  EXPECT_EQ(sel.FromValue, TimeTagToDateTime(EncodeTimeTag(2024, 3, 7, 0, 0, 0)));
  EXPECT_EQ(sel.ToValue, TimeTagToDateTime(EncodeTimeTag(2024, 3, 7, 15, 20, 5)));
  EXPECT_EQ(sel.StartTab, 0);
  // a relative item writes no value key and keeps what the file held
  file.Parse("[SelectedNode]\nOLD,ROW,=1\n[SelectedNodeSettings]\nFromTimeValue=kept\n");
  sel.Keys = {"A,B,C.DAT", "D,E,"};
  sel.FromType = 3;
  sel.ToType = 0;
  sel.ToValue = TimeTagToDateTime(EncodeTimeTag(2024, 2, 29, 0, 0, 0));
  WriteSelection(file, sel);
  EXPECT_EQ(file.Keys("SelectedNode"), sel.Keys);
  EXPECT_EQ(file.ReadString("SelectedNodeSettings", "FromTimeValue", ""), "kept");
  EXPECT_EQ(file.ReadInteger("SelectedNodeSettings", "FromTimeType", -1), 3);
  // midnight writes the date alone, and it reads back
  EXPECT_EQ(file.ReadString("SelectedNodeSettings", "ToTimeValue", ""),
            QLocale::system().toString(QDate(2024, 2, 29), QLocale::ShortFormat).toStdString());
  const TSelectionSettings back = ReadSelection(file);
  EXPECT_EQ(back.ToType, 0);
  EXPECT_EQ(back.ToValue, sel.ToValue);
  // an item out of range reads as the default
  file.WriteInteger("SelectedNodeSettings", "ToTimeType", 21);
  EXPECT_EQ(ReadSelection(file).ToType, 16);
  SetClockSource({});
}

TEST(MainSettings, SensorSettingsFileNames) {
  const std::pair<const char*, bool> cases[] = {
      {"/home/u/picks.sfg", true}, {"/home/u/PICKS.SFG", true}, {"/home/u/p.Sfg", true},
      {"/home/u/sfg", false},      {"/home/u/x.sfg.txt", false}, {"/data.sfg/file.txt", false},
  };
  for (auto [path, sfg] : cases) EXPECT_EQ(HasSensorSettingsExtension(path), sfg) << path;
  EXPECT_EQ(SensorSettingsCaption("/tmp/a.sfg"), "KV Quillon - /tmp/a.sfg");
}

TEST(LocaleSeparators, FromTheLocalesShortFormats) {
  const std::tuple<QLocale::Language, QLocale::Territory, const char*, const char*> cases[] = {
      {QLocale::English, QLocale::UnitedStates, "/", ":"},
      {QLocale::German, QLocale::Germany, ".", ":"},
      {QLocale::Dutch, QLocale::Netherlands, "-", ":"},
      {QLocale::C, QLocale::AnyTerritory, "/", ":"},  // "d MMM yyyy": no separator of its own
  };
  for (auto [language, territory, date, time] : cases) {
    const QLocale locale(language, territory);
    EXPECT_EQ(LocaleDateSeparator(locale), date) << locale.name().toStdString();
    EXPECT_EQ(LocaleTimeSeparator(locale), time) << locale.name().toStdString();
  }
  ApplyRegionalSeparators(QLocale(QLocale::German, QLocale::Germany));
  EXPECT_EQ(DateSeparator(), ".");
  SetRegionalSeparators("/", ":");
}

TEST(MessageBoxSink, BoxesForEachKindOfMessage) {
  struct Case {
    std::function<void()> call;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton press;
  };
  bool answer = false;
  Choice choice = Choice::Ignore;
  const Case cases[] = {
      {[] { ShowError("Error 1401: Error loading station sensors."); }, QMessageBox::Critical, QMessageBox::Ok,
       QMessageBox::Ok},
      {[] { ShowWarning("careful"); }, QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok},
      {[] { ShowInfo("note"); }, QMessageBox::Information, QMessageBox::Ok, QMessageBox::Ok},
      {[&] { answer = Ask("overwrite?"); }, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
       QMessageBox::Yes},
      {[&] { choice = AskAbortRetryIgnore("Memory Problem", "out of memory"); }, QMessageBox::Warning,
       QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore, QMessageBox::Retry},
  };
  QWidget window;
  TMessageBoxSink sink;
  sink.SetMainWindow(&window);
  for (const Case& c : cases) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      seen = true;
      EXPECT_EQ(box->icon(), c.icon);
      EXPECT_EQ(box->standardButtons(), c.buttons);
      EXPECT_EQ(box->parentWidget(), &window);
      box->button(c.press)->click();
    });
    c.call();
    EXPECT_TRUE(seen);
  }
  EXPECT_TRUE(answer);
  EXPECT_EQ(choice, Choice::Retry);
  // a close request is posted, not run at once
  window.show();
  RequestApplicationClose();
  EXPECT_TRUE(window.isVisible());
  QApplication::processEvents();
  EXPECT_FALSE(window.isVisible());
}

}  // namespace
