#include "platform/demohost/app_session.h"

#include <gtest/gtest.h>

#include "platform/demohost/app_parser.h"

namespace tervo::demohost {
namespace {

// The shown screen as 24 rows of text (hidden fields blank).
std::vector<std::string> Grid(const ShownScreen& s) {
  std::vector<std::string> rows(24, std::string(80, ' '));
  auto put = [&](int row, int col, const std::string& t) {
    for (std::size_t i = 0; i < t.size() && col - 1 + static_cast<int>(i) < 80; ++i)
      rows[row - 1][col - 1 + i] = t[i];
  };
  for (const ShownText& t : s.texts) put(t.row, t.column, t.text);
  for (const Rule& r : s.rules) put(r.row, r.column, std::string(r.length, r.fill));
  for (const ShownField& f : s.fields)
    if (!f.def.look.hidden) put(f.def.row, f.def.column, f.text);
  return rows;
}

bool Shows(const AppSession& s, const std::string& text) {
  for (const std::string& row : Grid(s.Current()))
    if (row.find(text) != std::string::npos) return true;
  return false;
}

class Warehouse : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string err;
    ASSERT_TRUE(ParseApplication(WarehouseApplicationText(), &app, &err)) << err;
  }
  Application app;
};

TEST_F(Warehouse, SignOnShowsTheDeviceAndChecksBothFields) {
  AppSession s(app, "TERM07");
  s.Start();
  EXPECT_EQ(s.ScreenName(), "SIGNON");
  EXPECT_TRUE(Shows(s, "Display . . . . . :   TERM07"));
  EXPECT_EQ(s.Current().cursorRow, 6);
  EXPECT_EQ(s.Current().cursorColumn, 53);

  Reply r = s.Answer("enter", {{"password", "SECRET"}});
  EXPECT_EQ(r.outcome, Outcome::kError);
  EXPECT_EQ(r.message, "Type your user name.");
  EXPECT_EQ(r.cursorRow, 6);
  EXPECT_EQ(r.cursorColumn, 53);
  EXPECT_EQ(s.ScreenName(), "SIGNON");

  // The password typed before stays: only the user is sent now.
  r = s.Answer("enter", {{"user", "jsmith"}});
  EXPECT_EQ(r.outcome, Outcome::kShow);
  EXPECT_EQ(s.ScreenName(), "MENU");
  // The user name and the device name appear in the shared header.
  EXPECT_EQ(Grid(s.Current())[0].substr(1, 6), "jsmith");
  EXPECT_TRUE(Shows(s, "TERM07"));
  EXPECT_TRUE(Shows(s, "Main Menu"));
  EXPECT_TRUE(Shows(s, "F3=Exit   F12=Cancel"));
  EXPECT_FALSE(Shows(s, "SECRET"));
}

TEST_F(Warehouse, MenuChoicesAndAWrongChoice) {
  struct Case {
    std::string option;
    Outcome outcome;
    std::string screen;
    std::string message;
  } cases[] = {
      {"1", Outcome::kShow, "RECEIVING", ""},
      {"2", Outcome::kShow, "PICKING", ""},
      {"03", Outcome::kShow, "INQUIRY", ""},  // numbers compare by value
      {"4", Outcome::kShow, "TRANSFER", ""},
      {"90", Outcome::kSignOff, "MENU", ""},
      {"7", Outcome::kError, "MENU", "Option 7 is not on the menu."},
      {"", Outcome::kError, "MENU", "Type the number of an option."},
  };
  for (const Case& c : cases) {
    AppSession s(app, "D1");
    s.Start();
    s.Answer("enter", {{"user", "U"}, {"password", "P"}});
    Reply r = s.Answer("enter", {{"option", c.option}});
    EXPECT_EQ(r.outcome, c.outcome) << c.option;
    EXPECT_EQ(s.ScreenName(), c.screen) << c.option;
    EXPECT_EQ(r.message, c.message) << c.option;
  }
}

TEST_F(Warehouse, InquiryValidAndInvalidItems) {
  AppSession s(app, "D1");
  s.Start();
  s.Answer("enter", {{"user", "U"}, {"password", "P"}});
  s.Answer("enter", {{"option", "3"}});
  ASSERT_EQ(s.ScreenName(), "INQUIRY");

  Reply r = s.Answer("enter", {{"item", "999999"}});
  EXPECT_EQ(r.outcome, Outcome::kError);
  EXPECT_EQ(r.message, "Item 999999 is not on file.");
  EXPECT_EQ(r.cursorRow, 7);
  EXPECT_EQ(r.cursorColumn, 31);

  r = s.Answer("enter", {{"item", "100418"}});
  ASSERT_EQ(r.outcome, Outcome::kShow);
  ASSERT_EQ(s.ScreenName(), "ITEM");
  EXPECT_TRUE(Shows(s, "Packing tape, brown 48 mm"));
  // A negative quantity on hand: digits right-adjusted, sign last.
  EXPECT_TRUE(Shows(s, "Quantity on hand  . . :       12-")) << Grid(s.Current())[6];
  EXPECT_TRUE(Shows(s, "A-02-05"));

  // Enter goes back to the inquiry, which offers the last item again.
  s.Answer("enter", {});
  EXPECT_EQ(s.ScreenName(), "INQUIRY");
  EXPECT_EQ(s.Current().fields.back().text, "100418");
  s.Answer("f12", {});
  EXPECT_EQ(s.ScreenName(), "MENU");
}

TEST_F(Warehouse, PickingListPagesByTenAndStopsAtBothEnds) {
  AppSession s(app, "D1");
  s.Start();
  s.Answer("enter", {{"user", "U"}, {"password", "P"}});
  s.Answer("enter", {{"option", "2"}});
  ASSERT_EQ(s.ScreenName(), "PICKING");
  auto firstLine = [&] { return Grid(s.Current())[6].substr(0, 6); };
  auto moreLine = [&] { return Grid(s.Current())[16].substr(71, 8); };
  EXPECT_EQ(firstLine(), "    1 ");
  EXPECT_EQ(moreLine(), " More...");

  Reply r = s.Answer("rolldown", {});
  EXPECT_EQ(r.outcome, Outcome::kError);
  EXPECT_EQ(r.message, "You are already at the top of the list.");

  for (int page = 2; page <= 4; ++page) {
    r = s.Answer("rollup", {});
    EXPECT_EQ(r.outcome, Outcome::kPage);
    EXPECT_EQ(r.rollLines, 10);
  }
  EXPECT_EQ(firstLine(), "   31 ");
  EXPECT_EQ(Grid(s.Current())[15].substr(0, 6), "   40 ");
  EXPECT_EQ(moreLine(), "  Bottom");
  r = s.Answer("rollup", {});
  EXPECT_EQ(r.outcome, Outcome::kError);
  EXPECT_EQ(r.message, "You are already at the bottom of the list.");

  r = s.Answer("rolldown", {});
  EXPECT_EQ(r.outcome, Outcome::kPage);
  EXPECT_EQ(r.rollLines, -10);
  EXPECT_EQ(firstLine(), "   21 ");

  // A line off the list is refused; one on it leads to its confirmation.
  r = s.Answer("enter", {{"pickline", "41"}});
  EXPECT_EQ(r.message, "Line 41 is not on the list.");
  r = s.Answer("enter", {{"pickline", "25"}});
  ASSERT_EQ(s.ScreenName(), "PICK");
  EXPECT_TRUE(Shows(s, "SO-50220"));
  // Back on the list after the confirmation: first page again.
  s.Answer("enter", {});
  EXPECT_EQ(s.ScreenName(), "PICKING");
  EXPECT_EQ(firstLine(), "    1 ");
}

TEST_F(Warehouse, HelpWindowOpensAndAnyKeyClosesIt) {
  AppSession s(app, "D1");
  s.Start();
  s.Answer("enter", {{"user", "U"}, {"password", "P"}});
  s.Answer("enter", {{"option", "2"}});
  EXPECT_EQ(s.Answer("help", {}).outcome, Outcome::kHelp);
  EXPECT_TRUE(s.InHelp());
  EXPECT_EQ(s.Answer("enter", {}).outcome, Outcome::kCloseHelp);
  EXPECT_EQ(s.Answer("f1", {}).outcome, Outcome::kHelp);
  EXPECT_EQ(s.Answer("f3", {}).outcome, Outcome::kCloseHelp);
  EXPECT_EQ(s.ScreenName(), "PICKING");
  // Screens without help lines refuse the key.
  s.Answer("f3", {});
  EXPECT_EQ(s.Answer("help", {}).message, "Function key not allowed on this screen.");
}

TEST_F(Warehouse, ReceivingZeroFillsAndConfirms) {
  AppSession s(app, "D1");
  s.Start();
  s.Answer("enter", {{"user", "U"}, {"password", "P"}});
  s.Answer("enter", {{"option", "1"}});
  ASSERT_EQ(s.ScreenName(), "RECEIVING");
  Reply r = s.Answer("enter", {{"po", "45001234"}, {"item", "100234"}, {"qty", "0000000"}});
  EXPECT_EQ(r.message, "The quantity must be greater than zero.");
  r = s.Answer("enter", {{"qty", "0000012"}});
  ASSERT_EQ(s.ScreenName(), "RECEIPT");
  EXPECT_TRUE(Shows(s, "Quantity  . . . . . . :  0000012 ROLL")) << Grid(s.Current())[6];
  // F12 changes the receipt: the typed values are offered again.
  s.Answer("f12", {});
  ASSERT_EQ(s.ScreenName(), "RECEIVING");
  EXPECT_TRUE(Shows(s, "45001234"));
  s.Answer("enter", {{"qty", "7"}});
  s.Answer("enter", {});
  ASSERT_EQ(s.ScreenName(), "RECEIVED");
  EXPECT_TRUE(Shows(s, "Receipt posted: 7 ROLL of item 100234 on order 45001234."));
  s.Answer("f3", {});
  EXPECT_EQ(s.ScreenName(), "MENU");
}

TEST_F(Warehouse, StockTransferTakesASignedQuantity) {
  AppSession s(app, "D1");
  s.Start();
  s.Answer("enter", {{"user", "U"}, {"password", "P"}});
  s.Answer("enter", {{"option", "4"}});
  Reply r = s.Answer("enter", {{"item", "300042"}, {"tqty", "     5-"}, {"from", "D-01-03"}, {"to", ""}});
  EXPECT_EQ(r.message, "Type the location to move to.");
  EXPECT_EQ(r.cursorRow, 10);
  s.Answer("enter", {{"to", "D-01-06"}});
  ASSERT_EQ(s.ScreenName(), "MOVED");
  EXPECT_TRUE(Shows(s, "Transfer recorded: -5 of item 300042 from D-01-03 to D-01-06."));
}

TEST_F(Warehouse, UnknownKeysAreRefusedAndSessionsAreSeparate) {
  AppSession a(app, "A1"), b(app, "B1");
  a.Start();
  b.Start();
  a.Answer("enter", {{"user", "ALICE"}, {"password", "P"}});
  Reply r = b.Answer("f5", {});
  EXPECT_EQ(r.outcome, Outcome::kError);
  EXPECT_EQ(r.message, "Function key not allowed on this screen.");
  EXPECT_EQ(a.ScreenName(), "MENU");
  EXPECT_EQ(b.ScreenName(), "SIGNON");
  EXPECT_EQ(a.Variable("user"), "ALICE");
  EXPECT_EQ(b.Variable("user"), "");
  // Clear draws the screen again; an unwanted Print gets no answer.
  EXPECT_EQ(a.Answer("clear", {{"option", "1"}}).outcome, Outcome::kShow);
  EXPECT_EQ(a.ScreenName(), "MENU");
  EXPECT_EQ(a.Current().fields.back().text, "  ");
  EXPECT_EQ(a.Answer("print", {}).outcome, Outcome::kIgnore);
  EXPECT_EQ(b.Answer("f3", {}).outcome, Outcome::kSignOff);
}

TEST(FormatField, AdjustFillAndSign) {
  struct Case {
    ShiftType shift;
    Adjust adjust;
    int length;
    std::string value;
    std::string shown;
  } cases[] = {
      {ShiftType::kNumOnly, Adjust::kZeroFill, 7, "12", "0000012"},
      {ShiftType::kNumOnly, Adjust::kBlankFill, 5, "12", "   12"},
      {ShiftType::kSigned, Adjust::kNone, 8, "-12", "     12-"},
      {ShiftType::kSigned, Adjust::kNone, 8, "148", "    148 "},
      {ShiftType::kSigned, Adjust::kZeroFill, 4, "-7", "007-"},
      {ShiftType::kAlpha, Adjust::kNone, 4, "ABCDEF", "ABCD"},
      {ShiftType::kNumOnly, Adjust::kZeroFill, 3, "12345", "345"},
  };
  for (const Case& c : cases) {
    Field f;
    f.input = false;
    f.shift = c.shift;
    f.adjust = c.adjust;
    f.length = c.length;
    EXPECT_EQ(AppSession::FormatField(f, c.value), c.shown.substr(0, c.length)) << c.value;
  }
}

}  // namespace
}  // namespace tervo::demohost
