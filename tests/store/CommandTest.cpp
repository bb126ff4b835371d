#include <gtest/gtest.h>

#include <cmath>

#include "StoreFixture.h"
#include "foundation/Directive.h"
#include "store/FileSrvr.h"
#include "store/GenClient.h"

using namespace kvq;
using namespace kvqtest;

namespace {

const std::string kRiverDesc = "\"RIVER1\",03/07/2009,00:00:00,00:15:00,No,RIVER1.STAGE,2,RIVER1.RAIN,1";

// A file server over a temporary folder, reached through a client as the
// program reaches it.
class CommandTest : public TempFolder {
 protected:
  void SetUp() override {
    TempFolder::SetUp();
    server_ = std::make_unique<TFileServer>(DefaultGroupSetup("1"));
    server_->Settings().DataFolder = Dir();
    server_->SetMessageHandler([this](MessageKind k, const std::string& t) { log_.push_back({k, t}); });
    client_ = std::make_unique<TGenClient>(server_.get());
  }
  void TearDown() override {
    client_.reset();
    server_.reset();
    TempFolder::TearDown();
  }
  std::string Exec(const std::string& command, bool* ok = nullptr, int mode = 1) {
    std::string reply;
    const bool r = client_->Execute(command, reply, mode);
    if (ok) *ok = r;
    return reply;
  }
  void Create(const std::string& name, const std::string& desc) {
    bool ok = false;
    Exec("CREATE," + name + "," + desc, &ok);
    ASSERT_TRUE(ok);
    ASSERT_NE(server_->FindFile(name), nullptr) << name;
  }
  void Put(const std::string& key, TimeTag t, const std::string& value) {
    ASSERT_TRUE(client_->Store("POINT," + key + "," + FormatStr("%j", t), value, 1)) << key;
  }
  // Fills RIVER1 with STAGE = hour + minute/100 every 15 minutes and RAIN every
  // second record, for `hours` hours from 2009-03-07 00:00.
  void FillRiver(int hours) {
    Create("RIVER1", kRiverDesc);
    for (int i = 0; i < hours * 4; ++i) {
      const TimeTag t = Tag(2009, 3, 7) + i * 900;
      Put("RIVER1.STAGE", t, FormatStr("%1.2r", i / 4 + (i % 4) * 0.15));
      if (i % 2 == 0) Put("RIVER1.RAIN", t, FormatStr("%1.1r", i * 0.1));
    }
  }

  std::unique_ptr<TFileServer> server_;
  std::unique_ptr<TGenClient> client_;
  std::vector<std::pair<MessageKind, std::string>> log_;
};

TEST_F(CommandTest, VerbsAndModes) {
  FillRiver(1);
  bool ok = true;
  const struct {
    std::string command;
    int mode;
    bool ok;
    std::string reply;
  } cases[] = {
      {"FILES", 0, true, Path("RIVER1")},
      {"point,RIVER1.STAGE,03/07/2009 00:15:00", 0, true, "0.15"},
      {"POINT,RIVER1.STAGE,03/06/2009 00:15:00", 0, true, ""},  // before the file start: empty value
      {"POINT,RIVER9.STAGE,03/07/2009 00:15:00", 0, false, std::string(NotAvailable)},
      {"PEEK,RIVER1", 0, false, std::string(NotAvailable)},
      {"RAW,RIVER1,03/07/2009 00:00:00,03/07/2009 00:00:00", 0, false, std::string(NotAvailable)},
      {"SENSOR,RIVER1", 0, true, "RIVER1.STAGE,RIVER1.RAIN"},
      {"SENSOR,NOPE", 0, false, ""},
      {"FORMAT,RIVER1", 0, true, "RIVER1.STAGE,2,RIVER1.RAIN,1"},
      {"FORMAT,NOPE", 0, true, ""},
      {"INFO,RIVER1", 0, true, "\"RIVER1\",03/07/2009,03/07/2009 01:00:00,00:00:00,00:15:00,No,2"},
      {"CINFO,RIVER1", 0, true, "\"RIVER1\",03/07/2009,00:00:00,00:15:00,No,RIVER1.STAGE,2,RIVER1.RAIN,1"},
      {"INFO,NOPE", 0, false, ""},
      {"DIGITS,RIVER1.STAGE", 0, true, "2"},
      {"EXIST,RIVER1.RAIN", 0, true, Path("RIVER1")},
      {"EXIST,RIVER1.WIND", 0, true, ""},
      {"FILES", 7, false, ""},  // a refused mode leaves the reply alone
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Exec(c.command, &ok, c.mode), c.reply) << c.command;
    EXPECT_EQ(ok, c.ok) << c.command;
  }
}

TEST_F(CommandTest, DescribeFileRoundTripsThroughCreate) {
  FillRiver(2);
  const std::string cinfo = Exec("CINFO,RIVER1");
  Create("COPY", cinfo);
  EXPECT_EQ(Exec("CINFO,COPY"), cinfo);
}

TEST_F(CommandTest, CreateDeleteActivate) {
  FillRiver(1);
  const auto bytes = Bytes(Path("RIVER1.DAT"));
  bool ok = false;
  // CREATE of an existing name reports success and leaves the file as it was
  EXPECT_EQ(Exec("CREATE,RIVER1,\"X\",03/01/2009,00:00:00,01:00:00,No,X.Y,1", &ok), std::string(NotAvailable));
  EXPECT_TRUE(ok);
  EXPECT_EQ(Bytes(Path("RIVER1.DAT")), bytes);
  // also when it is on disk but not registered
  EXPECT_EQ(Exec("DEACTIVATE,RIVER1"), "1");
  EXPECT_EQ(Exec("FILES"), "");
  Exec("CREATE,RIVER1,\"X\",03/01/2009,00:00:00,01:00:00,No,X.Y,1", &ok);
  EXPECT_EQ(Bytes(Path("RIVER1.DAT")), bytes);
  Exec("ACTIVATE,RIVER1", &ok);
  EXPECT_EQ(Exec("FILES"), Path("RIVER1"));
  EXPECT_EQ(Exec("DELETE,RIVER1"), "1");
  EXPECT_EQ(Exec("DELETE,RIVER1"), "2");
  EXPECT_FALSE(fs::exists(Path("RIVER1.DAT")));
  EXPECT_EQ(server_->Settings().FileList, "");
}

TEST_F(CommandTest, SameSensorInTwoFilesResolvesToTheFirst) {
  Create("A", "\"A\",03/07/2009,00:00:00,00:15:00,No,RIVER1.STAGE,2");
  Create("B", "\"B\",03/07/2009,00:00:00,00:15:00,No,RIVER1.STAGE,2,RIVER1.WIND,1");
  EXPECT_EQ(Exec("EXIST,RIVER1.STAGE"), Path("A"));
  // the second file's other sensors are still found
  EXPECT_EQ(Exec("EXIST,RIVER1.WIND"), Path("B"));
  Put("RIVER1.STAGE", Tag(2009, 3, 7, 1), "4.25");
  EXPECT_EQ(Exec("POINT,RIVER1.STAGE,03/07/2009 01:00:00"), "4.25");
}

TEST_F(CommandTest, RawRepliesContinueWithoutGapOrOverlap) {
  std::string d = "\"WX\",03/07/2009,00:00:00,00:10:00,No";
  for (int i = 0; i < 32; ++i) d += ",WX.S" + std::to_string(i) + ",1";
  Create("WX", d);
  // 3 days of 10-minute records: 432 records of 128 bytes; 32 per reply
  for (int r = 0; r < 432; ++r) Put("WX.S5", Tag(2009, 3, 7) + r * 600, std::to_string(r));
  TimeTag from = Tag(2009, 3, 7), to = Tag(2009, 3, 9, 23, 50);
  std::vector<float> column;
  int replies = 0;
  while (true) {
    bool ok = false;
    const std::string reply = Exec(FormatStr("RAW,WX,%j,%j", from, to), &ok);
    ASSERT_TRUE(ok);
    ++replies;
    TimeTag cont;
    std::memcpy(&cont, reply.data(), 4);
    for (std::size_t off = 4; off + 128 <= reply.size(); off += 128) {
      float v;
      std::memcpy(&v, reply.data() + off + 5 * 4, 4);
      column.push_back(v);
    }
    if (cont == 0) break;
    from = cont;
  }
  EXPECT_EQ(replies, 14);
  ASSERT_EQ(column.size(), 432u);
  for (int r = 0; r < 432; ++r) ASSERT_EQ(column[static_cast<std::size_t>(r)], static_cast<float>(r));
}

// BLOCK+ and TAG+ cut at 4096 bytes; asking again from the first line's time
// continues without gap or overlap.
TEST_F(CommandTest, PlusRepliesContinueWithoutGapOrOverlap) {
  FillRiver(120);
  for (const std::string verb : {"TAG+", "BLOCK+"}) {
    std::string from = "03/07/2009 00:00:00";
    std::vector<std::string> lines;
    int replies = 0;
    while (true) {
      bool ok = false;
      const std::string reply = Exec(verb + ",RIVER1," + from + ",03/11/2009 23:45:00", &ok);
      ASSERT_TRUE(ok);
      ASSERT_LT(++replies, 100);
      auto rows = std::vector<std::string>();
      std::size_t pos = 0;
      while (pos < reply.size()) {
        const std::size_t end = reply.find("\r\n", pos);
        rows.push_back(reply.substr(pos, end - pos));
        pos = end + 2;
      }
      ASSERT_GE(rows.size(), 2u);
      const std::size_t first = verb == "TAG+" ? 2 : 1;  // continuation line, header line
      if (verb == "TAG+") {
        EXPECT_EQ(rows[1], "DATE/TIME,RIVER1.STAGE,RIVER1.RAIN");
      }
      lines.insert(lines.end(), rows.begin() + static_cast<long>(first), rows.end());
      if (rows[0] == "00/00/0000 00:00:00") break;
      from = rows[0];
    }
    EXPECT_GT(replies, 1) << verb;
    ASSERT_EQ(lines.size(), 480u) << verb;
    EXPECT_EQ(lines[0], verb == "TAG+" ? "03/07/2009 00:00:00,0.00,0.0" : "0.00,0.0");
    EXPECT_EQ(lines[1], verb == "TAG+" ? "03/07/2009 00:15:00,0.15," : "0.15,");
    EXPECT_EQ(lines[479], verb == "TAG+" ? "03/11/2009 23:45:00,119.45," : "119.45,");
  }
}

TEST_F(CommandTest, TextRangesStepsSensorListsAndMinus) {
  FillRiver(3);
  const struct {
    std::string command;
    std::string reply;
  } cases[] = {
      {"TAG,RIVER1,03/07/2009 00:00:00,03/07/2009 00:30:00",
       "DATE/TIME,RIVER1.STAGE,RIVER1.RAIN\r\n03/07/2009 00:00:00,0.00,0.0\r\n03/07/2009 00:15:00,0.15,\r\n"
       "03/07/2009 00:30:00,0.30,0.2\r\n"},
      {"BLOCK,RIVER1,03/07/2009 00:00:00,03/07/2009 00:30:00,00:30:00,RIVER1.RAIN,RIVER1.STAGE",
       "0.0,0.00\r\n0.2,0.30\r\n"},
      {"TAG,RIVER1,03/07/2009 00:00:00,03/07/2009 01:00:00,01:00:00,RIVER1.RAIN,RIVER9.X",
       "DATE/TIME,RIVER1.RAIN,RIVER9.X\r\n03/07/2009 00:00:00,0.0,#NAME?\r\n03/07/2009 01:00:00,0.4,#NAME?\r\n"},
      {"TAG-,RIVER1,03/07/2009 00:00:00,03/07/2009 00:45:00,00:00:00,RIVER1.RAIN",
       "DATE/TIME,RIVER1.RAIN\r\n03/07/2009 00:00:00,0.0\r\n03/07/2009 00:30:00,0.2\r\n"},
      // past the file end nothing more comes; a start before the file gives empty fields
      {"TAG,RIVER1,03/06/2009 23:45:00,03/07/2009 00:00:00",
       "DATE/TIME,RIVER1.STAGE,RIVER1.RAIN\r\n03/06/2009 23:45:00,,\r\n03/07/2009 00:00:00,0.00,0.0\r\n"},
      {"BLOCK,RIVER1,03/07/2009 02:45:00,03/09/2009 00:00:00", "2.45,\r\n"},
      // a calendar step: one line a day
      {"TAG,RIVER1,03/07/2009 01:00:00,03/09/2009 00:00:00,0/1/0,RIVER1.STAGE", "DATE/TIME,RIVER1.STAGE\r\n03/07/2009 01:00:00,1.00\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(Exec(c.command), c.reply) << c.command;
  bool ok = true;
  Exec("TAG,RIVER1,03/07/2009 00:00:00", &ok);  // no end
  EXPECT_FALSE(ok);
  Exec("TAG,RIVER1,03/07/2009 00:00:00,03/07/2009 01:00:00>Excel|Sheet1!R1C1", &ok);
  EXPECT_FALSE(ok);
}

TEST_F(CommandTest, StoringValues) {
  FillRiver(1);
  // an edit: no data kind, always stored, even with the station-data gate closed
  EXPECT_TRUE(client_->Store("POINT,RIVER1.STAGE,03/07/2009 00:20:00", "9.99", 1));
  EXPECT_EQ(Exec("POINT,RIVER1.STAGE,03/07/2009 00:15:00"), "9.99");
  EXPECT_EQ(Exec("POINT,RIVER1.RAIN,03/07/2009 00:00:00"), "0.0");  // the other sensor untouched
  // a value that is not a number is stored as missing
  EXPECT_TRUE(client_->Store("POINT,RIVER1.STAGE,03/07/2009 00:15:00", "--", 0));
  EXPECT_EQ(Exec("POINT,RIVER1.STAGE,03/07/2009 00:15:00"), "");
  EXPECT_FALSE(client_->Store("POINT,RIVER9.STAGE,03/07/2009 00:15:00", "1", 0));
  EXPECT_EQ(log_.back().second, "Error 621: No data file found to store RIVER9.STAGE");
  EXPECT_FALSE(client_->Store("TAG,RIVER1,03/07/2009 00:15:00", "1", 1));
  EXPECT_FALSE(client_->Store("POINT,RIVER1.STAGE,03/07/2009 00:15:00", "1", 2));
  // station data goes through the gate: without the sensor's Enable setting it
  // is refused, and the call still succeeds
  EXPECT_TRUE(server_->StoreValue("RIVER1", "STAGE", "5", "03/07/2009 00:30:00", "$REALTIME"));
  EXPECT_EQ(Exec("POINT,RIVER1.STAGE,03/07/2009 00:30:00"), "0.30");
  // switched off: nothing is stored
  server_->SetSwitchedOff(true);
  EXPECT_TRUE(client_->Store("POINT,RIVER1.STAGE,03/07/2009 00:30:00", "7", 0));
  server_->SetSwitchedOff(false);
  EXPECT_EQ(Exec("POINT,RIVER1.STAGE,03/07/2009 00:30:00"), "0.30");
}

TEST_F(CommandTest, ChangeKeepsCommonSensorsAndReplacesTheFile) {
  FillRiver(2);
  bool ok = false;
  // drop RAIN, add WIND, halve the interval, start a day earlier
  EXPECT_EQ(Exec("CHANGE,RIVER1,\"RIVER1\",03/06/2009,00:00:00,00:07:30,No,RIVER1.WIND,1,RIVER1.STAGE,3", &ok), "1");
  EXPECT_FALSE(fs::exists(Path("RIVER1.NEW")));
  EXPECT_FALSE(fs::exists(Path("RIVER1.BAK")));
  EXPECT_EQ(Exec("FILES"), Path("RIVER1"));
  EXPECT_EQ(Exec("FORMAT,RIVER1"), "RIVER1.WIND,1,RIVER1.STAGE,3");
  EXPECT_EQ(Exec("POINT,RIVER1.STAGE,03/07/2009 00:15:00"), "0.150");
  EXPECT_EQ(Exec("POINT,RIVER1.STAGE,03/07/2009 00:22:30"), "0.150");  // each old record fills two new ones
  EXPECT_EQ(Exec("POINT,RIVER1.STAGE,03/06/2009 12:00:00"), "");
  EXPECT_EQ(Exec("POINT,RIVER1.WIND,03/07/2009 00:15:00"), "");
  EXPECT_EQ(Exec("POINT,RIVER1.RAIN,03/07/2009 00:00:00", &ok), std::string(NotAvailable));
  // a longer interval takes the first old record of each new one; a later start drops the days before
  EXPECT_EQ(Exec("CHANGE,RIVER1,\"RIVER1\",03/07/2009,00:00:00,00:30:00,No,RIVER1.STAGE,2"), "1");
  EXPECT_EQ(Exec("TAG,RIVER1,03/07/2009 00:00:00,03/07/2009 01:00:00"),
            "DATE/TIME,RIVER1.STAGE\r\n03/07/2009 00:00:00,0.00\r\n03/07/2009 00:30:00,0.30\r\n03/07/2009 01:00:00,1.00\r\n");
  // reopened from disk
  client_.reset();
  server_.reset();
  TDataFile f(Path("RIVER1.DAT"), Path("RIVER1"));
  ASSERT_TRUE(f.Open());
  EXPECT_EQ(f.Interval, 1800);
  EXPECT_EQ(f.RecordCount(), 4);
  // a failed description leaves the old file as it was
  SetUp();
  Exec("ACTIVATE,RIVER1");
  const auto bytes = Bytes(Path("RIVER1.DAT"));
  EXPECT_EQ(Exec("CHANGE,RIVER1,\"RIVER1\",03/07/2009,00:00:00,00:00:00,No,RIVER1.STAGE,2"), "2");
  EXPECT_EQ(Bytes(Path("RIVER1.DAT")), bytes);
  EXPECT_FALSE(fs::exists(Path("RIVER1.NEW")));
}

TEST_F(CommandTest, SplitAdjustAndArchive) {
  FillRiver(60);  // 03/07 00:00 .. 03/09 11:45
  EXPECT_EQ(Exec("SPLIT,RIVER1,03/08/2009 10:00:00"), "1");
  EXPECT_TRUE(fs::exists(Path("RIVER1.OLD")));
  EXPECT_EQ(Exec("INFO,RIVER1"), "\"RIVER1\",03/08/2009,03/09/2009 12:00:00,00:00:00,00:15:00,No,2");
  EXPECT_EQ(Exec("ADJUST,RIVER1,03/07/2009"), "1");
  EXPECT_EQ(Exec("POINT,RIVER1.STAGE,03/08/2009 01:00:00"), "25.00");
  EXPECT_EQ(Exec("POINT,RIVER1.STAGE,03/07/2009 01:00:00"), "");
  EXPECT_EQ(Exec("SPLIT,NOPE,03/08/2009"), "2");
  // archive everything older than one day before today (03/09 12:00 by the test clock)
  server_->Settings().ArchiveDays = 1;
  std::string messages;
  EXPECT_TRUE(server_->ArchiveAll(messages));
  EXPECT_EQ(messages, "Archived data file - \"" + Path("RIVER1.DAT") + "\"");
  EXPECT_EQ(Exec("INFO,RIVER1"), "\"RIVER1\",03/08/2009,03/09/2009 12:00:00,00:00:00,00:15:00,No,2");
}

TEST_F(CommandTest, RangeReadOfAnUnknownFileOpensItAlone) {
  FillRiver(1);
  Create("OTHER", "\"OTHER\",03/07/2009,00:00:00,00:15:00,No,OTHER.X,1");
  Exec("DEACTIVATE,OTHER");
  bool ok = false;
  Exec("TAG,OTHER,03/07/2009 00:00:00,03/07/2009 00:00:00", &ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(Exec("FILES"), Path("OTHER"));
  Exec("TAG,MISSING,03/07/2009 00:00:00,03/07/2009 00:00:00", &ok);
  EXPECT_FALSE(ok);
}

TEST_F(CommandTest, CachingKeepsRepliesUnderTheCommandText) {
  FillRiver(1);
  client_->SetCaching(true);
  TCache* cache = client_->Cache();
  ASSERT_NE(cache, nullptr);
  Exec("POINT,RIVER1.STAGE,03/07/2009 00:15:00");
  Exec("POINT,RIVER1.STAGE,03/07/2009 00:15:00");
  Exec("FILES");
  Exec("POINT,RIVER9.STAGE,03/07/2009 00:15:00");
  EXPECT_EQ(cache->Count(), 2);
  EXPECT_EQ(cache->Lookup("point,river1.stage,03/07/2009 00:15:00"), "0.15");
  EXPECT_EQ(cache->Lookup("POINT,RIVER9.STAGE,03/07/2009 00:15:00"), std::string(NotAvailable));
  EXPECT_EQ(cache->Lookup("FILES"), std::string(NotAvailable));
  // raw items know their file and start and count their bytes
  const std::int64_t before = CachedRawBytes();
  cache->SetItemClass(TCacheItemClass::Raw);
  const std::string raw = Exec("RAW," + Path("RIVER1") + ",03/07/2009 00:15:00,03/07/2009 00:45:00");
  cache->SetItemClass(TCacheItemClass::Plain);
  const int i = cache->LowerBound("RAW,");
  ASSERT_LT(i, cache->Count());
  auto* item = dynamic_cast<TRawCacheItem*>(cache->Item(i));
  ASSERT_NE(item, nullptr);
  EXPECT_TRUE(item->Raw);
  EXPECT_EQ(item->FileName, Path("RIVER1"));  // whole, however long the path
  EXPECT_EQ(item->StartTime, Tag(2009, 3, 7, 0, 15));
  EXPECT_EQ(CachedRawBytes(), before + static_cast<std::int64_t>(raw.size()));
  client_->SetCaching(false);
  EXPECT_EQ(CachedRawBytes(), before);
}

TEST_F(CommandTest, InsertTextForms) {
  Create("RIVER1", kRiverDesc);
  TRangeRequest req;
  req.Block = true;
  req.ValueText = "1.5\r\n2.5\r\nabc\r\n4.5";
  EXPECT_TRUE(server_->InsertText("RIVER1", "03/07/2009 00:00:00,00:30:00,RIVER1.STAGE,RIVER9.X", req));
  EXPECT_EQ(Exec("BLOCK,RIVER1,03/07/2009 00:00:00,03/07/2009 01:30:00,00:30:00,RIVER1.STAGE"),
            "1.50\r\n2.50\r\n\r\n4.50\r\n");
  TRangeRequest lines;
  lines.ValueText = "RIVER1.RAIN,RIVER1.STAGE\r\n03/07/2009 00:15:00,0.5,7\r\n";
  EXPECT_TRUE(server_->InsertText("RIVER1", "", lines));
  EXPECT_EQ(Exec("TAG,RIVER1,03/07/2009 00:15:00,03/07/2009 00:15:00"),
            "DATE/TIME,RIVER1.STAGE,RIVER1.RAIN\r\n03/07/2009 00:15:00,7.00,0.5\r\n");
  TRangeRequest raw;
  raw.Raw = true;
  raw.ValueText = "8,9";
  EXPECT_TRUE(server_->InsertText("RIVER1", "03/07/2009 02:00:00", raw));
  EXPECT_EQ(Exec("BLOCK,RIVER1,03/07/2009 02:00:00,03/07/2009 02:00:00"), "8.00,9.0\r\n");
  EXPECT_EQ(log_.back().second, "Inserted data into file " + Path("RIVER1.DAT"));
}

TEST_F(CommandTest, StationDataEntryPoints) {
  FillRiver(1);
  std::string messages;
  EXPECT_TRUE(server_->StoreTimetag("RIVER1", "03/07/2009 00:45:00,STAGE,3.5,RAIN,1", messages));
  EXPECT_EQ(Exec("BLOCK,RIVER1,03/07/2009 00:45:00,03/07/2009 00:45:00"), "3.50,1.0\r\n");
  messages.clear();
  EXPECT_FALSE(server_->StoreTimetag("RIVER1", "03/07/2009 00:45:00,WIND,3.5", messages));
  EXPECT_EQ(messages, "No data file to store timetag data from station RIVER1 for data \"WIND\"");
  messages.clear();
  EXPECT_FALSE(server_->StoreWildcard("garbage", "wildcard timetag", messages));
  EXPECT_EQ(messages, "Error 611: Unable to decode date/time in wildcard timetag data for data \"garbage\"");
  messages.clear();
  EXPECT_FALSE(server_->StoreWildcard("03/07/2009 00:30:00,RIVER1.STAGE,2,X.Y,1", "wildcard realtime", messages));
  EXPECT_NE(messages.find("Error 612: Unable to decode wildcard realtime data \"X.Y\""), std::string::npos);
  EXPECT_EQ(Exec("POINT,RIVER1.STAGE,03/07/2009 00:30:00"), "2.00");
  messages.clear();
  EXPECT_FALSE(server_->StoreRealtime("X.Y", "1", messages));
  EXPECT_EQ(messages, "No data file to store realtime data from station X for data \"1\"");
}

}  // namespace

namespace {

// With the entry limit reached, random entries make room; when only entries
// that may not be evicted remain, the user is asked after 20000 draws.
TEST(ReplyCache, RoomMakingAndTheMemoryQuestion) {
  TCache cache;
  cache.EntryLimit = 8;
  for (int i = 0; i < 8; ++i) cache.Store("K" + std::to_string(i), "v");
  cache.Store("K8", "v");  // room is made first: evictable entries go
  EXPECT_LT(cache.Count(), 8);
  EXPECT_TRUE(cache.Contains("K8"));

  TCache pinned;
  pinned.EntryLimit = 4;
  for (int i = 0; i < 4; ++i) {
    pinned.Store("P" + std::to_string(i), "v");
    pinned.Item(pinned.LowerBound("P" + std::to_string(i)))->Evictable = false;
  }
  kvq::TRecordingSink sink;
  sink.choices = {kvq::Choice::Retry, kvq::Choice::Abort, kvq::Choice::Ignore};
  pinned.Store("NEW", "v");  // goes ahead after Ignore
  EXPECT_TRUE(pinned.Contains("NEW"));
  EXPECT_EQ(pinned.Count(), 5);
  EXPECT_EQ(sink.Texts(kvq::MessageKind::Question).size(), 3u);
  EXPECT_EQ(sink.Texts(kvq::MessageKind::Question)[0], "Memory Problem: Application running out of database memory.");
  EXPECT_EQ(sink.closeRequests, 1);
}

}  // namespace
