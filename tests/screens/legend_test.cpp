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
  LookupTest() { sessions[0].CurrentScreen = 1; }
};

// A definition that maps no function key passes F1-F8 to the host, and the
// legend names them as the host screen does; a mapping wins.
TEST(LegendTest, UnmappedKeysPassThroughAndTheHostNamesThem) {
  config::ScreenDef def;
  EXPECT_FALSE(screens::MapsFunctionKeys(def));
  EXPECT_EQ(screens::FunctionKeyAnswer(def, 3), "@3");
  EXPECT_EQ(screens::FunctionKeyAnswer(def, 8), "@8");
  EXPECT_EQ(screens::FunctionKeyAnswer(def, 9), "");
  def.TeclasFuncao[0] = "Help";  // F1 mapped: the definition says it all
  EXPECT_TRUE(screens::MapsFunctionKeys(def));
  EXPECT_EQ(screens::FunctionKeyAnswer(def, 1), "");
  EXPECT_EQ(screens::FunctionKeyAnswer(def, 3), "");
  def.TeclasFuncaoVal[2] = "@c";
  EXPECT_EQ(screens::FunctionKeyAnswer(def, 3), "@c");
  config::ScreenDef blanks;
  blanks.TeclasFuncao[4] = "   ";
  EXPECT_FALSE(screens::MapsFunctionKeys(blanks));

  std::string image(2200, ' ');
  auto row = [&](int r, const std::string& t) { image.replace((r - 1) * 82, t.size(), t); };
  row(22, " F3=Exit   F4=Prompt   F9=Retrieve   F12=Cancel   F13=Information Assistant");
  row(23, " F23=Set initial menu");
  EXPECT_EQ(screens::HostKeyName(image, 3), "Exit");
  EXPECT_EQ(screens::HostKeyName(image, 13), "Information Assistant");
  EXPECT_EQ(screens::HostKeyName(image, 1), "");  // "F13=" is not F1
  EXPECT_EQ(screens::HostKeyName(image, 2), "");  // nor "F23=" F2
  const screens::FunctionKeyLegend legend = screens::HostKeysLegend(image);
  EXPECT_EQ(legend.count, 10);
  const std::string esc = "\x1b";
  EXPECT_EQ(legend.text,
            "       F1" + esc + "       F2" + esc + "  F3=Exit" + esc + "F4=Prompt" + esc);
  EXPECT_EQ(screens::HostKeysLegend(std::string(2200, ' ')).text, "");
}

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
    Host(1)[0].Underlined = c.underlined;
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
