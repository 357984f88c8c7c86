#include "screens/capture.h"

#include "screens_fixture.h"

namespace tervo::testing {
namespace {

using screens::FieldAtCursor;
using screens::LastFieldIndex;
using screens::NextUsefulField;
using screens::ReadAs400Data;

class CaptureTest : public ScreensTest {};

TEST_F(CaptureTest, ReadCopiesEveryMemberAndTheImage) {
  FakeHostDisplay& d = Display();
  d.AddField(2, 5, "Item", 4, true);
  const int in = d.AddField(2, 10, "ABC", 6, false, 3, 1);
  d.Field(in).EndRow = 3;
  d.Field(in).EndColumn = 7;
  d.Field(in).Hidden = true;
  d.Field(in).AutoEnter = true;
  d.Field(in).Attributes = {1, true};
  d.PutText(25, 1, "message line");
  ReadAs400Data(ctx, 0, 2);

  const config::ScreenOriginal& o = Host(2);
  EXPECT_EQ(o.Count, 2);
  EXPECT_EQ(o[1].Text, "ABC");
  EXPECT_EQ(o[1].Size, 6);
  EXPECT_EQ(o[1].Length, 6);
  EXPECT_FALSE(o[1].Protected);
  EXPECT_TRUE(o[0].Protected);
  EXPECT_EQ(o[1].StartRow, 2);
  EXPECT_EQ(o[1].StartColumn, 10);
  EXPECT_EQ(o[1].EndRow, 3);
  EXPECT_EQ(o[1].EndColumn, 7);
  EXPECT_EQ(o[1].AType, 3);
  EXPECT_EQ(o[1].Justify, 1);
  EXPECT_TRUE(o[1].Hidden);
  EXPECT_TRUE(o[1].AutoEnter);
  EXPECT_TRUE(o[1].Underlined);
  EXPECT_FALSE(o[0].Underlined);

  const std::string& image = store.ScreenAspect[2];
  ASSERT_EQ(image.size(), 2200u);
  EXPECT_EQ(image.substr(82 + 4, 4), "Item");  // row 2 starts at (2 - 1) x 82
  EXPECT_EQ(image.substr(80, 2), "\r\n");
  EXPECT_EQ(image.substr(24 * 82, 12), "message line");
  EXPECT_EQ(image.substr(25 * 82 - 2, 2), "\r\n");
  EXPECT_EQ(image.substr(2050), std::string(150, ' '));
}

TEST_F(CaptureTest, FieldWithoutAttributesIsNotUnderlined) {
  Host(1)[0].Underlined = true;  // left over from an earlier screen
  const int f = Display().AddField(1, 1, "x", 1, true);
  Display().Field(f).Attributes = {0, true};
  ReadAs400Data(ctx, 0, 1);
  EXPECT_FALSE(Host(1)[0].Underlined);
}

TEST_F(CaptureTest, MoreThan501FieldsKeepTheFirst501) {
  for (int i = 0; i < 520; ++i) Display().AddField(1 + i / 40, 1 + (i % 40) * 2, "f", 1, true);
  ReadAs400Data(ctx, 0, 1);
  EXPECT_EQ(Host(1).Count, 501);
  EXPECT_EQ(Host(1)[500].StartRow, 1 + 500 / 40);
  sessions[0].CurrentScreen = 1;
  EXPECT_EQ(LastFieldIndex(ctx, 0), 499);
  EXPECT_EQ(log.Count("Screen fields truncated !!!"), 1);
  EXPECT_TRUE(log.lines[0].shown);
}

TEST_F(CaptureTest, NothingIsCapturedWhileTheReportIsActive) {
  Display().AddField(1, 1, "x", 1, true);
  ctx.screensReport = {true, 1};
  ReadAs400Data(ctx, 0, 1);
  EXPECT_EQ(Host(1).Count, 0);
  EXPECT_EQ(store.ScreenAspect[1], std::string(2200, ' '));
}

TEST_F(CaptureTest, LastFieldIndexBounds) {
  sessions[0].CurrentScreen = 2;
  const std::pair<int, int> cases[] = {{0, -1}, {1, 0}, {499, 498}, {500, 499}, {501, 499}};
  for (auto [count, last] : cases) {
    Host(2).Count = count;
    EXPECT_EQ(LastFieldIndex(ctx, 0), last) << count;
  }
  EXPECT_EQ(log.Count("Screen fields truncated !!!"), 2);
}

TEST_F(CaptureTest, FieldAtCursorUsesTheLiveSpan) {
  Display().AddField(1, 1, "a", 5, true);
  const int wide = Display().AddField(2, 70, "b", 20, false);
  Display().Field(wide).EndRow = 3;
  Display().Field(wide).EndColumn = 9;
  sessions[0].CurrentScreen = 1;
  Host(1).Count = 2;
  EXPECT_EQ(FieldAtCursor(ctx, 0, 3, 1), 0);
  EXPECT_EQ(FieldAtCursor(ctx, 0, 75, 2), 1);
  EXPECT_EQ(FieldAtCursor(ctx, 0, 9, 3), 1);  // continues on the next row
  EXPECT_EQ(FieldAtCursor(ctx, 0, 10, 3), -1);
  EXPECT_EQ(FieldAtCursor(ctx, 0, 40, 1), -1);
}

TEST_F(CaptureTest, NextUsefulFieldSkipsBlankProtectedPlainFields) {
  sessions[0].CurrentScreen = 1;
  Capture(1, 0, "Label", 5, true);
  Capture(1, 1, "   ", 3, true);  // skipped
  Capture(1, 2, "", 3, true);     // skipped
  Capture(1, 3, "", 3, true);     // underlined: stops
  Host(1)[3].Underlined = true;
  Capture(1, 4, "", 3, true);
  Capture(1, 5, "", 3, true);  // the last field is where the walk ends
  EXPECT_EQ(NextUsefulField(ctx, 0, 0), 3);
  EXPECT_EQ(NextUsefulField(ctx, 0, 3), 5);
  EXPECT_EQ(NextUsefulField(ctx, 0, 5), 5);  // at the end: stays
  Host(1)[1].Protected = false;
  EXPECT_EQ(NextUsefulField(ctx, 0, 0), 1);  // an unprotected blank field is useful
}

}  // namespace
}  // namespace tervo::testing
