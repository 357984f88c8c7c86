#include <gtest/gtest.h>

#include "config/session_grid.h"

namespace tervo::config {
namespace {

struct GridCase {
  const char* typed;
  int sessions;  // sessions of the run
  const char* sessionCt;
  const char* columns;
  const char* rows;
};

TEST(SessionGrid, TypingASessionCountProposesTheGrid) {
  const GridCase cases[] = {
      {"1", 32, "1", "1", "1"},   {"4", 32, "4", "2", "2"},   {"5", 32, "5", "3", "2"},
      {"10", 32, "10", "4", "3"}, {"40", 32, "32", "6", "6"}, {"9", 4, "4", "2", "2"},
      {"2", 32, "2", "2", "1"},   {"3", 32, "3", "2", "2"},   {"32", 32, "32", "6", "6"},
  };
  for (const auto& c : cases) {
    GeneralOptions o;
    o.SetText("SessionCt", c.typed);
    SessionCountChanged(o, c.sessions);
    EXPECT_EQ(o.Text("SessionCt"), c.sessionCt) << c.typed;
    EXPECT_EQ(o.Text("DisplayCol"), c.columns) << c.typed;
    EXPECT_EQ(o.Text("DisplayRow"), c.rows) << c.typed;
  }
}

TEST(SessionGrid, NoCountOrNoColumnsLeavesTheRowsAlone) {
  for (const char* typed : {"", "0", "-3", "abc"}) {
    GeneralOptions o;
    o.SetText("DisplayCol", "3");
    o.SetText("DisplayRow", "7");
    o.SetText("SessionCt", typed);
    SessionCountChanged(o, 32);
    EXPECT_EQ(o.Text("DisplayRow"), "7") << '"' << typed << '"';
    EXPECT_EQ(o.Text("DisplayCol"), *typed ? "0" : "3") << '"' << typed << '"';
  }
}

TEST(SessionGrid, ChangingTheColumnsRecomputesTheRows) {
  GeneralOptions o;
  o.SetText("SessionCt", "10");
  o.SetText("DisplayRow", "9");
  for (const char* ignored : {"", "0", "-2"}) {
    o.SetText("DisplayCol", ignored);
    DisplayColumnsChanged(o);
    EXPECT_EQ(o.Text("DisplayRow"), "9") << '"' << ignored << '"';
  }
  const std::pair<const char*, const char*> cases[] = {
      {"1", "10"}, {"3", "4"}, {"5", "2"}, {"12", "1"}};
  for (const auto& [columns, rows] : cases) {
    o.SetText("DisplayCol", columns);
    DisplayColumnsChanged(o);
    EXPECT_EQ(o.Text("DisplayRow"), rows) << columns;
  }
  o.SetText("SessionCt", "0");
  o.SetText("DisplayCol", "2");
  DisplayColumnsChanged(o);
  EXPECT_EQ(o.Text("DisplayRow"), "0") << "Int((0 - 1) / 2) + 1 floors to 0";
}

}  // namespace
}  // namespace tervo::config
