// The utilization graph: which days a period adds up, the value axis, and
// where the bars go in the window.
#include "reports/usage_graph.h"

#include <gtest/gtest.h>

#include <limits>

namespace tervo::reports {
namespace {

TEST(UsageGraph, LastSevenDaysStepBackOverDay31InEveryMonth) {
  EXPECT_EQ(Last7Days(3), (std::array<int, 7>{3, 2, 1, 31, 30, 29, 28}));
  EXPECT_EQ(Last7Days(10), (std::array<int, 7>{10, 9, 8, 7, 6, 5, 4}));
  EXPECT_EQ(Last7Days(1), (std::array<int, 7>{1, 31, 30, 29, 28, 27, 26}));
}

TEST(UsageGraph, ValuesPerSessionForEachPeriod) {
  config::DayTable t{};
  for (int d = 0; d <= 31; ++d) t[d][1] = d;  // session 1 handled d screens on day d
  t[3][0] = 5;
  t[28][0] = 7;
  t[27][0] = 100;  // eight days back from the 3rd: not in the week
  t[0][0] = 1000;  // day 0 is no day
  t[3][2] = 9;     // session 2 is not shown with two sessions
  EXPECT_EQ(GraphValues(t, 2, 3, GraphPeriod::kToday), (std::vector<std::int64_t>{5, 3}));
  EXPECT_EQ(GraphValues(t, 2, 3, GraphPeriod::kLast7Days),
            (std::vector<std::int64_t>{12, 3 + 2 + 1 + 31 + 30 + 29 + 28}));
  EXPECT_EQ(GraphValues(t, 2, 3, GraphPeriod::kLast31Days),
            (std::vector<std::int64_t>{112, 31 * 32 / 2}));

  config::DayTable full{};
  for (int d = 1; d <= 31; ++d) full[d][0] = std::numeric_limits<std::int32_t>::max();
  EXPECT_EQ(GraphValues(full, 1, 3, GraphPeriod::kLast31Days)[0],
            31LL * std::numeric_limits<std::int32_t>::max())
      << "a month of counts does not wrap";
}

TEST(UsageGraph, AllZeroGivesMOneAndAnAxisOfZerosUpToOne) {
  const GraphLayout g = LayOutGraph({0, 0, 0}, {"T1", "T2", ""}, 10000);
  EXPECT_EQ(g.m, 1);
  for (int k = 0; k < 9; ++k) EXPECT_EQ(g.axis[k].text, "0") << k;
  EXPECT_EQ(g.axis[9].text, "1");
  for (const GraphBar& b : g.bars) {
    EXPECT_EQ(b.height, 0);
    EXPECT_EQ(b.top, kGraphBase);
  }
  EXPECT_EQ(g.bars[2].label, "") << "a session without terminal id";
}

TEST(UsageGraph, BarsAxisAndLabelsAreLaidOutInTwips) {
  // 4 sessions in 10200 twips: bars 1500 wide, 2250 apart.
  GraphLayout g = LayOutGraph({0, 50, 100, 25}, {"T1", "T2", "T3", "T4"}, 10200);
  EXPECT_EQ(g.m, 100);
  EXPECT_EQ(g.barWidth, 1500);
  ASSERT_EQ(g.bars.size(), 4u);
  const int lefts[] = {1200, 3450, 5700, 7950};
  const int heights[] = {0, 2750, 5500, 1375};
  for (int j = 0; j < 4; ++j) {
    const GraphBar& b = g.bars[j];
    EXPECT_EQ(b.left, lefts[j]) << j;
    EXPECT_EQ(b.width, 1500);
    EXPECT_EQ(b.height, heights[j]) << j;
    EXPECT_EQ(b.top, 5740 - heights[j]) << j;
    EXPECT_EQ(b.colour, static_cast<std::uint32_t>(100 + 123456 * j));
    EXPECT_EQ(b.labelLeft, b.left);
    EXPECT_EQ(b.labelTop, 6000);
    EXPECT_EQ(b.labelWidth, 800);
  }
  EXPECT_EQ(g.bars[3].label, "T4");
  const char* axis[] = {"10", "20", "30", "40", "50", "60", "70", "80", "90", "100"};
  for (int k = 0; k < 10; ++k) {
    EXPECT_EQ(g.axis[k].text, axis[k]);
    EXPECT_EQ(g.axis[k].top, 5500 - 550 * k);
    EXPECT_EQ(g.axis[k].left, 100);
    EXPECT_EQ(g.axis[k].width, 1000);
  }
  EXPECT_EQ(LayOutGraph({7}, {}, 10200).axis[0].text, "0") << "the integer part of 0.7";

  // Left edges are rounded at each step: 843 wide bars step 1264.5, and
  // halves go to the even neighbour.
  g = LayOutGraph({1, 1, 1}, {}, 4994);
  EXPECT_EQ(g.barWidth, 843);
  EXPECT_EQ(g.bars[1].left, 2464);
  EXPECT_EQ(g.bars[2].left, 3728);
}

}  // namespace
}  // namespace tervo::reports
