// Lint: a small configuration that is clean, each mistake made in it once,
// and what lint says about it; the demo configuration is clean.
#include "config/config_lint.h"

#include <gtest/gtest.h>

#include <functional>

#include "config/config_reader.h"
#include "config/join_formula.h"
#include "config/key_text.h"
#include "sample_config.h"

namespace tervo::config {
namespace {

struct Config {
  ScreenStore store;
  GeneralOptions options;
};

void SetField(ScreenStore& store, int s, int j, int row, int column, int length,
              const std::string& text) {
  ScreenOriginal& o = store.Originals[s];
  o[j].Text = text;
  o[j].StartRow = o[j].EndRow = row;
  o[j].StartColumn = column;
  o[j].EndColumn = column + length - 1;
  o[j].Size = o[j].Length = length;
  o[j].Protected = text != "";
  store.Indice[s][row * 80 + column] = j;
}

// Screen 1: a title, a label, an input field and a hidden host field, shown
// in that order.  Screen 2: a master keyed on its title.  Screens 3 and 4:
// the same host screen for terminals T1 and T2.
Config Clean() {
  Config c;
  ScreenStore& st = c.store;
  c.options.SetText("DisplayLen", "20");
  st.NumeroMaximoDeEcrans = 4;
  st.GrowScreenTables();
  st.TerminalIDDef[0] = "T1";
  st.TerminalIDDef[1] = "T2";
  for (int s = 1; s <= 4; ++s) {
    ScreenDef& d = st.Screens[s];
    d.ScreenId = s == 2 ? 0 : s == 1 ? 1001 : 1003;
    d.Master = s == 2 ? kScreenMaster : kScreenDefined;
    d.EscKey = "@3";
    d.TeclasFuncao[0] = "F3=Exit";
    d.TeclasFuncaoVal[0] = "@3";
    st.Originals[s].Count = 4;
    SetField(st, s, 0, 1, 30, 20, "Item Inquiry");
    SetField(st, s, 1, 5, 2, 10, "Item");
    SetField(st, s, 2, 5, 20, 6, "");
    SetField(st, s, 3, 24, 2, 30, "F3=Exit");
    for (int j = 0; j < 4; ++j) {
      FieldDef& f = d.Screen[j];
      f.Order = j;
      f.Show = j < 3;
      f.Size = j == 2 ? 6 : j == 1 ? 10 : 20;
      f.NewLine = 1;
    }
    d.Screen[0].Title = 1;
    d.Screen[2].InputField = 1;
  }
  st.Screens[2].Screen[0].Flag = kFlagMasterKey;
  st.Screens[3].CheckScreenIdTerm = st.Screens[4].CheckScreenIdTerm = 1;
  st.Screens[3].ScreenIdTerminal = "T1";
  st.Screens[4].ScreenIdTerminal = "T2 ";  // compared trimmed
  return c;
}

TEST(ConfigLint, TheSmallConfigurationAndTheDemoAreClean) {
  const Config c = Clean();
  for (const LintFinding& f : LintConfiguration(c.store, c.options))
    ADD_FAILURE() << FormatFinding(f);

  Config demo;
  testing::RecordingPrompt prompt;
  ASSERT_TRUE(LoadData(TERVO_TEST_DATA "/../../demo/warehouse", demo.store, demo.options, prompt));
  ASSERT_TRUE(prompt.lines.empty());
  for (const LintFinding& f : LintConfiguration(demo.store, demo.options))
    ADD_FAILURE() << FormatFinding(f);
}

struct Mistake {
  const char* what;
  std::function<void(Config&)> make;
  const char* rule;  // nullptr: not a mistake, nothing is reported
  int screen;
  int field;
  std::string reason;  // found in the finding's reason
};

const Mistake kMistakes[] = {
    // Definitions that identify alike.
    {"a copy of a definition", [](Config& c) { c.store.Screens[4] = c.store.Screens[1]; },
     kRuleSameIdentification, 4, -1,
     "identifies like screen 1 (ScreenId 1001) for every terminal and user it fits, and screen 1 "
     "is chosen"},
    {"a terminal check and a user check that meet",
     [](Config& c) {
       ScreenDef& d = c.store.Screens[4];
       d.CheckScreenIdTerm = 0;
       d.CheckScreenIdUser = 1;
       d.ScreenIdUser = "JOE";
     },
     kRuleSameIdentification, 4, -1,
     "for terminal \"T1\" and user \"JOE\"; screen 3 is chosen there"},
    {"a user check that wins over no check",
     [](Config& c) {
       c.store.Screens[3].CheckScreenIdTerm = 0;
       c.store.Screens[4].CheckScreenIdTerm = 0;
       c.store.Screens[4].CheckScreenIdUser = 1;
       c.store.Screens[4].ScreenIdUser = "JOE";
     },
     nullptr, 0, 0, ""},
    // Masters.
    {"a master without key fields", [](Config& c) { c.store.Screens[2].Screen[0].Flag = 0; },
     kRuleMasterWithoutKeys, 2, -1, "master screen without key fields: it matches no new screen"},
    {"a master whose key field is not indexed",
     [](Config& c) { c.store.Indice[2][1 * 80 + 30] = -1; }, kRuleMasterWithoutKeys, 2, -1,
     "key fields (0) are not in its position index"},
    // Widths.
    {"an input field wider than the display",
     [](Config& c) { c.store.Screens[1].Screen[2].Size = 25; }, kRuleTooWide, 1, 2,
     "input field of Size 25 is wider than the display (DisplayLen 20)"},
    {"a text wider than the display", [](Config& c) { c.store.Screens[1].Screen[1].Size = 30; },
     kRuleTooWide, 1, 1, "Size 30 is wider than the display"},
    {"a scrolling text may be wider",
     [](Config& c) {
       c.store.Screens[1].Screen[1].Size = 30;
       c.store.Screens[1].Screen[1].flag2 = kFlag2Scroll;
     },
     nullptr, 0, 0, ""},
    {"a wide field the terminal never shows",
     [](Config& c) { c.store.Screens[1].Screen[3].Size = 30; }, nullptr, 0, 0, ""},
    {"a master's indexed field wider than the display",
     [](Config& c) { c.store.Screens[2].Screen[1].Size = 40; }, kRuleTooWide, 2, 1, "Size 40"},
    {"no display width", [](Config& c) { c.options.SetText("DisplayLen", ""); }, kRuleTooWide, -1,
     -1, "DisplayLen \"\" is no display width"},
    // Hidden input.
    {"an input field not shown", [](Config& c) { c.store.Screens[1].Screen[2].Show = 0; },
     kRuleHiddenInput, 1, 2, "input field with Show 0: the terminal never asks for it"},
    {"an input field after a gap in the order",
     [](Config& c) { c.store.Screens[1].Screen[2].Order = 5; }, kRuleHiddenInput, 1, 2,
     "Order 5 after a gap: no field has Order 2"},
    {"an input field whose order another field takes",
     [](Config& c) { c.store.Screens[1].Screen[2].Order = 1; }, kRuleHiddenInput, 1, 2,
     "Order 1, which field 1 takes first"},
    {"an input field without an order", [](Config& c) { c.store.Screens[1].Screen[2].Order = -1; },
     kRuleHiddenInput, 1, 2, "Order -1"},
    {"an input field on a screen the terminal never sees",
     [](Config& c) {
       c.store.Screens[1].DontSendToTerminal = 1;
       c.store.Screens[1].Screen[2].Show = 0;
     },
     nullptr, 0, 0, ""},
    {"a master's input field not shown", [](Config& c) { c.store.Screens[2].Screen[2].Show = 0; },
     kRuleHiddenInput, 2, 2, "Show 0"},
    {"a master's field that no screen takes over",
     [](Config& c) {
       c.store.Screens[2].Screen[2].Show = 0;
       c.store.Indice[2][5 * 80 + 20] = -1;
     },
     nullptr, 0, 0, ""},
    // Keys.
    {"an exit key with an unknown mnemonic", [](Config& c) { c.store.Screens[1].EscKey = "@X3"; },
     kRuleUnsendableKeys, 1, -1, "EscKey \"@X3\": \"@X\" is not a key"},
    {"a function key value ending in @",
     [](Config& c) { c.store.Screens[1].TeclasFuncaoVal[1] = "abc@"; }, kRuleUnsendableKeys, 1, -1,
     "TeclasFuncaoVal2 \"abc@\": a lone \"@\""},
    {"a logoff exit key followed by keys after Enter",
     [](Config& c) {
       c.store.Screens[1].EscKey = "@logoff";
       c.store.Screens[1].KeysAfterEnter = "@E";
     },
     kRuleUnsendableKeys, 1, -1,
     "EscKey \"@logoff\" is followed by KeysAfterEnter, so its logoff word is sent as keys"},
    {"a logoff word before other keys",
     [](Config& c) { c.store.Screens[1].KeysAfterEnter = "@LOGOFF,@E"; }, kRuleUnsendableKeys, 1,
     -1, "\"@LOGOFF\" ends the session only as the last key"},
    {"keys the host takes",
     [](Config& c) {
       c.store.Screens[1].EscKey = " @LOGOFF ";
       c.store.Screens[1].TeclasFuncaoVal[1] = "1@E,,@3,a@@b@T@B@F@R@u@v@c@o@C@H@P";
       c.store.Screens[2].EscKey = "@DISCONNECT";
     },
     nullptr, 0, 0, ""},
    // Join formulas.
    {"a join formula reading a field the screen lacks",
     [](Config& c) { c.store.Screens[1].Screen[1].JoinField = "@EQU(12)@E"; },
     kRuleJoinMissingField, 1, 1,
     "JoinField \"@EQU(12)@E\": @EQU reads field 12, which does not exist (the screen has 4 "
     "fields)"},
    {"a join token without its parenthesis",
     [](Config& c) { c.store.Screens[1].Screen[1].JoinField = "@ADD(3"; }, kRuleJoinMissingField, 1,
     1, "@ADD( has no \")\""},
    {"a join token out of order",
     [](Config& c) { c.store.Screens[1].Screen[1].JoinField = "@EQU(2)@ADD(3)"; },
     kRuleJoinMissingField, 1, 1, "@ADD is not read as a token there"},
    {"a join formula with an unknown key",
     [](Config& c) { c.store.Screens[1].Screen[3].JoinField = "@EQU(2)@Q"; }, kRuleUnsendableKeys,
     1, 3, "JoinField \"@EQU(2)@Q\": \"@Q\" is not a key"},
    {"a join formula that reads existing fields",
     [](Config& c) { c.store.Screens[1].Screen[1].JoinField = "@E@ADD(0)@EQU(3)@E"; }, nullptr, 0,
     0, ""},
    // Divided fields.
    {"a divided entry for a field the screen lacks",
     [](Config& c) {
       c.store.DivideFieldsCt = 1;
       c.store.DivideFields[0] = {1, 9, 170, 5, -1, 0};
     },
     kRuleDivisionMissingField, 1, 9,
     "divided-field entry for field 9, which does not exist (the screen has 4 fields)"},
    {"a divided entry for a screen that does not exist",
     [](Config& c) {
       c.store.DivideFieldsCt = 1;
       c.store.DivideFields[0] = {7, 0, 170, 5, -1, 0};
     },
     kRuleDivisionMissingField, -1, -1,
     "screen 7 field 0: the screen does not exist (screens 0..4)"},
    {"a divided entry for a field that is not divided",
     [](Config& c) {
       c.store.DivideFieldsCt = 1;
       c.store.DivideFields[0] = {1, 1, 331, 5, -1, 0};
     },
     kRuleDivisionMissingField, 1, 1, "not divided: the part is never shown"},
    {"a divided field without parts",
     [](Config& c) { c.store.Screens[1].Screen[1].Divided = true; }, kRuleDivisionMissingField, 1,
     1, "divided field without parts"},
    {"a divided part wider than the display",
     [](Config& c) {
       c.store.Screens[1].Screen[1].Divided = true;
       c.store.DivideFieldsCt = 2;
       c.store.DivideFields[0] = {-1, 1, 331, 30, -1, 0};  // removed
       c.store.DivideFields[1] = {1, 1, 331, 30, -1, 0};
     },
     kRuleTooWide, 1, 1, "part of Size 30 is wider than the display"},
    // Repeat rules.
    {"a repeat rule whose first step does not count down",
     [](Config& c) { c.store.AdvScreens[1] = {true, "", "@E", 0, 2, 0, 5, "@u", "@v", 0, 1, 2}; },
     kRuleEndlessRepeat, 1, -1,
     "never ends: the count 5 stays above IfCounter 2 with SubCounter1 0"},
    {"a repeat rule whose second step does not count down",
     [](Config& c) { c.store.AdvScreens[1] = {true, "", "@E", 0, 2, 0, 5, "@u", "@v", 1, -1, 9}; },
     kRuleEndlessRepeat, 1, -1, "never ends: the count 5 stays above 0 with SubCounter2 -1"},
    {"a repeat rule longer than the gateway builds",
     [](Config& c) {
       c.store.AdvScreens[1] = {true, "", "", 0, 2, 0, 100000, "@u", "@v", 1, 1, 0};
     },
     kRuleEndlessRepeat, 1, -1, "needs more than 500 steps of Keys1"},
    {"a repeat rule on the user id that does not count down",
     [](Config& c) { c.store.AdvScreens[1] = {true, "", "", 0, 1, 0, 0, "@u", "@v", 0, 1, 3}; },
     kRuleEndlessRepeat, 1, -1, "never ends for a count above IfCounter 3: SubCounter1 is 0"},
    {"a repeat rule that ends",
     [](Config& c) { c.store.AdvScreens[1] = {true, "", "@E", 0, 2, 0, 23, "@u", "@v", 10, 1, 9}; },
     nullptr, 0, 0, ""},
    {"an endless repeat rule not in use",
     [](Config& c) { c.store.AdvScreens[1] = {false, "", "@E", 0, 2, 0, 5, "@u", "@v", 0, 0, 2}; },
     nullptr, 0, 0, ""},
    {"a repeat rule with a bad key",
     [](Config& c) { c.store.AdvScreens[1] = {true, "", "@Z", 0, 3, 0, 0, "", "", 0, 0, 0}; },
     kRuleUnsendableKeys, 1, -1, "AdvScreens.TKeys \"@Z\": \"@Z\" is not a key"},
    // Screens no host screen is identified as are not looked at.
    {"mistakes on a free screen",
     [](Config& c) {
       c.store.Screens[3].ScreenId = 0;
       c.store.Screens[3].EscKey = "@X";
       c.store.Screens[3].Screen[2].Show = 0;
     },
     nullptr, 0, 0, ""},
};

TEST(ConfigLint, EachMistakeIsReportedOnceWithItsPlace) {
  for (const Mistake& m : kMistakes) {
    SCOPED_TRACE(m.what);
    Config c = Clean();
    m.make(c);
    const std::vector<LintFinding> found = LintConfiguration(c.store, c.options);
    if (!m.rule) {
      for (const LintFinding& f : found) ADD_FAILURE() << FormatFinding(f);
      continue;
    }
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].rule, m.rule);
    EXPECT_EQ(found[0].screen, m.screen);
    EXPECT_EQ(found[0].field, m.field);
    EXPECT_NE(found[0].reason.find(m.reason), std::string::npos) << found[0].reason;
  }
}

TEST(ConfigLint, AFindingReadsAsOneLineWithItsPlaceAndRule) {
  Config c = Clean();
  c.store.Screens[1].Screen[2].Size = 25;
  c.store.DivideFieldsCt = 1;
  c.store.DivideFields[0] = {1, 9, 170, 5, -1, 0};
  const std::vector<LintFinding> found = LintConfiguration(c.store, c.options);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(FormatFinding(found[0]),
            "screen 1 field 2: input field of Size 25 is wider than the display (DisplayLen 20) "
            "[too-wide]");
  EXPECT_EQ(FormatFinding(found[1]),
            "screen 1 field 9 division 0: divided-field entry for field 9, which does not exist "
            "(the screen has 4 "
            "fields) [division-missing-field]");
  LintFinding bad;
  bad.rule = kRuleBadLine;
  bad.line = 12;
  bad.reason = "missing ] after the block index";
  EXPECT_EQ(FormatFinding(bad), "line 12: missing ] after the block index [bad-line]");
}

// The formula scan follows the gateway's reading, quirks included.
TEST(ConfigLint, JoinFormulasReadAsTheGatewayReadsThem) {
  struct Case {
    std::string formula;
    std::vector<std::pair<std::string, int>> tokens;
    std::vector<std::string> keys;
  };
  const Case cases[] = {
      {"@EQU(3)@E", {{"@EQU", 3}}, {"@E"}},
      {"@EQU(2)@ADD(4)", {{"@EQU", 2}}, {"@ADD(4)"}},  // after @EQU only the order ADX, ADD, EQU
      {"@ADX(1)@ADD(2)@EQU(3)x", {{"@ADX", 1}, {"@ADD", 2}, {"@EQU", 3}}, {"x"}},
      {"1@E@ADD( 7.5)", {{"@ADD", 8}}, {"1@E"}},  // leading number, halves to even
      {"@E@EQU(9", {{"@EQU", 9}}, {"@E"}},        // no ")": the rest is the number
      {"ab@EQU", {}, {"ab@EQU"}},                 // too short to be a token
  };
  for (const Case& c : cases) {
    const JoinScan scan = ScanJoinFormula(c.formula);
    std::vector<std::pair<std::string, int>> tokens;
    for (const JoinToken& t : scan.tokens) tokens.emplace_back(t.name, t.field);
    EXPECT_EQ(tokens, c.tokens) << c.formula;
    EXPECT_EQ(scan.keys, c.keys) << c.formula;
  }
  EXPECT_FALSE(ScanJoinFormula("@E@EQU(9").tokens[0].closed);
}

}  // namespace
}  // namespace tervo::config
