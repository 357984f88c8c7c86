// The screens report's picture: offsets of 82 characters a row, field spans
// over row ends, and the marks the report puts on the stored screen image.
#include "reports/screen_image.h"

#include <gtest/gtest.h>

#include "reports_fixture.h"

namespace tervo::reports {
namespace {

using testing::ReportsFixture;

TEST(ScreenImageOffsets, RowsAre82CharactersAndLineEndsHaveNoPosition) {
  EXPECT_EQ(ImageOffset(1, 1), 0);
  EXPECT_EQ(ImageOffset(3, 7), 170);
  EXPECT_EQ(ImageOffset(24, 80), 1965);
  EXPECT_EQ(PositionAtOffset(170), 3 * 80 + 7);
  EXPECT_EQ(PositionAtOffset(0), 81);
  EXPECT_EQ(PositionAtOffset(79), 160) << "row 1, column 80";
  EXPECT_EQ(PositionAtOffset(80), -1) << "CR";
  EXPECT_EQ(PositionAtOffset(81), -1) << "LF";
  EXPECT_EQ(PositionAtOffset(82), 161) << "row 2, column 1";
  EXPECT_EQ(PositionAtOffset(-1), -1);
  EXPECT_EQ(PositionAtOffset(kImageLength), -1);
}

TEST(ScreenImageOffsets, SpansCountEveryRowCrossedAs82) {
  struct Case {
    int sr, sc, er, ec, length;
  } cases[] = {
      {5, 20, 5, 25, 6},               // one row: both ends included
      {5, 20, 5, 20, 1},               // a one-character field
      {1, 75, 2, 5, 82 + 5 - 75 + 1},  // over one row end
      {1, 75, 3, 5, 2 * 82 + 5 - 75 + 1},
      {2, 1, 5, 80, 3 * 82 + 80},  // four whole rows less the last CR LF
      {5, 20, 5, 19, 0},           // ends before it starts
      {6, 1, 5, 80, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SpanLength(c.sr, c.sc, c.er, c.ec), c.length)
        << c.sr << "," << c.sc << " to " << c.er << "," << c.ec;
}

class ScreenImageTest : public ReportsFixture {
 protected:
  static constexpr int kScr = 2;
  ImageStyle At(const ReportImage& image, int row, int col) const {
    return image.style[ImageOffset(row, col)];
  }
  char Char(const ReportImage& image, int row, int col) const {
    return image.text[ImageOffset(row, col)];
  }
};

TEST_F(ScreenImageTest, ShownFieldsAreWhiteAndBoldOverTheirWholeSpan) {
  const int title = Add(kScr, 1, 30, "Item Inquiry", 12, true);
  Add(kScr, 3, 2, "Hidden label", 12, true);
  // A long protected field from row 4, column 70 over two row ends to row 6.
  const int wide = Add(kScr, 4, 70, std::string(170, 'x'), 170, true);
  Def(kScr, title).Show = 1;
  Def(kScr, wide).Show = 1;
  const ReportImage image = BuildReportImage(store, kScr);
  ASSERT_EQ(image.text.size(), static_cast<std::size_t>(kImageLength));
  ASSERT_EQ(image.style.size(), static_cast<std::size_t>(kImageLength));
  EXPECT_EQ(At(image, 1, 29), ImageStyle{});
  EXPECT_EQ(At(image, 1, 30), (ImageStyle{ImageColour::kWhite, true}));
  EXPECT_EQ(At(image, 1, 41), (ImageStyle{ImageColour::kWhite, true})) << "the last character";
  EXPECT_EQ(At(image, 1, 42), ImageStyle{});
  EXPECT_EQ(At(image, 3, 2), ImageStyle{}) << "not shown";
  EXPECT_EQ(Def(kScr, wide).Show, 1);
  EXPECT_EQ(store.Originals[kScr][wide].EndRow, 6);
  EXPECT_EQ(store.Originals[kScr][wide].EndColumn, 79);
  EXPECT_TRUE(At(image, 5, 1).bold);
  EXPECT_TRUE(At(image, 6, 79).bold) << "the end of a field three rows long";
  EXPECT_FALSE(At(image, 6, 80).bold) << "and not a character more";
  EXPECT_FALSE(At(image, 7, 1).bold);
}

TEST_F(ScreenImageTest, BlankProtectedFieldsAreStarredAndInputBlanksUnderlined) {
  const int blank = Add(kScr, 2, 75, "", 10, true);  // runs over the row end
  const int input = Add(kScr, 5, 20, "AB", 6, false);
  const int underlined = Add(kScr, 6, 20, "", 3, true);
  store.Originals[kScr][underlined].Underlined = true;
  const int hiddenBlank = Add(kScr, 7, 2, "", 4, true);  // not shown: stays blank
  Def(kScr, blank).Show = 1;
  Def(kScr, input).Show = 1;
  const ReportImage image = BuildReportImage(store, kScr);
  EXPECT_EQ(image.text.substr(ImageOffset(2, 75), 6), "******");
  EXPECT_EQ(image.text.substr(ImageOffset(2, 81), 2), "\r\n") << "the row still ends";
  EXPECT_EQ(image.text.substr(ImageOffset(3, 1), 4), "****");
  EXPECT_EQ(Char(image, 3, 5), ' ');
  EXPECT_EQ(image.text.substr(ImageOffset(5, 20), 6), "AB____");
  EXPECT_EQ(image.text.substr(ImageOffset(6, 20), 3), "___");
  EXPECT_EQ(image.text.substr(ImageOffset(7, 2), 4), "    ");
  EXPECT_EQ(hiddenBlank, 3);
}

TEST_F(ScreenImageTest, DividedPartsOfShownFieldsAreYellowAndMasterKeysRed) {
  const int line = Add(kScr, 3, 1, "Article 12345  Qty 10  Loc A-01", 40, true);
  const int hidden = Add(kScr, 4, 1, "Not shown", 9, true);
  const int key = Add(kScr, 1, 30, "Item Inquiry", 12, true);
  Def(kScr, line).Show = 1;
  Def(kScr, key).Show = 1;
  Def(kScr, key).Flag = config::kFlagMasterKey;
  store.DivideFields[0] = {kScr, line, ImageOffset(3, 9), 5, -1, 0};
  store.DivideFields[1] = {kScr + 1, line, ImageOffset(3, 1), 3, -1, 0};
  store.DivideFields[2] = {kScr, hidden, ImageOffset(4, 1), 3, -1, 0};
  // A special part counts from 1 in the field's text: "Qty" at 16.  It sits
  // in the slot at the count, which is drawn as the terminal shows it.
  store.DivideFields[3] = {kScr, line, 16, 3, -1, 1};
  store.DivideFieldsCt = 3;
  store.Screens[kScr].Master = config::kScreenDefined;

  ReportImage image = BuildReportImage(store, kScr);
  EXPECT_EQ(At(image, 3, 8).colour, ImageColour::kWhite);
  for (int c = 9; c < 14; ++c) EXPECT_EQ(At(image, 3, c).colour, ImageColour::kYellow) << c;
  EXPECT_TRUE(At(image, 3, 9).bold) << "still bold";
  EXPECT_EQ(At(image, 3, 14).colour, ImageColour::kWhite);
  for (int c = 16; c < 19; ++c) EXPECT_EQ(At(image, 3, c).colour, ImageColour::kYellow) << c;
  EXPECT_EQ(At(image, 3, 1).colour, ImageColour::kWhite) << "another screen's part";
  EXPECT_EQ(At(image, 4, 1).colour, ImageColour::kGreen) << "the field is not shown";
  EXPECT_EQ(At(image, 1, 30).colour, ImageColour::kWhite) << "keys are red on masters only";

  store.Screens[kScr].Master = config::kScreenMaster;
  image = BuildReportImage(store, kScr);
  EXPECT_EQ(At(image, 1, 30), (ImageStyle{ImageColour::kRed, true}));
  EXPECT_EQ(At(image, 1, 41).colour, ImageColour::kRed);
}

TEST_F(ScreenImageTest, ShortStoredImagesArePaddedAndUnknownScreensBlank) {
  store.ScreenAspect[kScr] = "Sign On";
  ReportImage image = BuildReportImage(store, kScr);
  ASSERT_EQ(image.text.size(), static_cast<std::size_t>(kImageLength));
  EXPECT_EQ(image.text.substr(0, 8), "Sign On ");
  image = BuildReportImage(store, 999);
  ASSERT_EQ(image.text.size(), static_cast<std::size_t>(kImageLength));
  EXPECT_EQ(image.text.substr(80, 2), "\r\n");
}

}  // namespace
}  // namespace tervo::reports
