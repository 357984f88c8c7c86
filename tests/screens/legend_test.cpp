#include "screens/legend.h"

#include "screens_fixture.h"

namespace tervo::testing {
namespace {

using screens::LegendItemKeys;

TEST(LegendItemKeysTest, MenuNumbersAndFunctionKeys) {
  const std::pair<const char*, const char*> cases[] = {
      {"1. Orders", "1@E"}, {"12 List", "12@E"},  {"05. Stock", "5@E"},
      {"7", "7@E"},         {"42", "42@E"},       {"1 ", "1@E"},
      {"123 Items", ""},    {"1x", ""},           {"F3=Exit", "@3"},
      {"F3 =OK", "@3"},     {"F12=Cancel", "@c"}, {"F10 =OK", "@a"},
      {"F24=More", "@o"},   {"F25=X", ""},        {"F05=X", ""},
      {"F3", ""},           {"Enter", ""},        {"", ""},
      {"f3=Exit", ""},
  };
  for (auto [item, keys] : cases) EXPECT_EQ(LegendItemKeys(item), keys) << "'" << item << "'";
}

TEST(LegendTest, EntriesShareOneWidth) {
  struct Case {
    std::vector<std::pair<std::string, std::string>> keys;  // label, value
    std::string text;
    int count;
  };
  const Case cases[] = {
      {{{"Exit", ""}, {"Save", "5"}}, "ExitESave5", 5},
      {{{"Exit", "@3"}}, "Exit\x1b", 5},
      {{}, "", 0},
      {{{"", ""}, {"Go", "G"}}, "   GoG", 3},  // an empty label keeps its place
      // Labels more than four characters apart still line up.
      {{{"Exit", ""}, {"Cancel order", "@c"}}, "        ExitECancel order\x1b", 13},
  };
  for (const Case& c : cases) {
    config::ScreenDef def;
    for (std::size_t k = 0; k < c.keys.size(); ++k) {
      def.TeclasFuncao[k] = c.keys[k].first;
      def.TeclasFuncaoVal[k] = c.keys[k].second;
    }
    const screens::FunctionKeyLegend legend = screens::LegendOf(def);
    EXPECT_EQ(legend.text, c.text);
    EXPECT_EQ(legend.count, c.count);
  }
}

class LookupTest : public ScreensTest {
 protected:
  LookupTest() { sessions.CurrentScreen[0] = 1; }
};

TEST_F(LookupTest, InputFieldRule) {
  struct Case {
    int length;
    bool isProtected, underlined, sendUnderline, input;
  };
  const Case cases[] = {
      {5, false, false, false, true}, {0, false, false, true, false}, {5, true, false, true, false},
      {5, true, true, true, true},    {5, true, true, false, false},
  };
  for (const Case& c : cases) {
    Capture(1, 0, "", c.length, c.isProtected);
    Host(1).Underlined[0] = c.underlined;
    options.SetChecked("SendUnderline", c.sendUnderline);
    EXPECT_EQ(screens::InputField(ctx, 0, 0), c.input)
        << c.length << c.isProtected << c.underlined << c.sendUnderline;
  }
}

TEST_F(LookupTest, NextShownFieldFollowsOrder) {
  for (int f = 0; f < 5; ++f) Capture(1, f, "x", 1, true);
  const int orders[] = {0, 3, 1, 2, 4};
  const int shows[] = {1, 1, 0, 1, 1};
  for (int f = 0; f < 5; ++f) {
    Def(1, f).Order = orders[f];
    Def(1, f).Show = shows[f];
  }
  EXPECT_EQ(screens::NextShownField(ctx, 0, 0), 3);  // order 1 is not shown: order 2
  EXPECT_EQ(screens::NextShownField(ctx, 0, 3), 1);
  EXPECT_EQ(screens::NextShownField(ctx, 0, 1), 4);
  EXPECT_EQ(screens::NextShownField(ctx, 0, 4), -1);  // order 5 > LastFieldIndex
}

}  // namespace
}  // namespace tervo::testing
