// How a simulated handheld shows a screen program and turns keys into answers.
#include "platform/radio/sim_display.h"

#include <gtest/gtest.h>

#include "platform/radio/sim_script.h"

namespace tervo::radio::sim {
namespace {

ScreenProgram Program(std::vector<ScreenOp> ops, std::int32_t answerCode = 2088) {
  ScreenProgram p;
  p.sequence = 4;
  p.name = "AS400";
  p.answerCode = answerCode;
  p.ops = std::move(ops);
  return p;
}

TEST(TerminalDisplay, LaysOutTextPromptsAndInputsOnTheDisplayWidth) {
  TerminalDisplay d(10);
  d.Load(Program({MakeOp(OpCode::kCls), MakeOp(OpCode::kPrintInverse, "TITLE"),
                  MakeOp(OpCode::kNewLine), MakeOp(OpCode::kSay, "Qty "),
                  MakeOp(OpCode::kGetText, "12", {}, 8, 0), MakeOp(OpCode::kNewLine),
                  MakeOp(OpCode::kPrintString, "a long text that wraps"),
                  MakeOp(OpCode::kSetLargeFunctionKeys, "Exit\x1b", {}, 5)}));
  EXPECT_EQ(d.PlainLines(), (std::vector<std::string>{"TITLE", "Qty", "12______", "a long tex",
                                                      "t that wra", "ps"}));
  EXPECT_TRUE(d.Shows("Exit^"));
  EXPECT_TRUE(d.Shows("a long text that wraps")) << "found across the line breaks";
  const auto lines = d.Layout();
  EXPECT_EQ(lines[0][0].style, Style::kInverse);
}

TEST(TerminalDisplay, ItemNumbersFollowTheProgramAndTheCursorStartsOnInput) {
  TerminalDisplay d(20);
  d.Load(Program({MakeOp(OpCode::kSay, "1. Orders"), MakeOp(OpCode::kGetCheckEnter),     // 1, 2
                  MakeOp(OpCode::kSay, "Lot"), MakeOp(OpCode::kGetText, "", {}, 3, -1),  // 3, 4
                  MakeOp(OpCode::kSay, ""), MakeOp(OpCode::kGetText, "AB", {}, 4, 0),    // 5, 6
                  MakeOp(OpCode::kScroll, "Info ", "scrolls by"), MakeOp(OpCode::kGetCheckEnter),
                  MakeOp(OpCode::kRead)}));
  ASSERT_EQ(d.Items()[d.Cursor()].number, 6) << "the protected input is skipped";
  d.Type("CDEFG");
  EXPECT_EQ(d.Value(1), "ABCD") << "typing stops at the item's size";
  d.Press(Key::kBackspace);
  d.Press(Key::kDown);
  EXPECT_EQ(d.Items()[d.Cursor()].text, "Info ");
  EXPECT_EQ(d.Press(Key::kEnter), TerminalDisplay::Outcome::kAnswer);
  const Answer a = d.TakeAnswer();
  EXPECT_EQ(a.chosen, 7) << "a Scroll is no item; its GetCheckEnter is";
  EXPECT_EQ(a.values, (std::vector<std::string>{"", "ABC"}));
  EXPECT_EQ(a.sequence, 4u);
  EXPECT_EQ(d.Press(Key::kEnter), TerminalDisplay::Outcome::kNone) << "answered once";
}

TEST(TerminalDisplay, InputAttributesAndKeys) {
  auto load = [](TerminalDisplay& d, int attributes) {
    d.Load(Program({MakeOp(OpCode::kGetText, "", {}, 2, attributes), MakeOp(OpCode::kSay, "Go"),
                    MakeOp(OpCode::kGetCheckEnter),
                    MakeOp(OpCode::kChangeScreenAttributes, {}, {}, 2081, 0, 0),
                    MakeOp(OpCode::kCapsLock, {}, {}, 1), MakeOp(OpCode::kRead)}));
  };
  TerminalDisplay d(20);
  load(d, -2);  // auto exit
  d.Type("ab");
  EXPECT_EQ(d.Value(0), "AB") << "caps lock";
  EXPECT_EQ(d.Items()[d.Cursor()].text, "Go") << "a full auto-exit item moves on";

  load(d, -4);  // hidden
  d.Type("xy");
  EXPECT_EQ(d.PlainLines()[0], "**Go");

  load(d, -16);  // sends with Enter
  EXPECT_EQ(d.Press(Key::kEnter), TerminalDisplay::Outcome::kAnswer);
  EXPECT_EQ(d.TakeAnswer().chosen, 1);

  load(d, 0);
  EXPECT_EQ(d.Press(Key::kEnter), TerminalDisplay::Outcome::kNone)
      << "Enter in a plain input moves on";
  EXPECT_EQ(d.Items()[d.Cursor()].text, "Go");

  const struct {
    Key key;
    int chosen;
    bool send;
  } keys[] = {{Key::kEscape, -27, false},
              {Key::kF1, -1, false},
              {Key::kF8, -8, false},
              {Key::kSend, 1, true}};
  for (const auto& k : keys) {
    load(d, 0);
    ASSERT_EQ(d.Press(k.key), TerminalDisplay::Outcome::kAnswer);
    const Answer a = d.TakeAnswer();
    EXPECT_EQ(a.chosen, k.chosen);
    EXPECT_EQ(a.sendKey, k.send);
  }
}

TEST(TerminalDisplay, AMessageScreenWaitsForAKeyThenResets) {
  TerminalDisplay d(20);
  const auto first = d.Load(
      Program({MakeOp(OpCode::kCls), MakeOp(OpCode::kPrintInverse, "System DOWN"),
               MakeOp(OpCode::kNewLine), MakeOp(OpCode::kWaitChar), MakeOp(OpCode::kHardReset)},
              0));
  EXPECT_EQ(first, TerminalDisplay::Outcome::kNone);
  EXPECT_TRUE(d.WaitingForKey());
  EXPECT_TRUE(d.Shows("System DOWN"));
  EXPECT_EQ(d.Press(Key::kEscape), TerminalDisplay::Outcome::kReset);
}

TEST(TerminalDisplay, AnErrorPageComesBeforeTheScreen) {
  TerminalDisplay d(20);
  d.Load(Program({MakeOp(OpCode::kCls), MakeOp(OpCode::kPrintInverse, "ERRO"),
                  MakeOp(OpCode::kWaitChar), MakeOp(OpCode::kCls), MakeOp(OpCode::kSay, "Enter"),
                  MakeOp(OpCode::kGetCheckEnter), MakeOp(OpCode::kRead)}));
  EXPECT_TRUE(d.Shows("ERRO"));
  EXPECT_EQ(d.Press(Key::kEnter), TerminalDisplay::Outcome::kNone) << "the key only goes on";
  EXPECT_FALSE(d.Shows("ERRO"));
  EXPECT_EQ(d.Press(Key::kEnter), TerminalDisplay::Outcome::kAnswer);
  EXPECT_EQ(d.TakeAnswer().chosen, 2);
}

TEST(TerminalDisplay, ExtremeNumbersFromTheWireAreHarmless) {
  TerminalDisplay d(20);
  d.Load(Program({MakeOp(OpCode::kSay, "A"), MakeOp(OpCode::kGetText, "", {}, 3, INT32_MIN),
                  MakeOp(OpCode::kSay, "B"), MakeOp(OpCode::kGetText, "", {}, 3, -16),
                  MakeOp(OpCode::kChangeScreenAttributes, {}, {}, 0, INT32_MAX, 0)}));
  ASSERT_EQ(d.Items().size(), 4u);
  EXPECT_EQ(d.Items()[1].flags, 0);
  EXPECT_EQ(d.Items()[3].flags, 16);
  EXPECT_EQ(d.Cursor(), 1) << "no such item: the first input takes the cursor";
}

TEST(Script, ParseErrorsNameTheLine) {
  const struct {
    const char* text;
    const char* error;
  } cases[] = {
      {"expect Hello\nfly away\n", "line 2: unknown step \"fly\""},
      {"press F9\n", "line 1: unknown key \"F9\""},
      {"# comment\n\nbattery high\n", "line 3: battery needs a number"},
      {"choose\n", "line 1: choose needs an argument"},
      {"battery .\n", "line 1: battery needs a number"},
      {"battery 4.1\n", "line 1: battery needs a number"},
      {"\ntimeout .\n", "line 2: timeout needs a number"},
      {"timeout 1.2.3\n", "line 1: timeout needs a number"},
      {"timeout 99999999\n", "line 1: timeout needs a number"},
  };
  for (const auto& c : cases) {
    std::vector<ScriptStep> steps;
    std::string err;
    EXPECT_FALSE(ParseScript(c.text, &steps, &err));
    EXPECT_EQ(err, c.error);
  }
  std::vector<ScriptStep> steps;
  std::string err;
  ASSERT_TRUE(ParseScript("type \"  12\"\ntype\nstart\n", &steps, &err)) << err;
  EXPECT_EQ(steps[0].arg, "  12");
  EXPECT_EQ(steps[1].arg, "");
}

TEST(Script, SecondsAreWholeOrDecimalAndAtMostADay) {
  const struct {
    const char* text;
    int ms;  // -1: refused
  } cases[] = {{"5", 5000},   {"0.25", 250},        {".5", 500},      {"5.", 5000},
               {"1.2345", 1234}, {"86400", 86400000}, {"86400.001", -1}, {"", -1},
               {".", -1},     {"-1", -1},           {"1e3", -1},      {"1.2.3", -1}};
  for (const auto& c : cases) {
    int ms = -1;
    EXPECT_EQ(ParseSeconds(c.text, &ms), c.ms >= 0) << c.text;
    if (c.ms >= 0) {
      EXPECT_EQ(ms, c.ms) << c.text;
    }
  }
}

}  // namespace
}  // namespace tervo::radio::sim
