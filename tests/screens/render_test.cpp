#include "screens/render.h"

#include "screens/legend.h"
#include "screens_fixture.h"

namespace tervo::testing {
namespace {

using Calls = std::vector<std::string>;

class RenderTest : public ScreensTest {
 protected:
  RenderTest() { sessions[0].CurrentScreen = 1; }

  // A display line field: shown, in order `order`, plain text.
  config::FieldDef& Line(int f, int order, const std::string& text, int newLine = 1) {
    Capture(1, f, text, static_cast<int>(text.size()), true, f + 1);
    config::FieldDef& d = Def(1, f);
    d.Show = 1;
    d.Order = order;
    d.Size = 20;
    d.NewLine = newLine;
    Text(1, f) = text;
    return d;
  }
  // An input field of `size`, showing `text`.
  config::FieldDef& Input(int f, int order, const std::string& text, int size, int newLine = 1) {
    Capture(1, f, text, size, false, f + 1);
    config::FieldDef& d = Def(1, f);
    d.Show = 1;
    d.Order = order;
    d.Size = size;
    d.InputField = 1;
    d.NewLine = newLine;
    Text(1, f) = text;
    return d;
  }
  const screens::ItemMap& Render() {
    items = screens::RenderTerminalScreen(ctx, "AS400123", "T1");
    return items;
  }
  screens::ItemMap items;
  // What the fields produced: the calls after the legend, up to the
  // trailer's "Enter" prompt.
  Calls Body() {
    const int from = radio.Find("T_SetLargeFunctionKeys") + 1;
    const int to = radio.Find("T_Say('Enter')");
    return Calls(radio.calls.begin() + from, radio.calls.begin() + to);
  }
  screens::TerminalScreenRecord& Terminal() { return sessions[0].TerminalScreen; }
};

TEST_F(RenderTest, WholeScreenOfOneLine) {
  Line(0, 0, "Hello");
  Render();
  EXPECT_EQ(radio.calls, (Calls{"T_Cls()",
                                "T_SetLargeFunctionKeys('',1)",
                                "T_PrintString('Hello')",
                                "T_NewLine()",
                                "T_NewLine()",
                                "T_Say('Enter')",
                                "T_GetCheckEnter()",
                                "T_NewLine()",
                                "T_Say('PgDown')",
                                "T_GetCheckEnter()",
                                "T_NewLine()",
                                "T_Say('PgUp')",
                                "T_GetCheckEnter()",
                                "T_NewLine()",
                                "T_Say('F ')",
                                "T_GetText('',2,-16)",
                                "T_NewLine()",
                                "T_Read()",
                                "T_SendScreenToPc('AS400123',2088)",
                                "T_WaitAnyScreenFromPc()"}));
  EXPECT_EQ(items.enterItem, 2);
  EXPECT_EQ(items.pgDownItem, 4);
  EXPECT_EQ(items.pgUpItem, 6);
  EXPECT_TRUE(sessions[0].SendFlag);
  EXPECT_EQ(counters.DailyScreens[7][0], 1);  // 7 March
}

TEST_F(RenderTest, TrailerItemNumbersFollowTheFields) {
  Input(0, 0, "", 3);  // item 1
  Input(1, 1, "", 3);  // empty prompt (2) and item 3
  Render();
  EXPECT_EQ(items.enterItem, 5);  // Say 4, GetCheckEnter 5
  EXPECT_EQ(items.pgDownItem, 7);
  EXPECT_EQ(items.pgUpItem, 9);
  EXPECT_EQ(items.fieldEndingAt[1], 0);
  EXPECT_EQ(items.fieldEndingAt[3], 1);
  ASSERT_EQ(items.inputs.size(), 3u);
  EXPECT_EQ(items.inputs[1].field, 1);
  EXPECT_EQ(items.inputs[1].width, 3u);
  EXPECT_EQ(items.inputs[2].field, screens::kFunctionNumberInput);
}

TEST_F(RenderTest, OrderSequenceEndsAtAGap) {
  Line(0, 0, "zero");
  Line(1, 1, "one");
  Line(2, 3, "three");
  Line(3, 1, "second one");  // same order: only the first scanned
  Line(4, -1, "never");
  Line(5, 2, "hidden").Show = 0;  // uses up order 2 without output
  Line(6, 5, "five");             // after the gap at 4: never
  Render();
  EXPECT_EQ(Body(), (Calls{"T_PrintString('zero')", "T_NewLine()", "T_PrintString('one')",
                           "T_NewLine()", "T_PrintString('three')", "T_NewLine()", "T_NewLine()"}));
}

TEST_F(RenderTest, InputShowsItsTextKeptBlankPadded) {
  Input(0, 0, "AB", 5);
  Render();
  EXPECT_EQ(Body(), (Calls{"T_GetText('AB',5,0)", "T_NewLine()", "T_NewLine()"}));
  EXPECT_EQ(Terminal().ShownText[0], "AB   ");  // kept after the fresh build
}

TEST_F(RenderTest, ConsecutiveInputsArePairedByAnEmptyPrompt) {
  Input(0, 0, "", 2, 0);
  Input(1, 1, "", 2, 0);
  Render();
  EXPECT_EQ(Body(), (Calls{"T_GetText('',2,0)", "T_Say('')", "T_GetText('',2,0)", "T_NewLine()"}));
}

TEST_F(RenderTest, PromptBeforeANewLineIsClosedByAnEnterItem) {
  config::FieldDef& menu = Line(0, 0, "1. Orders");
  menu.SendWithEnter = 1;  // a menu line: selectable prompt
  menu.Size = 11;
  Render();
  EXPECT_EQ(Body(),
            (Calls{"T_Say('1. Orders  ')", "T_GetCheckEnter()", "T_NewLine()", "T_NewLine()"}));
  EXPECT_EQ(items.fieldEndingAt[1], 0);
  EXPECT_EQ(items.FieldOfChosen(2), 0) << "the Enter item closing the prompt";
}

TEST_F(RenderTest, InputAttributes) {
  struct Case {
    int hostProtected, hidden, defProtected, userId, flag, barcode, sendWithEnter, autoEnter;
    int attr;
  };
  // clang-format off
  const Case cases[] = {
      {0, 0, 0, 0, 0, 0, 0, 0, 0},
      {0, 0, 1, 0, 0, 0, 0, 0, -1},
      {1, 0, 0, 0, 0, 0, 0, 0, -1},
      {1, 0, 1, 1, 0, 0, 0, 0, 0},  // "Get User Id": always offered unprotected
      {0, 1, 0, 0, 0, 0, 0, 0, -4},
      {0, 0, 0, 0, config::kFlagAutoExit, 0, 0, 0, -2},
      {0, 0, 0, 0, 0, 1, 0, 0, -64},
      {0, 0, 0, 0, 0, 0, 1, 0, -16},
      {0, 0, 0, 0, 0, 0, 0, 1, -2},
      {0, 0, 0, 0, config::kFlagAutoExit, 0, 0, 1, -2},  // one flag 2, never 4 (hidden)
      {1, 1, 0, 0, config::kFlagAutoExit, 1, 1, 1, -87},
  };
  // clang-format on
  for (const Case& c : cases) {
    radio.calls.clear();
    Def(1, 0) = config::FieldDef{};
    config::FieldDef& d = Input(0, 0, "", 1);
    Host(1)[0].Protected = c.hostProtected != 0;
    Host(1)[0].Hidden = c.hidden != 0;
    d.Protected = c.defProtected;
    d.UserId = c.userId;
    d.Flag = c.flag;
    d.Barcode = c.barcode;
    d.SendWithEnter = c.sendWithEnter;
    d.AutoEnter = c.autoEnter;
    Render();
    EXPECT_EQ(Body().front(), "T_GetText('',1," + std::to_string(c.attr) + ")");
  }
}

TEST_F(RenderTest, PrefixBeforeAnInput) {
  config::FieldDef& d = Input(0, 0, "7", 2);
  d.AuxText = "  Qty ";
  d.SizeTextAux = 5;
  Render();
  EXPECT_EQ(Body(), (Calls{"T_Say('Qty  ')", "T_GetText('7',2,0)", "T_NewLine()", "T_NewLine()"}));

  // Cursor on the prefix: the prefix prints and a no-say item takes the size.
  radio.calls.clear();
  d.Flag = config::kFlagCursorText;
  Render();
  EXPECT_EQ(Body(), (Calls{"T_PrintString('Qty  ')", "T_NoSay(2)", "T_GetText('7',2,0)",
                           "T_NewLine()", "T_NewLine()"}));

  // A prefix longer than its room is cut to it.
  radio.calls.clear();
  d.Flag = 0;
  d.AuxText = "Quantity";
  d.SizeTextAux = 3;
  Render();
  EXPECT_EQ(Body().front(), "T_Say('Qua')");
  EXPECT_EQ(screens::FieldPrefix(d), "Qua");
}

TEST_F(RenderTest, CursorStartsOnTheMarkedFieldOrUnderTheHostCursor) {
  Input(0, 0, "", 1, 0);
  Input(1, 1, "", 1, 0);
  Input(2, 2, "", 1, 0);
  // No field marked: the live field under the host cursor (field 1, row 2).
  Display().AddField(1, 1, "", 1, false);
  Display().AddField(2, 1, "", 1, false);
  Display().AddField(3, 1, "", 1, false);
  Display().cursorRow = 2;
  Display().cursorColumn = 1;
  Render();
  EXPECT_EQ(Body(), (Calls{"T_GetText('',1,0)", "T_Say('')", "T_GetText('',1,0)",
                           "T_ChangeScreenAttributtes(2081,2,0)", "T_Say('')", "T_GetText('',1,0)",
                           "T_NewLine()"}));

  // Marked fields win over the host cursor; the last marked one counts.
  radio.calls.clear();
  Def(1, 0).Flag = config::kFlagCursorStart;
  Def(1, 2).Flag = config::kFlagCursorStart;
  Render();
  EXPECT_EQ(radio.Find("T_ChangeScreenAttributtes(2081,4,0)"), radio.Find("T_GetText") + 5);
  EXPECT_EQ(radio.Find("T_ChangeScreenAttributtes(2081,2"), -1);
}

TEST_F(RenderTest, DisplayLineKinds) {
  struct Case {
    int title, flag, flag2, sendWithEnter;
    const char* prefix;
    Calls body;
  };
  const int large = config::kFlagNoCursorLarge;
  const int normal = config::kFlagNoCursorNormal;
  // clang-format off
  const Case cases[] = {
      {1, 0, 0, 1, "", {"T_PrintInverse('Head')", "T_NewLine()", "T_NewLine()"}},
      {1, 0, 0, 0, "", {"T_PrintInverse('Head')", "T_PrintString('Head')", "T_NewLine()",
                        "T_NewLine()"}},  // every rule that applies shows the line
      {0, large, 0, 1, "", {"T_PrintLarge('Head')", "T_NewLine()", "T_NewLine()"}},
      {0, normal, 0, 1, "", {"T_PrintString('Head')", "T_NewLine()", "T_NewLine()"}},
      {0, 0, 4, 1, "", {"T_Scroll('aux',' Head ')", "T_GetCheckEnter()", "T_NewLine()",
                        "T_NewLine()"}},
      {0, 0, 0, 0, "P:", {"T_PrintString('P:Head')", "T_NewLine()", "T_NewLine()"}},
      // A title printed directly sends the pending prefix first, in its place.
      {1, 0, 0, 1, "P:", {"T_PrintString('P:')", "T_PrintInverse('Head')", "T_NewLine()",
                          "T_NewLine()"}},
      // ... and a plain text after the title no longer replaces it unsent.
      {1, 0, 0, 0, "P:", {"T_PrintString('P:')", "T_PrintInverse('Head')",
                          "T_PrintString('Head')", "T_NewLine()", "T_NewLine()"}},
      {0, large, 0, 0, "P:", {"T_PrintString('P:')", "T_PrintLarge('Head')",
                              "T_PrintString('Head')", "T_NewLine()", "T_NewLine()"}},
  };
  // clang-format on
  for (const Case& c : cases) {
    radio.calls.clear();
    Def(1, 0) = config::FieldDef{};
    config::FieldDef& d = Line(0, 0, " Head ");
    d.Title = c.title;
    d.Flag = c.flag;
    d.flag2 = c.flag2;
    d.SendWithEnter = c.sendWithEnter;
    d.AuxText = c.flag2 == 4 ? "aux" : c.prefix;
    d.SizeTextAux = c.flag2 == 4 ? 0 : static_cast<int>(std::string(c.prefix).size());
    Render();
    EXPECT_EQ(Body(), c.body) << c.title << "/" << c.flag << "/" << c.flag2 << "/" << c.prefix;
  }
}

TEST_F(RenderTest, MenuLineBeforeAPrefixedFieldIsPlainText) {
  Line(0, 0, "Item").SendWithEnter = 1;
  config::FieldDef& next = Input(1, 1, "", 2);
  next.AuxText = ">";
  next.SizeTextAux = 1;
  Render();
  EXPECT_EQ(Body().front(), "T_PrintString('Item')");
  EXPECT_EQ(screens::NextShownField(ctx, 0, 0), 1);
}

TEST_F(RenderTest, SplitIntoLinesPiecesOfTheWidth) {
  config::FieldDef& d = Line(0, 0, "abcdefghij", 0);
  d.flag2 = 8;
  d.Size = 4;
  d.SendWithEnter = 1;
  Render();
  EXPECT_EQ(Body(),
            (Calls{"T_Say('abcd')", "T_GetCheckEnter()", "T_NewLine()", "T_PrintString('efgh')",
                   "T_NewLine()", "T_PrintString('ij')", "T_NewLine()"}));
  // A width of 0 would never advance: the text is one piece.
  radio.calls.clear();
  d.Size = 0;
  Render();
  EXPECT_EQ(Body().front(), "T_Say('abcdefghij')");
}

TEST_F(RenderTest, ErrorPageComesFirst) {
  sessions[0].ErrorLineText = "Record not found in file";
  ctx.DisplayLen = 10;
  Line(0, 0, "x");
  Render();
  EXPECT_EQ(Calls(radio.calls.begin(), radio.calls.begin() + 14),
            (Calls{"T_Cls()", "T_PrintInverse('ERRO')", "T_NewLine()", "T_NewLine()",
                   "T_PrintString('Record not')", "T_NewLine()", "T_PrintString(' found in ')",
                   "T_NewLine()", "T_PrintString('file')", "T_Delay(1)", "T_Beep(100,100)",
                   "T_Beep(500,500)", "T_WaitChar()", "T_Cls()"}));
  radio.calls.clear();
  sessions[0].ErrorLineText = "   ";  // blank: no page
  Render();
  EXPECT_EQ(radio.calls.front(), "T_Cls()");
  EXPECT_EQ(radio.calls[1], "T_SetLargeFunctionKeys('',1)");
}

TEST_F(RenderTest, CapsLockOnLogoffScreens) {
  options.SetChecked("CapsLock", true);
  // The words the key queue closes the session on, blanks around included.
  for (const char* key : {"@logoff", " @Logout ", "@DISCONNECT"}) {
    Screen(1).EscKey = key;
    Render();
    EXPECT_EQ(radio.calls.front(), "T_CapsLock(1)") << key;
    radio.calls.clear();
  }
  Screen(1).EscKey = "@3";
  Render();
  EXPECT_EQ(radio.Find("T_CapsLock"), -1);
}

TEST_F(RenderTest, BatteryLevelIsTheReportedOne) {
  Render();
  EXPECT_EQ(Terminal().BatteryLevel, screens::kBatteryLevelAssumed);
  radio.battery["T1"] = 4100;
  Render();
  EXPECT_EQ(Terminal().BatteryLevel, 4100);
  radio.battery.clear();  // nothing new reported: the last reading stays
  Render();
  EXPECT_EQ(Terminal().BatteryLevel, 4100);
}

TEST_F(RenderTest, AnAnswerReadsThroughTheItemMap) {
  Line(0, 0, "Qty");
  Input(1, 1, "5", 3);
  Input(2, 2, "AB", 2);
  Render();
  radio::Answer a;
  a.chosen = 7;
  a.values = {"12", "XYZ", "3"};
  screens::MappedAnswer m = screens::MapAnswer(items, a);
  EXPECT_EQ(m.chosen, 7);
  using Values = std::vector<std::pair<std::int32_t, std::string>>;
  EXPECT_EQ(m.fieldValues, (Values{{1, "12 "}, {2, "XY"}})) << "at the fields' widths";
  EXPECT_EQ(m.functionNumber, "3  ");

  // Items the answer holds no value for keep what they showed.
  a.values = {"9"};
  m = screens::MapAnswer(items, a);
  EXPECT_EQ(m.fieldValues, (Values{{1, "9  "}}));
  EXPECT_EQ(m.functionNumber, "");
}

TEST_F(RenderTest, ItemsPast500AreNotRecorded) {
  // 300 input fields: field f ends at item 2f + 1 (an empty prompt between).
  for (int f = 0; f < 300; ++f) Input(f, f, "", 1, 0);
  Render();
  EXPECT_EQ(items.FieldOfChosen(500), 249);
  EXPECT_EQ(items.FieldOfChosen(502), -1);  // field 250: rendered, not recorded
  EXPECT_EQ(items.FieldOfChosen(0), -1);
  EXPECT_EQ(items.inputs.size(), 301u) << "every input item, recorded or not";
  EXPECT_EQ(Terminal().ShownText[299], " ");
}

TEST_F(RenderTest, LinesPast1000AreNotStored) {
  // Four lines per field: large, plain, inverse, plain again.
  for (int f = 0; f < 260; ++f) {
    config::FieldDef& d = Line(f, f, "L" + std::to_string(f), 0);
    d.Title = 1;
    d.Flag = config::kFlagNoCursorLarge | config::kFlagNoCursorNormal;
  }
  Render();
  EXPECT_EQ(sessions[0].PrintedTexts[1000], "L249");
  EXPECT_EQ(sessions[0].PrintedTexts.size(), 1001u);
  EXPECT_NE(radio.Find("T_PrintLarge('L250')"), -1) << "line 1001 is shown all the same";
}

TEST_F(RenderTest, DividedFieldSpecialParts) {
  Line(0, 0, "").Divided = true;
  Host(1)[0].Text = "ABCDEFGH";
  store.DivideFields[0] = {1, 0, 1, 3, 0, 1};
  store.DivideFields[1] = {1, 0, 5, 2, 0, 1};
  store.DivideFields[2] = {2, 0, 1, 3, 0, 1};  // another screen
  store.DivideFieldsCt = 2;
  Render();
  EXPECT_EQ(Body(), (Calls{"T_Say('ABC')", "T_GetCheckEnter()", "T_NewLine()", "T_Say('EF')",
                           "T_GetCheckEnter()", "T_NewLine()", "T_NewLine()"}));
}

TEST_F(RenderTest, DividedFieldImageParts) {
  // Field at row 2, column 3: image place (2 - 1) x 82 + 2 = 84.
  Line(0, 0, "").Divided = true;
  Capture(1, 0, "ABCDEFGHIJ", 10, true, 2, 3);
  store.DivideFields[0] = {1, 0, 86, 3, 0, 0};  // same row: text from 86 + 1 - 84 = 3
  store.DivideFieldsCt = 0;
  Render();
  EXPECT_EQ(Body(), (Calls{"T_Say('CDE')", "T_GetCheckEnter()", "T_NewLine()", "T_NewLine()",
                           "T_NewLine()"}));
}

TEST_F(RenderTest, UnknownTerminalUsesTheSpareSlot) {
  sessions[4].CurrentScreen = 2;
  Def(2, 0).Show = 1;
  Capture(2, 0, "spare", 5, true);
  Text(2, 0) = "spare";
  screens::RenderTerminalScreen(ctx, "AS4009", "NOBODY");
  EXPECT_NE(radio.Find("T_PrintString('spare')"), -1);
  EXPECT_TRUE(sessions[4].SendFlag);
  EXPECT_EQ(counters.DailyScreens[7][4], 1);
  EXPECT_EQ(counters.DailyScreens[7][0], 0);
}

TEST(FindSessionTest, TrailingPaddingIsIgnoredCaseAndLeadingBlanksCount) {
  config::ScreenStore store;
  screens::SessionState sessions;
  sessions.SessionCount = 4;
  store.TerminalIDDef[0] = "T1";
  store.TerminalIDDef[1] = "GUN02   ";
  const std::pair<const char*, int> cases[] = {
      {"T1      ", 0}, {"T1", 0}, {"GUN02", 1},    {"GUN02   ", 1}, {"t1      ", 4},
      {" T1     ", 4}, {"T", 4},  {"        ", 4}, {"", 4},
  };
  for (auto [id, session] : cases) {
    EXPECT_EQ(screens::FindSession(store, sessions, id), session) << "'" << id << "'";
  }
}

}  // namespace
}  // namespace tervo::testing
