// The screens report's model: paging through the definitions, the typed
// screen number, clearing and rebuilding definitions, the check boxes and
// the field a click in the image picks.
#include "reports/screens_report.h"

#include <gtest/gtest.h>

#include "reports_fixture.h"

namespace tervo::reports {
namespace {

class ScreensReportTest : public testing::ReportsFixture {
 protected:
  ScreensReportTest()
      : report(ctx, {[this] { ++unsaved; }, [this](int s) { currentSession = s; }}) {}

  // An item screen, its definition built automatically: a label and an
  // input on row 5, a label on row 6.
  void ItemScreen(int scr, std::int32_t status = config::kScreenCopy) {
    Add(scr, 1, 30, "Item Inquiry", 12, true);
    Add(scr, 5, 2, "Item number", 11, true);
    Add(scr, 5, 20, "", 6, false);
    Add(scr, 6, 2, "Quantity", 8, true);
    Define(scr, status);
  }

  ScreensReport report;
  int unsaved = 0;
  int currentSession = -1;
};

TEST_F(ScreensReportTest, PlusAndMinusStepOverNumbersWithoutDefinition) {
  Define(3);
  Define(6, config::kScreenMaster);
  report.Open();
  EXPECT_EQ(report.ShowScreen(), 3) << "opening moves to the first defined screen";
  report.Plus();
  EXPECT_EQ(report.ShowScreen(), 6);
  report.Plus();
  EXPECT_EQ(report.ShowScreen(), 8) << "nothing defined after 6: the last number";
  EXPECT_EQ(report.Status(), "UNDEFINED");
  report.Plus();
  EXPECT_EQ(report.ShowScreen(), 8);
  report.Minus();
  EXPECT_EQ(report.ShowScreen(), 6);
  report.Minus();
  report.Minus();
  EXPECT_EQ(report.ShowScreen(), 1) << "\"-\" stops at 1";

  // "Activate" takes the number shown, wherever the report goes.
  report.SetActivate(true);
  report.Plus();
  EXPECT_EQ(ctx.screensReport.Screen, 3);
  report.Close();
  EXPECT_FALSE(ctx.screensReport.Active);
}

TEST_F(ScreensReportTest, PlusRunsToTheLastScreenWhenNothingIsDefined) {
  report.Open();
  EXPECT_EQ(report.ShowScreen(), 8);
  EXPECT_EQ(report.Status(), "UNDEFINED");
  EXPECT_EQ(report.Preview(), "");
}

TEST_F(ScreensReportTest, TypedNumbersOutsideTheScreensAreRefused) {
  Define(3);
  report.Open();
  for (const char* typed : {"0", "9", "-2", "abc", "", "0.4"}) {
    EXPECT_FALSE(report.TypeNumber(typed)) << typed;
    EXPECT_EQ(report.ShowScreen(), 3) << typed;
  }
  EXPECT_TRUE(report.TypeNumber("7"));
  EXPECT_EQ(report.ShowScreen(), 7) << "a number without definition may be typed";
  EXPECT_TRUE(report.TypeNumber("8"));
  EXPECT_EQ(report.ShowScreen(), 8);
}

TEST_F(ScreensReportTest, ClearFreesTheDefinitionAndMovesToTheNextDefined) {
  ItemScreen(2, config::kScreenDefined);
  Define(5);
  store.AdvScreens[2].Active = true;
  report.Open();
  ASSERT_EQ(report.ShowScreen(), 2);
  report.Clear();
  EXPECT_EQ(store.Screens[2].Master, config::kScreenFree);
  EXPECT_EQ(store.Screens[2].ScreenId, 0);
  EXPECT_EQ(store.Originals[2].Count, 0);
  EXPECT_FALSE(store.AdvScreens[2].Active);
  EXPECT_EQ(store.Indice[2][5 * 80 + 20], -1);
  EXPECT_EQ(report.ShowScreen(), 5);
  EXPECT_EQ(unsaved, 1) << "the configuration changed";
}

TEST_F(ScreensReportTest, RefillAllRebuildsOnlyCopiesOneStepAtATime) {
  ItemScreen(2, config::kScreenCopy);
  ItemScreen(3, config::kScreenDefined);
  ItemScreen(5, config::kScreenCopy);
  Def(3, 0).Size = 7;
  Def(2, 0).Size = 7;
  report.Open();
  EXPECT_EQ(report.StartRefill(), 2);
  EXPECT_TRUE(report.Refilling());
  EXPECT_TRUE(report.RefillStep());
  EXPECT_EQ(report.RefillDone(), 1);
  EXPECT_EQ(Def(2, 0).Size, 20) << "built again";
  EXPECT_FALSE(report.RefillStep());
  EXPECT_EQ(report.RefillDone(), 2);
  EXPECT_FALSE(report.Refilling());
  EXPECT_EQ(sessions[kReportSession].CurrentScreen, 5) << "built by way of slot 32";
  EXPECT_EQ(currentSession, kReportSession);
  EXPECT_EQ(store.Screens[5].ScreenId, 1005) << "the identification value is kept";
  EXPECT_EQ(Def(3, 0).Size, 7) << "a screen defined by hand is left alone";
  EXPECT_EQ(unsaved, 2);
  EXPECT_FALSE(report.RefillStep());
}

TEST_F(ScreensReportTest, AClickPicksTheFieldStartingThereOrTheOneBefore) {
  ItemScreen(3);
  report.Open();
  Span span;
  EXPECT_EQ(report.Click(ImageOffset(5, 20), &span), 2) << "the first character of the input";
  EXPECT_EQ(span.offset, ImageOffset(5, 20));
  EXPECT_EQ(span.length, 6);
  EXPECT_EQ(report.Field(), 2);
  EXPECT_EQ(report.Click(ImageOffset(5, 25), &span), 2) << "inside it";
  EXPECT_EQ(report.Click(ImageOffset(5, 19), &span), 1) << "the gap before it: the label";
  EXPECT_EQ(span.length, 11);
  EXPECT_EQ(report.Click(ImageOffset(5, 81), &span), 2) << "the row's line end";
  EXPECT_EQ(report.Click(ImageOffset(1, 29), &span), -1) << "before the first field";
  EXPECT_EQ(report.Field(), -1);
  EXPECT_EQ(report.Click(0, &span), -1);
}

}  // namespace
}  // namespace tervo::reports
