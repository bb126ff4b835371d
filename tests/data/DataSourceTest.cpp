#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <string>

#include "data/DataSource.h"
#include "data/Encrypt.h"
#include "foundation/SettingsFile.h"

namespace kvq {
namespace {

TEST(DataSourceInfo, DisplayNamesAndCaptions) {
  const char* names[] = {"None", "Ombrix2", "ASCII Log", "Excel", "Database", "HDB", "INSQL"};
  TDataSourceInfo s;
  s.Name = "River files";
  s.DSN = "DEMO";
  for (int type = 0; type <= 6; ++type) {
    s.Type = static_cast<std::uint8_t>(type);
    EXPECT_EQ(s.DisplayName(), names[type]);
    const std::string caption = type == 0 ? "" : (type <= 3 ? "River files" : "DEMO");
    EXPECT_EQ(s.Caption(), caption) << type;
  }
  s.Type = 9;
  EXPECT_EQ(s.DisplayName(), "");
  EXPECT_EQ(s.Caption(), "");
  EXPECT_EQ(DataSourceListSection(1), "DataSourceOmbrix2Settings");
  EXPECT_EQ(DataSourceListSection(2), "DataSourceLogSettings");
  EXPECT_EQ(DataSourceListSection(3), "DataSourceExcelSettings");
  EXPECT_EQ(DataSourceListSection(4), "DataSourceDatabaseSettings");
  EXPECT_EQ(DataSourceListSection(5), "DataSourceHDBSettings");
  EXPECT_EQ(DataSourceListSection(6), "DataSourceINSQLSettings");
  EXPECT_EQ(DataSourceListSection(0), "");
}

TEST(DataSourceInfo, CurrentSourceSurvivesSaveAndLoad) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("KVQuillon.KFG").toStdString();
  TDataSourceInfo s;
  s.Type = kSourceHDB;
  s.Number = 12;
  s.DSN = "HDBPROD";
  s.User = "Velmora";
  s.Password = "pa:ss word with a colon and more than thirty bytes";
  s.FilterEnabled = true;
  s.FilterFile = "/home/u/basin.flt";
  s.PostProcessed = true;
  {
    TSettingsFile settings(path);
    ASSERT_TRUE(s.SaveCurrent(settings));
  }
  TSettingsFile settings(path);  // read back from disk
  EXPECT_NE(settings.ReadString("DataSourceSettings", "DataSourcePass", ""), s.Password);
  TDataSourceInfo r;
  r.LoadCurrent(settings);
  EXPECT_EQ(r.Kind, 0);
  EXPECT_EQ(r.Type, kSourceHDB);
  EXPECT_EQ(r.Number, 12);
  EXPECT_EQ(r.DSN, "HDBPROD");
  EXPECT_EQ(r.User, "Velmora");
  EXPECT_EQ(r.Password, s.Password);
  EXPECT_TRUE(r.FilterEnabled);
  EXPECT_EQ(r.FilterFile, "/home/u/basin.flt");
  EXPECT_FALSE(r.PostProcessed);  // not stored
}

TEST(DataSourceInfo, MissingKeysTakeDefaultsAndTypeIsTheLowByte) {
  TSettingsFile settings("/nonexistent/none.KFG");
  settings.WriteInteger("DataSourceSettings", "DataSourceType", 256 + 4);
  settings.WriteString("DataSourceSettings", "DataSourcePass", "garbled!");
  TDataSourceInfo r;
  r.PostProcessed = true;
  r.LoadCurrent(settings);
  EXPECT_EQ(r.Type, 4);
  EXPECT_EQ(r.Number, 0);
  EXPECT_EQ(r.DSN, "");
  EXPECT_EQ(r.Password, "");  // unreadable password reads empty
  EXPECT_FALSE(r.FilterEnabled);
  EXPECT_TRUE(r.PostProcessed);
}

TEST(StoredDataSources, AddListAndDelete) {
  TSettingsFile settings("/nonexistent/none.KFG");
  TDataSourceInfo folder;
  folder.Type = kSourceOmbrix2;
  folder.Name = "Rivers";
  folder.Folder = "/data/rivers";
  EXPECT_EQ(AddStoredDataSource(settings, folder), 1);
  EXPECT_EQ(settings.ReadInteger("DataSourceSettings", "DataSourceSequence", 0), 2);
  TDataSourceInfo db;
  db.Type = kSourceDatabase;
  db.DSN = "DEMO";
  db.User = "Velmora";
  db.Password = "radizuza";
  EXPECT_EQ(AddStoredDataSource(settings, db), 2);
  TDataSourceInfo same = db;  // the same alias twice is allowed
  EXPECT_EQ(AddStoredDataSource(settings, same), 3);
  TDataSourceInfo none;
  EXPECT_EQ(AddStoredDataSource(settings, none), 0);

  EXPECT_EQ(settings.ReadInteger("DataSourceOmbrix2Settings", "DataSourceID1", 0), 1);
  EXPECT_EQ(settings.ReadString("DataSourceID2", "DataSourceDSN", ""), "DEMO");
  EXPECT_NE(settings.ReadString("DataSourceID2", "DataSourcePass", ""), "radizuza");
  // A list key whose value is not a number is skipped.
  settings.WriteString("DataSourceHDBSettings", "DataSourceID77", "junk");

  auto list = ReadStoredDataSources(settings);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].Type, kSourceOmbrix2);
  EXPECT_EQ(list[0].Name, "Rivers");
  EXPECT_EQ(list[0].Folder, "/data/rivers");
  EXPECT_EQ(list[1].Number, 2);
  EXPECT_EQ(list[1].Password, "radizuza");
  EXPECT_EQ(list[2].Number, 3);

  DeleteStoredDataSource(settings, list[1]);
  EXPECT_FALSE(settings.SectionExists("DataSourceID2"));
  list = ReadStoredDataSources(settings);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[1].Number, 3);
}

}  // namespace
}  // namespace kvq
