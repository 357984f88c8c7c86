#include "screens/identification.h"

#include "screens_fixture.h"

namespace tervo::testing {
namespace {

using screens::CalculateChecksum;
using screens::FindBestScreen;

class IdentificationTest : public ScreensTest {
 protected:
  std::int32_t Value() { return sessions[0].ScreenIdValue; }
  void Area(int x, int y, int len) {
    options.SetText("ScreenIdAreaX", std::to_string(x));
    options.SetText("ScreenIdAreaY", std::to_string(y));
    options.SetText("ScreenIdAreaLen", std::to_string(len));
  }
};

TEST_F(IdentificationTest, WorkedValues) {
  // One counted field at row 1, column 2, length 10: 82 x 8000 + 10 - 1024.
  Display().AddField(1, 2, "", 10, true);
  CalculateChecksum(ctx, 0);
  EXPECT_EQ(Value(), 654986);

  // No counted field and an identification area showing "AB" (trimmed).
  Display().ClearScreen();
  Display().PutText(3, 5, " AB ");
  Area(5, 3, 4);
  CalculateChecksum(ctx, 0);
  EXPECT_EQ(Value(), 131);
  EXPECT_TRUE(log.lines.empty());
}

TEST_F(IdentificationTest, WhichFieldsCount) {
  struct Case {
    const char* name;
    int row, column, length;
    bool line24;
    bool counted;
  };
  const Case cases[] = {
      {"row 24 starts at 1921", 24, 1, 5, false, false},
      {"ends exactly at 1920", 23, 70, 10, false, false},
      {"ends just before 1920", 23, 69, 10, false, true},
      {"length 0", 5, 1, 0, false, false},
      {"row 24 with Line24", 24, 1, 5, true, true},
      {"ends at 1920 with Line24", 23, 70, 10, true, true},
      {"length 0 with Line24", 5, 1, 0, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Display().ClearScreen();
    Display().AddField(c.row, c.column, "", c.length, true);
    options.SetChecked("Line24", c.line24);
    CalculateChecksum(ctx, 0);
    const std::int32_t p = c.row * 80 + c.column;
    EXPECT_EQ(Value(), c.counted ? p * 8000 + c.length - 1024 : 0);
  }
}

TEST_F(IdentificationTest, SubAreaExcludesFieldsStrictlyInside) {
  // Sub-area from position 5 x 80 + 10 = 410, 20 long: (410, 430).
  options.SetText("SubScreenIdAreaX", "10");
  options.SetText("SubScreenIdAreaY", "5");
  options.SetText("SubScreenIdAreaLen", "20");
  struct Case {
    int column, length;
    bool counted;
  };
  const Case cases[] = {
      {10, 5, true},   // starts at subStart: counted although it ends inside
      {11, 5, false},  // inside
      {11, 19, true},  // P + L = 430 = subEnd: not strictly inside
      {30, 3, true},   // after the area
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.column);
    Display().ClearScreen();
    Display().AddField(5, c.column, "", c.length, true);
    CalculateChecksum(ctx, 0);
    EXPECT_EQ(Value(), c.counted ? (400 + c.column) * 8000 + c.length - 1024 : 0);
  }
}

TEST_F(IdentificationTest, OverflowingStepIsSkippedAndReported) {
  options.SetChecked("Line24", true);
  // P = 240000: P x 8000 = 1,920,000,000 fits once; the second addition
  // would not and is skipped, the lengths and the count still go in.
  Display().AddField(3000, 0, "", 7, true);
  Display().AddField(3000, 0, "", 9, true);
  CalculateChecksum(ctx, 0);
  EXPECT_EQ(Value(), 1920000000 + 7 + 9 - 2048);
  ASSERT_EQ(log.lines.size(), 1u);
  EXPECT_EQ(log.lines[0].message, "Error 6,Overflow CalculateChecksum");
  EXPECT_TRUE(log.lines[0].shown);
}

TEST_F(IdentificationTest, OverflowInFinalSubtractionKeepsPreviousValue) {
  options.SetChecked("Line24", true);
  sessions[0].ScreenIdValue = 777;
  // P = -268435: P x 8000 = -2,147,480,000; four such fields are counted
  // (only the first addition fits), and sum - 4096 leaves the 32-bit range.
  for (int i = 0; i < 4; ++i) Display().AddField(-3355, -35, "", 0, true);
  CalculateChecksum(ctx, 0);
  EXPECT_EQ(Value(), 777);
  EXPECT_EQ(log.Count("Error 6,Overflow CalculateChecksum"), 1);
}

TEST_F(IdentificationTest, AreaAtRowOrColumnZeroIsReportedAndAddsNothing) {
  Display().PutText(1, 1, "XYZ");
  Area(0, 1, 3);
  CalculateChecksum(ctx, 0);
  EXPECT_EQ(Value(), 0);
  EXPECT_EQ(log.Count("Invalid Value in General configurations 'ADD checksum...'"), 1);
  EXPECT_TRUE(log.lines[0].shown);

  log.lines.clear();
  Area(0, 0, 0);  // no area at all: nothing to report
  CalculateChecksum(ctx, 0);
  EXPECT_TRUE(log.lines.empty());
}

// --- choosing a definition

TEST(DefinitionScoreTest, ScoreTable) {
  struct Case {
    int term;  // 0 off, 1 matches, 2 fails
    int user;
    int score;
  };
  const Case cases[] = {{0, 0, 1}, {1, 0, 2}, {2, 0, 0}, {0, 1, 2}, {0, 2, 0},
                        {1, 1, 3}, {1, 2, 1}, {2, 1, 1}, {2, 2, -1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.term) + "/" + std::to_string(c.user));
    config::ScreenDef def;
    def.ScreenId = 42;
    def.CheckScreenIdTerm = c.term != 0 ? 1 : 0;
    def.ScreenIdTerminal = c.term == 2 ? "OTHER" : " T1 ";  // compared trimmed
    def.CheckScreenIdUser = c.user != 0 ? 1 : 0;
    def.ScreenIdUser = c.user == 2 ? "bob" : "ANA";
    EXPECT_EQ(screens::DefinitionScore(def, 42, "T1", "ANA "), c.score);
    EXPECT_EQ(screens::DefinitionScore(def, 43, "T1", "ANA "), 0);
  }
  config::ScreenDef def;
  def.ScreenId = 42;
  def.CheckScreenIdUser = 1;
  def.ScreenIdUser = "ana";  // exact: case counts
  EXPECT_EQ(screens::DefinitionScore(def, 42, "T1", "ANA"), 0);
}

class FindBestScreenTest : public ScreensTest {
 protected:
  void SetUp() override {
    store.NumeroMaximoDeEcrans = 5;
    store.GrowScreenTables();
  }
};

TEST_F(FindBestScreenTest, TiesKeepTheLowestNumber) {
  Screen(4).ScreenId = 99;
  Screen(2).ScreenId = 99;
  std::int32_t result = -1;
  EXPECT_TRUE(FindBestScreen(ctx, 0, 99, result));
  EXPECT_EQ(result, 2);
}

TEST_F(FindBestScreenTest, HigherScoreWinsAndFailedCheckLosesToNoCheck) {
  Screen(1).ScreenId = 99;
  Screen(1).CheckScreenIdTerm = 1;
  Screen(1).ScreenIdTerminal = "T9";  // fails: score 0
  Screen(3).ScreenId = 99;            // no checks: score 1
  std::int32_t result = -1;
  EXPECT_TRUE(FindBestScreen(ctx, 0, 99, result));
  EXPECT_EQ(result, 3);

  Screen(5).ScreenId = 99;
  Screen(5).CheckScreenIdTerm = 1;
  Screen(5).ScreenIdTerminal = "T1";  // matches session 0: score 2
  EXPECT_TRUE(FindBestScreen(ctx, 0, 99, result));
  EXPECT_EQ(result, 5);
}

TEST_F(FindBestScreenTest, NothingAboveZeroLeavesResultAlone) {
  Screen(1).ScreenId = 99;
  Screen(1).CheckScreenIdUser = 1;
  Screen(1).ScreenIdUser = "someone";
  std::int32_t result = 17;
  EXPECT_FALSE(FindBestScreen(ctx, 0, 99, result));
  EXPECT_FALSE(FindBestScreen(ctx, 0, 12345, result));
  EXPECT_EQ(result, 17);
}

TEST_F(FindBestScreenTest, ZeroNeverMatchesEvenWithTheReportActive) {
  // Fresh definitions all have ScreenId 0.
  std::int32_t result = 17;
  EXPECT_FALSE(FindBestScreen(ctx, 0, 0, result));
  ctx.screensReport = {true, 4};
  EXPECT_FALSE(FindBestScreen(ctx, 0, 0, result));
  EXPECT_EQ(result, 17);
  EXPECT_TRUE(FindBestScreen(ctx, 0, 5555, result));  // any other value: the report's
  EXPECT_EQ(result, 4);
}

}  // namespace
}  // namespace tervo::testing
