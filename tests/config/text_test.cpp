// The number and text rules that loader, dialogs and editors share.
#include <gtest/gtest.h>

#include <cmath>

#include "config/text.h"

namespace tervo::text {
namespace {

TEST(Text, TrimBlanksRemovesSpacesOnly) {
  EXPECT_EQ(TrimBlanks("  a b  "), "a b");
  EXPECT_EQ(TrimBlanks("\ta\t"), "\ta\t");
  EXPECT_EQ(TrimBlanks("\r\n "), "\r\n");
  EXPECT_EQ(TrimBlanks("   "), "");
  EXPECT_EQ(TrimLeftBlanks("  a "), "a ");
  EXPECT_EQ(TrimRightBlanks("  a "), "  a");
  EXPECT_EQ(PadRight("abc", 5), "abc  ");
  EXPECT_EQ(PadRight("abcdef", 3), "abc");
  EXPECT_EQ(Right("abcdef", 2), "ef");
  EXPECT_EQ(Right("ab", 5), "ab");
}

TEST(Text, LeadingNumberReadsSignDigitsAndOnePoint) {
  struct Case {
    const char* text;
    double value;
  };
  const Case cases[] = {
      {"12abc", 12},  {" -3.5x", -3.5}, {"abc", 0},    {"", 0},       {"+7", 7},    {"1.2.3", 1.2},
      {".5", 0.5},    {"5.", 5},        {"-", 0},      {"- 5", 0},    {"\t5", 0},   {"  42  ", 42},
      {"1,5", 1},     {"0x10", 0},      {"1e3", 1},    {"-.25", -0.25}, {"007", 7},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(LeadingNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(Text, RoundHalfEven) {
  struct Case {
    double in, out;
  };
  const Case cases[] = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {0.5, 0}, {1.5, 2},
                        {2.4999, 2}, {2.5001, 3}, {-0.4, -0.0}, {7, 7}};
  for (const Case& c : cases) EXPECT_EQ(RoundHalfEven(c.in), c.out) << c.in;
}

TEST(Text, OptionNumberCountsEmptyAndNonNumericTextAsZero) {
  struct Case {
    const char* text;
    std::int32_t value;
  };
  const Case cases[] = {{"", 0},      {"abc", 0},   {"24", 24},  {" 20 chars", 20}, {"1.5", 2},
                        {"2.5", 2},   {"-0.5", 0},  {"-1.5", -2}, {"99999999999", 2147483647},
                        {"-99999999999", -2147483647 - 1}};
  for (const Case& c : cases) EXPECT_EQ(OptionNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(Text, ToInt32AcceptsTheWholeTextOnly) {
  struct Case {
    const char* text;
    bool ok;
    std::int32_t value;
  };
  const Case cases[] = {
      {"5", true, 5},          {" 40", true, 40},     {"-80 ", true, -80},    {"2.5", true, 2},
      {"3.5", true, 4},        {"+3", true, 3},       {"2147483647", true, 2147483647},
      {"", false, 0},          {"abc", false, 0},     {"5x", false, 0},       {"2147483648", false, 0},
      {"1 2", false, 0},       {"\t5", false, 0},     {".", false, 0},
  };
  for (const Case& c : cases) {
    std::int32_t v = -999;
    std::string err;
    EXPECT_EQ(ToInt32(c.text, &v, &err), c.ok) << '"' << c.text << '"';
    if (c.ok) {
      EXPECT_EQ(v, c.value) << '"' << c.text << '"';
    } else {
      EXPECT_EQ(v, -999) << "unchanged on failure";
      EXPECT_FALSE(err.empty());
    }
  }
  std::string err;
  std::int32_t v = 0;
  ToInt32("12x", &v, &err);
  EXPECT_EQ(err, "not a number: \"12x\"");
  ToInt32("1e99", &v, &err);
  EXPECT_EQ(err, "not a number: \"1e99\"");
  ToInt32(std::string(400, '9'), &v, &err);
  EXPECT_EQ(err, "number out of range: \"" + std::string(400, '9') + "\"");
}

TEST(Text, ToBoolReadsTheWordsOrANumber) {
  struct Case {
    const char* text;
    bool ok;
    bool value;
  };
  const Case cases[] = {{"True", true, true},  {"false", true, false}, {" TRUE ", true, true},
                        {"-1", true, true},    {"0", true, false},     {"2", true, true},
                        {"0.0", true, false},  {"yes", false, false},  {"", false, false}};
  for (const Case& c : cases) {
    bool v = false;
    std::string err;
    EXPECT_EQ(ToBool(c.text, &v, &err), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    } else {
      EXPECT_EQ(err, std::string("not a Boolean: \"") + c.text + "\"");
    }
  }
}

}  // namespace
}  // namespace tervo::text
