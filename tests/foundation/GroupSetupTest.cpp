#include <gtest/gtest.h>

#include <thread>

#include "foundation/GroupSetup.h"
#include "foundation/Messages.h"
#include "foundation/TimeBase.h"

using namespace kvq;

namespace {

TEST(GroupSetup, Defaults) {
  SetClockSource([] { return 123456; });
  const TDataStoreGroupSetup g = DefaultGroupSetup("1");
  SetClockSource(nullptr);
  EXPECT_EQ(g.GroupNumber, 1);
  EXPECT_EQ(g.GroupName, "1");
  EXPECT_EQ(g.DataFolder, "");
  EXPECT_EQ(g.FileList, "");
  EXPECT_EQ(g.DataStoreKind, 0);
  EXPECT_EQ(g.ArchiveDays, 0);
  EXPECT_EQ(g.TimetagStoreList, "*");
  EXPECT_EQ(g.RealtimeStoreList, "*");
  EXPECT_EQ(g.LogFolder, "LOG\\");
  EXPECT_EQ(g.LogFileTemplate, "yyyymmdd.log");
  EXPECT_EQ(g.MadeAt, 123456);
  EXPECT_EQ(DefaultGroupSetup("abc").GroupNumber, 0);
}

TEST(GroupSetup, KeyShapes) {
  EXPECT_EQ(SettingKey("Sensor", "RIVER1", "STAGE", "Enable"), "Sensor:RIVER1:STAGE,Enable");
  EXPECT_EQ(SettingKey("A", "", "", "D"), "A,D");
  EXPECT_EQ(SettingKey("", "", "", "D"), "D");
  EXPECT_EQ(SettingKey("STATION", "S1", "", "Enabled"), "STATION:S1,Enabled");
  EXPECT_EQ(SettingKey("RoundOffTime", "", "", ""), "RoundOffTime");
}

TEST(GroupSetup, WithoutServiceEverythingDefaults) {
  EXPECT_FALSE(GetBoolSetting("Sensor", "S1", "TEMP", "Enable", false));
  EXPECT_TRUE(GetBoolSetting("Sensor", "S1", "TEMP", "Enable", true));
  EXPECT_EQ(GetSetting("Sensor", "S1", "TEMP", "RoundOffTime", "00:00:00"), "00:00:00");
  EXPECT_EQ(GetGroupSetup("0").GroupNumber, 0);
}

class FakeService : public TSetupService {
 public:
  std::optional<std::vector<SetupValue>> GroupSettings(const std::string& group) override {
    if (group == "bad") return std::vector<SetupValue>{std::int64_t{1}};
    std::vector<SetupValue> v{std::int64_t{7}, group, true, std::string("/data"), std::string("A,B"),
                              std::int64_t{5}, std::string(), std::string(), std::string(), std::int64_t{30},
                              std::string("T"), std::string("R"), std::string("L/"), std::string("x.log"),
                              std::int64_t{0}, std::string(), false, false, std::int64_t{99}};
    return v;
  }
  std::string Setting(const std::string& key) override {
    if (key == "Sensor:S1:TEMP,Enable") return "yes";
    if (key == "Sensor:S1:TEMP,Garbage") return "maybe";
    return "ERROR";
  }
};

// The service is asked only off the GUI thread; answers it cannot convert
// fall back to the defaults.
TEST(GroupSetup, ServiceIsConsultedOffTheGuiThreadOnly) {
  MarkGuiThread();
  SetSetupServiceLocator([] { return std::make_shared<FakeService>(); });
  EXPECT_FALSE(GetBoolSetting("Sensor", "S1", "TEMP", "Enable", false));
  bool enabled = false, garbage = true;
  std::string missing;
  TDataStoreGroupSetup g, bad;
  std::thread worker([&] {
    enabled = GetBoolSetting("Sensor", "S1", "TEMP", "Enable", false);
    garbage = GetBoolSetting("Sensor", "S1", "TEMP", "Garbage", false);
    missing = GetSetting("X", "", "", "Y", "dflt");
    g = GetGroupSetup("7");
    bad = GetGroupSetup("bad");
  });
  worker.join();
  SetSetupServiceLocator(nullptr);
  EXPECT_TRUE(enabled);
  EXPECT_FALSE(garbage);
  EXPECT_EQ(missing, "dflt");
  EXPECT_EQ(g.GroupNumber, 7);
  EXPECT_EQ(g.DataFolder, "/data");
  EXPECT_EQ(g.ArchiveDays, 30);
  EXPECT_EQ(bad.GroupName, "bad");
  EXPECT_EQ(bad.TimetagStoreList, "*");
}

TEST(Messages, RecordingSinkRecordsAndAnswers) {
  {
    TRecordingSink sink;
    sink.answers = {true};
    ShowError("Error 604: x");
    ShowInfo("info");
    EXPECT_TRUE(Ask("Sure?"));
    EXPECT_FALSE(Ask("Again?"));
    ProcessPendingEvents();
    EXPECT_EQ(sink.Texts(MessageKind::Error), std::vector<std::string>{"Error 604: x"});
    EXPECT_TRUE(sink.Contains("info"));
    EXPECT_EQ(sink.pendingEventCalls, 1);
    {
      TRecordingSink inner;
      ShowWarning("w");
      EXPECT_EQ(inner.entries.size(), 1u);
    }
    ShowWarning("back");
    EXPECT_TRUE(sink.Contains("back"));
  }
}

}  // namespace
