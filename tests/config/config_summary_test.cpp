#include <gtest/gtest.h>

#include "config/config_summary.h"

namespace tervo::config {
namespace {

TEST(ConfigSummary, CountsScreensByStatusUpToTheHighestNumber) {
  ScreenStore store;
  store.NumeroMaximoDeEcrans = 5;
  store.GrowScreenTables();
  store.Screens[1].Master = kScreenMaster;
  store.Screens[2].Master = kScreenDefined;
  store.Screens[3].Master = kScreenCopy;
  store.Screens[4].Master = 3;
  store.Originals[1].Count = 7;
  store.Originals[2].Count = 9999;  // counted as the table holds it
  store.DivideFieldsCt = 4;
  store.NumeroMaximoDeEcrans = 4;  // screen 5 no longer counts
  store.Screens[5].Master = kScreenDefined;
  ConfigSummary s = Summarize(store);
  EXPECT_EQ(s.screens, 5);
  EXPECT_EQ(s.undefined, 1);
  EXPECT_EQ(s.automatic, 0);
  EXPECT_EQ(s.masters, 1);
  EXPECT_EQ(s.defined, 1);
  EXPECT_EQ(s.copies, 1);
  EXPECT_EQ(s.otherStatus, 1);
  EXPECT_EQ(s.fields, 7 + 501);
  EXPECT_EQ(FormatSummary(s),
            "screens: 5\n  UNDEFINED: 1\n  AUTOMATIC: 0\n  MASTER: 1\n  DEFINED: 1\n  COPY FROM "
            "MASTER: 1\n"
            "  other status: 1\nfields: 508\ndivided entries: 4\n");

  // Screens the gateway defined on its own keep status 0: they count apart
  // from the empty slots, by their identification or their capture.
  store.NumeroMaximoDeEcrans = 7;
  store.GrowScreenTables();
  store.Screens[5].Master = kScreenFree;
  store.Screens[5].ScreenId = 134853933;
  store.Originals[6].Count = 36;
  s = Summarize(store);
  EXPECT_EQ(s.undefined, 2);  // 0 and 7
  EXPECT_EQ(s.automatic, 2);
}

}  // namespace
}  // namespace tervo::config
