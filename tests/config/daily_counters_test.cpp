// Counter files and the clearing of the days that passed since the last run.
#include <gtest/gtest.h>

#include "config/daily_counters.h"
#include "sample_config.h"

namespace tervo::config {
namespace {

DayTable Filled() {
  DayTable t{};
  for (int d = 0; d < kCounterDays; ++d)
    for (int s = 0; s < kCounterSlots; ++s) t[d][s] = d * 100 + s + 1;
  return t;
}

std::vector<int> ClearedDays(const DayTable& t) {
  std::vector<int> days;
  for (int d = 0; d < kCounterDays; ++d) {
    bool zero = true;
    for (int s = 0; s < kCounterSlots; ++s) zero = zero && t[d][s] == 0;
    if (zero) days.push_back(d);
  }
  return days;
}

TEST(DailyCounters, ClearElapsedDaysZeroesEveryDayAfterTheLastUpToToday) {
  struct Case {
    int last, today;
    std::vector<int> cleared;
  };
  std::vector<int> sixToThree;
  for (int d = 6; d <= 31; ++d) sixToThree.push_back(d);
  sixToThree.insert(sixToThree.begin(), {1, 2, 3});
  const Case cases[] = {
      {7, 7, {}},          // same day: nothing, however long ago the last run was
      {31, 2, {1, 2}},     // wraps from 31 to 1
      {5, 3, sixToThree},  // almost a month: days 6..31, 1, 2, 3
      {4, 5, {5}},
      {30, 31, {31}},
      {0, 5, {}},  // a stored day outside 1..31 clears nothing
      {32, 5, {}},
      {5, 0, {}},
  };
  for (const Case& c : cases) {
    DayTable t = Filled();
    ClearElapsedDays(t, c.last, c.today);
    EXPECT_EQ(ClearedDays(t), c.cleared) << c.last << " -> " << c.today;
    EXPECT_EQ(t[0][0], 1) << "day 0 is never cleared";
  }
}

TEST(DailyCounters, FileIsLittleEndianDayMajorWithoutHeader) {
  DayTable t{};
  t[0][1] = 0x01020304;
  t[1][0] = -2;
  t[31][32] = 7;
  const std::string bytes = EncodeDayTable(t);
  ASSERT_EQ(bytes.size(), 1056u * 4);
  EXPECT_EQ(bytes.substr(4, 4), std::string("\x04\x03\x02\x01", 4));
  EXPECT_EQ(bytes.substr(33 * 4, 4), std::string("\xfe\xff\xff\xff", 4));
  EXPECT_EQ(bytes.substr(1055 * 4, 4), std::string("\x07\0\0\0", 4));
}

TEST(DailyCounters, SaveAndLoadBesideTheConfiguration) {
  testing::TempFolder dir;
  DailyCounters c;
  c.DailyScreens = Filled();
  c.DailyErrors[3][4] = -9;
  std::string err;
  ASSERT_TRUE(SaveDailyCounters(dir.File("plant"), c, &err)) << err;
  EXPECT_EQ(testing::ReadFile(dir.File("plant.TVH")).size(), 4224u);
  DailyCounters loaded;
  EXPECT_TRUE(LoadDailyCounters(dir.File("plant"), &loaded));
  EXPECT_EQ(loaded.DailyScreens, c.DailyScreens);
  EXPECT_EQ(loaded.DailyErrors, c.DailyErrors);
}

TEST(DailyCounters, ShortFileReadsZerosAndMissingFileKeepsTheTable) {
  testing::TempFolder dir;
  testing::WriteFile(dir.File("short.TVH"), std::string("\x05\0\0\0\x06\0", 6));
  DayTable t = Filled();
  ASSERT_TRUE(LoadDayTable(dir.File("short.TVH"), &t, nullptr));
  EXPECT_EQ(t[0][0], 5);
  EXPECT_EQ(t[0][1], 6);  // a record cut short keeps the bytes it has
  EXPECT_EQ(t[0][2], 0);
  EXPECT_EQ(t[31][32], 0);
  DayTable kept = Filled();
  std::string err;
  EXPECT_FALSE(LoadDayTable(dir.File("none.TVH"), &kept, &err));
  EXPECT_EQ(err, "cannot open \"" + dir.File("none.TVH") + "\"");
  EXPECT_EQ(kept, Filled());
}

}  // namespace
}  // namespace tervo::config
