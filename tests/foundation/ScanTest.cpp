#include <gtest/gtest.h>

#include <cstring>

#include "foundation/Directive.h"
#include "foundation/TimeBase.h"

using namespace kvq;

namespace {

std::uint32_t Bits(float f) {
  std::uint32_t b;
  std::memcpy(&b, &f, 4);
  return b;
}

TEST(Scan, CommaListFieldsAndPosition) {
  std::string name;
  std::uint16_t digits = 0;
  int pos = 1;
  EXPECT_TRUE(ScanStrAt("STAGE,15", pos, "%P%W", name, digits));
  EXPECT_EQ(name, "STAGE");
  EXPECT_EQ(digits, 15);
  EXPECT_EQ(pos, 9);

  EXPECT_FALSE(ScanStr("STAGE", "%P%W", name, digits));
  EXPECT_EQ(name, "STAGE");
}

TEST(Scan, StationSensorSplit) {
  std::string a, b;
  EXPECT_TRUE(ScanStr("RIVER1.STAGE", "%s.%p", a, b));
  EXPECT_EQ(a, "RIVER1");
  EXPECT_EQ(b, "STAGE");
  EXPECT_TRUE(ScanStr("RIVER1", "%s.%s", a, b));
  EXPECT_EQ(a, "RIVER1");
  EXPECT_EQ(b, "");
}

TEST(Scan, BooleanKeywords) {
  const struct {
    const char* text;
    bool ok, value;
    int pos;
  } cases[] = {
      {"OFF", true, false, 4},   {"MAYBE", false, false, 1}, {"YESTERDAY", true, true, 4}, {"y", true, true, 2},
      {"true", true, true, 5},   {"Bad", true, false, 4},    {"0", true, false, 2},        {"ok", true, true, 3},
      {"no", true, false, 3},    {"", false, false, 1},
  };
  for (const auto& c : cases) {
    bool v = !c.value;
    int pos = 1;
    EXPECT_EQ(ScanStrAt(c.text, pos, "%b", v), c.ok) << c.text;
    EXPECT_EQ(v, c.value) << c.text;
    EXPECT_EQ(pos, c.pos) << c.text;
  }
}

TEST(Scan, FloatFieldFailureStoresAllOnes) {
  float f = 1.0f;
  EXPECT_FALSE(ScanStr("abc,", "%E", f));
  EXPECT_EQ(Bits(f), 0xFFFFFFFFu);
  EXPECT_TRUE(ScanStr("  -1.5e2,", "%E", f));
  EXPECT_EQ(f, -150.0f);
  EXPECT_FALSE(ScanStr(",", "%E", f));
  EXPECT_EQ(Bits(f), 0xFFFFFFFFu);
}

TEST(Scan, SectionsMakeFieldsOptional) {
  std::string a;
  std::uint16_t w = 9;
  EXPECT_TRUE(ScanStr("NAME", "%P%[%W%]", a, w));
  EXPECT_FALSE(ScanStr("NAME", "%P%W", a, w));
  // a failure after the section closes counts again
  EXPECT_FALSE(ScanStr("NAME", "%P%[%W%]%W", a, w, w));
}

TEST(Scan, QuotedStringWithTerminator) {
  std::string a, b;
  int pos = 1;
  EXPECT_TRUE(ScanStrAt("'A,B',next", pos, "%\",%p", a, b));
  EXPECT_EQ(a, "A,B");
  EXPECT_EQ(b, "next");
  EXPECT_TRUE(ScanStr("plain,rest", "%\",%p", a, b));
  EXPECT_EQ(a, "plain");
  EXPECT_EQ(b, "rest");
  EXPECT_TRUE(ScanStr("\"it's\" x,y", "%\",%p", a, b));
  EXPECT_EQ(a, "it's");
  EXPECT_EQ(b, "y");
}

// The description line of a data file: quoted name, start, offset, interval, end flag.
TEST(Scan, DescriptionLine) {
  std::string name;
  TimeTag start = 0, offset = -1, interval = 0;
  bool end = true;
  std::string s1;
  std::uint16_t d1 = 0;
  int pos = 1;
  const std::string line = "\"RIVER1\",03/07/2009 00:00:00,00:00:00,00:15:00,No,RIVER1.STAGE,2";
  EXPECT_TRUE(ScanStrAt(line, pos, "\"%S\"%Q%T%T%B", name, start, offset, interval, end));
  EXPECT_EQ(name, "RIVER1");
  EXPECT_EQ(start, EncodeTimeTag(2009, 3, 7, 0, 0, 0));
  EXPECT_EQ(offset, 0);
  EXPECT_EQ(interval, 900);
  EXPECT_FALSE(end);
  EXPECT_TRUE(ScanStrAt(line, pos, "%P%W", s1, d1));
  EXPECT_EQ(s1, "RIVER1.STAGE");
  EXPECT_EQ(d1, 2);
  EXPECT_EQ(pos, static_cast<int>(line.size()) + 1);
}

TEST(Scan, NumbersAndTimes) {
  std::int32_t i = 0, m = 0, t = 0;
  float r = 0;
  double x = 0;
  std::uint16_t w = 0, d = 0;
  TimeTag j = 0;
  EXPECT_TRUE(ScanStr("-12,1.234,2.5,1e3,65535,-01:30:00,03/07/2009,03/07/2009 14:05:09",
                      "%I%M%R%X%W%T%D%J", i, m, r, x, w, t, d, j));
  EXPECT_EQ(i, -12);
  EXPECT_EQ(m, 1234);
  EXPECT_EQ(r, 2.5f);
  EXPECT_EQ(x, 1000.0);
  EXPECT_EQ(w, 65535);
  EXPECT_EQ(t, -5400);
  EXPECT_EQ(d, 8832);
  EXPECT_EQ(j, EncodeTimeTag(2009, 3, 7, 14, 5, 9));

  EXPECT_FALSE(ScanStr("65536", "%w", w));
  EXPECT_FALSE(ScanStr("+5", "%w", w));
  EXPECT_TRUE(ScanStr("+5", "%i", i));
  EXPECT_EQ(i, 5);
  EXPECT_FALSE(ScanStr("99999999999", "%i", i));
  EXPECT_FALSE(ScanStr(" 5", "%i", i));  // blanks are not skipped
  EXPECT_TRUE(ScanStr(" 5", "%_%i", i));
  EXPECT_FALSE(ScanStr("1e", "%r", r));
  EXPECT_FALSE(ScanStr("1e40", "%m", m));
}

TEST(Scan, WidthLimitsField) {
  std::uint16_t y = 0, mo = 0, d = 0;
  int pos = 1;
  EXPECT_TRUE(ScanStrAt("20090307", pos, "%4w%2w%2w", y, mo, d));
  EXPECT_EQ(y, 2009);
  EXPECT_EQ(mo, 3);
  EXPECT_EQ(d, 7);
  EXPECT_EQ(pos, 9);
  std::string s;
  EXPECT_TRUE(ScanStr("abcdef", "%3s", s));
  EXPECT_EQ(s, "abc");
  std::int32_t wv = 0;
  EXPECT_TRUE(ScanStr("12345", "%*i", ScanArg::Value(2), wv));
  EXPECT_EQ(wv, 12);
}

TEST(Scan, LiteralsAndSkips) {
  std::string s;
  EXPECT_TRUE(ScanStr("key=value", "%?=%s", s));
  EXPECT_EQ(s, "value");
  EXPECT_FALSE(ScanStr("keyvalue", "%?=%s", s));
  EXPECT_TRUE(ScanStr("AbC", "abc"));
  EXPECT_FALSE(ScanStr("abd", "abc"));
  EXPECT_TRUE(ScanStr("\r\nX", "%nX"));
  EXPECT_FALSE(ScanStr("\nX", "%nX"));
  EXPECT_TRUE(ScanStr("50%", "50%%"));
  EXPECT_FALSE(ScanStr("x", "%k"));  // unknown directive fails
}

TEST(Scan, StringToTerminatorCrossesCommasAndLineEnds) {
  std::string a, b;
  EXPECT_TRUE(ScanStr("a,b\r\nc|rest", "%s|%s", a, b));
  EXPECT_EQ(a, "a,b\r\nc");
  EXPECT_EQ(b, "rest");
}

TEST(Scan, QuotedRunKeepsCommas) {
  std::string v, rest;
  EXPECT_TRUE(ScanStr("a'b,c'd,e", "%v',%p", v, rest));
  EXPECT_EQ(v, "a'b,c'd");
  EXPECT_EQ(rest, "e");
}

TEST(Scan, CharacterAndLineEnd) {
  char c = 0;
  int pos = 1;
  EXPECT_TRUE(ScanStrAt("", pos, "%c", c));
  EXPECT_EQ(c, '\0');
  EXPECT_EQ(pos, 1);
  EXPECT_TRUE(ScanStrAt("xy", pos, "%c", c));
  EXPECT_EQ(c, 'x');
  EXPECT_EQ(pos, 2);
}

TEST(Scan, UpperCaseSkipsRestOfField) {
  std::int32_t a = 0, b = 0;
  EXPECT_TRUE(ScanStr("12abc,34", "%I%I", a, b));
  EXPECT_EQ(a, 12);
  EXPECT_EQ(b, 34);
  EXPECT_FALSE(ScanStr("12abc,34", "%i%I", a, b));
}

TEST(Scan, TimeExpressionUsesTargetAsReference) {
  TimeTag t = EncodeTimeTag(2009, 3, 7, 14, 35, 20);
  EXPECT_TRUE(ScanStr("TODAY", "%Q", t));
  EXPECT_EQ(t, EncodeTimeTag(2009, 3, 7, 0, 0, 0));
  // an empty field is the reference itself
  t = 1000;
  EXPECT_TRUE(ScanStr(",x", "%Q", t));
  EXPECT_EQ(t, 1000);
}

TEST(Scan, WrongTargetKindsConvertOrAreIgnored) {
  double d = 0;
  std::string s = "keep";
  std::int32_t i = 0;
  EXPECT_TRUE(ScanStr("7,8,x", "%W%P%P", d, i, i));
  EXPECT_EQ(d, 7.0);
  EXPECT_EQ(i, 0);
  EXPECT_TRUE(ScanStr("9", "%w", s));
  EXPECT_EQ(s, "keep");
  // more directives than targets: fields are read and dropped
  int pos = 1;
  EXPECT_TRUE(ScanStrAt("a,b,c", pos, "%P%P%P", s));
  EXPECT_EQ(s, "a");
  EXPECT_EQ(pos, 6);
}

TEST(Scan, PositionIsClamped) {
  std::string s;
  int pos = -5;
  EXPECT_TRUE(ScanStrAt("ab", pos, "%p", s));
  EXPECT_EQ(s, "ab");
  pos = 99;
  EXPECT_TRUE(ScanStrAt("ab", pos, "%p", s));
  EXPECT_EQ(s, "");
  EXPECT_EQ(pos, 3);
}

TEST(CommaList, FieldIndex) {
  const struct {
    const char* name;
    const char* list;
    int expected;
  } cases[] = {
      {"sensor", "Station,Sensor,Value", 2}, {"Value", "Station,Sensor,Value", 3}, {"x", "Station,Sensor", 0},
      {"x", "", 0},                          {"", ",a", 1},                       {"B", "A\nB", 0},
      {"TAG+", "POINT,RAW,TAG,TAG+", 4},
  };
  for (const auto& c : cases) EXPECT_EQ(FieldIndex(c.name, c.list), c.expected) << c.name << " in " << c.list;
}

TEST(CommaList, DeleteField) {
  const struct {
    const char* name;
    const char* list;
    bool deleted;
    const char* after;
  } cases[] = {
      {"Value", "Station,Sensor,Value", true, "Station,Sensor"},
      {"station", "Station,Sensor,Value", true, "Sensor,Value"},
      {"Sensor", "Station,Sensor,Value", true, "Station,Value"},
      {"Only", "Only", true, ""},
      {"None", "Station,Sensor", false, "Station,Sensor"},
      {"/d/A", "/d/A,/d/B,/d/A", true, "/d/B,/d/A"},
  };
  for (const auto& c : cases) {
    std::string list = c.list;
    EXPECT_EQ(DeleteField(c.name, list), c.deleted) << c.name;
    EXPECT_EQ(list, c.after) << c.name;
  }
}

TEST(CommaList, NextFieldIndex) {
  int pos = 1;
  EXPECT_EQ(NextFieldIndex("tag+,x", pos, "POINT,RAW,TAG,TAG+"), 4);
  EXPECT_EQ(pos, 6);
  pos = 1;
  EXPECT_EQ(NextFieldIndex(std::string(NotAvailable), pos, "N/A"), 0);
}

TEST(CommaList, TextToReal) {
  const struct {
    const char* text;
    double expected;
  } cases[] = {
      {"", -1}, {"1.5", 1.5}, {"  2", 2}, {"3 ", 3}, {"4.25\r\n", 4.25}, {"5x\r", -1}, {"abc", -1},
      {"-1e2", -100}, {".5", 0.5}, {"inf", -1}, {"nan", -1},
  };
  for (const auto& c : cases) EXPECT_EQ(TextToReal(c.text, -1), c.expected) << c.text;
}

TEST(Marker, NotAvailableHasEightBytes) {
  ASSERT_EQ(NotAvailable.size(), 8u);
  EXPECT_EQ(NotAvailable.substr(0, 3), "N/A");
  EXPECT_EQ(NotAvailable[3], '\0');
  EXPECT_EQ(static_cast<unsigned char>(NotAvailable[7]), 0x06);
  EXPECT_FALSE(IsNotAvailable("N/A"));
}

}  // namespace
