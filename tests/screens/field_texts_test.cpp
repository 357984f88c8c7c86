#include "screens/field_texts.h"

#include "screens_fixture.h"

namespace tervo::testing {
namespace {

class FieldTextsTest : public ScreensTest {
 protected:
  FieldTextsTest() {
    sessions[0].CurrentScreen = 1;
    sessions[0].SessionUser = "ANA";
    sessions[0].SessionVarAux = "AUX";
    Capture(1, 0, "  Hello World ", 14, true);
    Display().AddField(1, 1, "  Hello World ", 14, true);
    Def(1, 0).Show = 1;
    Def(1, 0).Size = 5;
    Def(1, 0).SizeTextAux = 3;
  }
};

TEST_F(FieldTextsTest, EachFlag2Bit) {
  struct Case {
    std::int32_t bits;
    const char* text;
  };
  const Case cases[] = {
      {0, "before"},  // no bit: the text stays
      {1, "fit(  Hello World ,5)"},
      {2, "Hello"},
      {4, "Hello World"},
      {8, "  Hello World "},
      {16, "ANA"},
      {32, "ANA-"},
      {64, "Hello"},
      {128, "AUX"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bits);
    Text(1, 0) = "before";
    Def(1, 0).flag2 = c.bits;
    screens::PrepareFieldTexts(ctx, 0);
    EXPECT_EQ(Text(1, 0), c.text);
  }
  // Scrolling also fits the prefix to its own width.
  EXPECT_EQ(Def(1, 0).AuxText, "fit(  Hello World ,3)");
}

TEST_F(FieldTextsTest, LaterBitsOverwriteEarlierOnes) {
  const std::pair<std::int32_t, const char*> cases[] = {
      {2 | 16, "ANA"},            // truncated, then the user id
      {1 | 8, "  Hello World "},  // summarized, then untrimmed
      {16 | 32 | 128, "AUX"},     // the auxiliary value last
      {4 | 64, "Hello"},
  };
  for (auto [bits, text] : cases) {
    Def(1, 0).flag2 = bits;
    screens::PrepareFieldTexts(ctx, 0);
    EXPECT_EQ(Text(1, 0), text) << bits;
  }
}

// The whole-word fitting of automatically configured labels happens at
// every screen, from the host text of the moment, after "Summarized".
TEST_F(FieldTextsTest, WordsBitFitsByWordsAfterSummarized) {
  ctx.fitWords = [](const std::string& t, int w) {
    return "words(" + t + "," + std::to_string(w) + ")";
  };
  Def(1, 0).flag2 = config::kFlag2Summarized | config::kFlag2Words;
  screens::PrepareFieldTexts(ctx, 0);
  EXPECT_EQ(Text(1, 0), "words(  Hello World ,5)");
  Def(1, 0).flag2 = config::kFlag2Words | config::kFlag2VarAux;  // the bit comes last
  screens::PrepareFieldTexts(ctx, 0);
  EXPECT_EQ(Text(1, 0), "words(  Hello World ,5)");
  ctx.fitWords = nullptr;  // no word fitting given: the label fitting stands in
  screens::PrepareFieldTexts(ctx, 0);
  EXPECT_EQ(Text(1, 0), "fit(  Hello World ,5)");
}

TEST_F(FieldTextsTest, HiddenOrNotShownFieldsShowNothing) {
  Def(1, 0).flag2 = 2;
  Display().Field(0).Hidden = true;  // the live field decides
  screens::PrepareFieldTexts(ctx, 0);
  EXPECT_EQ(Text(1, 0), "");

  Display().Field(0).Hidden = false;
  Def(1, 0).Show = 0;
  Text(1, 0) = "old";
  screens::PrepareFieldTexts(ctx, 0);
  EXPECT_EQ(Text(1, 0), "");
}

TEST_F(FieldTextsTest, UserIdAndAuxValueAreTakenInFieldOrder) {
  Def(1, 0).Show = 0;  // taken even when not shown
  Def(1, 0).UserId = config::kUserIdGetUser | config::kUserIdGetVarAux;
  Capture(1, 1, "x", 1, true);
  Def(1, 1).Show = 1;
  Def(1, 1).flag2 = config::kFlag2SubUserId;
  screens::PrepareFieldTexts(ctx, 0);
  EXPECT_EQ(sessions[0].SessionUser, "Hello");
  EXPECT_EQ(sessions[0].SessionVarAux, "Hello");
  EXPECT_EQ(Text(1, 1), "Hello-");
}

TEST_F(FieldTextsTest, JoinFormulaGivesTheText) {
  Display().AddField(2, 1, "second", 6, true);
  Capture(1, 1, "second", 6, true);
  Def(1, 0).flag2 = 2;
  Def(1, 0).JoinField = "@ADD(1)";
  screens::PrepareFieldTexts(ctx, 0);
  EXPECT_EQ(Text(1, 0), "  Hello World second");
  EXPECT_TRUE(sessions[0].ReadyToSendFlag);
}

TEST_F(FieldTextsTest, NothingWhileTheReportIsActive) {
  Def(1, 0).flag2 = 2;
  Text(1, 0) = "before";
  ctx.screensReport = {true, 1};
  screens::PrepareFieldTexts(ctx, 0);
  EXPECT_EQ(Text(1, 0), "before");
}

TEST_F(FieldTextsTest, ScreensAbove180HaveNoTextsButStillSetTheUser) {
  store.NumeroMaximoDeEcrans = 181;
  store.GrowScreenTables();
  sessions[0].CurrentScreen = 181;
  Capture(181, 0, "BOB", 3, true);
  Def(181, 0).Show = 1;
  Def(181, 0).flag2 = 2;
  Def(181, 0).Size = 5;
  Def(181, 0).UserId = config::kUserIdGetUser;
  screens::PrepareFieldTexts(ctx, 0);
  EXPECT_EQ(sessions[0].SessionUser, "BOB");
}

}  // namespace
}  // namespace tervo::testing
