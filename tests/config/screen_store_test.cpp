// Sizing and resetting the screen tables.
#include <gtest/gtest.h>

#include "config/screen_store.h"

namespace tervo::config {
namespace {

void Define(ScreenStore& store, int s) {
  store.Screens[s].Master = kScreenDefined;
  store.Screens[s].ScreenId = 1000 + s;
  store.Screens[s].EscKey = "@3";
  store.Screens[s].Screen[4].Size = 9;
  store.Screens[s].TeclasFuncao[0] = "F1";
  store.Originals[s].Count = 5;
  store.Indice[s][81] = 0;
  store.ScreenAspect[s][0] = 'X';
  store.AdvScreens[s].Active = true;
  store.MasterScreens[s].MoveV = 80;
}

TEST(ScreenStore, StartsWithScreensZeroAndOneFree) {
  ScreenStore store;
  EXPECT_EQ(store.NumeroMaximoDeEcrans, 1);
  EXPECT_EQ(store.ScreenTableSize(), 2);
  for (int s = 0; s <= 1; ++s) {
    EXPECT_EQ(store.Screens[s].ScreenIdUser, "0");
    EXPECT_EQ(store.Screens[s].ScreenIdTerminal, "0");
    EXPECT_EQ(store.ScreenAspect[s], std::string(kScreenAspectSize, ' '));
    EXPECT_EQ(store.Indice[s].size(), static_cast<std::size_t>(kPositionSlots));
    EXPECT_EQ(store.Indice[s][kMaxPosition], -1);
  }
  EXPECT_EQ(store.ScreensText.size(), static_cast<std::size_t>(kMaxTextScreen + 1));
  EXPECT_EQ(store.ScreensText[kMaxTextScreen].size(), static_cast<std::size_t>(kFieldSlots));
  EXPECT_EQ(store.DivideFields.size(), static_cast<std::size_t>(kDivisionSlots));
}

TEST(ScreenStore, ResetKeepsFieldSettingsFunctionKeysAndMasterSettings) {
  ScreenStore store;
  Define(store, 1);
  store.ScreensText[1][4] = "text";
  store.ResetScreenDef(1);
  const ScreenDef& d = store.Screens[1];
  EXPECT_EQ(d.Master, kScreenFree);
  EXPECT_EQ(d.ScreenId, 0);
  EXPECT_EQ(d.EscKey, "");
  EXPECT_EQ(d.ScreenIdUser, "0");
  EXPECT_EQ(store.Originals[1].Count, 0);
  EXPECT_EQ(store.Indice[1][81], -1);
  EXPECT_EQ(store.ScreenAspect[1][0], ' ');
  EXPECT_FALSE(store.AdvScreens[1].Active);
  EXPECT_EQ(d.Screen[4].Size, 9);
  EXPECT_EQ(d.TeclasFuncao[0], "F1");
  EXPECT_EQ(store.MasterScreens[1].MoveV, 80);
  EXPECT_EQ(store.ScreensText[1][4], "text");
  store.ResetScreenDef(2);  // outside the tables: nothing happens
  store.ResetScreenDef(-1);
  EXPECT_EQ(store.ScreenTableSize(), 2);
}

TEST(ScreenStore, GrowingKeepsExistingScreensAndResetsNewOnes) {
  ScreenStore store;
  store.NumeroMaximoDeEcrans = 3;
  store.GrowScreenTables();
  for (int s = 0; s <= 3; ++s) Define(store, s);
  store.NumeroMaximoDeEcrans = 7;
  store.GrowScreenTables();
  EXPECT_EQ(store.ScreenTableSize(), 8);
  for (int s = 0; s <= 3; ++s) {
    EXPECT_EQ(store.Screens[s].Master, kScreenDefined) << s;
    EXPECT_EQ(store.Indice[s][81], 0) << s;
  }
  for (int s = 4; s <= 7; ++s) {
    EXPECT_EQ(store.Screens[s].Master, kScreenFree) << s;
    EXPECT_EQ(store.Screens[s].ScreenIdUser, "0") << s;
    EXPECT_EQ(store.Indice[s][kMaxPosition], -1) << s;
    EXPECT_EQ(store.ScreenAspect[s].size(), static_cast<std::size_t>(kScreenAspectSize)) << s;
  }
  EXPECT_EQ(store.Originals.size(), 8u);
  EXPECT_EQ(store.AdvScreens.size(), 8u);
  EXPECT_EQ(store.MasterScreens.size(), 8u);
}

TEST(ScreenStore, ClearAllScreensFreesEveryScreenWithoutShrinking) {
  ScreenStore store;
  store.NumeroMaximoDeEcrans = 6;
  store.GrowScreenTables();
  for (int s = 0; s <= 6; ++s) Define(store, s);
  store.ScreenCt = 6;
  store.DivideFieldsCt = 3;
  store.ClearAllScreens();
  EXPECT_EQ(store.NumeroMaximoDeEcrans, 1);
  EXPECT_EQ(store.ScreenTableSize(), 7);
  EXPECT_EQ(store.ScreenCt, 0);
  EXPECT_EQ(store.DivideFieldsCt, 0);
  for (int s = 0; s <= 6; ++s) {
    EXPECT_EQ(store.Screens[s].Master, kScreenFree) << s;
    EXPECT_EQ(store.Originals[s].Count, 0) << s;
    for (int p = 0; p <= kMaxPosition; ++p) ASSERT_EQ(store.Indice[s][p], -1) << s << " " << p;
  }
}

}  // namespace
}  // namespace tervo::config

namespace tervo::config {
namespace {

TEST(ScreenStore, CheckedAccessReportsNumbersOutsideTheTables) {
  ScreenStore store;
  std::string err;
  EXPECT_EQ(store.ScreenAt(1, &err), &store.Screens[1]);
  EXPECT_EQ(store.ScreenAt(2, &err), nullptr);
  EXPECT_EQ(err, "screen 2 is outside 0..1");
  EXPECT_EQ(store.ScreensTextAt(180, 500, &err), &store.ScreensText[180][500]);
  EXPECT_EQ(store.ScreensTextAt(181, 0, &err), nullptr);
  EXPECT_EQ(err, "screen 181 has no field texts");
  EXPECT_EQ(store.ScreensTextAt(3, 501, &err), nullptr);
  EXPECT_EQ(err, "field 501 is outside 0..500");
  EXPECT_EQ(store.ScreenTableSize(), 2);  // nothing grew
}

}  // namespace
}  // namespace tervo::config
