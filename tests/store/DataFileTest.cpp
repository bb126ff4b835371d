#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "StoreFixture.h"
#include "foundation/Directive.h"
#include "store/Dayfile.h"

using namespace kvq;
using namespace kvqtest;

namespace {

const char kRiver[] = "\"RIVER1\",03/07/2009,00:00:00,00:15:00,No,RIVER1.STAGE,2,RIVER1.RAIN,1";

class DataFileTest : public TempFolder {
 protected:
  std::unique_ptr<TDataFile> Create(const std::string& name, const std::string& description) {
    auto f = std::make_unique<TDataFile>(Path(name + ".DAT"), Path(name));
    EXPECT_TRUE(f->CreateFile(description)) << description;
    return f;
  }
  static std::vector<float> Record(TDataFile& f, TimeTag grid) {
    TRecordBuffer b;
    b.Grid = grid;
    b.Complete = true;
    EXPECT_TRUE(f.ReadRecord(b));
    std::vector<float> v;
    for (auto bits : b.Values) {
      float x;
      std::memcpy(&x, &bits, 4);
      v.push_back(x);
    }
    return v;
  }
};

TEST_F(DataFileTest, WorkedExampleByteForByte) {
  auto f = Create("RIVER1", kRiver);
  ASSERT_TRUE(f->InsertValue(1, Tag(2009, 3, 7, 0, 30), Bits(1.25f)));
  ASSERT_TRUE(f->Close());
  const auto b = Bytes(Path("RIVER1.DAT"));
  ASSERT_EQ(b.size(), 304u);
  std::vector<unsigned char> h = {0x01, 0x01, 0x01, 0x20, 'R', 'I', 'V', 'E', 'R', '1'};
  h.resize(36, 0);
  for (unsigned char c : {0x80, 0x22, 0x00, 0x00, 0x00, 0x00, 0x84, 0x03, 0x00, 0x00, 0x18, 0x01, 0x00, 0x00, 0x08,
                          0x00, 0x00, 0x03, 0x00, 0x00, 0x02, 0x00, 0x00})
    h.push_back(c);
  h.resize(180, 0);
  std::vector<unsigned char> s1 = {'R', 'I', 'V', 'E', 'R', '1'};
  s1.resize(32, 0);
  for (char c : std::string("STAGE")) s1.push_back(static_cast<unsigned char>(c));
  s1.resize(48, 0);
  s1.push_back(2);
  s1.push_back(0);
  EXPECT_EQ(std::vector<unsigned char>(b.begin(), b.begin() + 180), h);
  EXPECT_EQ(std::vector<unsigned char>(b.begin() + 180, b.begin() + 230), s1);
  EXPECT_EQ(b[230 + 32], 'R');  // RAIN
  EXPECT_EQ(b[230 + 48], 1);
  for (int i = 280; i < 296; ++i) EXPECT_EQ(b[i], 0xFF) << i;
  EXPECT_EQ(std::vector<unsigned char>(b.begin() + 296, b.end()),
            (std::vector<unsigned char>{0x00, 0x00, 0xA0, 0x3F, 0xFF, 0xFF, 0xFF, 0xFF}));
}

// Headers that do not hold together are refused with a clear message and
// without a crash, a division by zero or an endless loop.
TEST_F(DataFileTest, HeaderValidation) {
  auto f = Create("GOOD", kRiver);
  f->InsertValue(2, Tag(2009, 3, 7, 1), Bits(3.0f));
  f->Close();
  const auto good = Bytes(Path("GOOD.DAT"));
  struct Case {
    const char* name;
    std::function<void(std::vector<unsigned char>&)> damage;
    bool accepted;
  } cases[] = {
      {"untouched", [](auto&) {}, true},
      {"wrong magic is ignored", [](auto& b) { b[0] = 0x77; }, true},
      {"wrong format id", [](auto& b) { b[3] = 0x21; }, false},
      {"wrong data offset", [](auto& b) { b[46] = 0x19; }, false},
      {"no sensors", [](auto& b) { b[56] = 0; b[46] = 180; b[50] = 0; b[52] = b[53] = 0; }, false},
      {"interval zero", [](auto& b) { b[42] = b[43] = 0; }, false},
      {"start past the time base", [](auto& b) { b[36] = 0x90; b[37] = 0x8E; }, false},
      {"sensor count above 1024", [](auto& b) { b[56] = 0x01; b[57] = 0x04; }, false},
      {"wrong bytes per day", [](auto& b) { b[52] = 0x01; }, false},
      {"record size not four per sensor", [](auto& b) { b[50] = 9; }, false},
      {"truncated sensor table", [](auto& b) { b.resize(200); }, false},
      {"truncated header", [](auto& b) { b.resize(100); }, false},
      {"truncated record area reads whole records", [](auto& b) { b.resize(b.size() - 3); }, true},
  };
  for (const auto& c : cases) {
    auto bytes = good;
    c.damage(bytes);
    WriteBytes(Path("BAD.DAT"), bytes);
    messages_.entries.clear();
    TDataFile bad(Path("BAD.DAT"), Path("BAD"));
    EXPECT_EQ(bad.Open(), c.accepted) << c.name;
    EXPECT_EQ(bad.IsOpen(), c.accepted) << c.name;
    if (!c.accepted) {
      EXPECT_EQ(messages_.Texts(MessageKind::Error),
                std::vector<std::string>{"Error 604: Unable to read header from file " + Path("BAD.DAT")})
          << c.name;
    }
  }
}

TEST_F(DataFileTest, GridPlacement) {
  struct Case {
    int endOfInterval;
    int h, m, s;
    int gh, gm;
  } cases[] = {
      {1, 0, 15, 0, 0, 0}, {1, 0, 0, 1, 0, 0}, {1, 0, 15, 1, 0, 15}, {1, 0, 0, 0, -1, 45},
      {0, 0, 0, 0, 0, 0},  {0, 0, 14, 59, 0, 0}, {0, 0, 15, 0, 0, 15},
  };
  for (const auto& c : cases) {
    auto f = Create(c.endOfInterval ? "E1" : "E0",
                    std::string("\"G\",03/07/2009,00:00:00,00:15:00,") + (c.endOfInterval ? "Yes" : "No") + ",G.A,1");
    const TimeTag day = Tag(2009, 3, 7);
    EXPECT_EQ(f->GridOf(day + c.h * 3600 + c.m * 60 + c.s), day + c.gh * 3600 + c.gm * 60)
        << c.endOfInterval << " " << c.h << ":" << c.m << ":" << c.s;
    f->EraseFile();
  }
  auto f = Create("OFF", "\"G\",03/07/2009,00:05:00,00:15:00,Yes,G.A,1");
  const TimeTag day = Tag(2009, 3, 7);
  EXPECT_EQ(f->GridOf(day + 20 * 60), day);           // (00:05, 00:20] -> grid 00:00
  EXPECT_EQ(f->TagOfGrid(day), day + 20 * 60);        // its tag is the end of the interval
}

TEST_F(DataFileTest, ReadingOutsideTheFileGivesMissingValues) {
  auto f = Create("R", kRiver);
  ASSERT_TRUE(f->InsertValue(1, Tag(2009, 3, 7, 1), Bits(2.0f)));
  for (TimeTag g : {Tag(2009, 3, 6, 23, 45), Tag(2009, 3, 7, 1, 15), Tag(2010, 1, 1)}) {
    const auto v = Record(*f, g);
    ASSERT_EQ(v.size(), 2u);
    EXPECT_TRUE(std::isnan(v[0]) && std::isnan(v[1]));
  }
  EXPECT_EQ(Record(*f, Tag(2009, 3, 7, 1))[0], 2.0f);
}

TEST_F(DataFileTest, WritingFarBeyondTheEndAppendsWholeEmptyRecords) {
  auto f = Create("R", kRiver);
  ASSERT_TRUE(f->InsertValue(2, Tag(2009, 3, 8, 0, 0), Bits(7.5f)));
  EXPECT_EQ(f->FileSize(), 280 + 97 * 8);
  EXPECT_EQ(f->EndTime(), Tag(2009, 3, 8, 0, 15));
  EXPECT_TRUE(std::isnan(Record(*f, Tag(2009, 3, 7, 12))[1]));
  // a second sensor's value in the same record leaves the first one alone
  ASSERT_TRUE(f->InsertValue(1, Tag(2009, 3, 8, 0, 5), Bits(1.0f)));
  EXPECT_EQ(Record(*f, Tag(2009, 3, 8)), (std::vector<float>{1.0f, 7.5f}));
  EXPECT_EQ(f->FileSize(), 280 + 97 * 8);
}

TEST_F(DataFileTest, RawBlockIsCutAt4096BytesWithContinuation) {
  // 64 sensors: 256-byte records, 16 per block
  std::string d = "\"BIG\",03/07/2009,00:00:00,00:01:00,No";
  for (int i = 0; i < 64; ++i) d += ",BIG.S" + std::to_string(i) + ",1";
  auto f = Create("BIG", d);
  ASSERT_TRUE(f->InsertValue(64, Tag(2009, 3, 7, 0, 59), Bits(1.0f)));  // 60 records
  std::string out;
  ASSERT_TRUE(f->ReadRawBlock(Tag(2009, 3, 7, 0, 0), Tag(2009, 3, 7, 0, 15), out));
  TimeTag cont;
  std::memcpy(&cont, out.data(), 4);
  EXPECT_EQ(out.size(), 4u + 4096u);
  EXPECT_EQ(cont, Tag(2009, 3, 7, 0, 16));  // exactly 16 records asked: continuation all the same
  ASSERT_TRUE(f->ReadRawBlock(Tag(2009, 3, 7, 0, 0), Tag(2009, 3, 7, 0, 14), out));
  std::memcpy(&cont, out.data(), 4);
  EXPECT_EQ(cont, 0);
  EXPECT_EQ(out.size(), 4u + 15 * 256u);
  // the range is clipped at the file end
  ASSERT_TRUE(f->ReadRawBlock(Tag(2009, 3, 7, 0, 55), Tag(2009, 3, 8), out));
  std::memcpy(&cont, out.data(), 4);
  EXPECT_EQ(cont, 0);
  EXPECT_EQ(out.size(), 4u + 5 * 256u);
  EXPECT_FALSE(f->ReadRawBlock(Tag(2009, 3, 6, 23, 0), Tag(2009, 3, 7), out));
  EXPECT_FALSE(f->ReadRawBlock(Tag(2009, 3, 7, 1, 0), Tag(2009, 3, 7, 2), out));
}

TEST_F(DataFileTest, WriteRawBlockSpansRecords) {
  auto f = Create("R", kRiver);
  ASSERT_TRUE(f->WriteRawBlock(Tag(2009, 3, 7, 0, 30), "1.5,2.5,3.5\r\nbad,4.5"));
  EXPECT_EQ(Record(*f, Tag(2009, 3, 7, 0, 30)), (std::vector<float>{1.5f, 2.5f}));
  const auto r2 = Record(*f, Tag(2009, 3, 7, 0, 45));
  EXPECT_EQ(r2[0], 3.5f);
  EXPECT_TRUE(std::isnan(r2[1]));
  EXPECT_EQ(Record(*f, Tag(2009, 3, 7, 1, 0))[0], 4.5f);
  EXPECT_TRUE(std::isnan(Record(*f, Tag(2009, 3, 7, 0, 0))[0]));
  EXPECT_FALSE(f->WriteRawBlock(Tag(2009, 3, 6), "1"));
}

TEST_F(DataFileTest, MoveStartKeepsValuesAtTheirTimes) {
  auto f = Create("R", kRiver);
  ASSERT_TRUE(f->InsertValue(1, Tag(2009, 3, 7, 6), Bits(6.0f)));
  ASSERT_TRUE(f->InsertValue(1, Tag(2009, 3, 8, 6), Bits(8.0f)));
  ASSERT_TRUE(f->MoveStart(Tag(2009, 3, 5, 13)));
  EXPECT_EQ(f->StartTime(), Tag(2009, 3, 5));
  EXPECT_EQ(Record(*f, Tag(2009, 3, 7, 6))[0], 6.0f);
  EXPECT_EQ(Record(*f, Tag(2009, 3, 8, 6))[0], 8.0f);
  EXPECT_TRUE(std::isnan(Record(*f, Tag(2009, 3, 5, 6))[0]));
  ASSERT_TRUE(f->MoveStart(Tag(2009, 3, 8)));
  EXPECT_EQ(f->StartTime(), Tag(2009, 3, 8));
  EXPECT_EQ(Record(*f, Tag(2009, 3, 8, 6))[0], 8.0f);
  EXPECT_TRUE(std::isnan(Record(*f, Tag(2009, 3, 7, 6))[0]));
  // reopened from disk
  f->Close();
  TDataFile again(Path("R.DAT"), Path("R"));
  ASSERT_TRUE(again.Open());
  EXPECT_EQ(again.StartDay, EncodeDayNumber(2009, 3, 8));
  EXPECT_EQ(Record(again, Tag(2009, 3, 8, 6))[0], 8.0f);
  EXPECT_FALSE(fs::exists(Path("R.DAT.tmp")));
}

TEST_F(DataFileTest, SplitBeforeLeavesAnOldFileEndingTheDayBefore) {
  auto f = Create("R", kRiver);
  ASSERT_TRUE(f->InsertValue(1, Tag(2009, 3, 7, 6), Bits(6.0f)));
  ASSERT_TRUE(f->InsertValue(1, Tag(2009, 3, 9, 6), Bits(9.0f)));
  const auto before = f->FileSize();
  ASSERT_TRUE(f->SplitBefore(Tag(2009, 3, 10, 5)));  // at or after the end: nothing
  EXPECT_EQ(f->FileSize(), before);
  EXPECT_FALSE(fs::exists(Path("R.OLD")));
  ASSERT_TRUE(f->SplitBefore(Tag(2009, 3, 7, 5)));  // at the start: nothing to move
  EXPECT_FALSE(fs::exists(Path("R.OLD")));

  ASSERT_TRUE(f->SplitBefore(Tag(2009, 3, 9, 5)));
  EXPECT_EQ(f->StartTime(), Tag(2009, 3, 9));
  EXPECT_EQ(Record(*f, Tag(2009, 3, 9, 6))[0], 9.0f);
  TDataFile old(Path("R.OLD"), Path("R"));
  ASSERT_TRUE(old.Open());
  EXPECT_EQ(old.StartTime(), Tag(2009, 3, 7));
  EXPECT_EQ(old.EndTime(), Tag(2009, 3, 9));
  EXPECT_EQ(Record(old, Tag(2009, 3, 7, 6))[0], 6.0f);
  EXPECT_EQ(old.Sensors()[1].FullName, "RIVER1.RAIN");
}

TEST_F(DataFileTest, CreateRefusesBadDescriptionsAndExistingFiles) {
  const char* bad[] = {
      "RIVER1,03/07/2009,00:00:00,00:15:00,No,A.B,1",            // name not quoted
      "\"R\",03/07/2009,00:00:00,00:00:00,No,A.B,1",             // interval 0
      "\"R\",03/07/2009,00:00:00,00:15:00,No",                   // no sensors
      "\"R\",03/07/2009,00:00:00,00:15:00,No,NODOT,1",           // not STATION.SENSOR
      "\"R\",03/07/2009,00:00:00,00:15:00,No,A.SIXTEEN_CHARS_XX,1",  // sensor name too long
      "\"THIS-NAME-IS-LONGER-THAN-31-CHARS\",03/07/2009,00:00:00,00:15:00,No,A.B,1",
  };
  for (const char* d : bad) {
    TDataFile f(Path("X.DAT"), Path("X"));
    messages_.entries.clear();
    EXPECT_FALSE(f.CreateFile(d)) << d;
    EXPECT_FALSE(f.IsOpen());
    EXPECT_TRUE(messages_.Contains("Error 102: Unable to create " + Path("X.DAT"))) << d;
    EXPECT_FALSE(fs::exists(Path("X.DAT"))) << d;
  }
  auto f = Create("R", kRiver);
  f->InsertValue(1, Tag(2009, 3, 7, 1), Bits(1.0f));
  f->Close();
  const auto bytes = Bytes(Path("R.DAT"));
  TDataFile again(Path("R.DAT"), Path("R"));
  EXPECT_FALSE(again.CreateFile(kRiver, false));
  EXPECT_EQ(Bytes(Path("R.DAT")), bytes);
}

TEST_F(DataFileTest, OpenFileCounter) {
  const int before = OpenDataFileCount();
  {
    auto f = Create("R", kRiver);
    EXPECT_EQ(OpenDataFileCount(), before + 1);
    f->Close();
    EXPECT_EQ(OpenDataFileCount(), before);
    ASSERT_TRUE(f->Open());
    EXPECT_EQ(OpenDataFileCount(), before + 1);
  }
  EXPECT_EQ(OpenDataFileCount(), before);
}

TEST(DayFile, TemplatesAndPeriods) {
  TDayFile daily("yyyymmdd.log", "LOG\\", "log");
  EXPECT_EQ(daily.Period(), 86400);
  EXPECT_TRUE(daily.NameFor(Tag(2009, 3, 7, 10)));
  EXPECT_EQ(daily.Name(), "LOG/20090307.log");
  EXPECT_FALSE(daily.NameFor(Tag(2009, 3, 7, 23, 59)));
  EXPECT_TRUE(daily.NameFor(Tag(2009, 3, 8, 0, 0)));
  EXPECT_EQ(daily.Name(), "LOG/20090308.log");

  TDayFile quarter("Qyyhhmi#15", "/var/q", "txt");
  EXPECT_EQ(quarter.Period(), 900);
  EXPECT_TRUE(quarter.NameFor(Tag(2009, 3, 7, 10, 7)));
  EXPECT_EQ(quarter.Name(), "/var/q/Q091000.txt");
  EXPECT_FALSE(quarter.NameFor(Tag(2009, 3, 7, 10, 14)));
  EXPECT_TRUE(quarter.NameFor(Tag(2009, 3, 7, 10, 15)));
  EXPECT_EQ(quarter.Name(), "/var/q/Q091015.txt");

  TDayFile absolute("/abs/mm-dd.x", "/ignored", "log");
  EXPECT_TRUE(absolute.NameFor(Tag(2009, 12, 31)));
  EXPECT_EQ(absolute.Name(), "/abs/12-31.x");
}

}  // namespace
