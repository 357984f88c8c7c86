#include "screens/write_back.h"

#include "screens/join_field.h"
#include "screens_fixture.h"

namespace tervo::testing {
namespace {

using screens::EvaluateJoinField;
using screens::FormatFieldText;
using screens::InterleaveRows;

TEST(FormatFieldTextTest, EveryTypeAndJustification) {
  struct Case {
    int type, justify, length;
    const char* in;
    const char* out;
  };
  const Case cases[] = {
      {0, 0, 4, "ABCDEFG", "ABCD"}, {0, 0, 5, "AB", "AB   "},
      {0, 3, 5, "AB", "AB   "},     {0, 1, 5, "42", "00042"},
      {0, 1, 5, "", "     "},       {0, 1, 2, "1234", "34"},
      {0, 2, 5, "42", "   42"},     {0, 2, 5, "", "     "},
      {0, 4, 5, "AB", "AB"},  // other justifications: unchanged
      {6, 1, 3, "7", "007"},        {-1, 0, 2, "ABC", "AB"},
      {7, 0, 5, "42", "00042"},     {9, 2, 5, "42", "00042"},
      {11, 0, 3, "", "000"},        {8, 0, 6, "-12", "00012"},  // sign dropped, L - 1 characters
      {8, 0, 6, "12.5kg", "012.5"}, {8, 0, 4, "abc", "000"},
      {8, 0, 1, "5", ""},           {10, 1, 4, "ABCDEFG", "ABCD"},
      {10, 0, 5, "AB", "AB   "},    {12, 1, 5, "AB", "AB"},
      {40, 0, 1, "ABC", "ABC"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.type) + "/" + std::to_string(c.justify) + " '" + c.in + "'");
    EXPECT_EQ(FormatFieldText(c.in, c.type, c.justify, c.length), c.out);
  }
}

TEST(InterleaveRowsTest, RowsOfEightyAlternate) {
  const std::string a = std::string(80, 'a') + std::string(80, 'A');
  const std::string b = std::string(80, 'b') + std::string(20, 'B');
  EXPECT_EQ(InterleaveRows(a, b), std::string(80, 'a') + std::string(80, 'b') +
                                      std::string(80, 'A') + std::string(20, 'B'));
  EXPECT_EQ(InterleaveRows("", "xyz"), "");
  EXPECT_EQ(InterleaveRows("ab", "xyz"), "abxyz");
}

class WriteBackTest : public ScreensTest {
 protected:
  WriteBackTest() {
    for (int i = 0; i < 6; ++i) Display().AddField(i + 1, 1, "f" + std::to_string(i), 4, false);
    sessions[0].CurrentScreen = 1;
    // Plays the core's RunPendingKeys("") for the whole queue at once and
    // records what the queue held.
    ctx.runPendingKeys = [this](const std::string& command, int s) {
      EXPECT_EQ(command, "");
      std::string& pending = sessions[s].PendingKeys;
      queue.push_back(pending);
      // A join formula keeps the session closed for new screens meanwhile.
      if (insideJoin) {
        EXPECT_FALSE(sessions[s].ReadyToSendFlag);
      }
      if (!pending.empty() && onKeys) onKeys(pending);
      pending.clear();
      return false;
    };
    sessions[0].ReadyToSendFlag = true;
  }
  std::vector<std::string> queue;
  bool insideJoin = true;
  std::function<void(const std::string&)> onKeys;
};

TEST_F(WriteBackTest, HostFieldTextFollowsTheLiveField) {
  Display().Field(2).Type = 0;
  Display().Field(2).Justify = 1;
  Display().Field(2).Length = 5;
  EXPECT_EQ(screens::FormatHostFieldText(ctx, "42", 0, 2), "00042");
  EXPECT_EQ(screens::FormatHostFieldText(ctx, "42", 0, 77), "");  // no such field: length 0
}

TEST_F(WriteBackTest, EquTakesTheFieldAndSendsTheKeysAfter) {
  EXPECT_EQ(EvaluateJoinField(ctx, "@EQU(3)@E", 0, 0), "f3");
  // The token sends the (empty) keys before it, then "@E" goes at the end.
  EXPECT_EQ(queue, (std::vector<std::string>{"", "@E"}));
  EXPECT_TRUE(sessions[0].ReadyToSendFlag);
}

TEST_F(WriteBackTest, AfterEquNoTokenIsRecognised) {
  EXPECT_EQ(EvaluateJoinField(ctx, "@EQU(2)@ADD(4)", 0, 0), "f2");
  EXPECT_EQ(queue, (std::vector<std::string>{"", "@ADD(4)"}));
}

TEST_F(WriteBackTest, TokensFollowEachOtherOnlyInAdxAddEquOrder) {
  // @ADX then @ADD: both recognised back to back.
  EXPECT_EQ(EvaluateJoinField(ctx, "@ADX(1)@ADD(2)", 0, 0), InterleaveRows("f0", "f1") + "f2");
  EXPECT_EQ(Host(1)[1].Text, InterleaveRows("f0", "f1"));  // the capture is joined too
  EXPECT_EQ(queue, (std::vector<std::string>{"", ""}));

  // @ADD then @ADX: the @ADX goes to the host as keys.
  queue.clear();
  EXPECT_EQ(EvaluateJoinField(ctx, "@ADD(2)@ADX(1)", 0, 0), "f0f2");
  EXPECT_EQ(queue, (std::vector<std::string>{"", "@ADX(1)"}));
}

TEST_F(WriteBackTest, KeysBeforeATokenReachTheHostBeforeItReads) {
  onKeys = [this](const std::string& keys) {
    if (keys == "1@E") Display().Field(3).Text = "next screen";
  };
  EXPECT_EQ(EvaluateJoinField(ctx, "1@E@EQU(3)", 0, 0), "next screen");
  EXPECT_EQ(queue, (std::vector<std::string>{"1@E"}));
}

TEST_F(WriteBackTest, TokenWithoutClosingParenthesisTakesTheRest) {
  EXPECT_EQ(EvaluateJoinField(ctx, "@R@EQU(3", 0, 0), "f3");
  // Only the keys before the token are sent; the broken token never is.
  EXPECT_EQ(queue, (std::vector<std::string>{"@R"}));
  EXPECT_EQ(log.lines.size(), 1u);
  EXPECT_TRUE(sessions[0].ReadyToSendFlag);
}

TEST_F(WriteBackTest, FieldNumbersOutsideTheCaptureChangeNothingThere) {
  EXPECT_EQ(EvaluateJoinField(ctx, "@ADX(900)xx", 0, 0), InterleaveRows("f0", ""));
  EXPECT_EQ(Host(1)[0].Text, "");
}

}  // namespace
}  // namespace tervo::testing
