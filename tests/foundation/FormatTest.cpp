#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "foundation/Directive.h"
#include "foundation/TimeBase.h"

using namespace kvq;

namespace {

struct FormatCase {
  const char* name;
  std::string format;
  std::vector<FormatArg> args;
  std::string expected;
};

class FormatTable : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatTable, Produces) {
  const FormatCase& c = GetParam();
  EXPECT_EQ(FormatList(c.format, c.args), c.expected) << c.name;
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Directives, FormatTable,
    ::testing::Values(
        FormatCase{"comma list upper", "%P%W", {"STAGE", 15}, "STAGE,15"},
        FormatCase{"comma list lower with literal", "%p,%w", {"STAGE", 15}, "STAGE,15"},
        FormatCase{"no comma at start", "%P", {"A"}, "A"},
        FormatCase{"file name digits", "%04w%02w%02w%02w%02w", {2009, 3, 7, 14, 5}, "200903071405"},
        FormatCase{"precision from argument", "%1.*r", {2, 3.14159}, "3.14"},
        FormatCase{"precision above 9 strips zeros", "%1.*r", {12, 2.5}, "2.5"},
        FormatCase{"strip keeps one zero", "%1.12r", {3.0}, "3.0"},
        FormatCase{"not-a-number writes nothing", "%1.*r", {2, kNaN}, ""},
        FormatCase{"infinity", "%1.2r|%6.1x", {kInf, -kInf}, "INF|  -INF"},
        FormatCase{"default precision 6", "%r", {1.5}, "1.500000"},
        FormatCase{"width right-aligns real", "%8.2r", {-3.14159}, "   -3.14"},
        FormatCase{"no negative zero", "%1.2r", {-0.001}, "0.00"},
        FormatCase{"rounds to nearest", "%1.1r", {0.26}, "0.3"},
        FormatCase{"zero fill lower moves sign", "%05l", {-5}, "-0005"},
        FormatCase{"zero fill upper keeps sign after comma", "X%05L", {-5}, "X,000-5"},
        FormatCase{"zero fill plain", "%03w", {7}, "007"},
        FormatCase{"integer never cut", "%2i", {12345}, "12345"},
        FormatCase{"width from argument", "%*i", {5, 42}, "   42"},
        FormatCase{"string padded", "%6p|", {"ab"}, "ab    |"},
        FormatCase{"string never cut", "%2s", {"abcdef"}, "abcdef"},
        FormatCase{"F exact width", "%3f", {"abcdef"}, "abc"},
        FormatCase{"F pads short string", "%5f|", {"ab"}, "ab   |"},
        FormatCase{"F width 0", "%f", {"abc"}, ""},
        FormatCase{"boolean", "%b %B", {true, false}, "Yes ,No"},
        FormatCase{"character", "%c%c", {'x', 'y'}, "xy"},
        FormatCase{"percent", "100%%", {}, "100%"},
        FormatCase{"CR LF", "a%nb", {}, "a\r\nb"},
        FormatCase{"no-break space", "a% b", {}, "a\xA0" "b"},
        FormatCase{"unknown letter upper writes comma only", "x%Z%p", {"y"}, "x,y"},
        FormatCase{"unknown letter takes no argument", "%k%p", {"y"}, "y"},
        FormatCase{"thousandths", "%1.3m|%1.1m|%1.12m", {1234, 1250, 1500}, "1.234|1.3|1.5"},
        FormatCase{"thousandths negative", "%1.2m", {-1235}, "-1.24"},
        FormatCase{"time seconds", "%t", {-3600}, "-01:00:00"},
        FormatCase{"time hours not reduced", "%t", {90000}, "25:00:00"},
        FormatCase{"time 36 hours", "%t", {129600}, "36:00:00"},
        FormatCase{"date", "%d", {8832}, "03/07/2009"},
        FormatCase{"date uses low 16 bits", "%d", {8832 + 65536}, "03/07/2009"},
        FormatCase{"date and time", "%j", {EncodeTimeTag(2009, 3, 7, 14, 5, 0)}, "03/07/2009 14:05:00"},
        FormatCase{"upper date list", "%D%J", {1, 86400}, "01/01/1985,01/01/1985 00:00:00"},
        FormatCase{"quote plain", "%\"", {"abc"}, "abc"},
        FormatCase{"quote comma", "%\"", {"a,b"}, "\"a,b\""},
        FormatCase{"quote comma and double quote", "%\"", {"a,\"b"}, "'a,\"b'"},
        FormatCase{"quote leading double quote", "%\"", {"\"ab"}, "'\"ab'"},
        FormatCase{"quote leading apostrophe", "%\"", {"'ab"}, "\"'ab\""},
        FormatCase{"quote empty", "[%\"]", {""}, "[]"},
        FormatCase{"dot then letter keeps precision 6", "%.r", {1.0}, "1.000000"},
        FormatCase{"format ends inside directive", "ab%05", {1}, "ab"}),
    [](const ::testing::TestParamInfo<FormatCase>& info) {
      std::string n = info.param.name;
      for (char& ch : n)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return n;
    });

// Arguments of the wrong kind are read as raw values or as "no value"; a
// format that asks for more arguments than given reads the missing ones empty.
TEST(Format, WrongKindsAndMissingArguments) {
  const struct {
    std::string format;
    std::vector<FormatArg> args;
    std::string expected;
  } cases[] = {
      {"%p|%w", {}, "|0"},
      {"%p", {42}, ""},
      {"%w", {"12"}, "0"},
      {"%w", {true}, "1"},
      {"%w", {'A'}, "65"},
      {"%w", {7.9}, "7"},
      {"%w", {1e12}, "2147483647"},
      {"%1.1r", {3}, "3.0"},
      {"%1.1r", {"x"}, ""},
      {"%b", {2}, "Yes"},
      {"%p", {'c'}, "c"},
      {"%c", {"xyz"}, "x"},
      {"%*w", {"bad", 5}, "5"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatList(c.format, c.args), c.expected) << c.format;
}

TEST(Format, AppendAddsToExistingOutput) {
  std::string out = "POINT";
  FormatAppend(out, "%P%J", "RIVER1.STAGE", EncodeTimeTag(2009, 3, 7, 0, 30, 0));
  EXPECT_EQ(out, "POINT,RIVER1.STAGE,03/07/2009 00:30:00");
}

TEST(Format, RegionalSeparatorsShapeDateAndTime) {
  SetRegionalSeparators(".", "-");
  const std::string f = FormatStr("%j|%t", EncodeTimeTag(2009, 3, 7, 14, 5, 9), 3661);
  TimeTag back = 0;
  const bool ok = ScanStr("03.07.2009 14-05-09", "%j", back);
  SetRegionalSeparators("/", ":");
  EXPECT_EQ(f, "03.07.2009 14-05-09|01-01-01");
  EXPECT_TRUE(ok);
  EXPECT_EQ(back, EncodeTimeTag(2009, 3, 7, 14, 5, 9));
}

TEST(Format, SeparatorHoldingPercentIsLiteral) {
  SetRegionalSeparators("%", ":");
  const std::string f = FormatStr("%d", 8832);
  SetRegionalSeparators("/", ":");
  EXPECT_EQ(f, "03%07%2009");
}

TEST(Format, HugeWidthIsCapped) {
  EXPECT_EQ(FormatStr("%99999999999w", 1).size(), 65535u);
}

}  // namespace
